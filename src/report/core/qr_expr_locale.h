#pragma once

#include <functional>
#include <string>

namespace vorelia::report {

// The regional facts report expressions depend on. The engine stays free of any locale
// library: the report layer fills these from the desktop's locale (SetExprLocale) before the
// first report runs; until then the Brazilian Portuguese defaults below hold, which is also
// what the program uses where the locale is unset.
struct TQRExprLocale {
  char DecimalSeparator = ',';
  char ThousandSeparator = '.';
  // The current time in the long time format ("14:05:09") and today's date in the short date
  // format ("08/12/2026").
  std::function<std::string()> CurrentTimeText;
  std::function<std::string()> CurrentDateText;
};

// Defaults follow the user's language (English-speaking ones use '.' for decimals).
TQRExprLocale DefaultExprLocale();

// The facts in force. Set them before compiling; evaluators read them while they run.
const TQRExprLocale& ExprLocale();
void SetExprLocale(TQRExprLocale locale);

}  // namespace vorelia::report
