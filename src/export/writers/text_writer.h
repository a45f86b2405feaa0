#pragma once

#include "export/writers/export_writer.h"

namespace vorelia::exporter {

// The line-oriented text layouts: fixed-width plain text (also the clipboard's text),
// comma-separated and tab-separated.
class TmxTextWriter : public TmxExportWriter {
 public:
  enum class Layout : uint8_t { Plain, Comma, Tab };
  TmxTextWriter(const TmxColumnModel& model, Layout layout)
      : TmxExportWriter(model), m_layout(layout) {}

 protected:
  void DoBegin() override;
  void DoRow(const TmxValues& values, int rowsWalked) override;
  void DoEnd() override;

 private:
  void WriteCells(const TmxRowCells& row);
  void WritePlainCell(const TmxCell& cell);
  void WriteCommaCell(const TmxCell& cell);
  void WriteSeparator();
  void WriteTextLines(const std::string& text);

  Layout m_layout;
};

}  // namespace vorelia::exporter
