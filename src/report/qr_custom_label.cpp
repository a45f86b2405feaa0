#include "report/qr_custom_label.h"

#include <algorithm>

#include "report/qr_custom_band.h"
#include "report/qr_custom_report.h"

namespace vorelia::report {

namespace {

bool IsBreakChar(char c) { return c == '\r' || c == ' ' || c == '-'; }

}  // namespace

TQRCustomLabel::TQRCustomLabel(std::string name) : TQRPrintable(std::move(name)) {}

void TQRCustomLabel::SetCaption(std::string caption) {
  m_caption = std::move(caption);
  m_printText = m_caption;
  BreakIntoLines();
}

void TQRCustomLabel::SetAutoSize(bool autoSize) {
  m_autoSize = autoSize;
  BreakIntoLines();
}

void TQRCustomLabel::SetWordWrap(bool wordWrap) {
  m_wordWrap = wordWrap;
  BreakIntoLines();
}

void TQRCustomLabel::SetFont(const TCanvasFont& font) {
  m_font = font;
  m_parentFont = false;
  BreakIntoLines();
}

void TQRCustomLabel::SetParentFont(bool parentFont) {
  m_parentFont = parentFont;
  BreakIntoLines();
}

TCanvasFont TQRCustomLabel::Font() const {
  if (!m_parentFont) return m_font;
  if (ParentBand()) return ParentBand()->Font();
  if (ParentReport()) return ParentReport()->Font;
  return m_font;
}

void TQRCustomLabel::SetPrintText(std::string text) {
  m_printText = std::move(text);
  BreakIntoLines();
}

int TQRCustomLabel::LineWidth(std::string_view text) const {
  const TQRCustomReport* report = ParentReport();
  if (!report) return 0;
  const int width = report->TextWidth(Font(), text);
  return RoundEven(static_cast<double>(width) * report->Zoom() / 100.0);
}

void TQRCustomLabel::ApplyMinimumHeight() {
  const TQRCustomReport* report = ParentReport();
  if (!report) return;
  const int minimum = report->TextHeight(Font(), "W") * report->Zoom() / 100 + 1;
  if (Height() < minimum) SetHeight(minimum);
}

void TQRCustomLabel::BreakIntoLines() {
  m_lines.clear();
  m_truncated = false;
  if (!m_fromLines) {
    AddLine(m_printText);
    ApplyMinimumHeight();
  } else if (!m_sourceLines.empty()) {
    if (m_autoSize) {
      m_lines = m_sourceLines;
    } else {
      for (const std::string& line : m_sourceLines) AddLine(line);
    }
  }
  if (!m_autoSize || !ParentReport()) return;
  int widest = 0;
  for (const std::string& line : m_lines) widest = std::max(widest, LineWidth(line));
  if (Frame().DrawLeft) widest += Frame().Width;
  if (Frame().DrawRight) widest += Frame().Width;
  int left = Left();
  if (Alignment == TAlignment::taRightJustify) left = left + Width() - widest;
  if (Alignment == TAlignment::taCenter) left = left + (Width() - widest) / 2;
  SetBounds(left, Top(), widest, Height());
  ApplyMinimumHeight();
}

void TQRCustomLabel::AddLine(std::string_view text) {
  std::string line;
  line.reserve(text.size());
  for (char c : text) {
    if (c != '\n') line += c;
  }
  const auto cr = line.find('\r');
  if (cr != std::string::npos) {
    std::size_t start = 0;
    while (true) {
      const auto end = line.find('\r', start);
      AddLine(std::string_view(line).substr(start, end == std::string::npos ? end : end - start));
      if (end == std::string::npos) break;
      start = end + 1;
    }
    return;
  }
  if (m_autoSize) {
    m_lines.push_back(line);
    m_truncated = true;
    return;
  }
  // Each source line starts afresh: a word dropped with WordWrap off drops the rest of its own
  // line only, never the lines after it.
  m_truncated = false;
  m_current.clear();
  std::size_t start = 0;
  while (start < line.size()) {
    std::size_t end = start;
    while (end < line.size() && !IsBreakChar(line[end])) ++end;
    if (end < line.size()) ++end;
    AddWord(std::string_view(line).substr(start, end - start));
    start = end;
  }
  if (!m_truncated) m_lines.push_back(m_current);
  m_current.clear();
}

void TQRCustomLabel::AddWord(std::string_view word) {
  if (m_truncated) return;
  const int width = Width();
  if (LineWidth(m_current + std::string(word)) <= width) {
    m_current += word;
    return;
  }
  std::string rest(word);
  if (m_current.empty()) {
    std::size_t next = 0;
    while (next < rest.size() && LineWidth(m_current + rest[next]) < width) {
      m_current += rest[next++];
    }
    rest.clear();
  }
  m_lines.push_back(m_current);
  m_current.clear();
  if (!rest.empty() && LineWidth(rest) > width) {
    if (width > 0) {
      while (!rest.empty() && LineWidth(rest) > width) rest.pop_back();
      m_lines.push_back(rest);
    }
    rest.clear();
  }
  if (!m_wordWrap) {
    rest.clear();
    m_truncated = true;
  }
  m_current = rest;
}

void TQRCustomLabel::Prepare() {
  TQRPrintable::Prepare();
  m_currentLine = 0;
  m_printText = m_caption;
  BreakIntoLines();
}

void TQRCustomLabel::Print(int x0, int y0) {
  if (!Prints()) return;
  GetPrintText();
  TQRCustomReport& report = *ParentReport();
  TPageCanvas& canvas = report.Canvas();
  const TCanvasFont font = Font();
  canvas.SetFont(font);

  // The OnPrint hook may replace the text for this printing only.
  std::string saved;
  bool replaced = false;
  if (!m_printText.empty() && OnPrint) {
    std::string value = m_printText;
    OnPrint(*this, value);
    if (value != m_printText) {
      saved = std::move(m_printText);
      m_printText = std::move(value);
      replaced = true;
    }
  }
  PrintLines(x0, y0);
  if (replaced) SetPrintText(std::move(saved));
}

void TQRCustomLabel::PrintLines(int x0, int y0) {
  TQRCustomReport& report = *ParentReport();
  TPageCanvas& canvas = report.Canvas();
  const double leftBefore = x0 + Size().Native(TQRPrintableSize::kLeft);
  double top = y0 + Size().Native(TQRPrintableSize::kTop);
  const double width0 = Size().Native(TQRPrintableSize::kWidth);
  const double height = Size().Native(TQRPrintableSize::kHeight);
  const double lineHeight = canvas.TextHeight("W") / report.VertFactor();

  BreakIntoLines();
  const double width = Size().Native(TQRPrintableSize::kWidth);
  // The background goes where the label now is, which is where its text goes.
  double left = x0 + Size().Native(TQRPrintableSize::kLeft);
  if (!Transparent) {
    canvas.SetBrush({Color, TBrushStyle::bsSolid});
    canvas.FillRect({report.DeviceX(left), report.DeviceY(top), report.DeviceX(left + width),
                     report.DeviceY(top + height)});
  }
  const double frameOffset = RoundEven(Frame().Width * 254.0 / 72.0);
  double textLeft = leftBefore;
  if (Frame().DrawTop) top += frameOffset;
  if (Frame().DrawLeft) {
    textLeft += frameOffset;
    left += frameOffset;
  }

  double bottomLimit = top + height + 1;
  double lineY = top;
  TAlignment alignment = Alignment;
  if (RightToLeft && alignment != TAlignment::taCenter) {
    alignment = alignment == TAlignment::taLeftJustify ? TAlignment::taRightJustify
                                                       : TAlignment::taLeftJustify;
  }
  double x = textLeft;
  if (m_autoSize && alignment == TAlignment::taRightJustify) x = textLeft - (width - width0);
  if (m_autoSize && alignment == TAlignment::taCenter) x = textLeft - (width - width0) / 2;
  TTextAlign align = TTextAlign::Left;
  if (alignment == TAlignment::taRightJustify) {
    x += width;
    align = TTextAlign::Right;
  } else if (alignment == TAlignment::taCenter) {
    x += width / 2;
    align = TTextAlign::Center;
  }

  TQRCustomBand* band = ParentBand();
  bool grewBand = false;
  const auto fits = [&] {
    if (bottomLimit >= lineY + lineHeight) return true;
    if (!AutoStretch || !band) return false;
    if (report.AvailableSpace() < RoundEven(lineHeight + band->NativeHeight() + band->Expanded)) {
      return false;
    }
    const double previous = band->Expanded;
    if (grewBand || lineHeight >= band->Expanded) band->Expanded += lineHeight;
    grewBand = true;
    bottomLimit = top + height + 1 + band->Expanded;
    if (!Transparent && band->Expanded != previous) {
      canvas.SetBrush({Color, TBrushStyle::bsSolid});
      canvas.FillRect({report.DeviceX(left), report.DeviceY(top + height + previous),
                       report.DeviceX(left + width),
                       report.DeviceY(top + height + band->Expanded)});
    }
    return true;
  };

  if (Finished()) m_currentLine = 0;
  const int lineCount = static_cast<int>(m_lines.size());
  while (m_currentLine < lineCount && fits()) {
    const std::string& line = m_lines[static_cast<std::size_t>(m_currentLine)];
    if (!line.empty()) {
      canvas.TextOut(report.DeviceX(x), report.DeviceY(lineY), line, align, RightToLeft);
    }
    lineY += lineHeight;
    ++m_currentLine;
  }
  SetFinished(!(m_currentLine < lineCount && AutoStretch));
  canvas.ClipOff();
  if (Frame().AnyFrame()) {
    Frame().PaintIt(canvas,
                    {report.DeviceX(left), report.DeviceY(top), report.DeviceX(left + width),
                     report.DeviceY(top + height + BandExpanded())},
                    report.HorzFactor(), report.VertFactor());
  }
}

}  // namespace vorelia::report
