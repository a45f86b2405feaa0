#include "report/core/qr_expr_locale.h"

#include <cstdio>
#include <ctime>
#include <utility>

#include "platform/code_page.h"

namespace vorelia::report {

namespace {

std::tm LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  return parts;
}

std::string TimeText() {
  const std::tm t = LocalNow();
  char text[64];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
  return text;
}

std::string DateText() {
  const std::tm t = LocalNow();
  char text[64];
  std::snprintf(text, sizeof text, "%02d/%02d/%04d", t.tm_mday, t.tm_mon + 1, t.tm_year + 1900);
  return text;
}

TQRExprLocale& Current() {
  static TQRExprLocale locale = DefaultExprLocale();
  return locale;
}

}  // namespace

TQRExprLocale DefaultExprLocale() {
  TQRExprLocale locale;
  // Primary languages that write 3.5 rather than 3,5: English, Chinese, Japanese, Korean,
  // Hebrew and Thai.
  switch (platform::UserLanguageId() & 0x3FF) {
    case 0x09:
    case 0x04:
    case 0x11:
    case 0x12:
    case 0x0D:
    case 0x1E:
      locale.DecimalSeparator = '.';
      locale.ThousandSeparator = ',';
      break;
    default:
      break;
  }
  locale.CurrentTimeText = TimeText;
  locale.CurrentDateText = DateText;
  return locale;
}

const TQRExprLocale& ExprLocale() { return Current(); }

void SetExprLocale(TQRExprLocale locale) {
  if (!locale.CurrentTimeText) locale.CurrentTimeText = TimeText;
  if (!locale.CurrentDateText) locale.CurrentDateText = DateText;
  Current() = std::move(locale);
}

}  // namespace vorelia::report
