#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace vorelia::platform {

// What the error window shows of one exception.
struct TErrorDescription {
  std::string message;  // the exception's message text in UTF-8 (ANSI messages are converted)
  uint32_t address;     // code address, as the program prints it
};

// Message and address of any exception. Errors of the program carry their raise address; for
// others the address is informational: `fallbackAddress`, the place where the error was caught.
TErrorDescription DescribeError(std::exception_ptr error, const void* fallbackAddress);

// True for the silent abort, which the error path ignores.
bool IsSilentAbort(std::exception_ptr error);

// A code address as 32 bits: its offset inside the loaded executable or library that holds it,
// which is what `addr2line -e vorelia 0x...` expects and always fits in eight hex digits.
uint32_t CodeAddress(const void* address);

// Eight upper-case hexadecimal digits, as "%p" printed addresses on the original platform.
std::string FormatCodeAddress(uint32_t address);

}  // namespace vorelia::platform
