#include "export/writers/text_writer.h"

#include "export/writers/byte_set.h"

namespace vorelia::exporter {

void TmxTextWriter::DoBegin() {
  if (m_layout != Layout::Comma) WriteTextLines(Info().Header);
  if (HasOption(TmxExportOption::xoShowHeader)) WriteCells(LayOutTitles());
  if (m_layout == Layout::Plain && HasOption(TmxExportOption::xoHeaderLine)) WriteSeparator();
}

void TmxTextWriter::DoRow(const TmxValues& values, int) { WriteCells(LayOutData(values)); }

void TmxTextWriter::DoEnd() {
  if (m_layout == Layout::Comma) return;
  if (m_layout == Layout::Plain && HasOption(TmxExportOption::xoFooterLine)) WriteSeparator();
  WriteTextLines(Info().Footer);
  if (HasOption(TmxExportOption::xoShowExportDate)) AppendLine(Info().DateLine);
}

void TmxTextWriter::WriteTextLines(const std::string& text) {
  for (const std::string& line : SplitLines(text)) AppendLine(line);
}

void TmxTextWriter::WriteSeparator() {
  m_out.append(static_cast<size_t>(m_model.SeparatorLength()), '-');
  EndLine();
}

void TmxTextWriter::WriteCells(const TmxRowCells& row) {
  bool first = true;
  for (const TmxCell& cell : row.Cells) {
    if (!first) m_out += m_layout == Layout::Plain ? ' ' : m_layout == Layout::Comma ? ',' : '\t';
    first = false;
    switch (m_layout) {
      case Layout::Plain:
        WritePlainCell(cell);
        break;
      case Layout::Comma:
        WriteCommaCell(cell);
        break;
      case Layout::Tab:
        AppendText(cell.Text);
        break;
    }
  }
  EndLine();
}

void TmxTextWriter::WritePlainCell(const TmxCell& cell) {
  const size_t length = cell.Text.size();
  const size_t pad = cell.Width > 0 && static_cast<size_t>(cell.Width) > length
                         ? static_cast<size_t>(cell.Width) - length
                         : 0;
  size_t left = 0;
  if (cell.Alignment == 2) left = pad;
  if (cell.Alignment == 3) left = pad / 2;
  m_out.append(left, ' ');
  AppendText(cell.Text);
  m_out.append(pad - left, ' ');
}

// Quoted when a reader would otherwise split or misread the cell: a quote, a space, a comma or
// a line break inside it. Inner quotes are doubled.
void TmxTextWriter::WriteCommaCell(const TmxCell& cell) {
  const std::string_view text = cell.Text;
  static constexpr ByteSet kNeedQuotes("\" ,\r\n");
  if (kNeedQuotes.FindIn(text) == std::string_view::npos) {
    m_out.append(text);
    return;
  }
  m_out += '"';
  AppendDoubling<'"'>(text);
  m_out += '"';
}

}  // namespace vorelia::exporter
