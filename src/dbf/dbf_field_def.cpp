#include "dbf/dbf_field_def.h"

#include "platform/code_page.h"

namespace vorelia::dbf {

TFieldType TDbfFieldDef::FieldType() const {
  switch (NativeFieldType) {
    case 'C':
      return TFieldType::ftString;
    case 'N':
    case 'F':
      if (Precision != 0) return TFieldType::ftFloat;
      if (Size <= 4) return TFieldType::ftSmallint;
      if (Size <= 9) return TFieldType::ftInteger;
      return TFieldType::ftLargeint;
    case 'D':
      return TFieldType::ftDate;
    case 'L':
      return TFieldType::ftBoolean;
    case 'M':
      return TFieldType::ftMemo;
    case 'B':
      return TFieldType::ftBlob;
    case 'G':
      return TFieldType::ftDBaseOle;
    case 'I':
      return TFieldType::ftInteger;
    case '+':
      return TFieldType::ftAutoInc;
    case 'O':
      return TFieldType::ftFloat;
    case '@':
    case 'T':
      return TFieldType::ftDateTime;
    case 'Y':
      return TFieldType::ftCurrency;
    case '0':
      return TFieldType::ftBytes;
    default:
      return TFieldType::ftUnknown;
  }
}

bool TDbfFieldDef::IsBlob() const {
  return NativeFieldType == 'M' || NativeFieldType == 'B' || NativeFieldType == 'G';
}

bool TDbfFieldDef::IsBinary(int tableLevel) const {
  switch (NativeFieldType) {
    case '+':
    case '@':
    case 'I':
    case 'O':
    case 'T':
    case 'Y':
      return true;
    case 'M':
      return Size == 4;
    case 'B':
      return tableLevel == kLevelFoxPro;
    default:
      return false;
  }
}

int TDbfFieldDefs::IndexOf(const std::string& name) const {
  const std::string wanted = platform::AnsiUpper(name);
  for (size_t i = 0; i < m_defs.size(); ++i) {
    if (platform::AnsiUpper(m_defs[i].FieldName) == wanted) return static_cast<int>(i);
  }
  return -1;
}

char NativeTypeFor(TFieldType type, int tableLevel) {
  switch (type) {
    case TFieldType::ftString:
    case TFieldType::ftFixedChar:
    case TFieldType::ftWideString:
      return 'C';
    case TFieldType::ftSmallint:
    case TFieldType::ftWord:
    case TFieldType::ftFloat:
    case TFieldType::ftLargeint:
      return 'N';
    case TFieldType::ftInteger:
      return tableLevel == kLevel7 ? 'I' : 'N';
    case TFieldType::ftBoolean:
      return 'L';
    case TFieldType::ftDate:
      return 'D';
    case TFieldType::ftDateTime:
      if (tableLevel == kLevelFoxPro) return 'T';
      return tableLevel == kLevel7 ? '@' : 'D';
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
      return tableLevel == kLevelFoxPro ? 'Y' : 0;
    case TFieldType::ftAutoInc:
      return '+';
    case TFieldType::ftBlob:
      return 'B';
    case TFieldType::ftMemo:
      return 'M';
    case TFieldType::ftDBaseOle:
      return 'G';
    default:
      return 0;
  }
}

int32_t DefaultFieldSize(char nativeType, int tableLevel) {
  switch (nativeType) {
    case 'C':
      return 30;
    case 'N':
    case 'F':
      return 10;
    case 'D':
      return 8;
    case 'L':
      return 1;
    case 'M':
    case 'G':
      return tableLevel == kLevelFoxPro ? 4 : 10;
    case 'B':
      return 10;
    case 'I':
    case '+':
      return 4;
    case 'O':
    case '@':
    case 'Y':
      return 8;
    case 'T':
      return tableLevel == kLevelFoxPro ? 8 : 14;
    default:
      return 0;
  }
}

}  // namespace vorelia::dbf
