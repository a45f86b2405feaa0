#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dbf/dbf_common.h"

namespace vorelia::dbf {

// One field of a table as the file describes it: name, type character, size, decimal count,
// and the offset in the record that follows from the field order.
class TDbfFieldDef {
 public:
  std::string FieldName;      // upper case, at most 10 characters (level 7: 31)
  char NativeFieldType = 'C';  // upper case type character
  int32_t Size = 0;
  int32_t Precision = 0;      // decimal count
  int32_t Offset = 0;         // in the record; the deletion flag is byte 0
  bool Required = false;
  std::string DefaultValue;   // stored form, empty when none
  int32_t AutoIncNext = 0;    // level 7 '+' fields: next value
  bool HasDefault = false;

  // The type the dataset presents for this field.
  TFieldType FieldType() const;
  // Memo-like fields whose record bytes point into the memo file.
  bool IsBlob() const;
  // Fields stored in binary form, filled with zeros in the default record.
  bool IsBinary(int tableLevel) const;
};

// The field definitions of one table, in field order.
class TDbfFieldDefs {
 public:
  TDbfFieldDef& Add() { return m_defs.emplace_back(); }
  void Add(const TDbfFieldDef& def) { m_defs.push_back(def); }
  void Clear() { m_defs.clear(); }
  int Count() const { return static_cast<int>(m_defs.size()); }
  TDbfFieldDef& operator[](int index) { return m_defs[index]; }
  const TDbfFieldDef& operator[](int index) const { return m_defs[index]; }
  // Case-insensitive lookup; -1 when absent.
  int IndexOf(const std::string& name) const;

  auto begin() { return m_defs.begin(); }
  auto end() { return m_defs.end(); }
  auto begin() const { return m_defs.begin(); }
  auto end() const { return m_defs.end(); }

 private:
  std::vector<TDbfFieldDef> m_defs;
};

// The type character a dataset field type becomes at creation, or 0 when refused.
char NativeTypeFor(TFieldType type, int tableLevel);
// The size a field gets at creation when none is given (0 keeps the given one).
int32_t DefaultFieldSize(char nativeType, int tableLevel);

}  // namespace vorelia::dbf
