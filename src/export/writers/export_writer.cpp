#include "export/writers/export_writer.h"

namespace vorelia::exporter {

void TmxExportWriter::BeginDocument(const TmxDocumentInfo& info) {
  m_info = info;
  m_rowsWritten = 0;
  m_out.clear();
  DoBegin();
  m_sizeBeforeRows = BytesSoFar();
}

void TmxExportWriter::WriteRow(const TmxValues& values, int rowsWalked) {
  DoRow(values, rowsWalked);
  ++m_rowsWritten;
  // Once the first rows show their typical size, room for the rest is taken in one step: a
  // large document then grows without copying itself over and over.
  if (m_rowsWritten == kSampleRows && m_info.TotalRows > kSampleRows) {
    const size_t size = BytesSoFar();
    const size_t perRow = (size - m_sizeBeforeRows) / kSampleRows + 1;
    const size_t rest = static_cast<size_t>(m_info.TotalRows - kSampleRows);
    if (perRow <= kReserveLimit / (rest + 1)) ReserveBytes(size + perRow * rest * 9 / 8);
  }
}

void TmxExportWriter::EndDocument() { DoEnd(); }

const TmxRowCells& TmxExportWriter::LayOutTitles() {
  m_titles = m_model.Titles();
  m_model.LayOutRow(m_titles, 0, m_cells);
  return m_cells;
}

const TmxRowCells& TmxExportWriter::LayOutData(const TmxValues& values) {
  m_model.LayOutRow(values, m_rowsWritten + 1, m_cells);
  return m_cells;
}

void TmxExportWriter::AppendText(std::string& out, std::string_view text) {
  size_t start = 0;
  for (size_t i = kLineBreaks.FindIn(text); i != std::string_view::npos;
       i = kLineBreaks.FindIn(text, start)) {
    out.append(text.substr(start, i - start));
    out += "\r\n";
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  out.append(text.substr(start));
}

void TmxExportWriter::AppendOneLine(std::string_view text) {
  size_t start = 0;
  for (size_t i = kLineBreaks.FindIn(text); i != std::string_view::npos;
       i = kLineBreaks.FindIn(text, start)) {
    m_out.append(text.substr(start, i - start));
    m_out += ' ';
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  m_out.append(text.substr(start));
}

}  // namespace vorelia::exporter
