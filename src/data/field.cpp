#include "data/field.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "data/data_error.h"
#include "data/dataset.h"

namespace vorelia::data {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::string Pad(int value, int width) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (static_cast<int>(digits.size()) < width)
    digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
  return value < 0 ? "-" + digits : digits;
}

std::string DateText(const TDate& date) {
  if (date == TDate{}) return {};
  return Pad(date.Year, 4) + "-" + Pad(date.Month, 2) + "-" + Pad(date.Day, 2);
}

std::string ShortestDouble(double value) {
  char text[40];
  for (int digits = 15; digits <= 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  return text;
}

// Generic text form of a value.
std::string ValueText(const TFieldValue& value) {
  struct Visitor {
    std::string operator()(std::monostate) const { return {}; }
    std::string operator()(const std::string& s) const { return s; }
    std::string operator()(int64_t i) const { return std::to_string(i); }
    std::string operator()(double d) const { return ShortestDouble(d); }
    std::string operator()(bool b) const { return b ? "True" : "False"; }
    std::string operator()(const TDate& d) const { return DateText(d); }
    std::string operator()(const TDateTime& dt) const {
      if (dt == TDateTime{}) return {};
      const int seconds = dt.Milliseconds / 1000;
      return DateText(dt.Date) + " " + Pad(seconds / 3600, 2) + ":" + Pad(seconds / 60 % 60, 2) +
             ":" + Pad(seconds % 60, 2);
    }
  };
  return std::visit(Visitor{}, value);
}

[[noreturn]] void BadText(std::string_view pattern, std::string_view text) {
  throw EDatabaseError(FormatMessage(pattern, {text}));
}

int64_t ParseInteger(std::string_view text) {
  const std::string trimmed(Trim(text));
  errno = 0;
  char* end = nullptr;
  const long long value = std::strtoll(trimmed.c_str(), &end, 10);
  if (trimmed.empty() || *end != '\0' || errno == ERANGE) BadText(msg::kNotAValidInteger, text);
  return value;
}

double ParseFloat(std::string_view text) {
  const std::string trimmed(Trim(text));
  char* end = nullptr;
  const double value = std::strtod(trimmed.c_str(), &end);
  if (trimmed.empty() || *end != '\0' || !std::isfinite(value)) BadText(msg::kNotAValidFloat, text);
  return value;
}

bool ParseBoolean(std::string_view text) {
  const std::string_view t = Trim(text);
  if (t.empty()) BadText(msg::kNotAValidBoolean, text);
  switch (t.front()) {
    case 'T': case 't': case 'Y': case 'y': case '1':
      if (t.size() == 1 || SameName(t, "true") || SameName(t, "yes")) return true;
      break;
    case 'F': case 'f': case 'N': case 'n': case '0':
      if (t.size() == 1 || SameName(t, "false") || SameName(t, "no")) return false;
      break;
    default:
      break;
  }
  BadText(msg::kNotAValidBoolean, text);
}

bool AllDigits(std::string_view t) {
  for (char c : t)
    if (c < '0' || c > '9') return false;
  return true;
}

bool ValidDate(const TDate& d) {
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (d.Year < 1 || d.Year > 9999 || d.Month < 1 || d.Month > 12 || d.Day < 1) return false;
  const bool leap = (d.Year % 4 == 0 && d.Year % 100 != 0) || d.Year % 400 == 0;
  const int days = d.Month == 2 && !leap ? 28 : kDays[d.Month - 1];
  return d.Day <= days;
}

TDate ParseDate(std::string_view text) {
  const std::string_view t = Trim(text);
  TDate date;
  if (t.size() == 8 && AllDigits(t)) {
    date = {std::atoi(std::string(t.substr(0, 4)).c_str()),
            std::atoi(std::string(t.substr(4, 2)).c_str()),
            std::atoi(std::string(t.substr(6, 2)).c_str())};
  } else if (t.size() == 10 && t[4] == '-' && t[7] == '-' && AllDigits(t.substr(0, 4)) &&
             AllDigits(t.substr(5, 2)) && AllDigits(t.substr(8, 2))) {
    date = {std::atoi(std::string(t.substr(0, 4)).c_str()),
            std::atoi(std::string(t.substr(5, 2)).c_str()),
            std::atoi(std::string(t.substr(8, 2)).c_str())};
  }
  if (!ValidDate(date)) BadText(msg::kNotAValidDate, text);
  return date;
}

// Types that store text as it is given.
bool IsTextType(TFieldType type) {
  return type == TFieldType::String || type == TFieldType::Memo || type == TFieldType::Blob ||
         type == TFieldType::Bytes || type == TFieldType::Unknown;
}

// True when Coerce would hand `value` back unchanged.
bool InStoredForm(const TFieldValue& value, TFieldType type) {
  if (IsNull(value)) return true;
  if (IsTextType(type)) return std::holds_alternative<std::string>(value);
  switch (type) {
    case TFieldType::SmallInt:
    case TFieldType::Integer:
    case TFieldType::LargeInt:
    case TFieldType::AutoInc: return std::holds_alternative<int64_t>(value);
    case TFieldType::Float:
    case TFieldType::BCD: return std::holds_alternative<double>(value);
    case TFieldType::Boolean: return std::holds_alternative<bool>(value);
    case TFieldType::Date: return std::holds_alternative<TDate>(value);
    case TFieldType::DateTime: return std::holds_alternative<TDateTime>(value);
    default: break;
  }
  return false;
}

// Converts a value to the form a field of `type` stores.
TFieldValue Coerce(TFieldValue value, TFieldType type) {
  if (IsNull(value)) return value;
  const auto* text = std::get_if<std::string>(&value);
  switch (type) {
    case TFieldType::String:
    case TFieldType::Memo:
    case TFieldType::Blob:
    case TFieldType::Bytes:
    case TFieldType::Unknown:
      if (text) return value;
      return ValueText(value);
    case TFieldType::SmallInt:
    case TFieldType::Integer:
    case TFieldType::LargeInt:
    case TFieldType::AutoInc:
      if (text) return Trim(*text).empty() ? TFieldValue{} : TFieldValue{ParseInteger(*text)};
      if (auto* d = std::get_if<double>(&value)) {
        if (!std::isfinite(*d)) BadText(msg::kNotAValidInteger, ValueText(value));
        return static_cast<int64_t>(std::llround(*d));
      }
      if (auto* b = std::get_if<bool>(&value)) return int64_t{*b ? 1 : 0};
      if (std::holds_alternative<int64_t>(value)) return value;
      BadText(msg::kNotAValidInteger, ValueText(value));
    case TFieldType::Float:
    case TFieldType::BCD:
      if (text) return Trim(*text).empty() ? TFieldValue{} : TFieldValue{ParseFloat(*text)};
      if (auto* i = std::get_if<int64_t>(&value)) return static_cast<double>(*i);
      if (auto* b = std::get_if<bool>(&value)) return *b ? 1.0 : 0.0;
      if (std::holds_alternative<double>(value)) return value;
      BadText(msg::kNotAValidFloat, ValueText(value));
    case TFieldType::Boolean:
      if (text) return Trim(*text).empty() ? TFieldValue{} : TFieldValue{ParseBoolean(*text)};
      if (auto* i = std::get_if<int64_t>(&value)) return *i != 0;
      if (auto* d = std::get_if<double>(&value)) return *d != 0.0;
      if (std::holds_alternative<bool>(value)) return value;
      BadText(msg::kNotAValidBoolean, ValueText(value));
    case TFieldType::Date:
      if (text) return Trim(*text).empty() ? TFieldValue{} : TFieldValue{ParseDate(*text)};
      if (auto* dt = std::get_if<TDateTime>(&value)) return dt->Date;
      if (std::holds_alternative<TDate>(value)) return value;
      BadText(msg::kNotAValidDate, ValueText(value));
    case TFieldType::DateTime:
      if (text) return Trim(*text).empty() ? TFieldValue{} : TFieldValue{TDateTime{ParseDate(*text), 0}};
      if (auto* d = std::get_if<TDate>(&value)) return TDateTime{*d, 0};
      if (std::holds_alternative<TDateTime>(value)) return value;
      BadText(msg::kNotAValidDate, ValueText(value));
  }
  return value;
}

}  // namespace

