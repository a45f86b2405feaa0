#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "report/core/qr_expr_element.h"
#include "report/core/qr_expr_evaluator.h"

namespace vorelia::report {

// A field of a dataset, read from the dataset's current record at every evaluation. It keeps
// the field's position and name, not the field object, because a dataset frees its default
// fields when it closes.
class TQREvElementDataField : public TQREvElement {
 public:
  TQREvElementDataField(data::TDataSet* dataSet, int fieldIndex, std::string fieldName)
      : m_dataSet(dataSet), m_fieldIndex(fieldIndex), m_fieldName(std::move(fieldName)) {}
  // Strings, dates and times as text; integer kinds as integers; float kinds as floats;
  // booleans as booleans; other kinds "Field <name> is of unknown type". A field that cannot
  // be read gives the reading error's message.
  TQREvResult Value(TQREvaluator& evaluator) override;

 private:
  data::TDataSet* m_dataSet;
  int m_fieldIndex;
  std::string m_fieldName;
};

// The field element for "Dataset.FIELD" (the dataset by component name, any letter case) or
// "FIELD" (the first listed dataset that has it); nullptr when there is none.
std::unique_ptr<TQREvElement> FindDataField(const TQRDataSetList& dataSets, std::string_view text);

}  // namespace vorelia::report
