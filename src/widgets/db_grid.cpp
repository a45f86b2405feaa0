#include "widgets/db_grid.h"

#include <QAbstractTableModel>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QWheelEvent>

#include <algorithm>

#include "data/data_link.h"
#include "data/data_source.h"
#include "data/dataset.h"
#include "platform/message_box.h"
#include "platform/qt/desktop_services.h"
#include "platform/qt/guard.h"
#include "platform/qt/ansi_text.h"

namespace vorelia::widgets {

using data::TDataSetState;
using data::TField;
using data::TLinkRowScope;

// --- Link -----------------------------------------------------------------------------------

class TDBGrid::Link : public data::TDataLink {
 public:
  explicit Link(TDBGrid& grid) : m_grid(grid) {}

 protected:
  void ActiveChanged() override { m_grid.LinkChanged(true); }
  void LayoutChanged() override { m_grid.LinkChanged(true); }
  void DataSetChanged() override { m_grid.LinkChanged(false); }
  void DataSetScrolled(int) override { m_grid.LinkChanged(false); }
  void RecordChanged(TField*) override { m_grid.RecordChanged(); }
  void EditingChanged() override { m_grid.RecordChanged(); }

 private:
  TDBGrid& m_grid;
};

// --- Model: the rows of the link's window ---------------------------------------------------

class TDBGrid::Model : public QAbstractTableModel {
 public:
  explicit Model(TDBGrid& grid) : QAbstractTableModel(&grid), m_grid(grid) {}

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : m_rows;
  }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : m_columns;
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= m_rows) return {};
    const TDBGridColumn& column = m_grid.VisibleColumn(index.column());
    switch (role) {
      case Qt::DisplayRole:
      case Qt::EditRole: {
        TField* field = m_grid.ColumnField(index.column());
        if (field == nullptr || !m_grid.m_link->Active()) return {};
        QString text;
        platform::Guarded([&] {
          TLinkRowScope scope(*m_grid.m_link, index.row());
          text = platform::FromAnsi(role == Qt::EditRole ? field->AsString()
                                                         : field->DisplayText());
        });
        return text;
      }
      case Qt::BackgroundRole:
        if (column.Color.isValid()) return column.Color;
        return {};
      case Qt::FontRole:
        if (column.Font) return *column.Font;
        return {};
      case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
      default:
        return {};
    }
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation == Qt::Horizontal) {
      if (section < 0 || section >= m_columns) return {};
      const TDBGridColumn& column = m_grid.VisibleColumn(section);
      if (role == Qt::DisplayRole) {
        if (!column.Title.isEmpty()) return column.Title;
        TField* field = m_grid.ColumnField(section);
        return platform::FromAnsi(field != nullptr ? field->DisplayName() : column.FieldName);
      }
      if (role == Qt::TextAlignmentRole) return QVariant::fromValue(column.TitleAlignment);
      return {};
    }
    if (role == Qt::DisplayRole) {
      if (!m_grid.m_link->Active() || section != m_grid.m_link->ActiveRecord()) return QString();
      switch (m_grid.DataSet()->State()) {
        case TDataSetState::Edit: return QStringLiteral("I");
        case TDataSetState::Insert: return QStringLiteral("*");
        default: return QString(QChar(0x25B6));  // the current record's triangle
      }
    }
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
  }

  Qt::ItemFlags flags(const QModelIndex& index) const override {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const TDBGridColumn& column = m_grid.VisibleColumn(index.column());
    TField* field = m_grid.ColumnField(index.column());
    if (!m_grid.m_readOnly && !column.ReadOnly && field != nullptr && !field->ReadOnly &&
        m_grid.DataSet() != nullptr && m_grid.DataSet()->CanModify()) {
      flags |= Qt::ItemIsEditable;
    }
    return flags;
  }

  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (role != Qt::EditRole || !index.isValid()) return false;
    bool stored = false;
    platform::Guarded([&] {
      TField* field = m_grid.ColumnField(index.column());
      if (field == nullptr) return;
      if (index.row() != m_grid.m_link->ActiveRecord()) {
        m_grid.MoveBy(index.row() - m_grid.m_link->ActiveRecord());
      }
      if (!m_grid.m_link->Edit()) return;
      field->SetAsString(platform::ToAnsi(value.toString()));
      stored = true;
    });
    return stored;
  }

  // Follows the link's window without resetting the column widths.
  void Refresh(bool layout) {
    const int rows = m_grid.m_link->RecordCount();
    const int columns = m_grid.VisibleColumnCount();
    if (layout || columns != m_columns) {
      beginResetModel();
      m_rows = rows;
      m_columns = columns;
      endResetModel();
      return;
    }
    if (rows > m_rows) {
      beginInsertRows({}, m_rows, rows - 1);
      m_rows = rows;
      endInsertRows();
    } else if (rows < m_rows) {
      beginRemoveRows({}, rows, m_rows - 1);
      m_rows = rows;
      endRemoveRows();
    }
    if (m_rows > 0 && m_columns > 0) {
      emit dataChanged(index(0, 0), index(m_rows - 1, m_columns - 1));
      emit headerDataChanged(Qt::Vertical, 0, m_rows - 1);
    }
  }

  void RefreshRow(int row) {
    if (row < 0 || row >= m_rows || m_columns == 0) return;
    emit dataChanged(index(row, 0), index(row, m_columns - 1));
    emit headerDataChanged(Qt::Vertical, 0, m_rows - 1);
  }

 private:
  TDBGrid& m_grid;
  int m_rows = 0;
  int m_columns = 0;
};

