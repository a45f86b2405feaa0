#include "app/screenshot_tour.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include "app/form_principal.h"
#include "app/form_screen.h"
#include "app/form_sobre.h"
#include "app/startup.h"
#include "platform/errors.h"
#include "platform/qt/guard.h"
#include "widgets/command.h"

namespace vorelia::app {
namespace {

class EDemonstrationError : public EVoreliaError {
 public:
  VORELIA_RAISE_SITE EDemonstrationError()
      : EVoreliaError("Field SITE not found in table agencias_sp") {}
};

QWidget* SampleChild(const QString& title) {
  auto* form = new QLabel(title);
  form->setWindowTitle(title);
  form->setAlignment(Qt::AlignCenter);
  form->setMinimumSize(360, 220);
  return form;
}

void OpenMenu(QMainWindow& form, QMenu* menu) {
  const QRect item = form.menuBar()->actionGeometry(menu->menuAction());
  menu->popup(form.menuBar()->mapToGlobal(item.bottomLeft()));
}

}  // namespace

QString TScreenshotTour::RequestedFolder() {
  return QString::fromLocal8Bit(qgetenv("VORELIA_SCREENSHOT"));
}

void TScreenshotTour::Save(const QString& name, QWidget* window) const {
  QDir().mkpath(m_folder);
  // The whole screen shows placement and pop-up menus; the window alone is the fallback.
  QPixmap shot;
  if (QScreen* screen = QGuiApplication::primaryScreen()) shot = screen->grabWindow(0);
  if (shot.isNull() && window != nullptr) shot = window->grab();
  shot.save(QDir(m_folder).filePath(name + ".png"));
  if (window != nullptr) window->grab().save(QDir(m_folder).filePath(name + "_window.png"));
}

void TScreenshotTour::Attach(TStartupHooks& hooks) {
  hooks.splashShown = [this](Tform_screen& splash) { Save("splash", &splash); };
}

void TScreenshotTour::Start(TFormPrincipal& form) {
  TFormPrincipal* frame = &form;
  QTimer::singleShot(1000, frame, [this, frame] {
    platform::Guarded([&] {
      Save("main", frame);
      OpenMenu(*frame, frame->findChild<QMenu*>("Arquivo1"));
    });
  });
  QTimer::singleShot(1600, frame, [this, frame] {
    platform::Guarded([&] {
      Save("main_menu", frame);
      frame->findChild<QMenu*>("Arquivo1")->close();
      frame->AddChildForm(SampleChild("agencias_sp"));
      frame->AddChildForm(SampleChild("agencias_rj"));
      frame->AddChildForm(SampleChild("agencias_mg"));
      frame->acoes_01()["MDICascate"].Execute();
      OpenMenu(*frame, frame->WindowMenu());
    });
  });
  QTimer::singleShot(2200, frame, [this, frame] {
    platform::Guarded([&] {
      Save("window_menu", frame);
      frame->WindowMenu()->close();
      auto* about = new TFormSobre(frame);
      about->setAttribute(Qt::WA_DeleteOnClose);
      about->open();
      QTimer::singleShot(600, about, [this, about] {
        Save("about", about);
        about->accept();
      });
    });
  });
  QObject::connect(frame, &TFormPrincipal::ErrorWindowShown, frame, [this](QWidget* window) {
    QTimer::singleShot(600, window, [this, window] {
      Save("error", window);
      window->close();
    });
  });
  QTimer::singleShot(3400, frame,
                     [] { platform::Guarded([] { throw EDemonstrationError(); }); });
}

}  // namespace vorelia::app
