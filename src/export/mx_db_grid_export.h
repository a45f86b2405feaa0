#pragma once

#include <QPointer>
#include <vector>

#include "data/record_buffer.h"
#include "export/mx_custom_export.h"

namespace vorelia::data {
class TDataSet;
class TField;
}  // namespace vorelia::data

namespace vorelia::widgets {
class TDBGrid;
struct TDBGridColumn;
}  // namespace vorelia::widgets

namespace vorelia::exporter {

// The export component bound to a data grid: its rows are the records of the grid's dataset in
// the dataset's current order and filter, its columns the grid's field columns. An export walks
// the dataset with its controls disabled and comes back to the record it started on.
class TmxDBGridExport : public TmxCustomExport {
  Q_OBJECT

 public:
  explicit TmxDBGridExport(QObject* owner = nullptr);
  ~TmxDBGridExport() override;

  // Becomes null by itself when the grid is destroyed.
  widgets::TDBGrid* DBGrid() const;
  void SetDBGrid(widgets::TDBGrid* grid);

  void BeginExport() override;
  void EndExport() override;
  void GotoFirstRow() override;
  int ColumnAlignment(int k) const override;
  bool CanExport() const override;
  bool AtEnd() const override;
  bool IsColumnVisible(int k) const override;
  bool IsRowSelected() const override;
  int ColumnCount() const override;
  void ReadRow(TmxValues& values) override;
  int CountRows() override;

 protected:
  TmxGridColumn DescribeColumn(int k) const override;

 private:
  data::TDataSet* DataSet() const;
  // The grid's field columns: the columns whose field the dataset has, in grid order.
  std::vector<const widgets::TDBGridColumn*> FieldColumns() const;
  data::TField* ColumnFieldOf(int k) const;

  QPointer<widgets::TDBGrid> m_grid;
  data::TDataSet* m_exporting = nullptr;  // the dataset whose controls the export disabled
  data::TBookmark m_bookmark;
  std::vector<data::TField*> m_rowFields;  // per field column, taken when the walk starts
};

}  // namespace vorelia::exporter