// --- Delegate: the owner-draw hook after the standard cell ----------------------------------

class TDBGrid::Delegate : public QStyledItemDelegate {
 public:
  explicit Delegate(TDBGrid& grid) : QStyledItemDelegate(&grid), m_grid(grid) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyledItemDelegate::paint(painter, option, index);
    if (!m_grid.OnDrawColumnCell || !m_grid.m_link->Active()) return;
    platform::Guarded([&] {
      TLinkRowScope scope(*m_grid.m_link, index.row());
      painter->save();
      m_grid.OnDrawColumnCell(*painter, option.rect, index.column(),
                              m_grid.VisibleColumn(index.column()),
                              option.state.testFlag(QStyle::State_Selected));
      painter->restore();
    });
  }

 private:
  TDBGrid& m_grid;
};

// --- View: the table, with keys and the wheel moving the dataset ----------------------------

class TDBGrid::TableView : public QTableView {
 public:
  explicit TableView(TDBGrid& grid) : QTableView(&grid), m_grid(grid) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (!m_grid.HandleKey(event)) QTableView::keyPressEvent(event);
  }
  void wheelEvent(QWheelEvent* event) override { m_grid.HandleWheel(event); }
  // The rows that fit change with the table's own size (a page shown for the first time lays
  // its grid out only then).
  void resizeEvent(QResizeEvent* event) override {
    QTableView::resizeEvent(event);
    platform::Guarded([this] { m_grid.UpdateRowCount(); });
  }
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override {
    QTableView::currentChanged(current, previous);
    if (current.isValid() && (!previous.isValid() || current.row() != previous.row())) {
      m_grid.CurrentCellChanged(current.row());
    }
  }

 private:
  TDBGrid& m_grid;
};

// --- TDBGrid ----------------------------------------------------------------------------------

TDBGrid::TDBGrid(QWidget* parent)
    : QFrame(parent), m_link(std::make_unique<Link>(*this)) {
  setFrameShape(QFrame::StyledPanel);
  m_view = new TableView(*this);
  m_model = new Model(*this);
  m_delegate = new Delegate(*this);
  m_scrollBar = new QScrollBar(Qt::Vertical, this);
  m_view->setObjectName(QStringLiteral("grid"));
  m_view->setModel(m_model);
  m_view->setItemDelegate(m_delegate);
  m_view->setFrameShape(QFrame::NoFrame);
  m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m_view->setSelectionMode(QAbstractItemView::SingleSelection);
  m_view->setSelectionBehavior(QAbstractItemView::SelectItems);
  m_view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
  m_view->setWordWrap(false);
  m_view->horizontalHeader()->setSectionsMovable(false);
  m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  m_view->horizontalHeader()->setHighlightSections(false);
  m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_view->verticalHeader()->setFixedWidth(12);
  m_view->verticalHeader()->setHighlightSections(false);
  setFocusProxy(m_view);
  setFocusPolicy(Qt::StrongFocus);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(frameWidth(), frameWidth(), frameWidth(), frameWidth());
  layout->setSpacing(0);
  layout->addWidget(m_view);
  layout->addWidget(m_scrollBar);

  connect(m_scrollBar, &QScrollBar::actionTriggered, this,
          [this](int action) { platform::Guarded([this, action] { ScrollBarAction(action); }); });
  connect(m_scrollBar, &QScrollBar::sliderReleased, this,
          [this] { platform::Guarded([this] { ScrollBarReleased(); }); });
  SetRowHeights(m_rowHeight, m_titleHeight);
  LinkChanged(true);
}

TDBGrid::~TDBGrid() {
  // The link and the table go first: no dataset event and no header query may reach this
  // half-destroyed grid while the base class takes its children down.
  m_link->SetDataSource(nullptr);
  delete m_view;
  m_view = nullptr;
}

