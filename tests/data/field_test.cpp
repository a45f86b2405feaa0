#include "data/field.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "data/data_error.h"
#include "data/data_link.h"
#include "data/data_source.h"
#include "memory_dataset.h"

namespace vorelia::test {
namespace {

using data::EDatabaseError;
using data::TFieldType;

class FieldTest : public ::testing::Test {
 protected:
  FieldTest()
      : m_ds({{"NAME", TFieldType::String, 8},
              {"QTY", TFieldType::Integer, 6},
              {"PRICE", TFieldType::Float, 12},
              {"PAID", TFieldType::Boolean, 5},
              {"DUE", TFieldType::Date, 10}}) {
    m_ds.AddRow({"pen", "12", "2.5", "True", "2026-12-09"});
    m_ds.Open();
  }

  std::string ErrorOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const EDatabaseError& e) {
      return e.what();
    }
    return "(no error)";
  }

  TMemoryDataSet m_ds;
};

TEST_F(FieldTest, ValuesConvertBetweenTypes) {
  data::TField& qty = m_ds.FieldByName("qty");
  data::TField& price = m_ds.FieldByName("PRICE");
  data::TField& paid = m_ds.FieldByName("PAID");
  data::TField& due = m_ds.FieldByName("DUE");
  EXPECT_EQ(qty.AsInteger(), 12);
  EXPECT_EQ(qty.AsString(), "12");
  EXPECT_DOUBLE_EQ(qty.AsFloat(), 12.0);
  EXPECT_EQ(price.AsString(), "2.5");
  EXPECT_EQ(price.AsInteger(), 3);  // rounded, not cut
  EXPECT_TRUE(paid.AsBoolean());
  EXPECT_EQ(paid.AsString(), "True");
  EXPECT_EQ(due.AsDate(), (data::TDate{2026, 12, 9}));
  EXPECT_EQ(ErrorOf([&] { m_ds.FieldByName("NAME").AsInteger(); }),
            "'pen' is not a valid integer value");
}

TEST_F(FieldTest, WritesParseTextAndRefuseNonsense) {
  m_ds.Edit();
  data::TField& qty = m_ds.FieldByName("QTY");
  qty.SetAsString(" 42 ");
  EXPECT_EQ(qty.AsInteger(), 42);
  qty.SetAsFloat(6.6);
  EXPECT_EQ(qty.AsInteger(), 7);
  qty.SetAsString("");
  EXPECT_TRUE(qty.IsNull());
  EXPECT_EQ(ErrorOf([&] { qty.SetAsString("12a"); }), "'12a' is not a valid integer value");
  EXPECT_EQ(ErrorOf([&] { m_ds.FieldByName("PRICE").SetAsString("1,5"); }),
            "'1,5' is not a valid floating point value");
  EXPECT_EQ(ErrorOf([&] { m_ds.FieldByName("PAID").SetAsString("maybe"); }),
            "'maybe' is not a valid boolean value");
  EXPECT_EQ(ErrorOf([&] { m_ds.FieldByName("DUE").SetAsString("2026-02-30"); }),
            "'2026-02-30' is not a valid date");
  m_ds.FieldByName("DUE").SetAsString("20240229");
  EXPECT_EQ(m_ds.FieldByName("DUE").AsString(), "2024-02-29");
  m_ds.FieldByName("PAID").SetAsString("f");
  EXPECT_FALSE(m_ds.FieldByName("PAID").AsBoolean());
  m_ds.FieldByName("NAME").SetAsInteger(123456789);
  EXPECT_EQ(m_ds.FieldByName("NAME").AsString(), "12345678");  // cut by the store
  m_ds.Post();
  EXPECT_EQ(m_ds.m_rows[0].Bytes.substr(0, 14), "12345678      ");
}

TEST_F(FieldTest, ReadOnlyAndRequiredFieldsAreEnforced) {
  data::TField& name = m_ds.FieldByName("NAME");
  m_ds.Edit();
  name.ReadOnly = true;
  EXPECT_EQ(ErrorOf([&] { name.SetAsString("x"); }), "Field 'NAME' cannot be modified");
  name.ReadOnly = false;
  name.Required = true;
  name.Clear();
  EXPECT_EQ(ErrorOf([&] { m_ds.Post(); }), "Field 'NAME' must have a value");
  EXPECT_EQ(m_ds.State(), data::TDataSetState::Edit);
  m_ds.Cancel();
  EXPECT_EQ(name.AsString(), "pen");
}

