#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vorelia::data {

// The value types a dataset presents. Engines map their storage types onto these.
enum class TFieldType {
  Unknown,
  String,    // fixed-size text in the dataset's 8-bit code page
  SmallInt,  // 16-bit integer
  Integer,   // 32-bit integer
  LargeInt,  // 64-bit integer
  AutoInc,   // 32-bit integer numbered by the engine; read-only
  Float,     // double
  BCD,       // decimal number kept as double, with a decimal count
  Boolean,
  Date,
  DateTime,
  Memo,   // text of any length
  Blob,   // bytes of any length
  Bytes,  // fixed-size bytes
};

// The type's name as error messages show it ("String", "Integer", ...).
std::string_view FieldTypeName(TFieldType type);

// A calendar date; all zero is "no date".
struct TDate {
  int32_t Year = 0;
  int32_t Month = 0;
  int32_t Day = 0;
  friend bool operator==(const TDate&, const TDate&) = default;
};

struct TDateTime {
  TDate Date;
  int32_t Milliseconds = 0;  // since midnight
  friend bool operator==(const TDateTime&, const TDateTime&) = default;
};

// One field value. monostate is null. Text and bytes are both held in std::string (bytes of the
// dataset's code page for text).
using TFieldValue = std::variant<std::monostate, std::string, int64_t, double, bool, TDate, TDateTime>;

inline bool IsNull(const TFieldValue& value) {
  return std::holds_alternative<std::monostate>(value);
}

// The definition of one field as the open table presents it.
struct TFieldDef {
  std::string Name;
  TFieldType DataType = TFieldType::Unknown;
  int Size = 0;       // characters for strings, bytes for Bytes, digits for BCD
  int Precision = 0;  // decimal count of floats and BCD
  bool Required = false;
  bool ReadOnly = false;
  int FieldNo = 0;  // 1-based position, set by TFieldDefs::Add
};

// The ordered field definitions of a dataset. Names compare case-insensitively (ASCII).
class TFieldDefs {
 public:
  TFieldDef& Add(std::string name, TFieldType type, int size = 0, bool required = false);
  void Clear() { m_defs.clear(); }
  int Count() const { return static_cast<int>(m_defs.size()); }
  bool IsEmpty() const { return m_defs.empty(); }
  TFieldDef& operator[](int index) { return m_defs.at(static_cast<size_t>(index)); }
  const TFieldDef& operator[](int index) const { return m_defs.at(static_cast<size_t>(index)); }
  // -1 when no definition has that name.
  int IndexOf(std::string_view name) const;
  const TFieldDef* Find(std::string_view name) const;

  auto begin() const { return m_defs.begin(); }
  auto end() const { return m_defs.end(); }

 private:
  std::vector<TFieldDef> m_defs;
};

// ASCII case-insensitive name comparison used for field and index names.
bool SameName(std::string_view a, std::string_view b);

}  // namespace vorelia::data
