#include "data/dataset.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/data_error.h"
#include "data/data_link.h"
#include "data/data_source.h"
#include "memory_dataset.h"

namespace vorelia::test {
namespace {

using data::EDatabaseError;
using data::TDataSetState;
using data::TFieldType;

// Records every event a control would receive, as short words.
class RecordingLink : public data::TDataLink {
 public:
  std::vector<std::string> Events;
  std::string PendingText;  // "typed" text handed over on UpdateData
  std::string FieldName = "NAME";

 protected:
  void ActiveChanged() override { Events.push_back("active"); }
  void DataSetChanged() override { Events.push_back("changed"); }
  void DataSetScrolled(int distance) override {
    Events.push_back("scrolled " + std::to_string(distance));
  }
  void RecordChanged(data::TField* field) override {
    Events.push_back("record " + (field ? field->FieldName() : std::string("*")));
  }
  void EditingChanged() override { Events.push_back("editing"); }
  void UpdateData() override {
    Events.push_back("update");
    if (!PendingText.empty()) {
      DataSet()->FieldByName(FieldName).SetAsString(PendingText);
      PendingText.clear();
    }
  }
};

class DataSetTest : public ::testing::Test {
 protected:
  DataSetTest()
      : m_ds({{"NAME", TFieldType::String, 10}, {"CODE", TFieldType::Integer, 6}}) {}

  void Fill(int count) {
    for (int i = 1; i <= count; ++i) {
      std::string name = "r";
      name += std::to_string(i);
      m_ds.AddRow({name, std::to_string(i * 10)});
    }
  }
  std::string Name() { return m_ds.FieldByName("NAME").AsString(); }

