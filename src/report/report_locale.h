#pragma once

#include <QLocale>
#include <QString>

#include <string>

namespace vorelia::report {

// The desktop's locale as reports see it; an unset or C locale means Brazilian Portuguese.
QLocale ReportLocale();
// The locale's long time format without the time-zone name the desktop's formats never show.
QString LongTimeFormat(const QLocale& locale);

// Hands the desktop's decimal and thousand separators and its date and time formats to report
// expressions. Call once at start-up, before the first report runs.
void InstallReportLocale();

}  // namespace vorelia::report
