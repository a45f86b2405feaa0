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
  void WriteCell(const TmxCell& cell, bool title);
  void WriteContent(const TmxCell& cell);
  void AppendEscaped(std::string_view text);

  std::string m_titleFont;  // the title cells' FONT COLOR value
};

}  // namespace vorelia::exporter
