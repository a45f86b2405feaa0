#include "export/writers/dif_writer.h"

namespace vorelia::exporter {

void TmxDIFWriter::DoBegin() {
  AppendLine("TABLE");
  AppendLine("0,1");
  AppendLine("\"" + Settings().DocumentTitle + "\"");
  AppendLine("VECTORS");
  AppendLine("0," + std::to_string(m_model.LayoutColumnCount()));
  AppendLine("\"\"");
  AppendLine("TUPLES");
  AppendLine("0," + std::to_string(Info().TotalRows));
  AppendLine("\"\"");
  AppendLine("DATA");
  AppendLine("0,0");
  AppendLine("\"\"");
  if (HasOption(TmxExportOption::xoShowHeader)) WriteTuple(LayOutTitles());
}

void TmxDIFWriter::DoRow(const TmxValues& values, int) { WriteTuple(LayOutData(values)); }

void TmxDIFWriter::DoEnd() {
  AppendLine("-1,0");
  AppendLine("EOD");
}

// Every value is a string in quotes, inner quotes as they are: DIF readers take the string up
// to the last quote of the line, and an unquoted or empty line ends their reading early. A value
// is one line, so its line breaks become spaces.
void TmxDIFWriter::WriteTuple(const TmxRowCells& row) {
  m_out += "-1,0\r\nBOT\r\n";
  for (const TmxCell& cell : row.Cells) {
    m_out += "1,0\r\n\"";
    AppendOneLine(cell.Text);
    m_out += "\"\r\n";
  }
}

}  // namespace vorelia::exporter
