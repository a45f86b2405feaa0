#include "report/report_locale.h"

#include <QDateTime>

#include "platform/qt/ansi_text.h"
#include "report/core/qr_expr_locale.h"

namespace vorelia::report {

namespace {

// A separator the engine can hold in one ANSI byte, or the fallback.
char SeparatorByte(const QString& separator, char fallback) {
  const std::string ansi = platform::ToAnsi(separator);
  return ansi.size() == 1 ? ansi[0] : fallback;
}

}  // namespace

QLocale ReportLocale() {
  const QLocale system = QLocale::system();
  return system.language() == QLocale::C ? QLocale(QLocale::Portuguese, QLocale::Brazil) : system;
}

QString LongTimeFormat(const QLocale& locale) {
  QString format = locale.timeFormat(QLocale::LongFormat);
  format.remove(QLatin1Char('t'));
  return format.trimmed();
}

void InstallReportLocale() {
  const QLocale locale = ReportLocale();
  TQRExprLocale facts = DefaultExprLocale();
  facts.DecimalSeparator = SeparatorByte(locale.decimalPoint(), facts.DecimalSeparator);
  facts.ThousandSeparator = SeparatorByte(locale.groupSeparator(), facts.ThousandSeparator);
  facts.CurrentTimeText = [locale] {
    return platform::ToAnsi(locale.toString(QTime::currentTime(), LongTimeFormat(locale)));
  };
  facts.CurrentDateText = [locale] {
    return platform::ToAnsi(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
  };
  SetExprLocale(std::move(facts));
}

}  // namespace vorelia::report
