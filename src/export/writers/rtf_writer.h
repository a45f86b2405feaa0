#pragma once

#include "export/writers/export_writer.h"

namespace vorelia::exporter {

// The rich text document of the Word and RTF formats (they differ only in extension): font and
// colour tables, margins, a style sheet and one table whose first row holds the titles.
class TmxRTFWriter : public TmxExportWriter {
 public:
  using TmxExportWriter::TmxExportWriter;

  // Right edge in twips of the k-th cell (k from 1) of every row.
  static int CellBoundary(int k, int cellWidth, int pixelsPerInch);
  // "{\f<n>\<family>\<charset> <name>;}"
  static std::string FontEntry(int n, const TmxFont& font);
  // "\fs16\b" for an 8-point bold font.
  static std::string FontStyle(const TmxFont& font);

 protected:
  void DoBegin() override;
  void DoRow(const TmxValues& values, int rowsWalked) override;
  void DoEnd() override;

 private:
  uint32_t SlotColor(int slot) const;
  std::string RowDefinition(const char* shading) const;
  void WriteRow(const TmxRowCells& row, const std::string& opening);
  void WriteParagraph(std::string_view text);
  void AppendEscaped(std::string_view text);

  std::string m_paragraphStart;
  // Row definition, paragraph start and font run of the title row and the data rows.
  std::string m_titleOpening;
  std::string m_evenOpening;
  std::string m_oddOpening;
};

}  // namespace vorelia::exporter
