#include "export/writers/sylk_writer.h"

namespace vorelia::exporter {

void TmxSYLKWriter::DoBegin() {
  m_row = 1;
  m_cellStarts.clear();
  for (const TmxCell& cell : LayOutTitles().Cells) {
    m_cellStarts.push_back("C;X" + std::to_string(cell.Position));
  }
  AppendLine("ID;P" + Settings().DocumentTitle);
  if (HasOption(TmxExportOption::xoShowHeader)) WriteCells(LayOutTitles());
}

void TmxSYLKWriter::DoRow(const TmxValues& values, int) { WriteCells(LayOutData(values)); }

void TmxSYLKWriter::DoEnd() { AppendLine("E"); }

// A ';' ends a field unless doubled; quotes inside a string stay single, since readers do not
// undouble them. A record is one line, so a value's line breaks become spaces.
void TmxSYLKWriter::WriteCells(const TmxRowCells& row) {
  const std::string y = ";Y" + std::to_string(m_row) + ";K\"";
  for (size_t i = 0; i < row.Cells.size() && i < m_cellStarts.size(); ++i) {
    const TmxCell& cell = row.Cells[i];
    m_out += m_cellStarts[i];
    m_out += y;
    AppendDoubling<';', true>(cell.Text);
    m_out += "\"\r\n";
  }
  ++m_row;
}

}  // namespace vorelia::exporter
