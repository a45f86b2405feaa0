#pragma once

#include <string>
#include <string_view>

#include "export/writers/column_model.h"
#include "export/writers/export_options.h"

namespace vorelia::exporter {

// Turns a column model and rows into the bytes of one document, fed one row at a time:
// BeginDocument (preamble, header text, title row), WriteRow for every data row, EndDocument
// (footer, export date). The document is held in memory until the caller saves it.
class TmxExportWriter {
 public:
  explicit TmxExportWriter(const TmxColumnModel& model) : m_model(model) {}
  virtual ~TmxExportWriter() = default;
  TmxExportWriter(const TmxExportWriter&) = delete;
  TmxExportWriter& operator=(const TmxExportWriter&) = delete;

  void BeginDocument(const TmxDocumentInfo& info);
  // `rowsWalked` counts the rows walked before this one (selected-only exports skip some).
  void WriteRow(const TmxValues& values, int rowsWalked);
  void EndDocument();

  int RowsWritten() const { return m_rowsWritten; }
  const std::string& Document() const { return m_out; }
  std::string TakeDocument() { return std::move(m_out); }

 protected:
  virtual void DoBegin() = 0;
  virtual void DoRow(const TmxValues& values, int rowsWalked) = 0;
  virtual void DoEnd() = 0;

  bool HasOption(TmxExportOption option) const { return m_model.HasOption(option); }
  const TmxExportSettings& Settings() const { return m_model.Settings(); }
  const TmxDocumentInfo& Info() const { return m_info; }
  const TmxRowCells& LayOutTitles();
  const TmxRowCells& LayOutData(const TmxValues& values);

  // Appends text whose own line breaks (CR, LF, CR LF) become CR LF.
  void AppendText(std::string_view text);
  // Appends text with every `c` doubled (and line breaks as in AppendText).
  void AppendDoubling(std::string_view text, char c);
  void EndLine() { m_out += "\r\n"; }
  void AppendLine(std::string_view text) {
    AppendText(text);
    EndLine();
  }

  const TmxColumnModel& m_model;
  std::string m_out;

 private:
  TmxDocumentInfo m_info;
  TmxRowCells m_cells;
  TmxValues m_titles;
  int m_rowsWritten = 0;
};

}  // namespace vorelia::exporter
