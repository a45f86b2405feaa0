#pragma once

#include "export/writers/export_writer.h"

namespace vorelia::exporter {

// One HTML page: a fixed head, a font wrapper and one table whose first row holds the titles.
class TmxHTMLWriter : public TmxExportWriter {
 public:
  using TmxExportWriter::TmxExportWriter;

  // "#RRGGBB" (at least six upper-case digits) of colour slot 0..9 under the page's template.
  std::string Color(int slot) const;

 protected:
  void DoBegin() override;
  void DoRow(const TmxValues& values, int rowsWalked) override;
  void DoEnd() override;

 private:
  bool HasHTMLOption(TmxHTMLOption option) const { return Settings().HTML.Options.Has(option); }
  std::string CellAttributes(const TmxCell& cell) const;
  void WriteCells(const TmxRowCells& row, const std::vector<std::string>& openings,
                  std::string_view closing);
  void WriteContent(const TmxCell& cell);
  static void AppendEscaped(std::string& out, std::string_view text);

  // What precedes a cell's content, per written column, and what follows a title cell's.
  std::vector<std::string> m_titleOpenings;
  std::vector<std::string> m_dataOpenings;
  std::string m_titleClosing;
};

}  // namespace vorelia::exporter
