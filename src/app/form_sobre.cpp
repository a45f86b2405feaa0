#include "app/form_sobre.h"

#include "platform/qt/desktop_services.h"
#include "platform/qt/guard.h"
#include "ui_form_sobre.h"
#include "widgets/bit_btn.h"
#include "widgets/hover_label.h"
#include "widgets/image.h"
#include "widgets/resources.h"

namespace vorelia::app {
namespace {

const QColor kLinkBlue(0, 0, 255);  // $00FF0000
const QColor kLinkRed(255, 0, 0);   // $000000FF

}  // namespace

TFormSobre::TFormSobre(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_ui(std::make_unique<Ui::TFormSobre>()) {
  widgets::InitWidgetResources();
  m_ui->setupUi(this);
  setFixedSize(size());
  m_ui->Image1->SetPicture(QImage(":/icons/vorelia32.png"));
  m_ui->Label1->adjustSize();
  m_ui->BitBtn1->SetKind(widgets::TBitBtnKind::Ok);
  urlsite().SetFontColor(kLinkBlue);
  connect(&urlsite(), &widgets::THoverLabel::Click, this,
          [this] { platform::Guarded([this] { urlsiteClick(); }); });
  connect(&urlsite(), &widgets::THoverLabel::MouseEnter, this,
          [this] { platform::Guarded([this] { urlsiteMouseEnter(); }); });
  connect(&urlsite(), &widgets::THoverLabel::MouseLeave, this,
          [this] { platform::Guarded([this] { urlsiteMouseLeave(); }); });
  if (parent != nullptr) {
    const QRect frame = parent->window()->frameGeometry();
    move(frame.left() + (frame.width() - width()) / 2,
         frame.top() + (frame.height() - height()) / 2);
  }
}

TFormSobre::~TFormSobre() = default;

widgets::THoverLabel& TFormSobre::urlsite() const { return *m_ui->urlsite; }

void TFormSobre::urlsiteClick() {
  platform::ShellService().Execute({"open", urlsite().text().toStdString(), "", ""});
}

void TFormSobre::urlsiteMouseEnter() { urlsite().SetFontColor(kLinkRed); }

void TFormSobre::urlsiteMouseLeave() { urlsite().SetFontColor(kLinkBlue); }

}  // namespace vorelia::app
