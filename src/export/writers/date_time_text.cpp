#include "export/writers/date_time_text.h"

#include <array>
#include <cstdio>

namespace vorelia::exporter {
namespace {

constexpr std::array<const char*, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<const char*, 7> kDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};

// 0 = Sunday; Sakamoto's method on the proleptic Gregorian calendar.
int DayOfWeek(int y, int m, int d) {
  static constexpr int kOffsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (m < 1 || m > 12) return 0;
  if (m < 3) y -= 1;
  int w = (y + y / 4 - y / 100 + y / 400 + kOffsets[m - 1] + d) % 7;
  return w < 0 ? w + 7 : w;
}

void AppendNumber(std::string& out, int value, int digits) {
  char buffer[16];
  int n = std::snprintf(buffer, sizeof buffer, "%0*d", digits, value);
  if (n > 0) out.append(buffer, static_cast<size_t>(n));
}

size_t RunLength(std::string_view p, size_t i) {
  size_t n = 1;
  while (i + n < p.size() && p[i + n] == p[i]) ++n;
  return n;
}

}  // namespace

std::string FormatDateTime(const TmxDateTime& when, std::string_view pattern) {
  const bool twelveHour =
      pattern.find("AP") != std::string_view::npos || pattern.find("ap") != std::string_view::npos;
  const int month = (when.Month >= 1 && when.Month <= 12) ? when.Month : 1;
  std::string out;
  for (size_t i = 0; i < pattern.size();) {
    const char c = pattern[i];
    if (c == '\'') {
      size_t end = pattern.find('\'', i + 1);
      if (end == i + 1) {
        out += '\'';
        i += 2;
        continue;
      }
      if (end == std::string_view::npos) end = pattern.size();
      out.append(pattern.substr(i + 1, end - i - 1));
      i = end + 1;
      continue;
    }
    if ((c == 'A' && i + 1 < pattern.size() && pattern[i + 1] == 'P') ||
        (c == 'a' && i + 1 < pattern.size() && pattern[i + 1] == 'p')) {
      const bool pm = when.Hour >= 12;
      out += c == 'A' ? (pm ? "PM" : "AM") : (pm ? "pm" : "am");
      i += 2;
      continue;
    }
    const size_t n = RunLength(pattern, i);
    size_t used = n;
    switch (c) {
      case 'd':
        if (n >= 4) {
          out += kDayNames[static_cast<size_t>(DayOfWeek(when.Year, month, when.Day))];
          used = 4;
        } else if (n == 3) {
          out.append(kDayNames[static_cast<size_t>(DayOfWeek(when.Year, month, when.Day))], 3);
        } else {
          AppendNumber(out, when.Day, static_cast<int>(n));
        }
        break;
      case 'M':
        if (n >= 4) {
          out += kMonthNames[static_cast<size_t>(month - 1)];
          used = 4;
        } else if (n == 3) {
          out.append(kMonthNames[static_cast<size_t>(month - 1)], 3);
        } else {
          AppendNumber(out, when.Month, static_cast<int>(n));
        }
        break;
      case 'y':
        if (n >= 4) {
          AppendNumber(out, when.Year, 4);
          used = 4;
        } else if (n >= 2) {
          AppendNumber(out, ((when.Year % 100) + 100) % 100, 2);
          used = 2;
        } else {
          out += c;
        }
        break;
      case 'h':
      case 'H': {
        int hour = when.Hour;
        if (c == 'h' && twelveHour) hour = hour % 12 == 0 ? 12 : hour % 12;
        used = n >= 2 ? 2 : 1;
        AppendNumber(out, hour, static_cast<int>(used));
        break;
      }
      case 'm':
        used = n >= 2 ? 2 : 1;
        AppendNumber(out, when.Minute, static_cast<int>(used));
        break;
      case 's':
        used = n >= 2 ? 2 : 1;
        AppendNumber(out, when.Second, static_cast<int>(used));
        break;
      case 'z':
        used = n >= 3 ? 3 : 1;
        AppendNumber(out, when.Millisecond, static_cast<int>(used));
        break;
      default:
        used = 1;
        out += c;
        break;
    }
    i += used;
  }
  return out;
}

std::string ExportDateTimeText(const TmxDateTime& when, std::string_view shortDateFormat,
                               std::string_view longTimeFormat) {
  std::string text = FormatDateTime(when, shortDateFormat);
  if (when.Hour != 0 || when.Minute != 0 || when.Second != 0 || when.Millisecond != 0) {
    text += ' ';
    text += FormatDateTime(when, longTimeFormat);
  }
  return text;
}

}  // namespace vorelia::exporter
