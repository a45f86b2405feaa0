#pragma once

#include "export/writers/export_writer.h"

namespace vorelia::exporter {

// Symbolic link format: one C record per cell, positioned by column and row counter.
class TmxSYLKWriter : public TmxExportWriter {
 public:
  using TmxExportWriter::TmxExportWriter;

 protected:
  void DoBegin() override;
  void DoRow(const TmxValues& values, int rowsWalked) override;
  void DoEnd() override;

 private:
  void WriteCells(const TmxRowCells& row);

  int m_row = 1;                          // grows after every row written, the title row included
  std::vector<std::string> m_cellStarts;  // "C;X<column>" per written column
};

}  // namespace vorelia::exporter
