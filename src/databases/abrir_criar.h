#pragma once

#include <QDialog>

#include <filesystem>
#include <memory>
#include <string>

namespace Ui {
class TAbrirCriar;
}

namespace vorelia::widgets {
class TActionList;
class TCommand;
}  // namespace vorelia::widgets

namespace vorelia::databases {

class TAbrirCriar;

// The dialog while it is shown; the frame's MDICriar and MDIAbrir read NomeBase through it.
extern TAbrirCriar* AbrirCriar;

// The catalogue dialog: lists the databases of the dados folder, takes a name and hands it to
// the frame's MDIAbrir (open mode) or MDICriar (create mode); in both modes it can delete a
// database while no records window is open.
class TAbrirCriar : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kModoAbrir = 1;
  static constexpr int kModoCriar = 2;

  // `frameCommands` is the frame's command list holding MDICriar and MDIAbrir.
  TAbrirCriar(widgets::TActionList& frameCommands, std::filesystem::path dados,
              QWidget* parent = nullptr);
  ~TAbrirCriar() override;

  int Modo = kModoAbrir;
  int JanelasAbertas = 0;

  // The name typed or picked, in the ANSI code page.
  std::string NomeBaseText() const;
  // Sets up the dialog for its mode: caption, disabled button, editable name.
  void PrepareAbrir();
  void PrepareCriar();

  widgets::TActionList& acoes_02() const { return *m_acoes02; }
  QWidget* Control(const char* name) const;

  void FormShow();
  void ListaClick();
  void CriarBdoMDIExecute();
  void CriarBdoMDIUpdate();
  void AbrirBdoMDIExecute();
  void AbrirBdoMDIUpdate();
  void DeletarExecute();
  void DeletarUpdate();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void CreateCommands();
  // A button with a close result sets the result first, fires its command, then closes.
  void CloseWith(int result, widgets::TCommand& command);

  std::unique_ptr<Ui::TAbrirCriar> m_ui;
  widgets::TActionList* m_acoes02;
  widgets::TActionList& m_frameCommands;
  std::filesystem::path m_dados;
};

}  // namespace vorelia::databases
