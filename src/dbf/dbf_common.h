#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <variant>

namespace vorelia::dbf {

// How a paged file is opened (the value is part of the engine's vocabulary: 0 to 7).
enum class TPagedFileMode : uint8_t {
  pfNone = 0,
  pfMemoryCreate = 1,
  pfMemoryOpen = 2,
  pfExclusiveCreate = 3,
  pfExclusiveOpen = 4,
  pfReadWriteCreate = 5,
  pfReadWriteOpen = 6,
  pfReadOnly = 7,
};

// Table levels: 3 and 4 (dBase III/IV), 7 (dBase 7) and 25 (FoxPro).
constexpr int kLevel3 = 3;
constexpr int kLevel4 = 4;
constexpr int kLevel7 = 7;
constexpr int kLevelFoxPro = 25;

// Field types as the dataset presents them.
enum class TFieldType : uint8_t {
  ftUnknown,
  ftString,
  ftFixedChar,
  ftWideString,
  ftSmallint,
  ftInteger,
  ftWord,
  ftLargeint,
  ftFloat,
  ftCurrency,
  ftBCD,
  ftBoolean,
  ftDate,
  ftDateTime,
  ftAutoInc,
  ftBlob,
  ftMemo,
  ftDBaseOle,
  ftBytes,
};

// Index options; ixDescending, ixUnique and ixPrimary decide order and uniqueness.
enum TIndexOption : uint8_t {
  ixPrimary = 0x01,
  ixUnique = 0x02,
  ixDescending = 0x04,
  ixCaseInsensitive = 0x08,
  ixExpression = 0x10,
  ixNonMaintained = 0x20,
};
using TIndexOptions = uint8_t;

// A calendar date; {0,0,0} is no date.
struct TDbfDate {
  int year = 0;
  int month = 0;
  int day = 0;
  friend bool operator==(const TDbfDate&, const TDbfDate&) = default;
};

struct TDbfDateTime {
  TDbfDate date;
  int32_t milliseconds = 0;  // since midnight
  friend bool operator==(const TDbfDateTime&, const TDbfDateTime&) = default;
};

// A field value crossing between the record bytes and the dataset. monostate is null.
// Strings are bytes in the table code page; integers of every width travel as int64_t;
// floats, currency and BCD as double.
using TFieldValue =
    std::variant<std::monostate, std::string, int64_t, double, bool, TDbfDate, TDbfDateTime>;

// Bytes of the table format.
constexpr uint8_t kRecordLive = 0x20;
constexpr uint8_t kRecordDeleted = 0x2A;
constexpr uint8_t kHeaderTerminator = 0x0D;
constexpr uint8_t kEndOfFile = 0x1A;
constexpr int kMaxFieldCount = 4095;

// The text without its trailing spaces. Wide text fields are mostly padding, so it is skipped
// eight bytes at a time.
inline std::string_view TrimTrailingSpaces(std::string_view text) {
  constexpr uint64_t kSpaces = 0x2020202020202020ull;
  while (text.size() >= 8) {
    uint64_t tail;
    std::memcpy(&tail, text.data() + text.size() - 8, sizeof(tail));
    if (tail != kSpaces) break;
    text.remove_suffix(8);
  }
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace vorelia::dbf
