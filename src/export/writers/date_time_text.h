#pragma once

#include <string>
#include <string_view>

namespace vorelia::exporter {

// A local date and time, broken down; the export takes it as an input so documents are
// reproducible.
struct TmxDateTime {
  int Year = 1899;
  int Month = 12;
  int Day = 30;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Millisecond = 0;
};

// Formats with the pattern letters of the desktop's date and time formats: d dd ddd dddd,
// M MM MMM MMMM, yy yyyy, h hh H HH (12-hour h when the pattern holds AP or ap), m mm, s ss,
// z zzz, AP ap; text between single quotes is literal, '' is one quote; anything else is copied.
std::string FormatDateTime(const TmxDateTime& when, std::string_view pattern);

// The export date text: short date, one space, long time; the time is left out at exactly
// midnight.
std::string ExportDateTimeText(const TmxDateTime& when, std::string_view shortDateFormat,
                               std::string_view longTimeFormat);

}  // namespace vorelia::exporter
