#include "export/writers/export_writer.h"

namespace vorelia::exporter {

void TmxExportWriter::BeginDocument(const TmxDocumentInfo& info) {
  m_info = info;
  m_rowsWritten = 0;
  m_out.clear();
  DoBegin();
}

void TmxExportWriter::WriteRow(const TmxValues& values, int rowsWalked) {
  DoRow(values, rowsWalked);
  ++m_rowsWritten;
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

void TmxExportWriter::AppendText(std::string_view text) {
  size_t start = 0;
  for (size_t i = text.find_first_of("\r\n"); i != std::string_view::npos;
       i = text.find_first_of("\r\n", start)) {
    m_out.append(text.substr(start, i - start));
    m_out += "\r\n";
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  m_out.append(text.substr(start));
}

void TmxExportWriter::AppendDoubling(std::string_view text, char c) {
  size_t start = 0;
  for (size_t i = text.find(c); i != std::string_view::npos; i = text.find(c, start)) {
    AppendText(text.substr(start, i + 1 - start));
    m_out += c;
    start = i + 1;
  }
  AppendText(text.substr(start));
}

}  // namespace vorelia::exporter
