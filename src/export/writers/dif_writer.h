#pragma once

#include "export/writers/export_writer.h"

namespace vorelia::exporter {

// Data Interchange Format: one tuple per row, every value a quoted string.
class TmxDIFWriter : public TmxExportWriter {
 public:
  using TmxExportWriter::TmxExportWriter;

 protected:
  void DoBegin() override;
  void DoRow(const TmxValues& values, int rowsWalked) override;
  void DoEnd() override;

 private:
  void WriteTuple(const TmxRowCells& row);
};

}  // namespace vorelia::exporter
