#pragma once

#include <cstdint>

#include "dbf/collation.h"

namespace vorelia::dbf {

// Numeric keys of multiple-index files: 12 bytes of decimal. Byte 0 is the decimal exponent
// (digits before the point) + 52; byte 1 is ((digits + 1) / 2) * 8 + 1, plus 0x80 when
// negative; bytes 2-11 the significant digits in packed decimal, high nibble first.
constexpr int kDecimalKeyLength = 12;
void EncodeDecimalKey(double value, uint8_t* key);
double DecodeDecimalKey(const uint8_t* key);
// Sign first (zero between the signs), then exponent, then the first eight digit bytes;
// inverted for two negative keys. Returns -1, 0 or 1.
int CompareDecimalKeys(const uint8_t* a, const uint8_t* b);

// Numeric keys of single-tag files: 8-byte little-endian doubles.
constexpr int kDoubleKeyLength = 8;
void EncodeDoubleKey(double value, uint8_t* key);
int CompareDoubleKeys(const uint8_t* a, const uint8_t* b);

// How one tag orders its keys.
struct TKeyComparator {
  enum Kind : uint8_t { kCollated, kDecimal, kDouble } kind = kCollated;
  TCollationTable weights = nullptr;
  int keyLength = 0;
  bool descending = false;

  int operator()(const uint8_t* a, const uint8_t* b) const {
    int rc;
    switch (kind) {
      case kDecimal: rc = CompareDecimalKeys(a, b); break;
      case kDouble: rc = CompareDoubleKeys(a, b); break;
      default:
        rc = CompareCollated(weights, a, static_cast<size_t>(keyLength), b,
                             static_cast<size_t>(keyLength));
        break;
    }
    return descending ? -rc : rc;
  }
};

}  // namespace vorelia::dbf
