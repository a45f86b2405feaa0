#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "data/memory_dataset.h"
#include "report/core/qr_printer.h"
#include "report/qr_custom_report.h"
#include "report/qr_expr.h"
#include "report/qr_group.h"
#include "report_test_support.h"

namespace vorelia::report {
namespace {

using data::TFieldType;
using vorelia::test::TMemoryDataSet;

// Sales by town, grouped by the town's first letter, composed with the report's own engine.
class ExpressionWiringTest : public ::testing::Test {
 protected:
  ExpressionWiringTest() : m_report("Vendas") {
    m_sales = std::make_unique<TMemoryDataSet>(std::vector<TMemoryDataSet::Column>{
        {"CIDADE", TFieldType::String, 20}, {"VALOR", TFieldType::Integer, 6}});
    m_sales->AddRow({"Recife", "10"});
    m_sales->AddRow({"Rio", "5"});
    m_sales->AddRow({"Santos", "7"});
    m_sales->AddRow({"Salvador", "3"});
    m_sales->AddRow({"Sorocaba", "20"});
    m_sales->AddRow({"Natal", "1"});
    m_sales->Open();
    m_report.SetDataSet(m_sales.get());
    m_report.ReportTitle = "Relat\xf3rio";

    auto& header = m_report.CreateBand<TQRBand>("Header", TQRBandType::rbPageHeader);
    AddExpr(header, "PAGENUMBER");
    auto& group = m_report.CreateBand<TQRGroup>("Group");
    group.Expression = "COPY(CIDADE, 1, 1)";
    AddExpr(group, "'Cidades ' + COPY(CIDADE, 1, 1)");
    auto& detail = m_report.CreateBand<TQRBand>("Detail", TQRBandType::rbDetail);
    AddExpr(detail, "VALOR * 2 + 1");
    auto& footer = m_report.CreateBand<TQRBand>("Footer", TQRBandType::rbDetail);
    group.SetFooterBand(&footer);
    AddExpr(footer, "SUM(VALOR)").ResetAfterPrint = true;
    AddExpr(footer, "SUM(VALOR)");  // the same text, running over the whole report
    auto& summary = m_report.CreateBand<TQRBand>("Summary", TQRBandType::rbSummary);
    AddExpr(summary, "REPORTTITLE");
  }

  TQRExpr& AddExpr(TQRCustomBand& band, std::string expression) {
    band.SetHeight(20);
    auto& expr = band.Add(std::make_unique<TQRExpr>("Expr" + std::to_string(++m_exprs)));
    expr.SetExpression(std::move(expression));
    return expr;
  }

  std::vector<std::string> ComposedTexts() {
    m_report.Compose();
    std::vector<std::string> texts;
    for (int n = 1; n <= m_report.QRPrinter()->PageCount(); ++n) {
      for (std::string& text : test::PageTexts(*m_report.QRPrinter()->GetPage(n))) {
        texts.push_back(std::move(text));
      }
    }
    return texts;
  }

  std::unique_ptr<TMemoryDataSet> m_sales;
  TQRReport m_report;
  int m_exprs = 0;
};

TEST_F(ExpressionWiringTest, GroupsChangeOnTheExpressionAndFootersPrintTheirTotals) {
  const std::vector<std::string> expected{
      "1",                                                  // page header: PAGENUMBER
      "Cidades R", "21", "11", "15", "15",                  // Recife 10, Rio 5
      "Cidades S", "15", "7", "41", "30", "45",             // Santos 7, Salvador 3, Sorocaba 20
      "Cidades N", "3",  "1",  "46",                        // Natal 1
      "Relat\xf3rio"};
  EXPECT_EQ(ComposedTexts(), expected);
}

TEST_F(ExpressionWiringTest, RunsInARowPrintTheSameAndKeepTheStoredNamedValues) {
  const std::vector<std::string> first = ComposedTexts();
  const std::vector<std::string> second = ComposedTexts();
  ASSERT_FALSE(second.empty());
  EXPECT_EQ(second.back(), "Relat\xf3rio");
  EXPECT_EQ(second, first);  // aggregates start over with each run
  ASSERT_EQ(m_report.Functions.size(), 3u);
  EXPECT_EQ(m_report.Functions[0].Expression, "0");
  EXPECT_EQ(m_report.Functions[2].Expression, "''");
  EXPECT_EQ(m_report.NamedValue("PAGENUMBER"), "1");
  EXPECT_EQ(m_report.NamedValue("REPORTTITLE"), "Relat\xf3rio");
}

TEST_F(ExpressionWiringTest, WithoutAnEngineExpressionsPrintNothing) {
  m_report.SetExpressionEngine(nullptr);
  const std::vector<std::string> texts = ComposedTexts();
  for (const std::string& text : texts) EXPECT_EQ(text, "");
}

TEST_F(ExpressionWiringTest, FieldsCanBeNamedWithTheirDataset) {
  m_sales->SetName("Vendas");
  ASSERT_EQ(m_report.BandList().size(), 5u);
  auto& summary = *m_report.BandList().back();
  TQRExpr& expr = AddExpr(summary, "vendas.CIDADE + '/' + CIDADE");
  EXPECT_EQ(ComposedTexts().back(), "Natal/Natal");
  expr.SetExpression("Outra.CIDADE");  // no dataset of that name
  try {
    ComposedTexts();
    ADD_FAILURE();
  } catch (const std::exception& e) {
    EXPECT_NE(std::string(e.what()).find("Unknown function : Outra.CIDADE"), std::string::npos);
  }
}

}  // namespace
}  // namespace vorelia::report
