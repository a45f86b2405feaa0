#pragma once

#include <functional>
#include <string>

#include "data/data_link.h"

namespace vorelia::widgets {

// The link of a control that shows one field of the current record (edit box, combo box). It
// finds its field again whenever the dataset opens or its fields change, and tells the control
// when to show the value, when editing starts or ends, and when to hand its text to the field.
class TFieldDataLink : public data::TDataLink {
 public:
  void SetFieldName(std::string name);
  const std::string& FieldName() const { return m_fieldName; }
  // nullptr while the dataset is closed or has no such field.
  data::TField* Field() const { return m_field; }
  // True when the field can take a value: active, not read-only, dataset modifiable.
  bool CanModify() const;

  std::function<void()> OnDataChange;     // show the field's current value
  std::function<void()> OnEditingChange;  // edit or insert state began or ended
  std::function<void()> OnUpdateData;     // hand pending text to the field now
  std::function<void()> OnActiveChange;   // the dataset opened or closed

 protected:
  void ActiveChanged() override;
  void LayoutChanged() override;
  void RecordChanged(data::TField* field) override;
  void EditingChanged() override;
  void UpdateData() override;

 private:
  void FindField();
  void Fire(const std::function<void()>& handler) const {
    if (handler) handler();
  }

  std::string m_fieldName;
  data::TField* m_field = nullptr;
};

}  // namespace vorelia::widgets
