#include "app/form_erro.h"

#include <QIcon>

#include "platform/error_description.h"
#include "ui_form_erro.h"
#include "widgets/bit_btn.h"
#include "widgets/resources.h"
#include "widgets/rich_edit.h"

namespace vorelia::app {

QString ErrorLine(const QString& message, uint32_t address) {
  // Both values in one call, so a "%1" inside the message stays text.
  return QString::fromUtf8("Ocorreu o Seguinte Erro: - %1 , no endereço: %2")
      .arg(message, QString::fromStdString(platform::FormatCodeAddress(address)));
}

TFormErro::TFormErro(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_ui(std::make_unique<Ui::TFormErro>()) {
  widgets::InitWidgetResources();
  m_ui->setupUi(this);
  setWindowIcon(QIcon(":/icons/erro.png"));
  m_ui->BitBtn1->SetKind(widgets::TBitBtnKind::Ok);
  QPalette colours = m_ui->mensagem->palette();
  colours.setColor(QPalette::Base, colours.color(QPalette::ToolTipBase));
  m_ui->mensagem->setPalette(colours);
  QFont arial("Arial", 9);
  arial.setBold(true);
  m_ui->mensagem->SetDefaultAttributes(arial, Qt::black);
}

TFormErro::~TFormErro() = default;

widgets::TRichEdit& TFormErro::mensagem() const { return *m_ui->mensagem; }

void TFormErro::ShowError(const QString& message, uint32_t address, const QWidget* mainWindow) {
  widgets::TRichEdit& box = mensagem();
  box.SetParagraphAlignment(Qt::AlignHCenter);
  box.AddLine(ErrorLine(message, address));
  box.AddLine(QString());

  QTextCharFormat request = box.Attributes();
  request.setFontWeight(QFont::Normal);
  request.setFontItalic(true);
  request.setFontPointSize(8);
  box.SetAttributes(request);
  box.AddLine(QString::fromUtf8(
      "Necessito de uma descrição passo a passo do que você fez para que ocorresse esse erro. "
      "Essa informação é importantíssima para a descoberta deste problema."));
  box.AddLine(QString());

  QTextCharFormat support = box.Attributes();
  support.setFontItalic(false);
  support.setFontWeight(QFont::Bold);
  support.setFontPointSize(9);
  support.setForeground(QColor(255, 0, 0));  // $000000FF
  box.SetAttributes(support);
  box.AddLine(QString("Acesse: ") + kSupportAddress);
  box.moveCursor(QTextCursor::Start);  // the error line first

  if (mainWindow != nullptr) {
    const QRect frame = mainWindow->frameGeometry();
    move(frame.left() + (frame.width() - width()) / 2,
         frame.top() + (frame.height() - height()) / 2);
  }
}

}  // namespace vorelia::app
