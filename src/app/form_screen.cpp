#include "app/form_screen.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWindow>

#include "platform/qt/desktop_services.h"
#include "ui_form_screen.h"
#include "widgets/image.h"
#include "widgets/jpeg_decoder.h"
#include "widgets/resources.h"

namespace vorelia::app {

Tform_screen::Tform_screen(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      m_ui(std::make_unique<Ui::Tform_screen>()) {
  widgets::InitWidgetResources();
  m_ui->setupUi(this);
  // The transparent brush: the window draws nothing but its picture.
  setAttribute(Qt::WA_NoSystemBackground);
  setAutoFillBackground(false);
  m_ui->Image1->SetPicture(widgets::LoadJpeg(":/pictures/splash.jpg"));
  const platform::TScreenFacts screen = platform::ScreenService().Facts();
  move((screen.width - width()) / 2, (screen.height - height()) / 2);
}

Tform_screen::~Tform_screen() = default;

widgets::TImage& Tform_screen::Image1() const { return *m_ui->Image1; }

void Tform_screen::ShowAndPaint() {
  show();
  // The window system maps the window asynchronously; give it a moment (bounded) so the paint
  // reaches the screen before the start-up sleeps.
  QElapsedTimer waited;
  waited.start();
  while (windowHandle() != nullptr && !windowHandle()->isExposed() && waited.elapsed() < 500) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
  }
  repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  m_painted = true;
}

}  // namespace vorelia::app
