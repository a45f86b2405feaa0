#include "widgets/db_combo_box.h"

#include <QLineEdit>

#include "platform/qt/guard.h"

namespace vorelia::widgets {
namespace {

QLineEdit* MakeEditable(QComboBox* box) {
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setCompleter(nullptr);
  return box->lineEdit();
}

}  // namespace

TDBComboBox::TDBComboBox(QWidget* parent)
    : QComboBox(parent),
      m_editor(new TFieldEditor(this, MakeEditable(this), /*limitToFieldWidth=*/false)) {
  // Picking an item is typing its text.
  connect(this, &QComboBox::activated, this, [this](int index) {
    platform::Guarded([this, index] {
      const QString picked = itemText(index);
      m_editor->MarkEdited();
      lineEdit()->setText(picked);
    });
  });
}

}  // namespace vorelia::widgets
