#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/memory_dataset.h"
#include "report/core/qr_error.h"
#include "report/core/qr_expr_engine.h"
#include "report/core/qr_expr_locale.h"

namespace vorelia::report {
namespace {

class ReportExpressionEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TQRExprLocale locale;
    locale.CurrentTimeText = [] { return std::string("10:20:30"); };
    locale.CurrentDateText = [] { return std::string("09/12/2026"); };
    SetExprLocale(locale);
    m_dataSet.AddRow({"SP", "10"});
    m_dataSet.AddRow({"SP", "20"});
    m_dataSet.AddRow({"RJ", "5"});
    m_dataSet.AddRow({"RJ", "7"});
    m_dataSet.AddRow({"MG", "1"});
    m_dataSet.Open();
    m_engine.Prepare({{"PAGENUMBER", "0"}, {"COLUMNNUMBER", "0"}, {"REPORTTITLE", "''"}},
                     {{"Tabela", &m_dataSet}});
  }

  test::TMemoryDataSet m_dataSet{
      {{"UF", data::TFieldType::String, 2}, {"VALOR", data::TFieldType::Integer, 6}}};
  TQRExprEngine m_engine;
};

TEST_F(ReportExpressionEngineTest, RunKeepsNamedValuesCurrent) {
  m_engine.NamedValueChanged("PAGENUMBER", "2");
  m_engine.NamedValueChanged("REPORTTITLE", "Ag\xeancias");
  m_engine.NamedValueChanged("NADA", "1");  // unknown: ignored
  EXPECT_EQ(m_engine.Text(nullptr, "PAGENUMBER + 1", ""), "3");
  EXPECT_EQ(m_engine.Text(nullptr, "'P\xe1gina ' + STR(PAGENUMBER)", ""), "P\xe1gina 2");
  EXPECT_EQ(m_engine.Text(nullptr, "REPORTTITLE", ""), "Ag\xeancias");
  m_engine.NamedValueChanged("PAGENUMBER", "3");
  EXPECT_EQ(m_engine.Text(nullptr, "PAGENUMBER + 1", ""), "4");
  m_engine.Unprepare();
  EXPECT_FALSE(QRGlobalEnvironment().Prepared());
}

TEST_F(ReportExpressionEngineTest, MasksApplyToNumbersOnly) {
  EXPECT_EQ(m_engine.Text(nullptr, "VALOR * 1.5", "#,##0.00"), "15,00");
  EXPECT_EQ(m_engine.Text(nullptr, "VALOR * 1000", "#,##0"), "10.000");
  EXPECT_EQ(m_engine.Text(nullptr, "UF", "#,##0"), "SP");
  EXPECT_EQ(m_engine.Text(nullptr, "VALOR > 5", "0.00"), "True");
  try {
    (void)m_engine.Text(nullptr, "VALOR / 0", "");
    FAIL() << "no exception";
  } catch (const EQRError& error) {
    EXPECT_STREQ(error.what(), "Error in expression : Cannot divide by 0");
  }
}

// A group on UF with a footer label printing SUM(VALOR), reset after each print: the way a
// run drives them record by record.
TEST_F(ReportExpressionEngineTest, GroupTotalsWithResetAfterPrint) {
  int group = 0;
  int label = 0;
  int grandTotal = 0;
  std::vector<std::string> printed;
  std::string last;
  for (m_dataSet.First(); !m_dataSet.Eof(); m_dataSet.Next()) {
    const std::string key = m_engine.Key(&group, "UF");
    if (!last.empty() && key != last) {
      m_dataSet.Prior();
      printed.push_back(m_engine.Text(&label, "UF + ': ' + STR(SUM(VALOR))", ""));
      m_engine.Reset(&label, "UF + ': ' + STR(SUM(VALOR))");
      m_dataSet.Next();
    }
    last = key;
    m_engine.Accumulate(&label, "UF + ': ' + STR(SUM(VALOR))");
    m_engine.Accumulate(&grandTotal, "UF + ': ' + STR(SUM(VALOR))");
  }
  m_dataSet.Last();
  printed.push_back(m_engine.Text(&label, "UF + ': ' + STR(SUM(VALOR))", ""));
  EXPECT_EQ(printed, (std::vector<std::string>{"SP: 30", "RJ: 12", "MG: 1"}));
  // Another owner of the same text kept its own running sum.
  EXPECT_EQ(m_engine.Text(&grandTotal, "UF + ': ' + STR(SUM(VALOR))", ""), "MG: 43");
}

TEST_F(ReportExpressionEngineTest, KeysDifferExactlyWhenKindOrValueDiffers) {
  EXPECT_EQ(m_engine.Key(nullptr, "1"), m_engine.Key(nullptr, "2 - 1"));
  EXPECT_NE(m_engine.Key(nullptr, "1"), m_engine.Key(nullptr, "1.0"));
  EXPECT_NE(m_engine.Key(nullptr, "1"), m_engine.Key(nullptr, "'1'"));
  EXPECT_NE(m_engine.Key(nullptr, "0.1 + 0.2"), m_engine.Key(nullptr, "0.3"));
  EXPECT_EQ(m_engine.Key(nullptr, "TRUE"), m_engine.Key(nullptr, "1 = 1"));
  EXPECT_EQ(m_engine.Key(nullptr, "1 / 0"), m_engine.Key(nullptr, "2 / 0"));
}

}  // namespace
}  // namespace vorelia::report
