#include "app/application.h"

#include <QFont>

#include <exception>

#include "platform/qt/guard.h"
#include "report/core/qr_expr_environment.h"
#include "report/report_locale.h"
#include "widgets/resources.h"

namespace vorelia::app {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    platform::ReportFatal(std::current_exception());
    return false;
  }
}

void InitApplication() {
  QApplication::setApplicationName(kApplicationTitle);
  QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
  widgets::InitWidgetResources();
  report::InstallReportLocale();
  report::SetQRApplicationTitle(kApplicationTitle);
}

}  // namespace vorelia::app
