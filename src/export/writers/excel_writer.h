#pragma once

#include "export/writers/export_writer.h"
#include "export/writers/native_excel.h"

namespace vorelia::exporter {

// The native spreadsheet document: fonts, page setup, the header text down the first column,
// the title row, one row per record and the footer text.
class TmxExcelWriter : public TmxExportWriter {
 public:
  using TmxExportWriter::TmxExportWriter;

 protected:
  void DoBegin() override;
  void DoRow(const TmxValues& values, int rowsWalked) override;
  void DoEnd() override;
  size_t BytesSoFar() const override { return m_sheet.Stream().size(); }
  void ReserveBytes(size_t bytes) override { m_sheet.Reserve(bytes); }

 private:
  void WriteCells(const TmxRowCells& row, uint8_t font);
  size_t WriteTextLines(const std::string& text);

  TmxNativeExcel m_sheet;
};

}  // namespace vorelia::exporter
