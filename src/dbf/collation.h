#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vorelia::dbf {

// A weight table maps each byte of a table code page to its place in the sort order; a null
// table is byte order (binary collation).
using TCollationTable = const uint8_t*;

// One slot of the collation registry: the weight table of a language driver and its name.
struct TCollation {
  TCollationTable weights = nullptr;
  std::string_view name;
};

// The registry slot of a language driver id. Slots that were never registered are binary
// with an empty name.
const TCollation& CollationForLanguageId(uint8_t languageId);

// The collation of an index: the table's language driver when it has one, else the id the index
// file stores, else binary.
TCollationTable ChooseCollation(uint8_t tableLanguageId, uint8_t indexLanguageId);

// Compares two character keys: weight by weight (bytes of equal weight are equal, there is no
// second pass over the raw bytes), then the shorter key is the smaller. Returns -1, 0 or 1.
int CompareCollated(TCollationTable weights, const uint8_t* a, size_t lengthA, const uint8_t* b,
                    size_t lengthB);

}  // namespace vorelia::dbf
