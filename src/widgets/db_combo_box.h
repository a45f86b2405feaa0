#pragma once

#include <QComboBox>

#include <string>

#include "widgets/field_editor.h"

namespace vorelia::data {
class TDataSource;
}

namespace vorelia::widgets {

// A combo box bound to one field: its text can be typed freely (no width limit) or picked from
// the list; the field cuts the value to its width when stored, and the box then shows what
// was stored.
class TDBComboBox : public QComboBox {
  Q_OBJECT

 public:
  explicit TDBComboBox(QWidget* parent = nullptr);

  void SetDataSource(data::TDataSource* source) { m_editor->Link().SetDataSource(source); }
  void SetDataField(std::string name) { m_editor->Link().SetFieldName(std::move(name)); }
  data::TField* Field() const { return m_editor->Link().Field(); }
  TFieldEditor& Editor() { return *m_editor; }

 private:
  TFieldEditor* m_editor;
};

}  // namespace vorelia::widgets
