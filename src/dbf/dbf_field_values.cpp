// Conversion between the stored form of each field type and the values the dataset works with.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dbf/byte_order.h"
#include "dbf/dbf_errors.h"
#include "dbf/dbf_file.h"
#include "dbf/memo_file.h"

namespace vorelia::dbf {
namespace {

std::string_view TrimRight(std::string_view text) { return TrimTrailingSpaces(text); }

std::string_view Trim(std::string_view text) {
  text = TrimRight(text);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return text;
}

// Julian day number of a Gregorian date and back (FoxPro date-times).
int64_t JulianDay(const TDbfDate& date) {
  const int a = (14 - date.month) / 12;
  const int64_t y = static_cast<int64_t>(date.year) + 4800 - a;
  const int m = date.month + 12 * a - 3;
  return date.day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
}

TDbfDate FromJulianDay(int64_t jdn) {
  const int64_t a = jdn + 32044;
  const int64_t b = (4 * a + 3) / 146097;
  const int64_t c = a - 146097 * b / 4;
  const int64_t d = (4 * c + 3) / 1461;
  const int64_t e = c - 1461 * d / 4;
  const int64_t m = (5 * e + 2) / 153;
  TDbfDate date;
  date.day = static_cast<int>(e - (153 * m + 2) / 5 + 1);
  date.month = static_cast<int>(m + 3 - 12 * (m / 10));
  date.year = static_cast<int>(100 * b + d - 4800 + m / 10);
  return date;
}

bool ValidDate(const TDbfDate& d) {
  return d.year >= 1 && d.year <= 9999 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
         d.day <= 31;
}

std::optional<double> AsNumber(const TFieldValue& value) {
  if (const auto* i = std::get_if<int64_t>(&value)) return static_cast<double>(*i);
  if (const auto* f = std::get_if<double>(&value)) return *f;
  if (const auto* b = std::get_if<bool>(&value)) return *b ? 1.0 : 0.0;
  if (const auto* s = std::get_if<std::string>(&value)) {
    const std::string text(Trim(*s));
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const double parsed = std::strtod(text.c_str(), &end);
    if (end != nullptr && *end == 0) return parsed;
  }
  return std::nullopt;
}

// Order-preserving form of a double: positive values get the sign bit set, negative ones are
// inverted, so the bytes compare like the numbers.
uint64_t OrderedBits(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof(bits));
  return (bits & 0x8000000000000000ull) ? ~bits : bits | 0x8000000000000000ull;
}

double FromOrderedBits(uint64_t bits) {
  bits = (bits & 0x8000000000000000ull) ? bits & ~0x8000000000000000ull : ~bits;
  double value;
  std::memcpy(&value, &bits, sizeof(value));
  return value;
}

}  // namespace

