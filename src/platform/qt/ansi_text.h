#pragma once

#include <QString>

#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace vorelia::platform {

// The one place where the dataset's code page 1252 text meets Qt's strings.
inline QString FromAnsi(std::string_view text) {
  QString out;
  out.reserve(static_cast<qsizetype>(text.size()));
  for (char c : text) {
    out.append(QChar(static_cast<char16_t>(AnsiCharToUnicode(static_cast<unsigned char>(c)))));
  }
  return out;
}

inline std::string ToAnsi(const QString& text) {
  return Utf8ToAnsi(text.toUtf8().toStdString());
}

}  // namespace vorelia::platform
