#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "report/qr_printable.h"

namespace vorelia::report {

// A text printable: its print text broken into lines that fit its width, sized to its text
// with AutoSize, and stretching its band over following pages with AutoStretch. Texts are
// ANSI bytes.
class TQRCustomLabel : public TQRPrintable {
 public:
  using TPrintEvent = std::function<void(TQRCustomLabel& label, std::string& value)>;

  explicit TQRCustomLabel(std::string name);

  const std::string& Caption() const { return m_caption; }
  void SetCaption(std::string caption);
  bool AutoSize() const { return m_autoSize; }
  void SetAutoSize(bool autoSize);
  bool AutoStretch = false;
  bool WordWrap() const { return m_wordWrap; }
  void SetWordWrap(bool wordWrap);
  // Font of its own, or its band's (then the report's) with ParentFont.
  bool ParentFont() const { return m_parentFont; }
  void SetFont(const TCanvasFont& font);
  void SetParentFont(bool parentFont);
  TCanvasFont Font() const;
  // Right-to-left reading mirrors the alignment.
  bool RightToLeft = false;
  TPrintEvent OnPrint;

  // The text printed in the current record and its formatted lines.
  const std::string& PrintText() const { return m_printText; }
  const std::vector<std::string>& Lines() const { return m_lines; }
  // Source lines of memo-like texts.
  std::vector<std::string>& SourceLines() { return m_sourceLines; }
  bool PrintsFromLines() const { return m_fromLines; }
  int CurrentLine() const { return m_currentLine; }

  // Formats the print text into lines at the layout resolution, resizing with AutoSize.
  void BreakIntoLines();

  void Prepare() override;
  void Print(int x0, int y0) override;

 protected:
  // Sets the text for this printing (data texts, system values).
  virtual void GetPrintText() {}
  void SetPrintText(std::string text);
  void SetPrintsFromLines(bool fromLines) { m_fromLines = fromLines; }

 private:
  int LineWidth(std::string_view text) const;
  void AddLine(std::string_view text);
  void AddWord(std::string_view word);
  void ApplyMinimumHeight();
  void PrintLines(int x0, int y0);

  std::string m_caption;
  std::string m_printText;
  bool m_autoSize = true;
  bool m_wordWrap = true;
  bool m_parentFont = true;
  TCanvasFont m_font;
  std::vector<std::string> m_sourceLines;
  std::vector<std::string> m_lines;
  bool m_fromLines = false;
  // Formatting state.
  std::string m_current;
  bool m_truncated = false;
  // Run state.
  int m_currentLine = 0;
};

// A fixed text.
class TQRLabel : public TQRCustomLabel {
 public:
  using TQRCustomLabel::TQRCustomLabel;
};

}  // namespace vorelia::report
