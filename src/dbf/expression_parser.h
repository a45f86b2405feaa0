#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dbf/dbf_common.h"
#include "dbf/dbf_field_def.h"
#include "dbf/expression_core.h"

namespace vorelia::dbf {

// Reads the value of field `fieldNo` (0-based) from a record, as the table file does.
using TFieldReader = std::function<TFieldValue(int fieldNo, const uint8_t* record)>;

// An expression over the fields of one table. String fields are either raw (the stored bytes
// in the table code page, trailing spaces kept, as every index parser reads them) or translated
// (trailing spaces removed, converted to the ANSI code page, as filters read them).
class TDbfParser : public TCustomExpressionParser {
 public:
  TDbfParser(const TDbfFieldDefs& fields, TFieldReader reader, int tableCodePage,
             bool rawStrings);

  // A filter: true when the expression holds for the record. Raises EParserException when
  // the expression is not a boolean one.
  bool Matches(const uint8_t* record);

 protected:
  std::unique_ptr<TExprVariable> ResolveVariable(const std::string& upperName) override;
  std::string UnknownNameMessage(const std::string& name) const override;

  const TDbfFieldDefs& Fields() const { return m_fields; }

 private:
  const TDbfFieldDefs& m_fields;
  TFieldReader m_reader;
  int m_tableCodePage;
  bool m_rawStrings;
};

// The key expression of an index tag: raw strings, a result length, and the key bytes of a
// record. Character keys are the string result over the result length; numeric results are
// given as a number for the index to encode.
class TDbfIndexParser : public TDbfParser {
 public:
  // `defaultRecord` is a blank record of the table, on which the length of a computed string
  // result is measured.
  TDbfIndexParser(const TDbfFieldDefs& fields, TFieldReader reader,
                  std::vector<uint8_t> defaultRecord);

  // Parses and measures. Raises EParserException, or for a string result longer than 100
  // bytes "Index result for ... too long".
  void ParseKeyExpression(const std::string& text);

  // Bytes of the result: the field size for a single string field, else the length on the
  // blank record; 4 integer, 1 boolean, 8 float, large integer and date-time.
  int ResultLength() const { return m_resultLength; }
  bool IsStringKey() const { return ResultType() == TExpressionType::etString; }
  bool IsNumericKey() const;

  // The character key of a record: ResultLength() bytes, valid until the next call.
  const uint8_t* StringKey(const uint8_t* record);
  // The numeric value of a record's key.
  double NumericKey(const uint8_t* record);

 private:
  std::vector<uint8_t> m_defaultRecord;
  int m_resultLength = 0;
  int m_directOffset = -1;  // a single raw string field: its offset in the record
  std::string m_key;
};

// The expression type a field of this dataset type gives, or etUnknown when no expression can
// use it.
TExpressionType ExpressionTypeOf(TFieldType type);

}  // namespace vorelia::dbf