TEST_F(FieldTest, FloatPrecisionAndDisplayDefaults) {
  data::TFloatField money("PRICE", TFieldType::Float, 2);
  data::TField& price = m_ds.FieldByName("PRICE");
  EXPECT_EQ(price.EffectiveDisplayWidth(), 10);
  EXPECT_EQ(m_ds.FieldByName("NAME").EffectiveDisplayWidth(), 8);
  EXPECT_EQ(m_ds.FieldByName("NAME").DisplayName(), "NAME");
  m_ds.FieldByName("NAME").DisplayLabel = "Nome";
  EXPECT_EQ(m_ds.FieldByName("NAME").DisplayName(), "Nome");
  EXPECT_EQ(data::ValueToText(0.1), "0.1");
  EXPECT_EQ(data::ValueToText(1e21), "1e+21");
  EXPECT_EQ(data::ValueToText(data::TDateTime{{2026, 1, 2}, 3723000}), "2026-01-02 01:02:03");
}

// Whichever of dataset, source and link goes first, the others must not touch it afterwards.
TEST(DataLinkLifetimeTest, AnyPartMayDieFirst) {
  class Counting : public data::TDataLink {
   public:
    int changes = 0;

   protected:
    void ActiveChanged() override { ++changes; }
  };
  auto makeDataSet = [] {
    auto ds = std::make_unique<TMemoryDataSet>(
        std::vector<TMemoryDataSet::Column>{{"A", TFieldType::String, 3}});
    ds->AddRow({"x"});
    return ds;
  };
  {
    auto ds = makeDataSet();
    data::TDataSource source(ds.get());
    Counting link;
    link.SetDataSource(&source);
    ds->Open();
    ds.reset();
    EXPECT_EQ(source.DataSet(), nullptr);
    EXPECT_FALSE(link.Active());
    EXPECT_EQ(link.RecordCount(), 0);
  }
  {
    auto ds = makeDataSet();
    auto source = std::make_unique<data::TDataSource>(ds.get());
    Counting link;
    link.SetDataSource(source.get());
    source.reset();  // the link hears that its dataset is gone
    EXPECT_EQ(link.DataSource(), nullptr);
    EXPECT_EQ(link.changes, 2);
    ds->Open();  // no notification reaches the dead source
    EXPECT_EQ(link.changes, 2);
  }
  {
    auto ds = makeDataSet();
    data::TDataSource source(ds.get());
    auto link = std::make_unique<Counting>();
    link->SetDataSource(&source);
    link->SetBufferCount(5);
    link.reset();
    ds->Open();
    EXPECT_EQ(ds->BufferRecordCount(), 1);  // the dead link no longer asks for five rows
    EXPECT_TRUE(source.Links().empty());
  }
}

TEST(DataSourceTest, SwitchingDataSetsAndDisablingTellTheLinks) {
  TMemoryDataSet first({{"A", TFieldType::String, 3}});
  TMemoryDataSet second({{"A", TFieldType::String, 3}});
  first.AddRow({"one"});
  second.AddRow({"two"});
  first.Open();
  second.Open();
  data::TDataSource source(&first);
  int stateChanges = 0;
  std::vector<std::string> data;
  source.OnStateChange = [&](data::TDataSource&) { ++stateChanges; };
  source.OnDataChange = [&](data::TDataSource& s, data::TField* field) {
    data.push_back(field ? field->FieldName() : s.DataSet()->FieldByName("A").AsString());
  };
  data::TDataLink link;
  link.SetDataSource(&source);
  EXPECT_EQ(link.DataSet(), &first);
  source.SetDataSet(&second);
  EXPECT_EQ(stateChanges, 1);
  first.Refresh();
  EXPECT_TRUE(data.empty());  // the old dataset no longer reaches the source
  second.Refresh();
  EXPECT_EQ(data, (std::vector<std::string>{"two"}));
  source.SetEnabled(false);
  EXPECT_EQ(source.State(), data::TDataSetState::Inactive);
  EXPECT_FALSE(link.Active());
  second.Refresh();
  EXPECT_EQ(data.size(), 1u);
  source.SetEnabled(true);
  second.Edit();
  second.FieldByName("A").SetAsString("new");
  EXPECT_EQ(data.back(), "A");
  EXPECT_EQ(stateChanges, 4);  // switch, disable, enable, edit
}

}  // namespace
}  // namespace vorelia::test
