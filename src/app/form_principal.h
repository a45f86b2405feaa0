#pragma once

#include <QMainWindow>

#include <exception>
#include <filesystem>
#include <functional>
#include <memory>

class QMdiSubWindow;
class QMenu;

namespace Ui {
class TFormPrincipal;
}

namespace vorelia::widgets {
class TActionList;
class TStatusBar;
}  // namespace vorelia::widgets

namespace vorelia::app {

class TMdiClient;

// The main window: the frame of the records windows, with the menu tree, the status bar and the
// frame's command list `acoes_01`. Later code gives the record, sort, print, export and
// catalogue commands their bodies through acoes_01(); until then they stay disabled.
class TFormPrincipal : public QMainWindow {
  Q_OBJECT

 public:
  explicit TFormPrincipal(QWidget* parent = nullptr);
  ~TFormPrincipal() override;

  widgets::TActionList& acoes_01() const { return *m_acoes01; }
  TMdiClient& ClientArea() const;
  widgets::TStatusBar& Barra_Estado() const;
  // A menu item by its component name ("Sair1", "FecharBancodeDados1", ...), or nullptr.
  QAction* MenuItem(const QString& name) const;
  QMenu* WindowMenu() const;

  // Child windows. The frame takes ownership of the form and shows it.
  QMdiSubWindow* AddChildForm(QWidget* form);
  // In the frame's child order (the order in which they were opened).
  QList<QMdiSubWindow*> ChildForms() const;
  int ChildFormCount() const;
  // The active child's form (also while the frame itself is inactive), or nullptr.
  QWidget* ActiveChildForm() const;

  void CentralizarFormExecute();
  void FecharFormsExecute();
  void FecharFormsUpdate();
  void FecharAllFormsExecute();
  void FecharAllFormsUpdate();
  void MDICascateExecute();
  void MDICascateUpdate();
  void MDIMinimizarExecute();
  void MDIMinimizarUpdate();
  void Sair1Click();
  void Ajuda2Click();
  void Sobre1Click();

  // The application-wide error hook's handler: shows the error window modally above whatever is
  // open, then ends the run.
  void AplicacaoException(std::exception_ptr error);
  // How the run ends after an error (tests replace it; the program exits the event loop with 1).
  void SetTerminate(std::function<void(int)> terminate) { m_terminate = std::move(terminate); }

  // The help document beside the executable: the compiled help where it exists, else the
  // HTML help the build places there.
  static std::filesystem::path HelpFile();

 signals:
  // Emitted right after the error window has been created and filled, before it waits.
  void ErrorWindowShown(QWidget* window);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FormCreate();
  void CreateCommands();
  void BindMenu();
  void RebuildWindowMenu();

  std::unique_ptr<Ui::TFormPrincipal> m_ui;
  widgets::TActionList* m_acoes01;
  QList<QAction*> m_windowItems;
  std::function<void(int)> m_terminate;
};

}  // namespace vorelia::app