QTableView* TDBGrid::View() const { return m_view; }

void TDBGrid::SetDataSource(data::TDataSource* source) { m_link->SetDataSource(source); }
data::TDataSource* TDBGrid::DataSource() const { return m_link->DataSource(); }
data::TDataSet* TDBGrid::DataSet() const { return m_link->DataSet(); }

void TDBGrid::SetColumns(std::vector<TDBGridColumn> columns) {
  m_columns = std::move(columns);
  LinkChanged(true);
}

int TDBGrid::VisibleColumnCount() const {
  const auto& list = m_columns.empty() ? m_defaultColumns : m_columns;
  return static_cast<int>(std::count_if(list.begin(), list.end(),
                                        [](const TDBGridColumn& c) { return c.Visible; }));
}

const TDBGridColumn& TDBGrid::VisibleColumn(int index) const {
  const auto& list = m_columns.empty() ? m_defaultColumns : m_columns;
  int seen = -1;
  for (const TDBGridColumn& column : list) {
    if (column.Visible && ++seen == index) return column;
  }
  static const TDBGridColumn kNone;
  return kNone;
}

TField* TDBGrid::ColumnField(int index) const {
  if (!m_link->Active()) return nullptr;
  return DataSet()->FindField(VisibleColumn(index).FieldName);
}

void TDBGrid::SetReadOnly(bool readOnly) {
  m_readOnly = readOnly;
  m_view->setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                                   : QAbstractItemView::DoubleClicked |
                                         QAbstractItemView::EditKeyPressed |
                                         QAbstractItemView::AnyKeyPressed);
}

void TDBGrid::SetRowHeights(int rowHeight, int titleHeight) {
  m_rowHeight = std::max(rowHeight, 4);
  m_titleHeight = std::max(titleHeight, 4);
  m_view->verticalHeader()->setMinimumSectionSize(1);
  m_view->verticalHeader()->setDefaultSectionSize(m_rowHeight);
  m_view->horizontalHeader()->setFixedHeight(m_titleHeight);
  UpdateRowCount();
}

int TDBGrid::VisibleRowCount() const {
  int available = m_view->viewport()->height();
  if (available <= 0) available = m_view->height() - m_titleHeight;
  return std::max(1, available / m_rowHeight);
}

void TDBGrid::UpdateRowCount() {
  if (!m_link) return;
  const int rows = VisibleRowCount();
  if (rows == m_link->BufferCount()) return;
  m_link->SetBufferCount(rows);
  // When another control already made the dataset buffer this many records, no dataset event
  // follows: show the grown window now.
  LinkChanged(false);
}

void TDBGrid::LinkChanged(bool layout) {
  if (layout) {
    m_defaultColumns.clear();
    if (m_columns.empty() && m_link->Active()) {
      data::TDataSet& dataSet = *DataSet();
      for (int i = 0; i < dataSet.FieldCount(); ++i) {
        const TField& field = dataSet.Fields(i);
        if (!field.Visible) continue;
        TDBGridColumn column;
        column.FieldName = field.FieldName();
        m_defaultColumns.push_back(column);
      }
    }
  }
  m_syncing = true;
  m_model->Refresh(layout);
  m_syncing = false;
  if (layout) ApplyColumnWidths();
  SyncCurrent();
  UpdateScrollBar();
}

void TDBGrid::RecordChanged() {
  if (!m_link->Active()) return;
  m_model->RefreshRow(m_link->ActiveRecord());
}

void TDBGrid::ApplyColumnWidths() {
  for (int i = 0; i < VisibleColumnCount(); ++i) {
    const TDBGridColumn& column = VisibleColumn(i);
    int width = column.Width;
    if (width < 0) {
      const TField* field = ColumnField(i);
      const QFontMetrics metrics(column.Font ? *column.Font : m_view->font());
      const int chars = field != nullptr ? std::max(field->EffectiveDisplayWidth(), 1) : 10;
      const QString title = m_model->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
      width = std::max(metrics.horizontalAdvance(QLatin1Char('0')) * chars,
                       QFontMetrics(m_view->font()).horizontalAdvance(title)) + 4;
    }
    m_view->setColumnWidth(i, width);
  }
}

void TDBGrid::SyncCurrent() {
  if (!m_link->Active() || m_model->rowCount({}) == 0) return;
  const int row = m_link->ActiveRecord();
  int column = m_view->currentIndex().isValid() ? m_view->currentIndex().column() : 0;
  column = std::clamp(column, 0, std::max(0, VisibleColumnCount() - 1));
  const QModelIndex target = m_model->index(row, column);
  if (m_view->currentIndex() == target) return;
  m_syncing = true;
  m_view->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
  m_syncing = false;
}

