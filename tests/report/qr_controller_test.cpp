#include "report/qr_controller.h"

#include <gtest/gtest.h>

#include "data/field.h"
#include "report/core/qr_printer.h"
#include "report/qr_custom_report.h"
#include "report/qr_expression_engine.h"
#include "report/qr_group.h"
#include "report_test_support.h"

namespace vorelia::report {
namespace {

// Evaluates an expression as the named field of the current record.
class FieldEngine : public TQRExpressionEngine {
 public:
  explicit FieldEngine(data::TDataSet& dataSet) : m_dataSet(dataSet) {}
  std::string Text(std::string_view expression, std::string_view) override {
    return m_dataSet.FieldByName(expression).AsString();
  }
  std::string Key(std::string_view expression) override { return Text(expression, {}); }

 private:
  data::TDataSet& m_dataSet;
};

// Bands of a report over agencies in three states, grouped by state, logging what prints.
class GroupTest : public ::testing::Test {
 protected:
  GroupTest() : m_report("R") {
    m_agencies = test::MakeAgencies(0);
    for (const char* state : {"PE", "PE", "SP", "RJ", "RJ"}) {
      m_agencies->AddRow({std::string("Agency in ") + state, "", "", state});
    }
    m_agencies->Open();
    m_engine = std::make_unique<FieldEngine>(*m_agencies);
    m_report.SetExpressionEngine(m_engine.get());
    m_report.SetDataSet(m_agencies.get());
    m_group = &m_report.CreateBand<TQRGroup>("Group");
    m_group->Expression = "UF";
    auto& footer = m_report.CreateBand<TQRBand>("Footer", TQRBandType::rbDetail);
    m_group->SetFooterBand(&footer);
    auto& detail = m_report.CreateBand<TQRBand>("Detail", TQRBandType::rbDetail);
    auto& summary = m_report.CreateBand<TQRBand>("Summary", TQRBandType::rbSummary);
    for (TQRCustomBand* band :
         std::initializer_list<TQRCustomBand*>{m_group, &footer, &detail, &summary}) {
      band->AfterPrint = [this](TQRCustomBand& printed, bool) {
        m_log.push_back(printed.Name() + " " + m_agencies->FieldByName("UF").AsString());
      };
    }
  }

  std::unique_ptr<vorelia::test::TMemoryDataSet> m_agencies;
  std::unique_ptr<FieldEngine> m_engine;
  TQRReport m_report;
  TQRGroup* m_group;
  std::vector<std::string> m_log;
};

TEST_F(GroupTest, HeadersOpenAndFootersCloseEachRunOfEqualValues) {
  m_report.Compose();
  // Footers print on the last record of their group; the summary after the last footer.
  const std::vector<std::string> expected{"Group PE",  "Detail PE", "Detail PE", "Footer PE",
                                          "Group SP",  "Detail SP", "Footer SP", "Group RJ",
                                          "Detail RJ", "Detail RJ", "Footer RJ", "Summary RJ"};
  EXPECT_EQ(m_log, expected);
  EXPECT_EQ(m_group->FooterBand()->BandType(), TQRBandType::rbGroupFooter);
}

TEST_F(GroupTest, BandListPutsGroupHeadersBeforeAndFootersAfterTheDetail) {
  std::vector<std::string> names;
  for (const TQRCustomBand* band : m_report.BandList()) names.push_back(band->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"Group", "Detail", "Footer", "Summary"}));
}

TEST_F(GroupTest, HooksSeeEveryPageAndCanDeclineTheRun) {
  std::vector<int> started;
  std::vector<int> ended;
  m_report.OnStartPage = [&](TQRCustomReport& report) { started.push_back(report.PageCount()); };
  m_report.OnEndPage = [&](TQRCustomReport& report) { ended.push_back(report.PageCount()); };
  m_report.Compose();
  EXPECT_EQ(started, std::vector<int>{1});
  EXPECT_EQ(ended, std::vector<int>{1});

  m_log.clear();
  m_report.BeforePrint = [](TQRCustomReport&, bool& print) { print = false; };
  m_report.Compose();
  EXPECT_TRUE(m_log.empty());
  EXPECT_EQ(m_report.QRPrinter()->Status(), TQRPrinterStatus::StateIdle);
  EXPECT_TRUE(m_report.Available());
}

}  // namespace
}  // namespace vorelia::report
