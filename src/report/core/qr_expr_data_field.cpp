#include "report/core/qr_expr_data_field.h"

#include <cstdint>
#include <exception>

#include "data/dataset.h"
#include "data/field.h"

namespace vorelia::report {

namespace {

std::unique_ptr<TQREvElement> FieldIn(data::TDataSet* dataSet, std::string_view fieldName) {
  if (!dataSet) return nullptr;
  for (int i = 0; i < dataSet->FieldCount(); ++i) {
    const data::TField& field = dataSet->Fields(i);
    if (data::SameName(field.FieldName(), fieldName)) {
      return std::make_unique<TQREvElementDataField>(dataSet, i, field.FieldName());
    }
  }
  return nullptr;
}

}  // namespace

std::unique_ptr<TQREvElement> FindDataField(const TQRDataSetList& dataSets,
                                            std::string_view text) {
  const std::size_t dot = text.find('.');
  if (dot == std::string_view::npos) {
    for (const TQRExprDataSet& entry : dataSets) {
      if (auto element = FieldIn(entry.DataSet, text)) return element;
    }
    return nullptr;
  }
  const std::string_view dataSetName = text.substr(0, dot);
  for (const TQRExprDataSet& entry : dataSets) {
    if (data::SameName(entry.Name, dataSetName)) return FieldIn(entry.DataSet, text.substr(dot + 1));
  }
  return nullptr;
}

TQREvResult TQREvElementDataField::Value(TQREvaluator&) {
  try {
    const data::TField* field = nullptr;
    if (m_fieldIndex < m_dataSet->FieldCount() &&
        data::SameName(m_dataSet->Fields(m_fieldIndex).FieldName(), m_fieldName)) {
      field = &m_dataSet->Fields(m_fieldIndex);
    } else {
      field = m_dataSet->FindField(m_fieldName);
    }
    if (!field) return TQREvResult::Error("Field " + m_fieldName + " not found");
    switch (field->DataType()) {
      case data::TFieldType::String:
      case data::TFieldType::Date:
      case data::TFieldType::DateTime:
        return TQREvResult::String(field->AsString());
      case data::TFieldType::SmallInt:
      case data::TFieldType::Integer:
      case data::TFieldType::AutoInc:
      case data::TFieldType::LargeInt: {
        const std::int64_t value = field->AsInteger();
        if (value >= INT32_MIN && value <= INT32_MAX) {
          return TQREvResult::Integer(static_cast<std::int32_t>(value));
        }
        return TQREvResult::Float(static_cast<double>(value));
      }
      case data::TFieldType::Float:
      case data::TFieldType::BCD:
        return TQREvResult::Float(field->AsFloat());
      case data::TFieldType::Boolean:
        return TQREvResult::Boolean(field->AsBoolean());
      default:
        return TQREvResult::Error("Field " + m_fieldName + " is of unknown type");
    }
  } catch (const std::exception& error) {
    return TQREvResult::Error(error.what());
  }
}

}  // namespace vorelia::report
