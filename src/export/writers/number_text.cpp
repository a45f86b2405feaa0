#include "export/writers/number_text.h"

#include <charconv>
#include <cmath>
#include <string>

namespace vorelia::exporter {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

size_t SkipSpaces(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  return i;
}

size_t SkipDigits(std::string_view text, size_t i) {
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i;
}

}  // namespace

std::optional<double> ReadDecimalNumber(std::string_view text) {
  size_t i = SkipSpaces(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const size_t start = i;
  i = SkipDigits(text, i);
  if (i == start) return std::nullopt;
  if (i < text.size() && text[i] == '.') {
    const size_t fraction = i + 1;
    i = SkipDigits(text, fraction);
    if (i == fraction) return std::nullopt;
  }
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    const size_t exponent = j;
    j = SkipDigits(text, exponent);
    if (j == exponent) return std::nullopt;
    i = j;
  }
  if (i != text.size()) return std::nullopt;
  // from_chars takes no leading '+', and never looks at the locale.
  double value = 0;
  const auto [end, error] = std::from_chars(text.data() + start, text.data() + i, value);
  if (error != std::errc() || end != text.data() + i || !std::isfinite(value)) return std::nullopt;
  return negative ? -value : value;
}

std::optional<int64_t> ReadInteger(std::string_view text) {
  size_t i = SkipSpaces(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) return std::nullopt;
  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    const int digit = base == 16 ? HexDigit(text[i]) : (IsDigit(text[i]) ? text[i] - '0' : -1);
    if (digit < 0) return std::nullopt;
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
  }
  if (negative) value = ~value + 1;
  return static_cast<int64_t>(value);
}

}  // namespace vorelia::exporter
