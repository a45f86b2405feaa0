#pragma once

#include <QLineEdit>

#include <string>

#include "widgets/field_editor.h"

namespace vorelia::data {
class TDataSource;
}

namespace vorelia::widgets {

// An edit box bound to one field of a data source. Typing is limited to the field's width.
class TDBEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TDBEdit(QWidget* parent = nullptr);

  void SetDataSource(data::TDataSource* source) { m_editor->Link().SetDataSource(source); }
  void SetDataField(std::string name) { m_editor->Link().SetFieldName(std::move(name)); }
  data::TField* Field() const { return m_editor->Link().Field(); }
  TFieldEditor& Editor() { return *m_editor; }

 private:
  TFieldEditor* m_editor;
};

}  // namespace vorelia::widgets
