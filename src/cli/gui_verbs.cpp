#include "cli/gui_verbs.h"

#include <QApplication>

#include <exception>
#include <ostream>

#include "platform/code_page.h"
#include "report/report_locale.h"

namespace vorelia::cli {

std::unique_ptr<QApplication> OffscreenApplication() {
  if (QCoreApplication::instance() != nullptr) return nullptr;
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "vorelia-cli";
  static char* argv[] = {name, nullptr};
  auto application = std::make_unique<QApplication>(argc, argv);
  report::InstallReportLocale();
  return application;
}

int RunWithAnsiErrors(Context& ctx, Verb verb) {
  try {
    return verb(ctx);
  } catch (const UsageError&) {
    throw;
  } catch (const std::exception& e) {
    ctx.err << platform::AnsiToUtf8(e.what()) << "\n";
    return 2;
  }
}

}  // namespace vorelia::cli
