#include "widgets/db_edit.h"

namespace vorelia::widgets {

TDBEdit::TDBEdit(QWidget* parent)
    : QLineEdit(parent), m_editor(new TFieldEditor(this, this, /*limitToFieldWidth=*/true)) {}

}  // namespace vorelia::widgets
