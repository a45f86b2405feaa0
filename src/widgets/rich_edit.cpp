#include "widgets/rich_edit.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace vorelia::widgets {

TRichEdit::TRichEdit(QWidget* parent) : QTextEdit(parent) {
  setReadOnly(true);
  setAcceptRichText(false);
  setLineWrapMode(QTextEdit::WidgetWidth);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void TRichEdit::SetDefaultAttributes(const QFont& font, const QColor& color) {
  m_format = QTextCharFormat();
  m_format.setFont(font);
  m_format.setForeground(color);
  document()->setDefaultFont(font);
}

void TRichEdit::AddLine(const QString& text) {
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::End);
  QTextBlockFormat block;
  block.setAlignment(m_alignment);
  if (m_empty) {
    cursor.setBlockFormat(block);
    cursor.setBlockCharFormat(m_format);
    m_empty = false;
  } else {
    cursor.insertBlock(block, m_format);
  }
  cursor.insertText(text, m_format);
}

int TRichEdit::LineCount() const { return m_empty ? 0 : document()->blockCount(); }

}  // namespace vorelia::widgets
