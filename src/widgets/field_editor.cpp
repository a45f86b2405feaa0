#include "widgets/field_editor.h"

#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>

#include "data/dataset.h"
#include "platform/qt/guard.h"
#include "platform/qt/ansi_text.h"

namespace vorelia::widgets {
namespace {

// Keys that change the text of a line edit, so they must start editing first.
bool ChangesText(const QKeyEvent& key) {
  if (key.matches(QKeySequence::Paste) || key.matches(QKeySequence::Cut) ||
      key.matches(QKeySequence::Delete) || key.matches(QKeySequence::DeleteEndOfWord) ||
      key.matches(QKeySequence::DeleteStartOfWord) || key.matches(QKeySequence::Undo) ||
      key.matches(QKeySequence::Redo)) {
    return true;
  }
  if (key.key() == Qt::Key_Backspace || key.key() == Qt::Key_Delete) return true;
  if (key.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return false;
  const QString text = key.text();
  return !text.isEmpty() && text.at(0).isPrint();
}

}  // namespace

TFieldEditor::TFieldEditor(QWidget* owner, QLineEdit* edit, bool limitToFieldWidth)
    : QObject(owner), m_owner(owner), m_edit(edit), m_limitToFieldWidth(limitToFieldWidth) {
  m_link.OnDataChange = [this] { ShowValue(); };
  m_link.OnActiveChange = [this] { ShowValue(); };
  m_link.OnEditingChange = [this] {
    if (!m_link.Editing()) ShowValue();
  };
  m_link.OnUpdateData = [this] { UpdateRecord(); };
  owner->installEventFilter(this);
  if (edit != owner) edit->installEventFilter(this);
  connect(edit, &QLineEdit::textEdited, this, [this] {
    platform::Guarded([this] { MarkEdited(); });
  });
}

void TFieldEditor::ShowValue() {
  if (!m_edit) return;
  m_showing = true;
  data::TField* field = m_link.Field();
  int maxLength = 32767;
  if (m_limitToFieldWidth && field != nullptr && field->DataType() == data::TFieldType::String &&
      field->Size() > 0) {
    maxLength = field->Size();
  }
  m_edit->setMaxLength(maxLength);
  if (field == nullptr) {
    m_edit->clear();
  } else {
    m_edit->setText(
        platform::FromAnsi(m_link.Editing() ? field->AsString() : field->DisplayText()));
  }
  m_edit->setReadOnly(!m_link.CanModify());
  m_modified = false;
  m_showing = false;
}

void TFieldEditor::Reset() { ShowValue(); }

bool TFieldEditor::StartEditing() {
  if (m_link.Editing()) return true;
  if (!m_link.CanModify()) return false;
  // Starting the edit re-reads the record and shows it again; keep the caret and selection
  // where the user left them, so the key about to arrive lands there.
  const QString before = m_edit ? m_edit->text() : QString();
  const int cursor = m_edit ? m_edit->cursorPosition() : 0;
  const int selectionStart = m_edit ? m_edit->selectionStart() : -1;
  const int selectionLength = m_edit ? static_cast<int>(m_edit->selectedText().size()) : 0;
  const bool editing = m_link.Edit();
  if (m_edit && m_edit->text() == before) {
    if (selectionStart >= 0 && selectionLength > 0) {
      m_edit->setSelection(selectionStart, selectionLength);
      if (cursor == selectionStart) m_edit->setSelection(selectionStart + selectionLength, -selectionLength);
    } else {
      m_edit->setCursorPosition(cursor);
    }
  }
  return editing;
}

void TFieldEditor::MarkEdited() {
  if (m_showing || !m_edit) return;
  if (!m_link.Editing()) {
    // Starting the edit re-reads the record and shows its value; keep what the user typed.
    const QString typed = m_edit->text();
    const int cursor = m_edit->cursorPosition();
    if (!StartEditing()) {
      ShowValue();
      return;
    }
    m_showing = true;
    m_edit->setText(typed);
    m_edit->setCursorPosition(cursor);
    m_showing = false;
  }
  m_modified = true;
}

void TFieldEditor::UpdateRecord() {
  if (!m_modified || !m_edit) return;
  data::TField* field = m_link.Field();
  if (field == nullptr || !m_link.Editing()) return;
  m_modified = false;
  field->SetAsString(platform::ToAnsi(m_edit->text()));
}

bool TFieldEditor::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_owner && event->type() == QEvent::FocusIn) {
    platform::Guarded([this] {
      if (OnEnter) OnEnter();
    });
  } else if (watched == m_owner && event->type() == QEvent::FocusOut) {
    platform::Guarded([this] {
      UpdateRecord();
      if (OnExit) OnExit();
    });
  } else if (event->type() == QEvent::KeyPress && (watched == m_owner || watched == m_edit)) {
    auto* key = static_cast<QKeyEvent*>(event);
    // Esc always shows the field's value again and selects it, typed text or not.
    if (key->key() == Qt::Key_Escape) {
      platform::Guarded([this] {
        ShowValue();
        if (m_edit) m_edit->selectAll();
      });
      return true;
    }
    if (ChangesText(*key)) {
      bool editing = false;
      platform::Guarded([&] { editing = StartEditing(); });
      if (!editing) return true;  // a read-only record swallows the key
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace vorelia::widgets
