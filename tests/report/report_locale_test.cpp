#include <gtest/gtest.h>

#include <QDate>
#include <QLocale>

#include <regex>

#include "report/core/qr_expr_evaluator.h"
#include "report/core/qr_expr_locale.h"
#include "platform/qt/ansi_text.h"
#include "report/report_locale.h"

namespace vorelia::report {
namespace {

class ReportLocaleTest : public ::testing::Test {
 protected:
  void TearDown() override { SetExprLocale(DefaultExprLocale()); }

  static std::string Text(const std::string& expression) {
    TQREvaluator evaluator;
    evaluator.Compile(expression);
    return evaluator.Value().StrResult;
  }
};

TEST_F(ReportLocaleTest, ExpressionsFollowTheDesktopLocale) {
  InstallReportLocale();
  const QLocale locale = ReportLocale();
  const std::string decimal = platform::ToAnsi(locale.decimalPoint());
  EXPECT_EQ(Text("STR(2.5)"), "2" + decimal + "5");
  EXPECT_EQ(Text("DATE"),
            platform::ToAnsi(locale.toString(QDate::currentDate(), QLocale::ShortFormat)));
  // The long time format, without a time-zone name.
  EXPECT_TRUE(std::regex_match(Text("TIME"), std::regex("[0-9: APMapm.]+"))) << Text("TIME");
}

TEST_F(ReportLocaleTest, AnUnsetLocaleMeansBrazilianPortuguese) {
  if (QLocale::system().language() != QLocale::C) GTEST_SKIP() << "the desktop has a locale";
  InstallReportLocale();
  EXPECT_EQ(Text("STR(2.5)"), "2,5");
  EXPECT_TRUE(std::regex_match(Text("DATE"), std::regex(R"(\d\d/\d\d/\d\d\d\d)"))) << Text("DATE");
  EXPECT_TRUE(std::regex_match(Text("TIME"), std::regex(R"(\d\d:\d\d:\d\d)"))) << Text("TIME");
}

}  // namespace
}  // namespace vorelia::report
