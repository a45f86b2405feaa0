#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vorelia::exporter {

// A decimal number: optional leading spaces, optional sign, digits, optionally "." and digits,
// optionally an exponent (E or e, optional sign, digits), nothing after it. The decimal
// separator is "." whatever the locale. Out-of-range magnitudes are no number.
std::optional<double> ReadDecimalNumber(std::string_view text);

// An integer: optional leading spaces, optional sign, then decimal digits or hexadecimal digits
// after "$", "x", "X", "0x" or "0X". Overlong values wrap modulo 2^64 (callers keep low bits).
std::optional<int64_t> ReadInteger(std::string_view text);

}  // namespace vorelia::exporter
