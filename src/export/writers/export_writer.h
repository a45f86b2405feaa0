#pragma once

#include <string>
#include <string_view>

#include "export/writers/byte_set.h"
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
  // The document so far, where the writer keeps it.
  virtual size_t BytesSoFar() const { return m_out.size(); }
  virtual void ReserveBytes(size_t bytes) { m_out.reserve(bytes); }

  bool HasOption(TmxExportOption option) const { return m_model.HasOption(option); }
  const TmxExportSettings& Settings() const { return m_model.Settings(); }
  const TmxDocumentInfo& Info() const { return m_info; }
  const TmxRowCells& LayOutTitles();
  const TmxRowCells& LayOutData(const TmxValues& values);

  // Appends text whose own line breaks (CR, LF, CR LF) become CR LF.
  static void AppendText(std::string& out, std::string_view text);
  void AppendText(std::string_view text) { AppendText(m_out, text); }
  // Appends text with each line break (CR, LF or CR LF) as one space, for formats whose records
  // are lines and cannot hold a break: a break would end the record early and the rest of the
  // value would be read as the next record.
  void AppendOneLine(std::string_view text);
  // Appends text with every C doubled and line breaks as in AppendText (with `OneLine`, as in
  // AppendOneLine), in one pass.
  template <char C, bool OneLine = false>
  void AppendDoubling(std::string_view text);
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
  size_t m_sizeBeforeRows = 0;
  static constexpr int kSampleRows = 64;
  static constexpr size_t kReserveLimit = size_t{1} << 31;
};

template <char C, bool OneLine>
void TmxExportWriter::AppendDoubling(std::string_view text) {
  static constexpr char kSpecial[] = {C, '\r', '\n'};
  static constexpr ByteSet kSet(std::string_view(kSpecial, sizeof kSpecial));
  size_t start = 0;
  for (size_t i = kSet.FindIn(text); i != std::string_view::npos; i = kSet.FindIn(text, start)) {
    m_out.append(text.substr(start, i - start));
    if (text[i] == C) {
      m_out += C;
      m_out += C;
    } else {
      m_out += OneLine ? " " : "\r\n";
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
    start = i + 1;
  }
  m_out.append(text.substr(start));
}

}  // namespace vorelia::exporter
