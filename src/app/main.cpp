#include <QMetaObject>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

#include "app/application.h"
#include "app/database_commands.h"
#include "app/form_principal.h"
#include "app/order_commands.h"
#include "app/print_commands.h"
#include "app/screenshot_tour.h"
#include "app/startup.h"
#include "platform/error_description.h"
#include "platform/program_folder.h"
#include "platform/qt/guard.h"
#include "report/system_printing.h"

namespace {

bool HasDisplay() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform != nullptr && *platform != '\0') return true;
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vorelia;
  if (!HasDisplay()) {
    std::fputs("vorelia: no display found (DISPLAY and WAYLAND_DISPLAY are unset); start it from "
               "a desktop session or under xvfb-run.\n",
               stderr);
    return 1;
  }
  app::TApplication application(argc, argv);
  app::InitApplication();

  std::unique_ptr<app::TScreenshotTour> tour;
  if (const QString folder = app::TScreenshotTour::RequestedFolder(); !folder.isEmpty()) {
    tour = std::make_unique<app::TScreenshotTour>(folder);
  }
  app::TStartupHooks hooks;
  if (tour) tour->Attach(hooks);

  std::unique_ptr<app::TFormPrincipal> form;
  try {
    form = app::RunStartup(hooks);
  } catch (...) {
    // Before the main window exists there is no error window to show.
    const auto description = platform::DescribeError(std::current_exception(), nullptr);
    std::fprintf(stderr, "vorelia: %s\n", description.message.c_str());
    return 1;
  }

  // The catalogue, window-building and record commands get their bodies; the frame owns them.
  // The databases live in dados/ beside the executable, which the build creates.
  auto* databaseCommands = new app::TDatabaseCommands(*form, platform::ProgramFolder() / "dados");
  app::InstallOrderCommands(*form, *databaseCommands);
  app::InstallPrintCommands(*form, *databaseCommands);
  // Reports print on the system's printers; with none installed, printing does nothing.
  report::InstallSystemPrinting();

  // The error window opens once the failing handler has unwound, from the event loop, so it
  // never runs a modal loop inside a paint or resize.
  app::TFormPrincipal* frame = form.get();
  platform::SetErrorHook([frame](std::exception_ptr error) {
    QMetaObject::invokeMethod(
        frame, [frame, error] { frame->AplicacaoException(error); }, Qt::QueuedConnection);
  });
  if (tour) tour->Start(*frame);

  int code = application.exec();
  platform::SetErrorHook({});
  // An error that arrived while the loop was already ending still fails the run.
  if (platform::FatalErrorPending() && code == 0) code = 1;
  form.reset();
  return code;
}
