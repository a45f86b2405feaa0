#include "platform/error_description.h"

#include <dlfcn.h>

#include <cstdio>
#include <stdexcept>

#include "platform/errors.h"

namespace vorelia::platform {

TErrorDescription DescribeError(std::exception_ptr error, const void* fallbackAddress) {
  try {
    if (error) std::rethrow_exception(error);
  } catch (const EVoreliaError& e) {
    return {e.what(), CodeAddress(e.Address())};
  } catch (const std::exception& e) {
    return {e.what(), CodeAddress(fallbackAddress)};
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
