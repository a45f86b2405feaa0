#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "export/writers/export_options.h"

namespace vorelia::exporter {

// One exported row: one text per field column of the grid, in code page 1252 bytes.
using TmxValues = std::vector<std::string>;

// The field types as far as column widths tell them apart.
enum class TmxFieldKind : uint8_t {
  Unknown,  // "** UNKNOWN **"
  Binary,   // blobs, graphics, OLE, typed binary, ADT, array: "** BINARY **"
  Date,
  Time,
  DateTime,
  Number,  // integers, floats, currency, BCD, bytes, auto-increment, references
  Boolean,
  Text,  // string, variable bytes, memo, formatted memo: the field size
  Other
};

// What the driver reads from the grid and its dataset for one field column.
struct TmxGridColumn {
  std::string FieldName;
  std::string DisplayLabel;  // empty: the field name is the display name
  std::string TitleCaption;  // the grid column's title; empty: the display name
  TmxFieldKind Kind = TmxFieldKind::Text;
  int FieldSize = 0;
  bool Visible = true;
  int Alignment = 1;  // 1 left, 2 right, 3 centre, 0 none
};

// One cell of a laid-out row.
struct TmxCell {
  std::string_view Text;   // the value text, truncated when asked for
  std::string_view Value;  // the value as read (a link's text)
  int Width = 0;
  int Alignment = 0;  // 0 unless alignments are in use
  int Position = 0;   // 1-based place among all columns (hidden ones keep theirs)
  const std::string* WidthEntry = nullptr;  // the ColumnWidths entry of the column, if any
};

// A row laid out for a writer: the written columns in order, the row number first when asked
// for. Cells point into the row's values and into `Scratch`; reused row after row.
struct TmxRowCells {
  std::vector<TmxCell> Cells;
  std::vector<std::string> Scratch;
  const class TmxColumnModel* Layout = nullptr;  // the model that laid out Cells
};

// The grid's columns as every format sees them: which are written, their widths, titles,
// alignments and value texts. Indexes k run over all field columns, written or not.
class TmxColumnModel {
 public:
  TmxColumnModel(std::vector<TmxGridColumn> columns, TmxExportSettings settings);
  // Cells point into the model's own settings.
  TmxColumnModel(const TmxColumnModel&) = delete;
  TmxColumnModel& operator=(const TmxColumnModel&) = delete;

  const TmxExportSettings& Settings() const { return m_settings; }
  bool HasOption(TmxExportOption option) const { return m_settings.Options.Has(option); }

  int ColumnCount() const { return static_cast<int>(m_columns.size()); }
  // ColumnCount plus the row-number column when there is one.
  int LayoutColumnCount() const;
  bool IsWritten(int k) const;
  int ColumnWidth(int k) const;
  // The column's title: its caption, else the field's display name.
  std::string ColumnTitle(int k) const;
  // The title row's text: Captions[k] when present, else ColumnTitle(k).
  std::string TitleText(int k) const;
  // 1 left, 2 right, 3 centre; 0 when alignments are off or k is out of range.
  int Alignment(int k) const;
  // The title row's values, one per column.
  TmxValues Titles() const;

  // The value text of a cell of the given width; `scratch` holds a truncated text.
  std::string_view ValueText(std::string_view value, int width, std::string& scratch) const;

  // Dashes under and over the plain-text rows.
  int SeparatorLength() const;

  // Lays out a row. `rowNumber` is the running number of a data row, 0 for the title row.
  void LayOutRow(const TmxValues& values, int rowNumber, TmxRowCells& out) const;

  // ColumnWidths entries beyond this magnitude are ignored.
  static constexpr int kMaxColumnWidth = 65535;
  // The row-number column: width and alignment code.
  static constexpr int kRowNumberWidth = 6;
  static constexpr int kRowNumberAlignment = 2;

 private:
  int WidthByType(const TmxGridColumn& column) const;

  std::vector<TmxGridColumn> m_columns;
  TmxExportSettings m_settings;
  std::vector<int> m_widths;
  std::vector<TmxCell> m_layout;  // a row's cells without their texts
  std::vector<int> m_gridIndex;   // per laid-out cell, its column k (-1: the row number)
};

}  // namespace vorelia::exporter