void TDBGrid::CurrentCellChanged(int row) {
  if (m_syncing || !m_link->Active()) return;
  const int distance = row - m_link->ActiveRecord();
  if (distance != 0) platform::Guarded([this, distance] { MoveBy(distance); });
}

void TDBGrid::MoveBy(int distance) {
  if (!m_link->Active() || distance == 0) return;
  DataSet()->MoveBy(distance);
}

void TDBGrid::UpdateScrollBar() {
  const QSignalBlocker blocker(m_scrollBar);
  if (!m_link->Active() || DataSet()->IsEmpty()) {
    m_scrollBar->setRange(0, 0);
    m_scrollBar->setEnabled(false);
    return;
  }
  data::TDataSet& dataSet = *DataSet();
  const int count = std::max(dataSet.RecordCount(), 1);
  const int page = VisibleRowCount();
  m_scrollBar->setEnabled(true);
  m_scrollBar->setRange(0, std::max(0, count - 1));
  m_scrollBar->setPageStep(page);
  m_scrollBar->setSingleStep(1);
  int position = std::clamp(dataSet.RecNo() - 1, 0, count - 1);
  if (dataSet.Bof()) position = 0;
  if (dataSet.Eof()) position = count - 1;
  m_scrollBar->setValue(position);
}

void TDBGrid::ScrollBarAction(int action) {
  if (!m_link->Active()) return;
  data::TDataSet& dataSet = *DataSet();
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: dataSet.Next(); break;
    case QAbstractSlider::SliderSingleStepSub: dataSet.Prior(); break;
    case QAbstractSlider::SliderPageStepAdd: dataSet.MoveBy(VisibleRowCount()); break;
    case QAbstractSlider::SliderPageStepSub: dataSet.MoveBy(-VisibleRowCount()); break;
    case QAbstractSlider::SliderToMinimum: dataSet.First(); break;
    case QAbstractSlider::SliderToMaximum: dataSet.Last(); break;
    default: return;  // dragging moves the dataset once, on release
  }
  UpdateScrollBar();
}

void TDBGrid::ScrollBarReleased() {
  if (!m_link->Active()) return;
  data::TDataSet& dataSet = *DataSet();
  const int target = m_scrollBar->sliderPosition();
  if (target <= m_scrollBar->minimum()) {
    dataSet.First();
  } else if (target >= m_scrollBar->maximum()) {
    dataSet.Last();
  } else {
    dataSet.MoveBy(target + 1 - dataSet.RecNo());
  }
  UpdateScrollBar();
}

bool TDBGrid::HandleKey(QKeyEvent* event) {
  if (!m_link->Active()) return false;
  const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
  bool handled = true;
  platform::Guarded([&] {
    data::TDataSet& dataSet = *DataSet();
    switch (event->key()) {
      case Qt::Key_Up: dataSet.Prior(); break;
      case Qt::Key_Down: dataSet.Next(); break;
      case Qt::Key_PageUp: dataSet.MoveBy(-VisibleRowCount()); break;
      case Qt::Key_PageDown: dataSet.MoveBy(VisibleRowCount()); break;
      case Qt::Key_Home:
        if (ctrl) dataSet.First(); else handled = false;
        break;
      case Qt::Key_End:
        if (ctrl) dataSet.Last(); else handled = false;
        break;
      case Qt::Key_Delete:
        if (ctrl) DeleteCurrentRecord(); else handled = false;
        break;
      case Qt::Key_Escape:
        if (dataSet.State() == TDataSetState::Edit || dataSet.State() == TDataSetState::Insert) {
          dataSet.Cancel();
        } else {
          handled = false;
        }
        break;
      default: handled = false;
    }
  });
  return handled;
}

void TDBGrid::HandleWheel(QWheelEvent* event) {
  const int steps = event->angleDelta().y() / 120;
  if (steps != 0 && m_link->Active()) platform::Guarded([this, steps] { MoveBy(-steps); });
  event->accept();
}

void TDBGrid::DeleteCurrentRecord() {
  if (!m_link->Active() || DataSet()->IsEmpty() || m_readOnly) return;
  if (ConfirmDelete) {
    auto request = platform::Question("Delete record?");
    if (platform::MessageBoxService().Show(request) != platform::TMessageResult::Yes) return;
  }
  DataSet()->Delete();
}

void TDBGrid::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  platform::Guarded([this] { UpdateRowCount(); });
}

void TDBGrid::showEvent(QShowEvent* event) {
  QFrame::showEvent(event);
  platform::Guarded([this] { UpdateRowCount(); });
}

}  // namespace vorelia::widgets
