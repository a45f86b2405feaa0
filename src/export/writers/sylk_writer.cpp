#include "export/writers/sylk_writer.h"

namespace vorelia::exporter {

void TmxSYLKWriter::DoBegin() {
  m_row = 1;
  AppendLine("ID;P" + Settings().DocumentTitle);
  if (HasOption(TmxExportOption::xoShowHeader)) WriteCells(LayOutTitles());
}

void TmxSYLKWriter::DoRow(const TmxValues& values, int) { WriteCells(LayOutData(values)); }

void TmxSYLKWriter::DoEnd() { AppendLine("E"); }

// A ';' ends a field unless doubled; quotes inside a string stay single, since readers do not
// undouble them.
void TmxSYLKWriter::WriteCells(const TmxRowCells& row) {
  const std::string y = ";Y" + std::to_string(m_row) + ";K\"";
  for (const TmxCell& cell : row.Cells) {
    m_out += "C;X";
    m_out += std::to_string(cell.Position);
    m_out += y;
    AppendDoubling(cell.Text, ';');
    m_out += "\"\r\n";
  }
  ++m_row;
}

}  // namespace vorelia::exporter
