#pragma once

#include <QTextCharFormat>
#include <QTextEdit>

namespace vorelia::widgets {

// A read-only rich-text box filled line by line: each added line is a paragraph in the current
// paragraph alignment and the attributes set for the text added next.
class TRichEdit : public QTextEdit {
  Q_OBJECT

 public:
  explicit TRichEdit(QWidget* parent = nullptr);

  // The box's default font for text added before any attribute change.
  void SetDefaultAttributes(const QFont& font, const QColor& color);
  void SetParagraphAlignment(Qt::Alignment alignment) { m_alignment = alignment; }
  // Applies to the lines added afterwards.
  void SetAttributes(const QTextCharFormat& format) { m_format = format; }
  const QTextCharFormat& Attributes() const { return m_format; }
  void AddLine(const QString& text);
  int LineCount() const;

 private:
  QTextCharFormat m_format;
  Qt::Alignment m_alignment = Qt::AlignLeft;
  bool m_empty = true;
};

}  // namespace vorelia::widgets
