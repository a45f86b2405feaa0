#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

#include "widgets/field_data_link.h"

class QLineEdit;
class QWidget;

namespace vorelia::widgets {

// The behaviour every data-aware text editor shares, attached to a line edit (an edit box's own,
// or a combo box's): it shows the current record's value, puts the dataset into edit state
// when the user starts typing (the source edits automatically), hands its text to the record
// when it loses focus and when the record is posted, and restores the value on Esc.
//
// `owner` is the widget that takes focus and keys (the combo box, or the line edit itself).
class TFieldEditor : public QObject {
  Q_OBJECT

 public:
  TFieldEditor(QWidget* owner, QLineEdit* edit, bool limitToFieldWidth);

  TFieldDataLink& Link() { return m_link; }
  const TFieldDataLink& Link() const { return m_link; }
  bool Modified() const { return m_modified; }

  // Shows the field's value again, dropping typed text.
  void Reset();
  // Writes pending text into the field (no-op when nothing was typed).
  void UpdateRecord();
  // Marks the text as typed by the user: starts editing first, keeping the text.
  void MarkEdited();

  // Focus handlers (`<Control>Enter`, `<Control>Exit`).
  std::function<void()> OnEnter;
  std::function<void()> OnExit;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool StartEditing();
  void ShowValue();

  QPointer<QWidget> m_owner;
  QPointer<QLineEdit> m_edit;
  bool m_limitToFieldWidth;
  TFieldDataLink m_link;
  bool m_modified = false;
  bool m_showing = false;  // set while the editor itself changes the text
};

}  // namespace vorelia::widgets
