#pragma once

#include <QColor>
#include <QFont>
#include <QFrame>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QScrollBar;
class QTableView;

namespace vorelia::data {
class TDataSource;
class TDataSet;
class TField;
}  // namespace vorelia::data

namespace vorelia::widgets {

// One column of a data grid. An empty title shows the field's display name; a width of -1 the
// field's display width in characters of the column font.
struct TDBGridColumn {
  std::string FieldName;
  QString Title;
  int Width = -1;
  QColor Color;  // cell background; invalid: the grid's base colour
  std::optional<QFont> Font;
  Qt::Alignment TitleAlignment = Qt::AlignLeft | Qt::AlignVCenter;
  bool ReadOnly = false;
  bool Visible = true;
};

// A grid over a dataset that works the way a dataset grid works: it shows a window of records
// around the current one (as many as fit), and scrolling moves the dataset, so it never reads
// the whole table; it stays right in index order and under a filter. Its rows are a Qt item
// model over that window, so titles and visible cells reach assistive technology.
//
// The current row is the dataset's current record; the row indicator marks it (a triangle
// browsing, "I" editing, "*" inserting). The vertical scroll bar beside the table maps to
// RecNo / RecordCount (an estimate in index order) and moves the dataset.
class TDBGrid : public QFrame {
  Q_OBJECT

 public:
  // Called after the grid's own drawing of each cell, with the dataset's fields pointing at the
  // row being drawn (`DataSet()->RecNo()` is that row's number).
  using DrawColumnCellHandler = std::function<void(QPainter& painter, const QRect& rect,
                                                   int column, const TDBGridColumn& def,
                                                   bool selected)>;

  explicit TDBGrid(QWidget* parent = nullptr);
  ~TDBGrid() override;

  void SetDataSource(data::TDataSource* source);
  data::TDataSource* DataSource() const;
  data::TDataSet* DataSet() const;

  // Columns; with none the grid shows every visible field of the dataset.
  void SetColumns(std::vector<TDBGridColumn> columns);
  const std::vector<TDBGridColumn>& Columns() const { return m_columns; }
  // The columns shown: the given ones, or one per visible field.
  int VisibleColumnCount() const;
  const TDBGridColumn& VisibleColumn(int index) const;
  // The field of a shown column (nullptr when the dataset has no such field).
  data::TField* ColumnField(int index) const;

  void SetReadOnly(bool readOnly);
  bool ReadOnly() const { return m_readOnly; }
  void SetRowHeights(int rowHeight, int titleHeight);
  // Default: ask before Ctrl+Delete removes the current record.
  bool ConfirmDelete = true;

  DrawColumnCellHandler OnDrawColumnCell;

  // Rows shown now (the dataset buffers at least this many).
  int VisibleRowCount() const;
  QScrollBar* RecordScrollBar() const { return m_scrollBar; }
  // The table inside: titles, row indicator, cells and in-place editors.
  QTableView* View() const;

  // Ctrl+Delete: asks "Delete record?" (unless ConfirmDelete is off), then deletes.
  void DeleteCurrentRecord();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  class Link;
  class Model;
  class Delegate;
  class TableView;
  friend class Link;
  friend class Model;
  friend class Delegate;
  friend class TableView;

  bool HandleKey(QKeyEvent* event);
  void HandleWheel(QWheelEvent* event);
  void CurrentCellChanged(int row);
  void LinkChanged(bool layout);
  void RecordChanged();
  void SyncCurrent();
  void UpdateScrollBar();
  void UpdateRowCount();
  void ApplyColumnWidths();
  void ScrollBarAction(int action);
  void ScrollBarReleased();
  void MoveBy(int distance);

  std::unique_ptr<Link> m_link;
  TableView* m_view;
  Model* m_model;
  Delegate* m_delegate;
  QScrollBar* m_scrollBar;
  std::vector<TDBGridColumn> m_columns;
  std::vector<TDBGridColumn> m_defaultColumns;  // one per field when no columns are given
  bool m_readOnly = false;
  bool m_syncing = false;
  int m_rowHeight = 17;
  int m_titleHeight = 17;
};

}  // namespace vorelia::widgets
