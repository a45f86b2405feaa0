#include "data/field_def.h"

namespace vorelia::data {

std::string_view FieldTypeName(TFieldType type) {
  switch (type) {
    case TFieldType::Unknown: return "Unknown";
    case TFieldType::String: return "String";
    case TFieldType::SmallInt: return "SmallInt";
    case TFieldType::Integer: return "Integer";
    case TFieldType::LargeInt: return "LargeInt";
    case TFieldType::AutoInc: return "AutoInc";
    case TFieldType::Float: return "Float";
    case TFieldType::BCD: return "BCD";
    case TFieldType::Boolean: return "Boolean";
    case TFieldType::Date: return "Date";
    case TFieldType::DateTime: return "DateTime";
    case TFieldType::Memo: return "Memo";
    case TFieldType::Blob: return "Blob";
    case TFieldType::Bytes: return "Bytes";
  }
  return "Unknown";
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

TFieldDef& TFieldDefs::Add(std::string name, TFieldType type, int size, bool required) {
  TFieldDef& def = m_defs.emplace_back();
  def.Name = std::move(name);
  def.DataType = type;
  def.Size = size;
  def.Required = required;
  def.FieldNo = static_cast<int>(m_defs.size());
  return def;
}

int TFieldDefs::IndexOf(std::string_view name) const {
  for (size_t i = 0; i < m_defs.size(); ++i)
    if (SameName(m_defs[i].Name, name)) return static_cast<int>(i);
  return -1;
}

const TFieldDef* TFieldDefs::Find(std::string_view name) const {
  const int index = IndexOf(name);
  return index < 0 ? nullptr : &m_defs[static_cast<size_t>(index)];
}

}  // namespace vorelia::data
