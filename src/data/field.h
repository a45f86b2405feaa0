#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "data/field_def.h"

namespace vorelia::data {

class TDataSet;

// A field object: one column of the dataset, reading and writing the value of that column in
// the dataset's active record buffer (the current record, or a grid row while the grid reads
// it). Values pass through the dataset, which knows the record layout.
//
// Fields are either persistent (created by the program before open, kept across close and
// bound to a definition by name at open) or default (created at open from the definitions and
// freed at close). The dataset owns both kinds.
class TField {
 public:
  TField(std::string fieldName, TFieldType dataType, int size = 0);
  virtual ~TField() = default;
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  const std::string& FieldName() const { return m_fieldName; }
  TFieldType DataType() const { return m_dataType; }
  int Size() const { return m_size; }
  // 1-based position of the bound definition; 0 while unbound.
  int FieldNo() const { return m_fieldNo; }
  TDataSet* DataSet() const { return m_dataSet; }

  // Presentation properties used by grids and reports.
  std::string DisplayLabel;  // empty: FieldName
  int DisplayWidth = 0;      // characters; 0: derived from the size
  bool Visible = true;
  bool ReadOnly = false;
  bool Required = false;

  const std::string& DisplayName() const { return DisplayLabel.empty() ? m_fieldName : DisplayLabel; }
  int EffectiveDisplayWidth() const;

  // Value of the active record; null when the dataset has no active record.
  TFieldValue Value() const;
  // Writes into the active record. Requires: dataset in edit or insert state.
  void SetValue(TFieldValue value);
  bool IsNull() const;
  void Clear() { SetValue(TFieldValue{}); }

  // Conversions; null converts to "", 0, 0.0, false, a zero date.
  virtual std::string AsString() const;
  virtual void SetAsString(std::string_view text);
  int64_t AsInteger() const;
  void SetAsInteger(int64_t value);
  double AsFloat() const;
  void SetAsFloat(double value);
  bool AsBoolean() const;
  void SetAsBoolean(bool value);
  TDate AsDate() const;
  void SetAsDate(const TDate& date);
  // Text shown by controls and reports for the active record.
  virtual std::string DisplayText() const { return AsString(); }

  // Binding, done by the dataset.
  void Bind(TDataSet* dataSet, int fieldNo) {
    m_dataSet = dataSet;
    m_fieldNo = fieldNo;
  }
  void SetSize(int size) { m_size = size; }

 protected:
  // Text form of a value of this field's type; the inverse of ParseText.
  virtual std::string FormatValue(const TFieldValue& value) const;
  virtual TFieldValue ParseText(std::string_view text) const;

 private:
  std::string m_fieldName;
  TFieldType m_dataType;
  int m_size;
  int m_fieldNo = 0;
  TDataSet* m_dataSet = nullptr;
};

// Text field; its size is in characters. A value longer than the size is cut when stored.
class TStringField : public TField {
 public:
  explicit TStringField(std::string fieldName, int size = 20)
      : TField(std::move(fieldName), TFieldType::String, size) {}
};

class TIntegerField : public TField {
 public:
  explicit TIntegerField(std::string fieldName, TFieldType type = TFieldType::Integer)
      : TField(std::move(fieldName), type) {}
};

class TFloatField : public TField {
 public:
  explicit TFloatField(std::string fieldName, TFieldType type = TFieldType::Float, int precision = 0)
      : TField(std::move(fieldName), type), Precision(precision) {}
  int Precision;  // decimals shown; 0: shortest exact form

 protected:
  std::string FormatValue(const TFieldValue& value) const override;
};

// Boolean field: "True"/"False" as text; parses T/Y/1 and F/N/0 too.
class TBooleanField : public TField {
 public:
  explicit TBooleanField(std::string fieldName) : TField(std::move(fieldName), TFieldType::Boolean) {}
};

// Date field: "YYYY-MM-DD" as text, also accepted by SetAsString, as is "YYYYMMDD".
class TDateField : public TField {
 public:
  explicit TDateField(std::string fieldName, TFieldType type = TFieldType::Date)
      : TField(std::move(fieldName), type) {}
};

// Memo and blob fields: the whole text or bytes as AsString.
class TBlobField : public TField {
 public:
  explicit TBlobField(std::string fieldName, TFieldType type = TFieldType::Memo)
      : TField(std::move(fieldName), type) {}
};

// Converts a value to the form a field of `type` holds (text to number, number to text, ...);
// raises EDatabaseError when the text is not a valid value of the type.
TFieldValue CoerceValue(const TFieldValue& value, TFieldType type);
// Plain text form of a value: numbers shortest, booleans "True"/"False", dates "YYYY-MM-DD".
std::string ValueToText(const TFieldValue& value);

// A field object of the right class for a definition (used for default fields).
std::unique_ptr<TField> CreateField(const TFieldDef& def);

}  // namespace vorelia::data
