#include "platform/error_description.h"

#include <dlfcn.h>

#include <cstdio>
#include <stdexcept>

#include "platform/code_page.h"
#include "platform/errors.h"

namespace vorelia::platform {
namespace {

bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3
                                    : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

// Engine messages may carry table text in the ANSI code page (a file or field name); the error
// window speaks UTF-8.
std::string MessageText(const char* what) {
  std::string_view text(what);
  return IsValidUtf8(text) ? std::string(text) : AnsiToUtf8(text);
}

}  // namespace

TErrorDescription DescribeError(std::exception_ptr error, const void* fallbackAddress) {
  try {
    if (error) std::rethrow_exception(error);
  } catch (const EVoreliaError& e) {
    return {MessageText(e.what()), CodeAddress(e.Address())};
  } catch (const std::exception& e) {
    return {MessageText(e.what()), CodeAddress(fallbackAddress)};
  } catch (...) {
    return {"Unknown exception", CodeAddress(fallbackAddress)};
  }
  return {"", CodeAddress(fallbackAddress)};
}

bool IsSilentAbort(std::exception_ptr error) {
  try {
    if (error) std::rethrow_exception(error);
  } catch (const EAbort&) {
    return true;
  } catch (...) {
  }
  return false;
}

uint32_t CodeAddress(const void* address) {
  auto value = reinterpret_cast<uintptr_t>(address);
  Dl_info info{};
  if (address != nullptr && dladdr(address, &info) != 0 && info.dli_fbase != nullptr) {
    value -= reinterpret_cast<uintptr_t>(info.dli_fbase);
  }
  return static_cast<uint32_t>(value);
}

std::string FormatCodeAddress(uint32_t address) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(address));
  return text;
}

}  // namespace vorelia::platform