TFieldValue TDbfFile::ReadFieldValue(int fieldNo, const uint8_t* record) const {
  if (fieldNo < 0 || fieldNo >= m_fieldDefs.Count()) return std::monostate{};
  const TDbfFieldDef& def = m_fieldDefs[fieldNo];
  const uint8_t* at = record + def.Offset;
  const std::string_view raw(reinterpret_cast<const char*>(at), static_cast<size_t>(def.Size));
  switch (def.NativeFieldType) {
    case 'C': {
      const std::string_view text = TrimRight(raw);
      if (text.empty()) return std::monostate{};
      return std::string(text);
    }
    case 'N':
    case 'F': {
      const std::string text(Trim(raw));
      if (text.empty()) return std::monostate{};
      char* end = nullptr;
      if (def.Precision == 0) {
        const long long parsed = std::strtoll(text.c_str(), &end, 10);
        if (end != nullptr && *end == 0) return static_cast<int64_t>(parsed);
      }
      const double parsed = std::strtod(text.c_str(), &end);
      if (end == nullptr || *end != 0) return std::monostate{};
      if (def.Precision == 0) return static_cast<int64_t>(std::llround(parsed));
      return parsed;
    }
    case 'D': {
      const std::string text(Trim(raw));
      if (text.size() != 8 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::monostate{};
      TDbfDate date{std::atoi(text.substr(0, 4).c_str()), std::atoi(text.substr(4, 2).c_str()),
                    std::atoi(text.substr(6, 2).c_str())};
      if (!ValidDate(date)) return std::monostate{};
      return date;
    }
    case 'L':
      return at[0] == 'T' || at[0] == 't';
    case 'M':
    case 'B':
    case 'G': {
      if (def.NativeFieldType == 'B' && m_tableLevel == kLevelFoxPro && def.Size == 8) {
        double value;
        std::memcpy(&value, at, sizeof(value));
        return value;
      }
      int64_t block = 0;
      if (def.Size == 4) {
        block = GetLe32(at);
      } else {
        const std::string text(Trim(raw));
        if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
          return std::monostate{};
        block = std::atoll(text.c_str());
      }
      if (block <= 0 || block > INT32_MAX || !m_memoFile) return std::monostate{};
      std::string memo = m_memoFile->ReadMemo(static_cast<int32_t>(block));
      if (memo.empty()) return std::monostate{};
      return memo;
    }
    case 'I':
    case '+':
      if (def.Size < 4) return std::monostate{};
      if (m_tableLevel == kLevelFoxPro)
        return static_cast<int64_t>(static_cast<int32_t>(GetLe32(at)));
      return static_cast<int64_t>(static_cast<int32_t>(GetBe32(at) ^ 0x80000000u));
    case 'O':
      if (def.Size < 8) return std::monostate{};
      return FromOrderedBits(GetBe64(at));
    case '@': {
      if (def.Size < 8) return std::monostate{};
      const uint64_t bits = GetBe64(at);
      double value;
      std::memcpy(&value, &bits, sizeof(value));
      return value;
    }
    case 'T': {
      if (def.Size < 8) return std::monostate{};
      const int32_t day = static_cast<int32_t>(GetLe32(at));
      const int32_t ms = static_cast<int32_t>(GetLe32(at + 4));
      if (day <= 0) return std::monostate{};
      TDbfDateTime value{FromJulianDay(day), ms};
      if (!ValidDate(value.date)) return std::monostate{};
      return value;
    }
    case 'Y':
      if (def.Size < 8) return std::monostate{};
      return static_cast<double>(static_cast<int64_t>(GetLe64(at))) / 10000.0;
    default:
      return std::string(raw);
  }
}

void TDbfFile::WriteFieldValue(int fieldNo, const TFieldValue& value, uint8_t* record) {
  if (fieldNo < 0 || fieldNo >= m_fieldDefs.Count()) return;
  const TDbfFieldDef& def = m_fieldDefs[fieldNo];
  uint8_t* at = record + def.Offset;
  const auto size = static_cast<size_t>(def.Size);
  const bool isNull = std::holds_alternative<std::monostate>(value);
  auto putText = [&](std::string_view text, bool rightAlign) {
    std::memset(at, ' ', size);
    const size_t n = std::min(text.size(), size);
    if (n > 0) std::memcpy(at + (rightAlign ? size - n : 0), text.data(), n);
  };
  switch (def.NativeFieldType) {
    case 'C': {
      if (const auto* s = std::get_if<std::string>(&value)) {
        putText(*s, false);  // a longer value is cut to the field size
      } else if (isNull) {
        putText({}, false);
      } else if (auto number = AsNumber(value)) {
        char text[64];
        std::snprintf(text, sizeof(text), "%g", *number);
        putText(text, false);
      }
      return;
    }
    case 'N':
    case 'F': {
      const auto number = AsNumber(value);
      if (!number) {
        putText({}, true);
        return;
      }
      char text[512];
      int precision = def.Precision;
      std::snprintf(text, sizeof(text), "%.*f", precision, *number);
      // A value too wide for the field loses decimals first; its integer part never.
      while (std::strlen(text) > size && precision > 0) {
        std::snprintf(text, sizeof(text), "%.*f", --precision, *number);
      }
      if (std::strlen(text) > size) {
        throw EDbfError("Value " + std::string(text) + " does not fit field " + def.FieldName +
                        " of size " + std::to_string(def.Size) + ".");
      }
      putText(text, true);
      return;
    }
    case 'D': {
      const auto* date = std::get_if<TDbfDate>(&value);
      const auto* stamp = std::get_if<TDbfDateTime>(&value);
      const TDbfDate d = date ? *date : stamp ? stamp->date : TDbfDate{};
      if (!ValidDate(d)) {
        putText({}, false);
        return;
      }
      char text[16];
      std::snprintf(text, sizeof(text), "%04d%02d%02d", d.year, d.month, d.day);
      putText(text, false);
      return;
    }
    case 'L': {
      if (isNull) {
        at[0] = ' ';
        return;
      }
      const auto number = AsNumber(value);
      bool truth = number && *number != 0;
      if (const auto* s = std::get_if<std::string>(&value)) {
        truth = !s->empty() && (s->front() == 'T' || s->front() == 't');
      }
      at[0] = truth ? 'T' : 'F';
      return;
    }
    case 'M':
    case 'B':
    case 'G': {
      int32_t block = 0;
      if (const auto* s = std::get_if<std::string>(&value); s && m_memoFile) {
        block = m_memoFile->WriteMemo(*s);
      }
      if (size == 4) {
        PutLe32(at, static_cast<uint32_t>(block));
      } else if (block == 0) {
        putText({}, true);
      } else {
        putText(std::to_string(block), true);
      }
      return;
    }
    case 'I':
    case '+': {
      if (size < 4) return;
      const auto number = AsNumber(value);
      const auto v = static_cast<int32_t>(number ? std::llround(*number) : 0);
      if (m_tableLevel == kLevelFoxPro) {
        PutLe32(at, static_cast<uint32_t>(v));
      } else {
        PutBe32(at, static_cast<uint32_t>(v) ^ 0x80000000u);
      }
      return;
    }
    case 'O': {
      if (size < 8) return;
      const auto number = AsNumber(value);
      if (!number) {
        std::memset(at, 0, size);
        return;
      }
      PutBe64(at, OrderedBits(*number));
      return;
    }
    case 'T': {
      if (size < 8) return;
      const auto* stamp = std::get_if<TDbfDateTime>(&value);
      const auto* date = std::get_if<TDbfDate>(&value);
      const TDbfDateTime v = stamp ? *stamp : date ? TDbfDateTime{*date, 0} : TDbfDateTime{};
      if (!ValidDate(v.date)) {
        std::memset(at, 0, size);
        return;
      }
      PutLe32(at, static_cast<uint32_t>(JulianDay(v.date)));
      PutLe32(at + 4, static_cast<uint32_t>(v.milliseconds));
      return;
    }
    case 'Y': {
      if (size < 8) return;
      const auto number = AsNumber(value);
      PutLe64(at, static_cast<uint64_t>(number ? std::llround(*number * 10000.0) : 0));
      return;
    }
    case '@': {
      if (size < 8) return;
      const auto number = AsNumber(value);
      const double v = number ? *number : 0.0;
      uint64_t bits;
      std::memcpy(&bits, &v, sizeof(bits));
      PutBe64(at, bits);
      return;
    }
    default:
      if (const auto* s = std::get_if<std::string>(&value)) {
        std::memset(at, 0, size);
        std::memcpy(at, s->data(), std::min(s->size(), size));
      }
      return;
  }
}

}  // namespace vorelia::dbf