TFieldValue CoerceValue(const TFieldValue& value, TFieldType type) { return Coerce(value, type); }
std::string ValueToText(const TFieldValue& value) { return ValueText(value); }

TField::TField(std::string fieldName, TFieldType dataType, int size)
    : m_fieldName(std::move(fieldName)), m_dataType(dataType), m_size(size) {}

int TField::EffectiveDisplayWidth() const {
  if (DisplayWidth > 0) return DisplayWidth;
  switch (m_dataType) {
    case TFieldType::String:
    case TFieldType::Bytes: return m_size > 0 ? m_size : 10;
    case TFieldType::SmallInt: return 6;
    case TFieldType::Integer:
    case TFieldType::AutoInc: return 11;
    case TFieldType::LargeInt: return 15;
    case TFieldType::Boolean: return 5;
    case TFieldType::Date: return 10;
    case TFieldType::DateTime: return 18;
    default: return 10;
  }
}

TFieldValue TField::Value() const {
  return m_dataSet ? m_dataSet->ReadFieldValue(*this) : TFieldValue{};
}

void TField::SetValue(TFieldValue value) {
  if (!m_dataSet) throw EDatabaseError(std::string(msg::kDataSetClosed));
  // A value already in the field's own form goes as it is.
  if (InStoredForm(value, m_dataType))
    m_dataSet->WriteFieldValue(*this, value);
  else
    m_dataSet->WriteFieldValue(*this, Coerce(std::move(value), m_dataType));
}

