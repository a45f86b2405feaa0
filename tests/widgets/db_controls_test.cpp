#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>

#include "data/data_source.h"
#include "data/memory_dataset.h"
#include "platform/qt/desktop_services.h"
#include "platform/service_doubles.h"
#include "widgets/db_combo_box.h"
#include "widgets/db_edit.h"
#include "widgets/db_grid.h"
#include "widgets/db_navigator.h"

namespace vorelia::widgets {
namespace {

using data::TDataSetState;
using test::TMemoryDataSet;

std::unique_ptr<TMemoryDataSet> AgencyRows(int count) {
  auto dataSet = std::make_unique<TMemoryDataSet>(std::vector<TMemoryDataSet::Column>{
      {"AGENCIA", data::TFieldType::String, 25}, {"UF", data::TFieldType::String, 2}});
  for (int i = 1; i <= count; ++i) dataSet->AddRow({"Agencia " + std::to_string(i), "SP"});
  return dataSet;
}

void SendKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(target, &release);
}

// Types each character as a key press, the way a user would.
void TypeText(QWidget* target, const QString& text) {
  for (QChar c : text) SendKey(target, 0, Qt::NoModifier, QString(c));
}

class DBControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dataSet = AgencyRows(3);
    m_source.SetDataSet(m_dataSet.get());
    m_dataSet->Open();
  }

  std::unique_ptr<TMemoryDataSet> m_dataSet;
  data::TDataSource m_source;
};

TEST_F(DBControlsTest, EditShowsTypesAndHandsItsTextToTheRecord) {
  QWidget window;
  auto* edit = new TDBEdit(&window);
  auto* other = new QLineEdit(&window);
  edit->SetDataSource(&m_source);
  edit->SetDataField("AGENCIA");
  window.show();
  QApplication::setActiveWindow(&window);

  EXPECT_EQ(edit->text(), "Agencia 1");
  EXPECT_EQ(edit->maxLength(), 25);

  edit->setFocus();
  edit->selectAll();
  TypeText(edit, QString::fromUtf8("São Paulo"));
  EXPECT_EQ(m_dataSet->State(), TDataSetState::Edit);  // typing started the edit
  EXPECT_EQ(m_dataSet->FieldByName("AGENCIA").AsString(), "Agencia 1");  // not yet handed over

  other->setFocus();  // leaving the editor hands the text to the record
  QApplication::processEvents();
  EXPECT_EQ(m_dataSet->FieldByName("AGENCIA").AsString(), "S\xE3o Paulo");
  m_dataSet->Post();
  EXPECT_EQ(m_dataSet->m_rows[0].Bytes.substr(0, 9), "S\xE3o Paulo");
}

TEST_F(DBControlsTest, PostingTakesPendingTextAndEscRestoresTheValue) {
  QWidget window;
  auto* edit = new TDBEdit(&window);
  edit->SetDataSource(&m_source);
  edit->SetDataField("AGENCIA");
  window.show();
  QApplication::setActiveWindow(&window);
  edit->setFocus();

  edit->selectAll();
  TypeText(edit, "Nova");
  SendKey(edit, Qt::Key_Escape);
  EXPECT_EQ(edit->text(), "Agencia 1");
  EXPECT_EQ(edit->selectedText(), "Agencia 1");

  edit->deselect();  // nothing typed: Esc still selects the value
  SendKey(edit, Qt::Key_Escape);
  EXPECT_EQ(edit->selectedText(), "Agencia 1");

  edit->selectAll();
  TypeText(edit, "Outra");
  m_dataSet->Post();  // without leaving the editor
  EXPECT_EQ(m_dataSet->FieldByName("AGENCIA").AsString(), "Outra");
}

TEST_F(DBControlsTest, EditLimitsTypingToTheFieldWidth) {
  QWidget window;
  auto* edit = new TDBEdit(&window);
  edit->SetDataSource(&m_source);
  edit->SetDataField("UF");
  window.show();
  QApplication::setActiveWindow(&window);
  edit->setFocus();
  edit->selectAll();
  TypeText(edit, "RJX");
  EXPECT_EQ(edit->text(), "RJ");
}

TEST_F(DBControlsTest, ComboStoresTheFirstCharactersAndShowsThemBack) {
  QWidget window;
  auto* combo = new TDBComboBox(&window);
  auto* other = new QLineEdit(&window);
  combo->addItems({"AC ", "PI", "SP "});
  combo->SetDataSource(&m_source);
  combo->SetDataField("UF");
  window.show();
  QApplication::setActiveWindow(&window);
  EXPECT_EQ(combo->currentText(), "SP");

  combo->setFocus();
  combo->lineEdit()->selectAll();
  TypeText(combo, "RJ -- Rio");  // free typing is not limited
  EXPECT_EQ(combo->currentText(), "RJ -- Rio");
  other->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(m_dataSet->FieldByName("UF").AsString(), "RJ");
  EXPECT_EQ(combo->currentText(), "RJ");

  emit combo->activated(0);  // picking "AC " from the list
  other->setFocus();
  combo->setFocus();
  other->setFocus();
  QApplication::processEvents();
  m_dataSet->Post();
  EXPECT_EQ(m_dataSet->FieldByName("UF").AsString(), "AC");
  EXPECT_EQ(combo->currentText(), "AC");
}

