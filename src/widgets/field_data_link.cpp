#include "widgets/field_data_link.h"

#include "data/dataset.h"

namespace vorelia::widgets {

void TFieldDataLink::SetFieldName(std::string name) {
  m_fieldName = std::move(name);
  FindField();
  Fire(OnDataChange);
}

bool TFieldDataLink::CanModify() const {
  return !ReadOnly && Active() && m_field != nullptr && !m_field->ReadOnly &&
         DataSet()->CanModify();
}

void TFieldDataLink::FindField() {
  m_field = nullptr;
  if (Active() && !m_fieldName.empty()) m_field = DataSet()->FindField(m_fieldName);
}

void TFieldDataLink::ActiveChanged() {
  FindField();
  Fire(OnActiveChange);
  Fire(OnDataChange);
}

void TFieldDataLink::LayoutChanged() {
  FindField();
  Fire(OnDataChange);
}

void TFieldDataLink::RecordChanged(data::TField* field) {
  if (field == nullptr || field == m_field) Fire(OnDataChange);
}

void TFieldDataLink::EditingChanged() { Fire(OnEditingChange); }

void TFieldDataLink::UpdateData() { Fire(OnUpdateData); }

}  // namespace vorelia::widgets
