#include "export/writers/column_model.h"

#include <algorithm>

#include "export/writers/date_time_text.h"
#include "export/writers/number_text.h"

namespace vorelia::exporter {
namespace {

// The instant whose formatted length gives a date or time column its width.
constexpr TmxDateTime kWidthSample{1999, 12, 12, 12, 12, 12, 12};

int Length(std::string_view text) { return static_cast<int>(text.size()); }

std::string RowNumberText(const std::string& format, int number) {
  std::string text;
  const size_t at = format.find("%d");
  if (at == std::string::npos) return std::to_string(number);
  text.append(format, 0, at);
  text += std::to_string(number);
  text.append(format, at + 2);
  return text;
}

}  // namespace

TmxColumnModel::TmxColumnModel(std::vector<TmxGridColumn> columns, TmxExportSettings settings)
    : m_columns(std::move(columns)), m_settings(std::move(settings)) {
  m_widths.reserve(m_columns.size());
  for (size_t k = 0; k < m_columns.size(); ++k) {
    int width = WidthByType(m_columns[k]);
    if (k < m_settings.ColumnWidths.size()) {
      const auto entry = ReadInteger(m_settings.ColumnWidths[k]);
      // Wider columns than any text would only pad documents out of all proportion.
      if (entry && *entry >= -kMaxColumnWidth && *entry <= kMaxColumnWidth) {
        width = static_cast<int>(*entry);
      }
    }
    m_widths.push_back(width);
  }
  // The layout of every row: the written columns in order, the row number first when asked for.
  const bool rowNumbers = HasOption(TmxExportOption::xoRowNumbers);
  if (rowNumbers) {
    TmxCell cell;
    cell.Width = kRowNumberWidth;
    cell.Alignment = HasOption(TmxExportOption::xoUseAlignments) ? kRowNumberAlignment : 0;
    cell.Position = 1;
    m_layout.push_back(cell);
    m_gridIndex.push_back(-1);
  }
  for (int k = 0; k < ColumnCount(); ++k) {
    if (!IsWritten(k)) continue;
    const size_t index = static_cast<size_t>(k);
    TmxCell cell;
    cell.Width = m_widths[index];
    cell.Alignment = Alignment(k);
    cell.Position = k + 1 + (rowNumbers ? 1 : 0);
    if (index < m_settings.ColumnWidths.size()) cell.WidthEntry = &m_settings.ColumnWidths[index];
    m_layout.push_back(cell);
    m_gridIndex.push_back(k);
  }
}

int TmxColumnModel::WidthByType(const TmxGridColumn& column) const {
  switch (column.Kind) {
    case TmxFieldKind::Unknown:
      return 13;
    case TmxFieldKind::Binary:
      return 12;
    case TmxFieldKind::Date:
      return Length(FormatDateTime(kWidthSample, m_settings.DateFormat));
    case TmxFieldKind::Time:
      return Length(FormatDateTime(kWidthSample, m_settings.TimeFormat));
    case TmxFieldKind::DateTime:
      return Length(FormatDateTime(kWidthSample, m_settings.DateTimeFormat));
    case TmxFieldKind::Number:
      return 15;
    case TmxFieldKind::Boolean:
      return std::max(Length(m_settings.TrueText), Length(m_settings.FalseText));
    case TmxFieldKind::Text:
      return column.FieldSize;
    case TmxFieldKind::Other:
      return 0;
  }
  return 0;
}

int TmxColumnModel::LayoutColumnCount() const {
  return ColumnCount() + (HasOption(TmxExportOption::xoRowNumbers) ? 1 : 0);
}

bool TmxColumnModel::IsWritten(int k) const {
  if (k < 0 || k >= ColumnCount()) return false;
  return HasOption(TmxExportOption::xoExportInvisibles) ||
         m_columns[static_cast<size_t>(k)].Visible;
}

int TmxColumnModel::ColumnWidth(int k) const {
  if (k < 0 || k >= ColumnCount()) return 0;
  return m_widths[static_cast<size_t>(k)];
}

std::string TmxColumnModel::ColumnTitle(int k) const {
  if (k < 0 || k >= ColumnCount()) return {};
  const TmxGridColumn& column = m_columns[static_cast<size_t>(k)];
  if (!column.TitleCaption.empty()) return column.TitleCaption;
  return column.DisplayLabel.empty() ? column.FieldName : column.DisplayLabel;
}

std::string TmxColumnModel::TitleText(int k) const {
  if (k >= 0 && static_cast<size_t>(k) < m_settings.Captions.size()) {
    return m_settings.Captions[static_cast<size_t>(k)];
  }
  return ColumnTitle(k);
}

int TmxColumnModel::Alignment(int k) const {
  if (!HasOption(TmxExportOption::xoUseAlignments) || k < 0 || k >= ColumnCount()) return 0;
  const int code = m_columns[static_cast<size_t>(k)].Alignment;
  return code >= 0 && code <= 3 ? code : 0;
}

TmxValues TmxColumnModel::Titles() const {
  TmxValues titles;
  titles.reserve(m_columns.size());
  for (int k = 0; k < ColumnCount(); ++k) titles.push_back(TitleText(k));
  return titles;
}

std::string_view TmxColumnModel::ValueText(std::string_view value, int width,
                                           std::string& scratch) const {
  if (!HasOption(TmxExportOption::xoTruncate) || width <= 0 || width >= Length(value)) {
    return value;
  }
  const int keep = std::max(0, width - Length(m_settings.TruncateSymbol));
  scratch.assign(value.substr(0, static_cast<size_t>(keep)));
  scratch += m_settings.TruncateSymbol;
  return scratch;
}

int TmxColumnModel::SeparatorLength() const {
  int length = ColumnCount() - 1;
  for (int k = 0; k < ColumnCount(); ++k) {
    if (IsWritten(k)) length += ColumnWidth(k);
  }
  if (HasOption(TmxExportOption::xoRowNumbers)) length += kRowNumberWidth + 1;
  return std::max(0, length);
}

void TmxColumnModel::LayOutRow(const TmxValues& values, int rowNumber, TmxRowCells& out) const {
  const size_t count = m_layout.size();
  if (out.Layout != this || out.Cells.size() != count) {
    // Every cell may need its own scratch text; sizing once keeps the views stable.
    out.Cells = m_layout;
    out.Scratch.assign(count, std::string());
    out.Layout = this;
  }
  const bool truncate = HasOption(TmxExportOption::xoTruncate);
  for (size_t i = 0; i < count; ++i) {
    TmxCell& cell = out.Cells[i];
    const int k = m_gridIndex[i];
    if (k < 0) {
      std::string& text = out.Scratch[i];
      text = rowNumber > 0 ? RowNumberText(m_settings.RowNumberFormat, rowNumber) : std::string();
      cell.Text = cell.Value = text;
      continue;
    }
    // Rows shorter than the grid read as empty in their missing columns.
    const size_t index = static_cast<size_t>(k);
    cell.Value = index < values.size() ? std::string_view(values[index]) : std::string_view();
    cell.Text = truncate ? ValueText(cell.Value, cell.Width, out.Scratch[i]) : cell.Value;
  }
}

}  // namespace vorelia::exporter