TEST_F(DBControlsTest, FocusHandlersRunOnEnterAndExit) {
  QWidget window;
  auto* first = new TDBEdit(&window);
  auto* second = new TDBEdit(&window);
  std::vector<std::string> calls;
  first->Editor().OnEnter = [&] { calls.push_back("first enter"); };
  first->Editor().OnExit = [&] { calls.push_back("first exit"); };
  second->Editor().OnEnter = [&] { calls.push_back("second enter"); };
  window.show();
  QApplication::setActiveWindow(&window);
  QApplication::setActiveWindow(&window);
  first->setFocus();
  second->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(calls, (std::vector<std::string>{"first enter", "first exit", "second enter"}));
}

TEST_F(DBControlsTest, NavigatorFollowsTheEndsOfTheDataset) {
  TDBNavigator navigator;
  navigator.SetDataSource(&m_source);
  using B = TDBNavigator::TNavigateButton;
  EXPECT_FALSE(navigator.Button(B::First)->isEnabled());
  EXPECT_FALSE(navigator.Button(B::Prior)->isEnabled());
  EXPECT_TRUE(navigator.Button(B::Next)->isEnabled());

  navigator.Button(B::Last)->click();
  EXPECT_EQ(m_dataSet->RecNo(), 3);
  EXPECT_TRUE(navigator.Button(B::First)->isEnabled());
  EXPECT_FALSE(navigator.Button(B::Last)->isEnabled());
  navigator.Button(B::Prior)->click();
  EXPECT_EQ(m_dataSet->RecNo(), 2);

  m_dataSet->Close();
  EXPECT_FALSE(navigator.Button(B::Next)->isEnabled());
}

class DBGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dataSet = AgencyRows(1000);
    m_source.SetDataSet(m_dataSet.get());
    m_dataSet->Open();
    m_grid = std::make_unique<TDBGrid>();
    m_grid->SetRowHeights(17, 17);
    m_grid->resize(300, 17 + 10 * 17 + 6);
    m_grid->SetDataSource(&m_source);
    m_grid->show();
    QApplication::processEvents();
  }
  void TearDown() override { m_grid.reset(); }

  QAbstractItemModel* Model() const { return m_grid->View()->model(); }
  QString Cell(int row, int column) const {
    return Model()->data(Model()->index(row, column)).toString();
  }

  std::unique_ptr<TMemoryDataSet> m_dataSet;
  data::TDataSource m_source;
  std::unique_ptr<TDBGrid> m_grid;
};

