#include "dbf/expression_parser.h"

#include <cstring>
#include <variant>

#include "platform/code_page.h"

namespace vorelia::dbf {
namespace {

class TRawStringField : public TExprVariable {
 public:
  TRawStringField(int offset, int size) : m_offset(offset), m_size(size) {}
  TExpressionType Type() const override { return TExpressionType::etString; }
  void Read(const uint8_t* record, TExprValue& value) const override {
    value.type = TExpressionType::etString;
    value.text.assign(reinterpret_cast<const char*>(record) + m_offset,
                      static_cast<size_t>(m_size));
  }
  int Offset() const { return m_offset; }
  int Size() const { return m_size; }

 private:
  int m_offset;
  int m_size;
};

class TTranslatedStringField : public TExprVariable {
 public:
  TTranslatedStringField(int offset, int size, int codePage)
      : m_offset(offset), m_size(size), m_codePage(codePage) {}
  TExpressionType Type() const override { return TExpressionType::etString; }
  void Read(const uint8_t* record, TExprValue& value) const override {
    std::string_view text(reinterpret_cast<const char*>(record) + m_offset,
                          static_cast<size_t>(m_size));
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    value.type = TExpressionType::etString;
    if (m_codePage != 0 && m_codePage != platform::AnsiCodePage())
      value.text = platform::ConvertCodePage(text, m_codePage, platform::AnsiCodePage());
    else
      value.text.assign(text);
  }

 private:
  int m_offset;
  int m_size;
  int m_codePage;
};

// Numbers, booleans and dates are decoded by the table file's own field reader.
class TValueField : public TExprVariable {
 public:
  TValueField(int fieldNo, TExpressionType type, const TFieldReader& reader)
      : m_fieldNo(fieldNo), m_type(type), m_reader(reader) {}
  TExpressionType Type() const override { return m_type; }
  void Read(const uint8_t* record, TExprValue& value) const override {
    const TFieldValue v = m_reader(m_fieldNo, record);
    value.type = m_type;
    value.integer = 0;
    value.floating = 0;
    value.boolean = false;
    value.dateTime = {};
    if (const auto* i = std::get_if<int64_t>(&v)) {
      value.integer = *i;
      value.floating = static_cast<double>(*i);
    } else if (const auto* d = std::get_if<double>(&v)) {
      value.floating = *d;
      value.integer = static_cast<int64_t>(*d);
    } else if (const auto* b = std::get_if<bool>(&v)) {
      value.boolean = *b;
    } else if (const auto* date = std::get_if<TDbfDate>(&v)) {
      value.dateTime.date = *date;
    } else if (const auto* dt = std::get_if<TDbfDateTime>(&v)) {
      value.dateTime = *dt;
    }
    if (m_type == TExpressionType::etInteger) value.integer = static_cast<int32_t>(value.integer);
  }

 private:
  int m_fieldNo;
  TExpressionType m_type;
  const TFieldReader& m_reader;
};

}  // namespace

TExpressionType ExpressionTypeOf(TFieldType type) {
  switch (type) {
    case TFieldType::ftString:
    case TFieldType::ftFixedChar:
    case TFieldType::ftWideString: return TExpressionType::etString;
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftAutoInc: return TExpressionType::etInteger;
    case TFieldType::ftBoolean: return TExpressionType::etBoolean;
    case TFieldType::ftFloat: return TExpressionType::etFloat;
    case TFieldType::ftDate:
    case TFieldType::ftDateTime: return TExpressionType::etDateTime;
    case TFieldType::ftLargeint: return TExpressionType::etLargeInt;
    default: return TExpressionType::etUnknown;
  }
}

TDbfParser::TDbfParser(const TDbfFieldDefs& fields, TFieldReader reader, int tableCodePage,
                       bool rawStrings)
    : m_fields(fields),
      m_reader(std::move(reader)),
      m_tableCodePage(tableCodePage),
      m_rawStrings(rawStrings) {}

std::unique_ptr<TExprVariable> TDbfParser::ResolveVariable(const std::string& upperName) {
  const int index = m_fields.IndexOf(upperName);
  if (index < 0) return nullptr;
  const TDbfFieldDef& def = m_fields[index];
  const TExpressionType type = ExpressionTypeOf(def.FieldType());
  if (type == TExpressionType::etUnknown)
    throw EParserException(InvalidFieldTypeMessage(def.FieldName));
  if (type == TExpressionType::etString) {
    if (m_rawStrings) return std::make_unique<TRawStringField>(def.Offset, def.Size);
    return std::make_unique<TTranslatedStringField>(def.Offset, def.Size, m_tableCodePage);
  }
  return std::make_unique<TValueField>(index, type, m_reader);
}

std::string TDbfParser::UnknownNameMessage(const std::string& name) const {
  return UnknownFieldMessage(name);
}

bool TDbfParser::Matches(const uint8_t* record) {
  if (ResultType() != TExpressionType::etBoolean) throw EParserException(kMsgTypeMismatch);
  return Evaluate(record).boolean;
}

TDbfIndexParser::TDbfIndexParser(const TDbfFieldDefs& fields, TFieldReader reader,
                                 std::vector<uint8_t> defaultRecord)
    : TDbfParser(fields, std::move(reader), 0, true), m_defaultRecord(std::move(defaultRecord)) {}

bool TDbfIndexParser::IsNumericKey() const {
  const TExpressionType t = ResultType();
  return t == TExpressionType::etInteger || t == TExpressionType::etFloat ||
         t == TExpressionType::etLargeInt;
}

void TDbfIndexParser::ParseKeyExpression(const std::string& text) {
  m_resultLength = 0;
  m_directOffset = -1;
  ParseExpression(text);
  switch (ResultType()) {
    case TExpressionType::etString: {
      if (const auto* field = dynamic_cast<const TRawStringField*>(SingleVariable())) {
        m_resultLength = field->Size();
        m_directOffset = field->Offset();
      } else {
        m_resultLength = static_cast<int>(Evaluate(m_defaultRecord.data()).text.size());
      }
      if (m_resultLength > 100)
        throw EParserException(IndexResultTooLongMessage(text, m_resultLength));
      break;
    }
    case TExpressionType::etInteger: m_resultLength = 4; break;
    case TExpressionType::etBoolean: m_resultLength = 1; break;
    default: m_resultLength = 8; break;
  }
}

const uint8_t* TDbfIndexParser::StringKey(const uint8_t* record) {
  if (m_directOffset >= 0) return record + m_directOffset;
  const TExprValue& value = Evaluate(record);
  m_key.assign(value.text, 0, std::min(value.text.size(), static_cast<size_t>(m_resultLength)));
  m_key.resize(static_cast<size_t>(m_resultLength), ' ');
  return reinterpret_cast<const uint8_t*>(m_key.data());
}

double TDbfIndexParser::NumericKey(const uint8_t* record) {
  const TExprValue& value = Evaluate(record);
  return value.type == TExpressionType::etFloat ? value.floating
                                                : static_cast<double>(value.integer);
}

}  // namespace vorelia::dbf
