#pragma once

#include <string>

namespace vorelia::platform {

// The desktop clipboard, as far as the program uses it.
class IClipboard {
 public:
  virtual ~IClipboard() = default;
  // Replaces the clipboard's whole contents with plain text (UTF-8).
  virtual void SetText(const std::string& text) = 0;
};

}  // namespace vorelia::platform