TEST_F(DBGridTest, ShowsOnlyTheVisibleWindowAndScrollsByMovingTheDataset) {
  const int visible = m_grid->VisibleRowCount();
  ASSERT_GE(visible, 5);
  EXPECT_EQ(Model()->rowCount(), visible);  // a window, not the 1000 records
  EXPECT_EQ(Cell(0, 0), "Agencia 1");
  EXPECT_EQ(Model()->headerData(0, Qt::Horizontal).toString(), "AGENCIA");

  QWidget* view = m_grid->View();
  for (int i = 0; i < visible; ++i) SendKey(view, Qt::Key_Down);
  EXPECT_EQ(m_dataSet->RecNo(), visible + 1);
  EXPECT_EQ(Cell(visible - 1, 0), QString("Agencia %1").arg(visible + 1));  // scrolled one row
  EXPECT_EQ(m_grid->View()->currentIndex().row(), visible - 1);

  SendKey(view, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(m_dataSet->RecNo(), 1000);
  EXPECT_EQ(Cell(Model()->rowCount() - 1, 0), "Agencia 1000");
  EXPECT_EQ(m_grid->RecordScrollBar()->value(), 999);

  SendKey(view, Qt::Key_PageUp);
  EXPECT_EQ(m_dataSet->RecNo(), 1000 - visible);
}

TEST_F(DBGridTest, ClickingARowMovesTheDatasetAndTheIndicatorMarksIt) {
  QTableView* view = m_grid->View();
  view->setCurrentIndex(Model()->index(4, 0));
  EXPECT_EQ(m_dataSet->RecNo(), 5);
  EXPECT_EQ(Model()->headerData(4, Qt::Vertical).toString(), QString(QChar(0x25B6)));
  EXPECT_EQ(Model()->headerData(3, Qt::Vertical).toString(), "");
  m_dataSet->Edit();
  EXPECT_EQ(Model()->headerData(4, Qt::Vertical).toString(), "I");
}

TEST_F(DBGridTest, EditsInPlaceUnlessTheColumnIsReadOnly) {
  std::vector<TDBGridColumn> columns(2);
  columns[0].FieldName = "AGENCIA";
  columns[0].Title = QString::fromUtf8("Nome Da Agência");
  columns[0].Width = 143;
  columns[0].Color = QColor(0xF0, 0xFB, 0xFF);
  columns[1].FieldName = "UF";
  columns[1].ReadOnly = true;
  m_grid->SetColumns(columns);
  EXPECT_EQ(Model()->headerData(0, Qt::Horizontal).toString(), QString::fromUtf8("Nome Da Agência"));
  EXPECT_EQ(Model()->headerData(1, Qt::Horizontal).toString(), "UF");  // the field name
  EXPECT_EQ(m_grid->View()->columnWidth(0), 143);
  EXPECT_EQ(Model()->data(Model()->index(0, 0), Qt::BackgroundRole).value<QColor>(),
            QColor(0xF0, 0xFB, 0xFF));
  EXPECT_FALSE(Model()->flags(Model()->index(0, 1)).testFlag(Qt::ItemIsEditable));
  ASSERT_TRUE(Model()->flags(Model()->index(0, 0)).testFlag(Qt::ItemIsEditable));

  EXPECT_TRUE(Model()->setData(Model()->index(2, 0), "Trocada"));
  EXPECT_EQ(m_dataSet->State(), TDataSetState::Edit);
  EXPECT_EQ(m_dataSet->RecNo(), 3);
  m_dataSet->Post();
  EXPECT_EQ(m_dataSet->m_rows[2].Bytes.substr(0, 7), "Trocada");
}

TEST_F(DBGridTest, CtrlDeleteAsksFirst) {
  platform::TMessageBoxDouble boxes;
  platform::ScopedMessageBox scoped(boxes);
  boxes.answers = {platform::TMessageResult::No, platform::TMessageResult::Yes};
  SendKey(m_grid->View(), Qt::Key_Delete, Qt::ControlModifier);
  ASSERT_EQ(boxes.asked.size(), 1u);
  EXPECT_EQ(boxes.asked[0].text, "Delete record?");
  EXPECT_FALSE(m_dataSet->m_rows[0].Deleted);
  SendKey(m_grid->View(), Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_TRUE(m_dataSet->m_rows[0].Deleted);
  EXPECT_EQ(Cell(0, 0), "Agencia 2");
}

TEST_F(DBGridTest, OwnerDrawSeesEachRowsRecord) {
  std::vector<int> drawn;
  m_grid->OnDrawColumnCell = [&](QPainter&, const QRect&, int, const TDBGridColumn&, bool) {
    drawn.push_back(m_dataSet->RecNo());
  };
  m_grid->View()->viewport()->grab();
  ASSERT_FALSE(drawn.empty());
  std::sort(drawn.begin(), drawn.end());
  drawn.erase(std::unique(drawn.begin(), drawn.end()), drawn.end());
  EXPECT_EQ(drawn.front(), 1);
  EXPECT_EQ(static_cast<int>(drawn.size()), m_grid->VisibleRowCount());
  EXPECT_EQ(m_dataSet->RecNo(), 1);  // the current record is back after drawing
}

TEST_F(DBGridTest, FilteredRowsAreAllTheGridShows) {
  m_dataSet->OnFilterRecord = [](data::TDataSet& ds, bool& accept) {
    accept = ds.FieldByName("AGENCIA").AsString().back() == '7';
  };
  m_dataSet->SetFiltered(true);
  EXPECT_EQ(Cell(0, 0), "Agencia 7");
  EXPECT_EQ(Cell(1, 0), "Agencia 17");
}

TEST_F(DBGridTest, TitlesAndCellsReachAccessibility) {
  QAccessibleInterface* table = QAccessible::queryAccessibleInterface(m_grid->View());
  ASSERT_NE(table, nullptr);
  QAccessibleTableInterface* cells = table->tableInterface();
  ASSERT_NE(cells, nullptr);
  EXPECT_EQ(cells->columnDescription(0), "AGENCIA");
  QAccessibleInterface* cell = cells->cellAt(1, 0);
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->text(QAccessible::Name), "Agencia 2");
}

}  // namespace
}  // namespace vorelia::widgets

namespace vorelia::widgets {
namespace {

TEST(DBGridLayoutTest, AGridOnAPageShownLaterFillsItsRows) {
  auto dataSet = AgencyRows(50);
  data::TDataSource source(dataSet.get());
  QTabWidget pages;
  pages.resize(400, 300);
  pages.addTab(new QWidget, "first");
  auto* holder = new QWidget;
  auto* grid = new TDBGrid(holder);
  grid->SetRowHeights(17, 17);
  grid->setGeometry(0, 0, 300, 17 + 8 * 17 + 4);
  grid->SetDataSource(&source);
  pages.addTab(holder, "second");
  dataSet->Open();
  pages.show();
  QApplication::processEvents();
  pages.setCurrentIndex(1);
  QApplication::processEvents();
  EXPECT_GE(grid->VisibleRowCount(), 7);
  EXPECT_EQ(grid->View()->model()->rowCount(), grid->VisibleRowCount());
}

}  // namespace
}  // namespace vorelia::widgets