  TMemoryDataSet m_ds;
};

TEST_F(DataSetTest, NavigatesBothWaysWithBofAndEof) {
  Fill(5);
  m_ds.Open();
  EXPECT_EQ(m_ds.State(), TDataSetState::Browse);
  EXPECT_TRUE(m_ds.Bof());
  EXPECT_FALSE(m_ds.Eof());
  EXPECT_EQ(Name(), "r1");
  EXPECT_EQ(m_ds.RecNo(), 1);

  std::vector<std::string> seen;
  for (; !m_ds.Eof(); m_ds.Next()) seen.push_back(Name());
  EXPECT_EQ(seen, (std::vector<std::string>{"r1", "r2", "r3", "r4", "r5"}));
  EXPECT_EQ(m_ds.RecNo(), 5);  // Eof leaves the last record current

  seen.clear();
  for (m_ds.Last(); !m_ds.Bof(); m_ds.Prior()) seen.push_back(Name());
  EXPECT_EQ(seen, (std::vector<std::string>{"r5", "r4", "r3", "r2", "r1"}));

  m_ds.Last();
  EXPECT_EQ(m_ds.MoveBy(-10), -4);
  EXPECT_TRUE(m_ds.Bof());
  EXPECT_EQ(m_ds.MoveBy(2), 2);
  EXPECT_EQ(m_ds.FieldByName("CODE").AsInteger(), 30);
  EXPECT_EQ(m_ds.RecordCount(), 5);
}

TEST_F(DataSetTest, EmptyAndAllDeletedTablesShowNothing) {
  m_ds.Open();
  EXPECT_TRUE(m_ds.IsEmpty());
  EXPECT_TRUE(m_ds.Bof() && m_ds.Eof());
  EXPECT_TRUE(m_ds.FieldByName("NAME").IsNull());
  EXPECT_EQ(m_ds.RecNo(), 0);
  m_ds.Next();
  EXPECT_TRUE(m_ds.Eof());
  m_ds.Close();

  m_ds.AddRow({"a"}, true);
  m_ds.AddRow({"b"}, true);
  m_ds.Open();
  EXPECT_TRUE(m_ds.IsEmpty());
  EXPECT_EQ(m_ds.RecordCount(), 2);
}

TEST_F(DataSetTest, DeletedRowsAreSkippedInBothDirections) {
  Fill(5);
  m_ds.m_rows[0].Deleted = m_ds.m_rows[2].Deleted = m_ds.m_rows[4].Deleted = true;
  m_ds.Open();
  EXPECT_EQ(Name(), "r2");
  m_ds.Next();
  EXPECT_EQ(Name(), "r4");
  m_ds.Next();
  EXPECT_TRUE(m_ds.Eof());
  EXPECT_EQ(Name(), "r4");
  m_ds.Prior();
  EXPECT_EQ(Name(), "r2");
  m_ds.Prior();
  EXPECT_TRUE(m_ds.Bof());
}

TEST_F(DataSetTest, FilterAppliesInBothDirectionsAndOnSwitching) {
  Fill(6);
  int calls = 0;
  m_ds.OnFilterRecord = [&](data::TDataSet& ds, bool& accept) {
    ++calls;
    EXPECT_EQ(ds.State(), TDataSetState::Filter);
    accept = ds.FieldByName("CODE").AsInteger() % 20 == 0;
  };
  m_ds.Open();
  EXPECT_EQ(calls, 0);  // not filtered yet
  m_ds.Next();
  m_ds.Next();  // on r3
  m_ds.SetFiltered(true);
  EXPECT_GT(calls, 0);
  EXPECT_EQ(Name(), "r4");  // r3 is filtered out: its successor becomes current
  EXPECT_EQ(m_ds.State(), TDataSetState::Browse);
  m_ds.First();
  EXPECT_EQ(Name(), "r2");
  m_ds.Last();
  EXPECT_EQ(Name(), "r6");
  m_ds.Prior();
  EXPECT_EQ(Name(), "r4");
  m_ds.Prior();
  m_ds.Prior();
  EXPECT_TRUE(m_ds.Bof());
  EXPECT_EQ(Name(), "r2");

  m_ds.OnFilterRecord = [](data::TDataSet&, bool& accept) { accept = false; };
  m_ds.Refresh();
  EXPECT_TRUE(m_ds.IsEmpty());
  EXPECT_EQ(m_ds.RecordCount(), 6);

  m_ds.SetFiltered(false);
  EXPECT_FALSE(m_ds.IsEmpty());
}

TEST_F(DataSetTest, EditCancelRestoresAndPostStores) {
  Fill(3);
  m_ds.Open();
  m_ds.Next();
  m_ds.Edit();
  EXPECT_EQ(m_ds.State(), TDataSetState::Edit);
  EXPECT_FALSE(m_ds.Modified());
  m_ds.FieldByName("NAME").SetAsString("changed");
  EXPECT_TRUE(m_ds.Modified());
  EXPECT_EQ(Name(), "changed");
  m_ds.Cancel();
  EXPECT_EQ(m_ds.State(), TDataSetState::Browse);
  EXPECT_EQ(Name(), "r2");
  EXPECT_EQ(m_ds.Locks, 0);

  m_ds.Edit();  // again after cancel: the lock was released
  m_ds.FieldByName("NAME").SetAsString("a longer text than ten");
  m_ds.FieldByName("CODE").SetAsString("77");
  m_ds.Post();
  EXPECT_EQ(m_ds.Locks, 0);
  EXPECT_FALSE(m_ds.Modified());
  EXPECT_EQ(Name(), "a longer t");
  EXPECT_EQ(m_ds.RecNo(), 2);
  EXPECT_EQ(m_ds.m_rows[1].Bytes.substr(0, 16), "a longer t77    ");

  // Moving away posts a modified record and cancels an unmodified one.
  m_ds.Edit();
  m_ds.FieldByName("CODE").SetAsInteger(5);
  m_ds.Next();
  EXPECT_EQ(m_ds.State(), TDataSetState::Browse);
  EXPECT_EQ(m_ds.m_rows[1].Bytes.substr(10), "5     ");
  m_ds.Edit();
  m_ds.Prior();
  EXPECT_EQ(m_ds.Calls.back(), "cancel");
}

TEST_F(DataSetTest, AppendPostsAfterLastAndCancelWritesNothing) {
  Fill(2);
  m_ds.Open();
  m_ds.Insert();
  m_ds.Cancel();
  EXPECT_EQ(Name(), "r1");
  m_ds.Append();
  EXPECT_EQ(m_ds.State(), TDataSetState::Insert);
  EXPECT_TRUE(m_ds.FieldByName("NAME").IsNull());
  EXPECT_TRUE(m_ds.GetBookmark().IsEmpty());
  m_ds.Cancel();
  EXPECT_EQ(m_ds.m_rows.size(), 2u);
  EXPECT_EQ(Name(), "r2");

  m_ds.Append();
  m_ds.FieldByName("NAME").SetAsString("new");
  m_ds.Post();
  ASSERT_EQ(m_ds.m_rows.size(), 3u);
  EXPECT_EQ(Name(), "new");
  EXPECT_EQ(m_ds.RecNo(), 3);
  m_ds.Prior();
  EXPECT_EQ(Name(), "r2");
}

TEST_F(DataSetTest, EditOnEmptyStartsInsertAndAppendCancelLeavesEmpty) {
  m_ds.Open();
  m_ds.Edit();
  EXPECT_EQ(m_ds.State(), TDataSetState::Insert);
  EXPECT_FALSE(m_ds.IsEmpty());
  m_ds.Cancel();
  EXPECT_TRUE(m_ds.IsEmpty());
  EXPECT_TRUE(m_ds.Eof());
}

TEST_F(DataSetTest, DeleteMovesToNextOrPreviousAndEmptiesOnLast) {
  Fill(3);
  m_ds.Open();
  m_ds.Next();
  m_ds.Delete();
  EXPECT_EQ(Name(), "r3");
  m_ds.Delete();  // the last visible record: the one before it becomes current
  EXPECT_EQ(Name(), "r1");
  m_ds.Delete();
  EXPECT_TRUE(m_ds.IsEmpty());
  EXPECT_EQ(m_ds.RecordCount(), 3);  // flagged rows still count
  try {
    m_ds.Delete();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Cannot perform this operation on an empty dataset");
  }
}

TEST_F(DataSetTest, BookmarksReturnToTheirRecord) {
  Fill(5);
  m_ds.Open();
  m_ds.MoveBy(3);
  data::TBookmark mark = m_ds.GetBookmark();
  EXPECT_EQ(mark.Value(), 4);
  m_ds.First();
  EXPECT_TRUE(m_ds.BookmarkValid(mark));
  m_ds.GotoBookmark(mark);
  EXPECT_EQ(Name(), "r4");
  m_ds.Next();
  EXPECT_EQ(Name(), "r5");
  m_ds.FreeBookmark(mark);
  EXPECT_TRUE(mark.IsEmpty());
  EXPECT_FALSE(m_ds.BookmarkValid(mark));
}

TEST_F(DataSetTest, LocateFindsByValueAndStaysPutOtherwise) {
  Fill(4);
  m_ds.AddRow({"Rua Azul", "50"});
  m_ds.Open();
  EXPECT_TRUE(m_ds.Locate("CODE", {int64_t{30}}));
  EXPECT_EQ(Name(), "r3");
  EXPECT_FALSE(m_ds.Locate("NAME", {std::string("nothing")}));
  EXPECT_EQ(Name(), "r3");
  m_ds.Next();
  EXPECT_EQ(Name(), "r4");  // the cursor was put back
  EXPECT_TRUE(m_ds.Locate("name; code", {std::string("RUA"), std::string("50")},
                          {.CaseInsensitive = true, .PartialKey = true}));
  EXPECT_EQ(m_ds.RecNo(), 5);
  EXPECT_FALSE(m_ds.Locate("NAME", {std::string("RUA")}, {.CaseInsensitive = true}));
}

TEST_F(DataSetTest, StateErrorsAreExact) {
  auto expectError = [](auto&& action, const char* message) {
    try {
      action();
      ADD_FAILURE() << "no error, expected " << message;
    } catch (const EDatabaseError& e) {
      EXPECT_STREQ(e.what(), message);
    }
  };
  const char* closed = "Cannot perform this operation on a closed dataset";
  expectError([&] { m_ds.First(); }, closed);
  expectError([&] { m_ds.Edit(); }, closed);
  expectError([&] { m_ds.Append(); }, closed);
  expectError([&] { m_ds.Delete(); }, closed);
  expectError([&] { m_ds.FieldByName("NOPE"); }, "Field 'NOPE' not found");

  Fill(1);
  m_ds.Open();
  expectError([&] { m_ds.AddField<data::TStringField>("X", 3); },
              "Cannot perform this operation on an open dataset");
  expectError([&] { m_ds.FieldByName("NAME").SetAsString("x"); },
              "Dataset not in edit or insert mode");
  m_ds.Close();

  m_ds.ReadOnlyStore = true;
  m_ds.Open();
  expectError([&] { m_ds.Edit(); }, "Cannot modify a read-only dataset");
  expectError([&] { m_ds.Append(); }, "Cannot modify a read-only dataset");
  expectError([&] { m_ds.Delete(); }, "Cannot modify a read-only dataset");
  EXPECT_EQ(m_ds.State(), TDataSetState::Browse);
}

TEST_F(DataSetTest, PersistentFieldsBindByNameAndSurviveClose) {
  Fill(2);
  data::TStringField& name = m_ds.AddField<data::TStringField>("name", 10);
  m_ds.Open();
  EXPECT_EQ(m_ds.FieldCount(), 1);  // no default fields beside persistent ones
  EXPECT_EQ(name.AsString(), "r1");
  EXPECT_EQ(name.FieldNo(), 1);
  m_ds.Close();
  EXPECT_EQ(&m_ds.FieldByName("NAME"), &name);
  EXPECT_TRUE(name.IsNull());

  m_ds.AddField<data::TStringField>("MISSING", 4);
  try {
    m_ds.Open();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Field 'MISSING' not found");
  }
  EXPECT_FALSE(m_ds.Active());

  m_ds.ClearFields();
  m_ds.AddField<data::TStringField>("CODE", 6);
  try {
    m_ds.Open();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Type mismatch for field 'CODE', expecting: String actual: Integer");
  }
  EXPECT_FALSE(m_ds.Active());

  m_ds.ClearFields();
  m_ds.Open();  // default fields again
  EXPECT_EQ(m_ds.FieldCount(), 2);
  EXPECT_EQ(m_ds.Fields(1).DataType(), TFieldType::Integer);
}

TEST_F(DataSetTest, LinkReceivesEventsInOperationOrder) {
  Fill(3);
  data::TDataSource source(&m_ds);
  RecordingLink link;
  link.SetDataSource(&source);
  link.Events.clear();

  m_ds.Open();
  m_ds.Next();
  m_ds.Edit();
  m_ds.FieldByName("NAME").SetAsString("x");
  link.PendingText = "typed";
  m_ds.Post();
  m_ds.First();
  EXPECT_EQ(link.Events,
            (std::vector<std::string>{"active", "scrolled 1", "editing", "record *",
                                      "record NAME", "update", "record NAME", "editing",
                                      "changed", "changed"}));
  EXPECT_EQ(m_ds.m_rows[1].Bytes.substr(0, 10), "typed     ");

  link.Events.clear();
  m_ds.DisableControls();
  m_ds.DisableControls();
  for (; !m_ds.Eof(); m_ds.Next()) {
  }
  m_ds.EnableControls();
  EXPECT_TRUE(m_ds.ControlsDisabled());
  EXPECT_TRUE(link.Events.empty());
  m_ds.EnableControls();
  EXPECT_EQ(link.Events, (std::vector<std::string>{"changed"}));

  link.Events.clear();
  m_ds.Close();
  EXPECT_EQ(link.Events, (std::vector<std::string>{"active"}));
}

TEST_F(DataSetTest, AutoEditFollowsTheSource) {
  Fill(1);
  data::TDataSource source(&m_ds);
  RecordingLink link;
  link.SetDataSource(&source);
  m_ds.Open();
  source.AutoEdit = false;
  EXPECT_FALSE(link.Edit());
  source.AutoEdit = true;
  EXPECT_TRUE(link.Edit());
  EXPECT_EQ(m_ds.State(), TDataSetState::Edit);
  link.ReadOnly = true;
  EXPECT_FALSE(link.Editing());
}

TEST_F(DataSetTest, BufferWindowFollowsTheLargestLink) {
  Fill(6);
  data::TDataSource source(&m_ds);
  RecordingLink grid, editor;
  grid.SetDataSource(&source);
  editor.SetDataSource(&source);
  grid.SetBufferCount(3);
  m_ds.Open();
  EXPECT_EQ(m_ds.BufferRecordCount(), 3);
  EXPECT_EQ(grid.RecordCount(), 3);
  EXPECT_EQ(editor.RecordCount(), 1);

  auto rows = [&] {
    std::string all;
    for (int row = 0; row < grid.RecordCount(); ++row) {
      data::TLinkRowScope scope(grid, row);
      all += Name() + ":" + std::to_string(m_ds.RecNo()) + " ";
    }
    return all;
  };
  EXPECT_EQ(rows(), "r1:1 r2:2 r3:3 ");
  m_ds.MoveBy(2);
  EXPECT_EQ(grid.ActiveRecord(), 2);
  EXPECT_EQ(Name(), "r3");  // the scope put the current row back
  grid.Events.clear();
  editor.Events.clear();
  m_ds.Next();
  EXPECT_EQ(rows(), "r2:2 r3:3 r4:4 ");
  EXPECT_EQ(grid.Events, (std::vector<std::string>{"scrolled 1"}));
  EXPECT_EQ(editor.Events, (std::vector<std::string>{"scrolled 1"}));
  m_ds.MoveBy(-2);  // moves inside the grid's window: no grid scroll
  EXPECT_EQ(grid.ActiveRecord(), 0);
  EXPECT_EQ(grid.Events.back(), "scrolled 0");
  EXPECT_EQ(editor.Events.back(), "scrolled -2");

  m_ds.Last();
  EXPECT_EQ(rows(), "r4:4 r5:5 r6:6 ");
  EXPECT_EQ(grid.ActiveRecord(), 2);
  grid.SetBufferCount(5);
  EXPECT_EQ(rows(), "r2:2 r3:3 r4:4 r5:5 r6:6 ");
  EXPECT_EQ(Name(), "r6");
  grid.SetBufferCount(2);
  EXPECT_EQ(rows(), "r5:5 r6:6 ");

  m_ds.First();
  m_ds.Append();
  EXPECT_EQ(grid.RecordCount(), 2);
  EXPECT_EQ(grid.ActiveRecord(), 1);
  m_ds.Cancel();
  EXPECT_EQ(Name(), "r6");
}

TEST_F(DataSetTest, InsertOpensARowInsideTheWindowAndCancelClosesIt) {
  Fill(4);
  data::TDataSource source(&m_ds);
  RecordingLink grid;
  grid.SetDataSource(&source);
  grid.SetBufferCount(3);
  m_ds.Open();
  m_ds.Next();  // r2 on the second row
  m_ds.Insert();
  auto rows = [&] {
    std::string all;
    for (int row = 0; row < grid.RecordCount(); ++row) {
      data::TLinkRowScope scope(grid, row);
      all += (m_ds.FieldByName("NAME").IsNull() ? std::string("-") : Name()) + " ";
    }
    return all;
  };
  EXPECT_EQ(rows(), "r1 - r2 ");
  EXPECT_EQ(grid.ActiveRecord(), 1);
  m_ds.Cancel();
  EXPECT_EQ(rows(), "r1 r2 r3 ");
  EXPECT_EQ(Name(), "r2");
  m_ds.Insert();
  m_ds.FieldByName("NAME").SetAsString("ins");
  m_ds.Post();  // stored at the end of the rows
  EXPECT_EQ(Name(), "ins");
  EXPECT_EQ(m_ds.RecNo(), 5);
  EXPECT_EQ(grid.ActiveRecord(), 2);
  EXPECT_EQ(rows(), "r3 r4 ins ");
  m_ds.Insert();  // before the last row of a full window: the current record stays in view
  EXPECT_EQ(rows(), "r4 - ins ");
  EXPECT_EQ(grid.ActiveRecord(), 1);
  m_ds.Cancel();
  EXPECT_EQ(Name(), "ins");
  m_ds.Prior();
  m_ds.Insert();  // elsewhere the last row makes way
  EXPECT_EQ(rows(), "r3 - r4 ");
}

TEST_F(DataSetTest, EventsFireAroundOperations) {
  Fill(2);
  std::vector<std::string> log;
  auto note = [&](const char* what) { return [&log, what](data::TDataSet&) { log.push_back(what); }; };
  m_ds.BeforeOpen = note("BeforeOpen");
  m_ds.AfterOpen = note("AfterOpen");
  m_ds.BeforeScroll = note("BeforeScroll");
  m_ds.AfterScroll = note("AfterScroll");
  m_ds.BeforePost = note("BeforePost");
  m_ds.AfterPost = note("AfterPost");
  m_ds.BeforeInsert = note("BeforeInsert");
  m_ds.OnNewRecord = [&](data::TDataSet& ds) {
    log.push_back("OnNewRecord");
    ds.FieldByName("CODE").SetAsInteger(1);
  };
  m_ds.AfterInsert = note("AfterInsert");
  m_ds.BeforeClose = note("BeforeClose");
  m_ds.AfterClose = note("AfterClose");
  m_ds.Open();
  m_ds.Next();
  m_ds.Next();  // at the end: a scroll is tried, but nothing moves
  m_ds.Append();
  EXPECT_FALSE(m_ds.Modified());  // defaults from OnNewRecord do not count as changes
  m_ds.Post();  // unmodified insert still posts
  m_ds.Close();
  EXPECT_EQ(log, (std::vector<std::string>{"BeforeOpen", "AfterOpen", "BeforeScroll",
                                            "AfterScroll", "BeforeScroll", "BeforeInsert", "BeforeScroll",
                                            "OnNewRecord", "AfterInsert", "AfterScroll",
                                            "BeforePost", "AfterPost", "BeforeClose",
                                            "AfterClose"}));
  EXPECT_EQ(m_ds.m_rows.size(), 3u);
}

}  // namespace
}  // namespace vorelia::test
