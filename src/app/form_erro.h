#pragma once

#include <QDialog>

#include <cstdint>
#include <memory>

namespace Ui {
class TFormErro;
}

namespace vorelia::widgets {
class TRichEdit;
}

namespace vorelia::app {

// The error window: what went wrong and where, a request for the user's steps and the support
// line, in three paragraphs of three styles. Created for one error; the run ends after it.
class TFormErro : public QDialog {
  Q_OBJECT

 public:
  static constexpr const char* kSupportAddress = "http://www.vorelia.com.br/suporte";

  explicit TFormErro(QWidget* parent = nullptr);
  ~TFormErro() override;

  // Fills the message box and centres the window on `mainWindow` (when given).
  void ShowError(const QString& message, uint32_t address, const QWidget* mainWindow);

  widgets::TRichEdit& mensagem() const;

 private:
  std::unique_ptr<Ui::TFormErro> m_ui;
};

// "Ocorreu o Seguinte Erro: - <message> , no endereço: <8 upper-case hex digits>"
QString ErrorLine(const QString& message, uint32_t address);

}  // namespace vorelia::app
