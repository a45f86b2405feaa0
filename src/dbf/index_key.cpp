#include "dbf/index_key.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace vorelia::dbf {

void EncodeDecimalKey(double value, uint8_t* key) {
  std::memset(key, 0, kDecimalKeyLength);
  if (!std::isfinite(value) || value == 0.0) {
    key[0] = 52;
    key[1] = 1;
    return;
  }
  // Shortest digits that give the value back, as d.ddddde±x.
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text - 1, std::fabs(value),
                                    std::chars_format::scientific);
  *result.ptr = '\0';
  std::string digits;
  const char* p = text;
  for (; p < result.ptr && *p != 'e'; ++p) {
    if (*p >= '0' && *p <= '9') digits += *p;
  }
  const int exponent = p < result.ptr ? std::atoi(p + 1) : 0;
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  if (digits.size() > 20) digits.resize(20);
  const int count = static_cast<int>(digits.size());
  key[0] = static_cast<uint8_t>(52 + exponent + 1);
  key[1] = static_cast<uint8_t>(((count + 1) / 2) * 8 + 1 + (value < 0 ? 0x80 : 0));
  for (int i = 0; i < count; ++i) {
    const uint8_t d = static_cast<uint8_t>(digits[i] - '0');
    key[2 + i / 2] |= (i % 2 == 0) ? static_cast<uint8_t>(d << 4) : d;
  }
}

double DecodeDecimalKey(const uint8_t* key) {
  std::string text = "0.";
  for (int i = 0; i < 20; ++i) {
    const int d = (i % 2 == 0) ? key[2 + i / 2] >> 4 : key[2 + i / 2] & 0x0F;
    text += static_cast<char>('0' + (d > 9 ? 0 : d));
  }
  text += "e" + std::to_string(static_cast<int>(key[0]) - 52);
  const double magnitude = std::strtod(text.c_str(), nullptr);
  return (key[1] & 0x80) ? -magnitude : magnitude;
}

namespace {

int SignOf(const uint8_t* key) {
  bool zero = true;
  for (int i = 2; i < kDecimalKeyLength; ++i) zero = zero && key[i] == 0;
  if (zero) return 0;
  return (key[1] & 0x80) ? -1 : 1;
}

}  // namespace

int CompareDecimalKeys(const uint8_t* a, const uint8_t* b) {
  const int sa = SignOf(a);
  const int sb = SignOf(b);
  if (sa != sb) return sa < sb ? -1 : 1;
  if (sa == 0) return 0;
  int rc = 0;
  if (a[0] != b[0]) {
    rc = a[0] < b[0] ? -1 : 1;
  } else {
    const int m = std::memcmp(a + 2, b + 2, 8);
    rc = m < 0 ? -1 : m > 0 ? 1 : 0;
  }
  return sa < 0 ? -rc : rc;
}

void EncodeDoubleKey(double value, uint8_t* key) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  for (int i = 0; i < 8; ++i) key[i] = static_cast<uint8_t>(bits >> (8 * i));
}

int CompareDoubleKeys(const uint8_t* a, const uint8_t* b) {
  uint64_t ba = 0;
  uint64_t bb = 0;
  for (int i = 7; i >= 0; --i) {
    ba = (ba << 8) | a[i];
    bb = (bb << 8) | b[i];
  }
  double x;
  double y;
  std::memcpy(&x, &ba, sizeof x);
  std::memcpy(&y, &bb, sizeof y);
  return x < y ? -1 : x > y ? 1 : 0;
}

}  // namespace vorelia::dbf
