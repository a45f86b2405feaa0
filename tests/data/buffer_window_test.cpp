#include <gtest/gtest.h>

#include "data/data_link.h"
#include "data/data_source.h"
#include "data/memory_dataset.h"

namespace vorelia::data {
namespace {

// A link that asks for a window of its own size, as a grid does.
class WindowLink : public TDataLink {};

TEST(BufferWindowTest, ShrinkingTheWindowOfAnEmptyDatasetKeepsItConsistent) {
  test::TMemoryDataSet dataSet({{"NOME", TFieldType::String, 10}});
  TDataSource source(&dataSet);
  WindowLink grid;
  grid.SetDataSource(&source);
  grid.SetBufferCount(20);
  dataSet.Open();
  EXPECT_TRUE(dataSet.IsEmpty());
  grid.SetBufferCount(5);
  grid.SetDataSource(nullptr);  // back to a single buffer
  EXPECT_TRUE(dataSet.IsEmpty());
  dataSet.Append();
  dataSet.FieldByName("NOME").SetAsString("um");
  dataSet.Post();
  EXPECT_EQ(dataSet.RecordCount(), 1);
  EXPECT_EQ(dataSet.FieldByName("NOME").AsString(), "um");
}

TEST(BufferWindowTest, ShrinkingKeepsTheActiveRecord) {
  test::TMemoryDataSet dataSet({{"NOME", TFieldType::String, 10}});
  for (int i = 1; i <= 30; ++i) dataSet.AddRow({"r" + std::to_string(i)});
  TDataSource source(&dataSet);
  WindowLink grid;
  grid.SetDataSource(&source);
  grid.SetBufferCount(10);
  dataSet.Open();
  dataSet.MoveBy(14);
  grid.SetBufferCount(3);
  EXPECT_EQ(dataSet.FieldByName("NOME").AsString(), "r15");
  EXPECT_LE(grid.RecordCount(), 3);
  dataSet.Next();
  EXPECT_EQ(dataSet.FieldByName("NOME").AsString(), "r16");
}

}  // namespace
}  // namespace vorelia::data