bool TField::IsNull() const { return vorelia::data::IsNull(Value()); }

std::string TField::AsString() const {
  TFieldValue value = Value();
  // Text is shown as stored; handing it over saves a copy on every read.
  if (auto* text = std::get_if<std::string>(&value)) return std::move(*text);
  return FormatValue(value);
}
void TField::SetAsString(std::string_view text) { SetValue(ParseText(text)); }

int64_t TField::AsInteger() const {
  const TFieldValue v = Coerce(Value(), TFieldType::LargeInt);
  return data::IsNull(v) ? 0 : std::get<int64_t>(v);
}
void TField::SetAsInteger(int64_t value) { SetValue(TFieldValue{value}); }

double TField::AsFloat() const {
  const TFieldValue v = Coerce(Value(), TFieldType::Float);
  return data::IsNull(v) ? 0.0 : std::get<double>(v);
}
void TField::SetAsFloat(double value) { SetValue(TFieldValue{value}); }

bool TField::AsBoolean() const {
  const TFieldValue v = Coerce(Value(), TFieldType::Boolean);
  return data::IsNull(v) ? false : std::get<bool>(v);
}
void TField::SetAsBoolean(bool value) { SetValue(TFieldValue{value}); }

TDate TField::AsDate() const {
  const TFieldValue v = Coerce(Value(), TFieldType::Date);
  return data::IsNull(v) ? TDate{} : std::get<TDate>(v);
}
void TField::SetAsDate(const TDate& date) { SetValue(TFieldValue{date}); }

std::string TField::FormatValue(const TFieldValue& value) const { return ValueText(value); }

TFieldValue TField::ParseText(std::string_view text) const {
  if (IsTextType(m_dataType)) return TFieldValue{std::in_place_type<std::string>, text};
  return Coerce(TFieldValue{std::string(text)}, m_dataType);
}

std::string TFloatField::FormatValue(const TFieldValue& value) const {
  const auto* d = std::get_if<double>(&value);
  if (!d || Precision <= 0) return TField::FormatValue(value);
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", Precision, *d);
  return text;
}

std::unique_ptr<TField> CreateField(const TFieldDef& def) {
  std::unique_ptr<TField> field;
  switch (def.DataType) {
    case TFieldType::String:
      field = std::make_unique<TStringField>(def.Name, def.Size);
      break;
    case TFieldType::SmallInt:
    case TFieldType::Integer:
    case TFieldType::LargeInt:
    case TFieldType::AutoInc:
      field = std::make_unique<TIntegerField>(def.Name, def.DataType);
      break;
    case TFieldType::Float:
    case TFieldType::BCD:
      field = std::make_unique<TFloatField>(def.Name, def.DataType, def.Precision);
      break;
    case TFieldType::Boolean:
      field = std::make_unique<TBooleanField>(def.Name);
      break;
    case TFieldType::Date:
    case TFieldType::DateTime:
      field = std::make_unique<TDateField>(def.Name, def.DataType);
      break;
    case TFieldType::Memo:
    case TFieldType::Blob:
    case TFieldType::Bytes:
    case TFieldType::Unknown:
      field = std::make_unique<TBlobField>(def.Name, def.DataType);
      break;
  }
  field->SetSize(def.Size);
  field->ReadOnly = def.ReadOnly || def.DataType == TFieldType::AutoInc;
  field->Required = def.Required;
  return field;
}

}  // namespace vorelia::data
