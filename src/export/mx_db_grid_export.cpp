#include "export/mx_db_grid_export.h"

#include <QHeaderView>
#include <QTableView>

#include "data/data_source.h"
#include "data/dataset.h"
#include "data/field.h"
#include "platform/qt/ansi_text.h"
#include "widgets/db_grid.h"

namespace vorelia::exporter {
namespace {

TmxFieldKind KindOf(data::TFieldType type) {
  using data::TFieldType;
  switch (type) {
    case TFieldType::Unknown:
      return TmxFieldKind::Unknown;
    case TFieldType::String:
    case TFieldType::Memo:
      return TmxFieldKind::Text;
    case TFieldType::SmallInt:
    case TFieldType::Integer:
    // 64-bit integers are as wide as the other numbers: a width of 0 would run their digits into
    // the next column of plain text.
    case TFieldType::LargeInt:
    case TFieldType::AutoInc:
    case TFieldType::Float:
    case TFieldType::BCD:
    case TFieldType::Bytes:
      return TmxFieldKind::Number;
    case TFieldType::Boolean:
      return TmxFieldKind::Boolean;
    case TFieldType::Date:
      return TmxFieldKind::Date;
    case TFieldType::DateTime:
      return TmxFieldKind::DateTime;
    case TFieldType::Blob:
      return TmxFieldKind::Binary;
  }
  return TmxFieldKind::Other;
}

// Numbers stand to the right in a grid, everything else to the left.
int AlignmentOf(const data::TField& field) {
  return KindOf(field.DataType()) == TmxFieldKind::Number ? 2 : 1;
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) {
      return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

TmxDBGridExport::TmxDBGridExport(QObject* owner) : TmxCustomExport(owner) {
  Messages.Caption = "Exporting DBGrid";
}

TmxDBGridExport::~TmxDBGridExport() {
  // An export cut short by an unwinding caller still gives the dataset its controls back.
  if (m_exporting != nullptr) m_exporting->EnableControls();
}

widgets::TDBGrid* TmxDBGridExport::DBGrid() const { return m_grid.data(); }
void TmxDBGridExport::SetDBGrid(widgets::TDBGrid* grid) { m_grid = grid; }

data::TDataSet* TmxDBGridExport::DataSet() const {
  return m_grid.isNull() ? nullptr : m_grid->DataSet();
}

std::vector<const widgets::TDBGridColumn*> TmxDBGridExport::FieldColumns() const {
  std::vector<const widgets::TDBGridColumn*> columns;
  const data::TDataSet* dataSet = DataSet();
  if (dataSet == nullptr || !dataSet->Active()) return columns;
  if (!m_grid->Columns().empty()) {
    for (const widgets::TDBGridColumn& column : m_grid->Columns()) {
      if (dataSet->FindField(column.FieldName) != nullptr) columns.push_back(&column);
    }
    return columns;
  }
  // Without columns of its own the grid shows one column per visible field.
  for (int i = 0; i < m_grid->VisibleColumnCount(); ++i) {
    const widgets::TDBGridColumn& column = m_grid->VisibleColumn(i);
    if (dataSet->FindField(column.FieldName) != nullptr) columns.push_back(&column);
  }
  return columns;
}

data::TField* TmxDBGridExport::ColumnFieldOf(int k) const {
  const auto columns = FieldColumns();
  if (k < 0 || k >= static_cast<int>(columns.size())) return nullptr;
  return DataSet()->FindField(columns[static_cast<size_t>(k)]->FieldName);
}

void TmxDBGridExport::BeginExport() {
  data::TDataSet* dataSet = DataSet();
  if (dataSet == nullptr) return;
  m_bookmark = dataSet->GetBookmark();
  if (m_exporting == nullptr) {
    dataSet->DisableControls();
    m_exporting = dataSet;
  }
}

void TmxDBGridExport::EndExport() {
  data::TDataSet* dataSet = m_exporting;
  m_exporting = nullptr;
  m_rowFields.clear();
  if (dataSet == nullptr) return;
  // Controls come back even when the way back to the starting record fails.
  struct Enable {
    data::TDataSet* dataSet;
    ~Enable() { dataSet->EnableControls(); }
  } enable{dataSet};
  if (dataSet->Active() && dataSet->BookmarkValid(m_bookmark)) dataSet->GotoBookmark(m_bookmark);
  dataSet->FreeBookmark(m_bookmark);
}

void TmxDBGridExport::GotoFirstRow() {
  data::TDataSet* dataSet = DataSet();
  if (dataSet == nullptr) return;
  dataSet->First();
  m_rowFields.clear();
  const int count = ColumnCount();
  for (int k = 0; k < count; ++k) m_rowFields.push_back(ColumnFieldOf(k));
}

int TmxDBGridExport::ColumnAlignment(int k) const {
  const data::TField* field = ColumnFieldOf(k);
  return field == nullptr ? 0 : AlignmentOf(*field);
}

bool TmxDBGridExport::CanExport() const {
  const data::TDataSet* dataSet = DataSet();
  return dataSet != nullptr && dataSet->Active();
}

bool TmxDBGridExport::AtEnd() const {
  const data::TDataSet* dataSet = DataSet();
  return dataSet == nullptr || dataSet->Eof();
}

bool TmxDBGridExport::IsColumnVisible(int k) const {
  const auto columns = FieldColumns();
  if (k < 0 || k >= static_cast<int>(columns.size())) return false;
  // The first column that shows the field decides, as a field shown twice is written once.
  const std::string& name = columns[static_cast<size_t>(k)]->FieldName;
  for (const widgets::TDBGridColumn* column : columns) {
    if (SameName(column->FieldName, name)) return column->Visible;
  }
  return false;
}

bool TmxDBGridExport::IsRowSelected() const {
  // The grid selects one row at a time; it has no whole-row multiple selection.
  return false;
}

int TmxDBGridExport::ColumnCount() const { return static_cast<int>(FieldColumns().size()); }

void TmxDBGridExport::ReadRow(TmxValues& values) {
  data::TDataSet* dataSet = DataSet();
  if (m_rowFields.size() != static_cast<size_t>(ColumnCount())) {
    m_rowFields.clear();
    for (int k = 0; k < ColumnCount(); ++k) m_rowFields.push_back(ColumnFieldOf(k));
  }
  values.resize(m_rowFields.size());
  for (size_t k = 0; k < m_rowFields.size(); ++k) {
    values[k] = m_rowFields[k] != nullptr ? m_rowFields[k]->DisplayText() : std::string();
  }
  if (dataSet != nullptr) dataSet->Next();
}

int TmxDBGridExport::CountRows() {
  data::TDataSet* dataSet = DataSet();
  if (dataSet == nullptr) return 0;
  dataSet->First();
  // The grid leaves its source while the records are counted, so the dataset keeps a one-record
  // window; the column widths the user set survive the round trip.
  widgets::TDBGrid& grid = *m_grid;
  data::TDataSource* source = grid.DataSource();
  QHeaderView* header = grid.View() != nullptr ? grid.View()->horizontalHeader() : nullptr;
  std::vector<int> widths;
  if (header != nullptr) {
    for (int i = 0; i < header->count(); ++i) widths.push_back(header->sectionSize(i));
  }
  grid.SetDataSource(nullptr);
  struct Reattach {
    widgets::TDBGrid& grid;
    data::TDataSource* source;
    QHeaderView* header;
    const std::vector<int>& widths;
    ~Reattach() {
      grid.SetDataSource(source);
      if (header == nullptr || header->count() != static_cast<int>(widths.size())) return;
      for (int i = 0; i < header->count(); ++i)
        header->resizeSection(i, widths[static_cast<size_t>(i)]);
    }
  } reattach{grid, source, header, widths};
  int count = 0;
  while (!dataSet->Eof()) {
    dataSet->Next();
    ++count;
  }
  return count;
}

TmxGridColumn TmxDBGridExport::DescribeColumn(int k) const {
  TmxGridColumn description;
  const auto columns = FieldColumns();
  if (k < 0 || k >= static_cast<int>(columns.size())) {
    description.Kind = TmxFieldKind::Unknown;
    return description;
  }
  const widgets::TDBGridColumn& column = *columns[static_cast<size_t>(k)];
  const data::TField& field = *DataSet()->FindField(column.FieldName);
  description.FieldName = field.FieldName();
  description.DisplayLabel = field.DisplayLabel;
  description.TitleCaption = platform::ToAnsi(column.Title);
  description.Kind = KindOf(field.DataType());
  description.FieldSize = field.Size();
  description.Visible = IsColumnVisible(k);
  description.Alignment = ColumnAlignment(k);
  return description;
}

}  // namespace vorelia::exporter
