#include <cmath>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/memory_dataset.h"
#include "report/core/qr_error.h"
#include "report/core/qr_expr_environment.h"
#include "report/core/qr_expr_evaluator.h"
#include "report/core/qr_expr_format.h"
#include "report/core/qr_expr_function.h"
#include "report/core/qr_expr_locale.h"
#include "report/core/qr_expr_result.h"

namespace vorelia::report {
namespace {

// "KIND value" for a result, written independently of the evaluator's own text forms.
std::string Describe(const TQREvResult& r) {
  std::ostringstream out;
  out.precision(15);
  switch (r.Kind) {
    case TQREvResultType::resInt:
      out << "INTEGER " << r.IntResult;
      break;
    case TQREvResultType::resDouble:
      out << "FLOAT " << r.DblResult;
      break;
    case TQREvResultType::resString:
      out << "STRING " << r.StrResult;
      break;
    case TQREvResultType::resBool:
      out << "BOOLEAN " << (r.BooResult ? "true" : "false");
      break;
    case TQREvResultType::resError:
      out << "ERROR " << r.StrResult;
      break;
  }
  return out.str();
}

struct Case {
  const char* Text;
  const char* Expected;
};

class ReportExpressionTest : public ::testing::Test {
 protected:
  void SetUp() override { SetExprLocale(Brazilian()); }
  void TearDown() override { SetExprLocale(Brazilian()); }

  static TQRExprLocale Brazilian() {
    TQRExprLocale locale;
    locale.DecimalSeparator = ',';
    locale.ThousandSeparator = '.';
    locale.CurrentTimeText = [] { return std::string("10:20:30"); };
    locale.CurrentDateText = [] { return std::string("09/12/2026"); };
    return locale;
  }

  std::string Eval(const std::string& text, TQREvEnvironment* environment = nullptr) {
    TQREvaluator evaluator(environment);
    evaluator.Compile(text);
    return Describe(evaluator.Value());
  }

  void Check(const std::vector<Case>& cases, TQREvEnvironment* environment = nullptr) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.Text);
      EXPECT_EQ(Eval(c.Text, environment), c.Expected);
    }
  }
};

TEST_F(ReportExpressionTest, PrecedenceAndAssociativity) {
  Check({
      {"1 + 2 * 3", "INTEGER 7"},
      {"(1 + 2) * 3", "INTEGER 9"},
      {"7 / 2", "FLOAT 3.5"},
      {"DIV(7, 2)", "INTEGER 3"},
      {"10 - 3 - 2", "INTEGER 5"},
      {"10 - 3 + 2", "INTEGER 9"},
      {"8 - 2 - 1 - 1", "INTEGER 4"},
      {"10 - 1 + 2 - 3 + 4", "INTEGER 12"},
      {"100 / 10 / 5", "FLOAT 2"},
      {"100 / 10 * 5", "FLOAT 50"},
      {"2 * 3 / 4", "FLOAT 1.5"},
      {"2 * (3 + 4) - 1", "INTEGER 13"},
      {"  ( ( 2 ) )  ", "INTEGER 2"},
  });
}

TEST_F(ReportExpressionTest, KindsMeetThroughConversion) {
  Check({
      {"'ab' + 'cd'", "STRING abcd"},
      {"'ab' + 1", "STRING ab1"},
      {"1 + 2.5", "FLOAT 3.5"},
      {"TRUE + 1", "STRING True1"},
      {"'x' + 2.5", "STRING x2,5"},
      {"1 = 1.0", "BOOLEAN true"},
      {"2 > 1.5", "BOOLEAN true"},
      {"'10' = 10", "BOOLEAN true"},
      {"2147483647 + 1", "FLOAT 2147483648"},
      {"99999999999", "FLOAT 99999999999"},
      {"2.5E2 + 1", "FLOAT 251"},
  });
}

TEST_F(ReportExpressionTest, ComparisonsByKind) {
  Check({
      {"1 < 2", "BOOLEAN true"},
      {"1 <= 0", "BOOLEAN false"},
      {"2 > 1", "BOOLEAN true"},
      {"1 >= 1", "BOOLEAN true"},
      {"1 <> 2", "BOOLEAN true"},
      {"'b' > 'a'", "BOOLEAN true"},
      {"'B' < 'a'", "BOOLEAN true"},
      {"'abc' = 'abc'", "BOOLEAN true"},
      {"'abc' = 'ABC'", "BOOLEAN false"},
      {"TRUE = FALSE", "BOOLEAN false"},
      {"TRUE <> FALSE", "BOOLEAN true"},
      {"TRUE < FALSE", "ERROR Operator < is not compatible with boolean expressions"},
      {"TRUE >= FALSE", "ERROR Operator >= is not compatible with boolean expressions"},
  });
}

TEST_F(ReportExpressionTest, OperatorsRefuseKindsTheyCannotHandle) {
  Check({
      {"3 / 0", "ERROR Cannot divide by 0"},
      {"3.5 / 0", "ERROR Cannot divide by 0"},
      {"TRUE + TRUE", "ERROR Cannot add boolean expressions"},
      {"TRUE - TRUE", "ERROR Cannot subtract boolean expressions"},
      {"TRUE * FALSE", "ERROR Cannot multiply boolean expressions"},
      {"TRUE / FALSE", "ERROR Cannot divide boolean expressions"},
      {"'a' - 'b'", "ERROR Cannot subtract string expressions"},
      {"'a' * 'b'", "ERROR Cannot multiply string expressions"},
      {"'a' / 'b'", "ERROR Cannot divide string expressions"},
      {"1.5 or 2", "ERROR Operator OR is not compatible with numeric expressions"},
      {"'a' and 'b'", "ERROR Operator AND is not compatible with string expressions"},
  });
}

TEST_F(ReportExpressionTest, LogicalOperatorsAndNot) {
  Check({
      {"6 or 3", "INTEGER 7"},
      {"6 AND 3", "INTEGER 2"},
      {"TRUE and FALSE", "BOOLEAN false"},
      {"FALSE Or TRUE", "BOOLEAN true"},
      {"(1 = 1) and (2 = 2)", "BOOLEAN true"},
      {"not (1 = 1)", "BOOLEAN false"},
      {"NOT FALSE", "BOOLEAN true"},
      {"not(TRUE)", "BOOLEAN false"},
      {"not 1", "ERROR Operator NOT is not compatible with numeric expressions"},
      {"not 'a'", "ERROR Operator NOT is not compatible with string expressions"},
      // "or" inside a word is no keyword.
      {"'color' + 'x'", "STRING colorx"},
  });
}

TEST_F(ReportExpressionTest, ErrorsPassThroughOperatorsLeftFirst) {
  Check({
      {"'a' + 1 / 0", "ERROR Cannot divide by 0"},
      {"(1 / 0) + SQRT('x')", "ERROR Cannot divide by 0"},
      {"SQRT('x') = (1 / 0)", "ERROR Invalid argument to SQRT function"},
      {"not (1 / 0)", "ERROR Cannot divide by 0"},
  });
}

TEST_F(ReportExpressionTest, SignsAfterOperatorsAndInExponents) {
  Check({
      {"-3 * 2", "INTEGER -6"},
      {"3 * -2", "INTEGER -6"},
      {"5 - -3", "INTEGER 8"},
      {"1 < -2", "BOOLEAN false"},
      {"-(2 + 3)", "INTEGER -5"},
      {"- 2 - 3", "INTEGER -5"},
      {"+4", "INTEGER 4"},
      {"--3", "INTEGER 3"},
      {"1.5E-3 * 1000", "FLOAT 1.5"},
      {"1 - 2E+1", "FLOAT -19"},
      {"IF(1 = 1, -1, 1)", "INTEGER -1"},
  });
}

TEST_F(ReportExpressionTest, CompilationFaultsBecomeErrorResults) {
  Check({
      {"1 < 2 < 3", "ERROR Illegal character in numeric contant \"2 < 3\""},
      {"12a", "ERROR Illegal character in numeric contant \"12a\""},
      {"1.2.3", "ERROR Illegal character in numeric contant \"1.2.3\""},
      {"1 +", "ERROR Illegal character in numeric contant \"1 +\""},
      {"'abc", "ERROR Missing '"},
      {"(1 + 2", "ERROR Missing )"},
      {"UPPER('a'", "ERROR Missing )"},
      {"[PAGENUMBER", "ERROR Missing ]"},
      {"FOO(1)", "ERROR Unknown function : FOO"},
      {"FOO", "ERROR Unknown function : FOO"},
      {"#", "ERROR Error in expression : #"},
      {"1 >> 2", "ERROR Error in expression : 1 >> 2"},
      {"*", "ERROR Error in expression : *"},
      {"", "STRING  "},
  });
}

TEST_F(ReportExpressionTest, NumericFunctions) {
  Check({
      {"INT(3.7)", "INTEGER 3"},
      {"INT(-3.7)", "INTEGER -3"},
      {"INT(5)", "INTEGER 5"},
      {"INT('a')", "ERROR Wrong arguments for INT"},
      {"INT(1E20)", "ERROR Integer overflow"},
      {"FRAC(3.25)", "FLOAT 0.25"},
      {"FRAC(3)", "FLOAT 0"},
      {"FRAC('a')", "ERROR "},
      {"SQRT(16)", "FLOAT 4"},
      {"SQRT('x')", "ERROR Invalid argument to SQRT function"},
      {"SQRT(-1)", "ERROR Invalid argument to SQRT function"},
      {"SQRT()", "ERROR Invalid argument to SQRT function"},
      {"DIV(-7, 2)", "INTEGER -3"},
      {"DIV(7.6, 2)", "INTEGER 4"},
      {"DIV(1, 0)", "ERROR Division by Zero"},
      {"DIV(1, 0.4)", "ERROR Division by Zero"},
      {"DIV(1)", "ERROR Wrong arguments for DIV"},
      {"DIV('a', 1)", "ERROR Wrong arguments for DIV"},
  });
}

TEST_F(ReportExpressionTest, TextFunctions) {
  Check({
      {"STR(42)", "STRING 42"},
      {"STR(2.5)", "STRING 2,5"},
      {"STR(TRUE)", "STRING True"},
      {"STR('a')", "ERROR Conversion error"},
      {"UPPER('abc')", "STRING ABC"},
      {"upper('abc')", "STRING ABC"},
      {"UPPER('a\xe7\xe3o')", "STRING A\xc7\xc3O"},
      {"LOWER('ABC')", "STRING abc"},
      {"PRETTY('sAO pAULO')", "STRING Sao paulo"},
      {"PRETTY('')", "STRING "},
      {"UPPER(1)", "ERROR Wrong arguments for UPPER"},
      {"UPPER('a', 'b')", "ERROR Missing argument for UPPER"},
      {"LOWER()", "ERROR Missing argument for LOWER"},
      {"COPY('abcdef', 2, 3)", "STRING bcd"},
      {"COPY('abcdef', 0, 2)", "STRING ab"},
      {"COPY('abc', 2, 10)", "STRING bc"},
      {"COPY('abc', 5, 2)", "STRING "},
      {"COPY('abc', 1, -1)", "STRING "},
      {"COPY('abc', 1)", "ERROR Wrong arguments for COPY"},
      {"FORMATNUMERIC('#,##0.00', 1234.5)", "STRING 1.234,50"},
      {"FORMATNUMERIC('0', 7)", "STRING 7"},
      {"FORMATNUMERIC(1, 2)", "ERROR Wrong arguments for FORMATNUMERIC"},
      {"FORMATNUMERIC('0', 1E308 * 10)", "ERROR Invalid format or value specified"},
      {"TIME", "STRING 10:20:30"},
      {"DATE", "STRING 09/12/2026"},
      {"TIME(1)", "ERROR Too many arguments"},
  });
}

TEST_F(ReportExpressionTest, LogicAndTypeFunctions) {
  Check({
      {"IF(1 = 1, 'yes', 'no')", "STRING yes"},
      {"IF(1 = 2, 'yes', 'no')", "STRING no"},
      {"IF(TRUE, 1, 1 / 0)", "INTEGER 1"},
      {"IF(1, 2, 3)", "ERROR Wrong arguments for IF"},
      {"IF(TRUE, 1)", "ERROR Wrong arguments for IF"},
      {"TRUE", "BOOLEAN true"},
      {"false", "BOOLEAN false"},
      {"TRUE(1)", "ERROR Too many arguments"},
      {"TYPEOF(1.5)", "STRING FLOAT"},
      {"TYPEOF(1)", "STRING INTEGER"},
      {"TYPEOF('a')", "STRING STRING"},
      {"TYPEOF(TRUE)", "STRING BOOLEAN"},
      {"TYPEOF(1 / 0)", "STRING ERROR"},
      {"TYPEOF(1, 2)", "ERROR Wrong arguments for TypeOf"},
      {"COUNT(1)", "ERROR COUNT - Too many arguments"},
  });
}

TEST_F(ReportExpressionTest, LibraryTextsForTheExpressionBuilder) {
  const TQRFunctionLibrary& library = QRFunctionLibrary();
  EXPECT_EQ(library.Entries().size(), 21u);
  const TQRLibraryEntry* div = library.Find("DIV");
  ASSERT_NE(div, nullptr);
  EXPECT_EQ(div->Description, "DIV(<X>, <Y>) | Integer division of <X> by <Y>");
  EXPECT_EQ(div->Vars, "2NN");
  const TQRLibraryEntry* copy = library.Find("COPY");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Description, "COPY(<X>, <St>,<Len>)|Returns a substring of string X");
  EXPECT_EQ(copy->Vars, "7SNN");
  EXPECT_EQ(library.Find("IF")->Vars, "5BVV");
  EXPECT_EQ(library.Find("COUNT")->Description, "COUNT|Increments for each iteration");
  EXPECT_EQ(library.Find("div"), nullptr);
}

TEST_F(ReportExpressionTest, FloatTextForms) {
  const std::vector<std::pair<double, const char*>> cases = {
      {3.5, "3,5"},
      {-2.5, "-2,5"},
      {100, "100"},
      {0.1, "0,1"},
      {1.0 / 3.0, "0,333333333333333"},
      {0.00001, "0,00001"},
      {0.000001, "1E-6"},
      {1e14, "100000000000000"},
      {1e15, "1E15"},
      {123456789012345678.0, "1,23456789012346E17"},
      {0.0, "0"},
  };
  for (const auto& [value, expected] : cases) {
    SCOPED_TRACE(expected);
    EXPECT_EQ(FloatText(value), expected);
  }
  EXPECT_EQ(FloatText(2.25, '.'), "2.25");
}

TEST_F(ReportExpressionTest, TextFormOfAnErrorRaises) {
  EXPECT_EQ(ResultText(TQREvResult::Integer(-12)), "-12");
  EXPECT_EQ(ResultText(TQREvResult::Boolean(false)), "False");
  try {
    (void)ResultText(TQREvResult::Error("Cannot divide by 0"));
    FAIL() << "no exception";
  } catch (const EQRError& error) {
    EXPECT_STREQ(error.what(), "Error in expression : Cannot divide by 0");
  }
}

TEST_F(ReportExpressionTest, StringsAreCutAt255Characters) {
  const std::string a(200, 'a');
  const std::string b(100, 'b');
  TQREvaluator evaluator;
  evaluator.Compile("'" + a + "' + '" + b + "'");
  const TQREvResult r = evaluator.Value();
  ASSERT_EQ(r.Kind, TQREvResultType::resString);
  EXPECT_EQ(r.StrResult, a + std::string(55, 'b'));
}

TEST_F(ReportExpressionTest, DecimalSeparatorComesFromTheLocale) {
  TQRExprLocale english = Brazilian();
  english.DecimalSeparator = '.';
  english.ThousandSeparator = ',';
  SetExprLocale(english);
  Check({
      {"2.5 * 2", "FLOAT 5"},
      {"STR(2.5)", "STRING 2.5"},
      {"FORMATNUMERIC('#,##0.00', 1234.5)", "STRING 1,234.50"},
  });
  SetExprLocale(Brazilian());
  Check({
      {"2.5 * 2", "FLOAT 5"},
      {"STR(2.5)", "STRING 2,5"},
  });
}

TEST_F(ReportExpressionTest, EvaluatorLifecycle) {
  TQREvaluator evaluator;
  EXPECT_THROW((void)evaluator.Value(), EQRError);
  evaluator.Compile("1 + 1");
  EXPECT_EQ(Describe(evaluator.Value()), "INTEGER 2");
  EXPECT_EQ(Describe(evaluator.Value()), "INTEGER 2");
  evaluator.Compile("'again'");
  EXPECT_EQ(Describe(evaluator.Value()), "STRING again");
  evaluator.Discard();
  try {
    (void)evaluator.Value();
    FAIL() << "no exception";
  } catch (const EQRError& error) {
    EXPECT_STREQ(error.what(), "Evaluator not prepared");
  }
  // Every compilation prepared the global values once and every discard gave that back.
  EXPECT_FALSE(QRGlobalEnvironment().Prepared());
}

TEST_F(ReportExpressionTest, DeepNestingIsAnErrorNotACrash) {
  const auto nested = [](int depth) {
    return std::string(static_cast<std::size_t>(depth), '(') + "1" +
           std::string(static_cast<std::size_t>(depth), ')');
  };
  EXPECT_EQ(Eval(nested(50)), "INTEGER 1");
  EXPECT_EQ(Eval(nested(kMaxExpressionNesting + 1)), "ERROR Expression nested too deeply");
  EXPECT_EQ(Eval(nested(100000)), "ERROR Expression nested too deeply");
  EXPECT_EQ(Eval(std::string(100000, '-') + "1"), "ERROR Expression nested too deeply");
  EXPECT_EQ(Eval(std::string(100000, '[')), "ERROR Missing ]");
  // Long flat chains need no nesting at all.
  std::string chain = "1";
  for (int i = 1; i < 5000; ++i) chain += " + 1";
  EXPECT_EQ(Eval(chain), "INTEGER 5000");
  std::string calls;
  for (int i = 0; i < 300; ++i) calls += "INT(";
  calls += "1" + std::string(300, ')');
  EXPECT_EQ(Eval(calls), "ERROR Expression nested too deeply");
}

// Texts made of the language's own characters, compiled and evaluated: whatever they hold,
// the result is a value or an error, never an exception.
TEST_F(ReportExpressionTest, ArbitraryTextsNeverThrow) {
  const std::string alphabet = "0123456789.Ee+-*/<>=()[]', aAnNoOdDtTrRxIF(SUMCOUNT)";
  TQREvEnvironment functions;
  functions.AddNamedValue("X", "X + 1");
  functions.Compile();
  std::uint32_t seed = 12345;
  const auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 16;
  };
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const std::uint32_t length = next() % 40;
    for (std::uint32_t i = 0; i < length; ++i) text += alphabet[next() % alphabet.size()];
    SCOPED_TRACE(text);
    TQREvaluator evaluator(&functions);
    EXPECT_NO_THROW({
      evaluator.Compile(text);
      (void)evaluator.Value();
      evaluator.AccumulateAggregates();
      (void)evaluator.Value();
    });
  }
  functions.Discard();
}

// --- Named values -----------------------------------------------------------------------

TEST_F(ReportExpressionTest, NamedValuesOfTheReport) {
  TQREvEnvironment functions;
  functions.AddNamedValue("PAGENUMBER", "0");
  functions.AddNamedValue("COLUMNNUMBER", "0");
  functions.AddNamedValue("REPORTTITLE", "''");
  functions.AddNamedValue("Taxa", "10");
  functions.AddNamedValue("TAXA", "99");  // same name: ignored
  EXPECT_EQ(functions.Strings(),
            (std::vector<std::string>{"PAGENUMBER", "COLUMNNUMBER", "REPORTTITLE", "TAXA"}));
  EXPECT_EQ(functions.Data(), (std::vector<std::string>{"0", "0", "''", "10"}));
  EXPECT_EQ(functions.FindNamedValue("PAGENUMBER"), nullptr);  // not prepared yet

  functions.Compile();
  TQREvElement* page = functions.FindNamedValue("pagenumber");
  TQREvElement* title = functions.FindNamedValue("REPORTTITLE");
  ASSERT_NE(page, nullptr);
  ASSERT_NE(title, nullptr);
  TQREvEnvironment::SetNamedInteger(page, 3);
  TQREvEnvironment::SetNamedString(title, "Ag\xeancias");
  TQREvEnvironment::SetNamedString(page, "ignored");  // not a text constant
  TQREvEnvironment::SetNamedInteger(title, 7);        // not a numeric constant
  Check({
            {"PAGENUMBER + 1", "INTEGER 4"},
            {"[REPORTTITLE]", "STRING Ag\xeancias"},
            {"taxa * 2", "INTEGER 20"},
            {"AppName", "STRING Vorelia 1.0a"},
            {"APPSTARTDATE", "STRING 09/12/2026"},
            {"AppStartTime", "STRING 10:20:30"},
        },
        &functions);
  EXPECT_EQ(Describe(functions.Value("Taxa")), "INTEGER 10");
  EXPECT_EQ(Describe(functions.Value("NADA")), "ERROR Unknown function : NADA");

  TQREvEnvironment::SetNamedValue(page, TQREvResult::Float(2.5));
  TQREvEnvironment::SetNamedValue(title, TQREvResult::String("Novo"));
  TQREvEnvironment::SetNamedValue(title, TQREvResult::Integer(1));  // text keeps its text
  EXPECT_EQ(Describe(functions.Value("PAGENUMBER")), "FLOAT 2.5");
  EXPECT_EQ(Describe(functions.Value("REPORTTITLE")), "STRING Novo");

  functions.Discard();
  EXPECT_EQ(functions.FindNamedValue("PAGENUMBER"), nullptr);
  EXPECT_FALSE(QRGlobalEnvironment().Prepared());
}

TEST_F(ReportExpressionTest, SelfReferenceIsRefused) {
  TQREvEnvironment functions;
  functions.AddNamedValue("LOOP", "LOOP + 1");
  functions.AddNamedValue("PING", "PONG * 2");
  functions.AddNamedValue("PONG", "[PING]");
  functions.AddNamedValue("OK", "PONG = 0");  // reaches the cycle, is not part of it
  functions.Compile();
  EXPECT_EQ(Eval("LOOP", &functions), "ERROR Recursive calls not allowed");
  EXPECT_EQ(Describe(functions.Value("LOOP")), "ERROR Recursive calls not allowed");
  EXPECT_EQ(Eval("PING", &functions), "ERROR Recursive calls not allowed");
  EXPECT_EQ(Eval("OK", &functions), "ERROR Recursive calls not allowed");
  // A refused evaluation leaves nothing behind: the next one runs normally.
  EXPECT_EQ(Eval("LOOP", &functions), "ERROR Recursive calls not allowed");
  functions.Discard();
}

TEST_F(ReportExpressionTest, NamedValuesAddedAndRemovedWhilePrepared) {
  TQREvEnvironment functions;
  functions.Compile();
  functions.AddNamedValue("LIMITE", "5");  // compiled at once
  TQREvaluator evaluator(&functions);
  evaluator.Compile("LIMITE + 1");
  EXPECT_EQ(Describe(evaluator.Value()), "INTEGER 6");
  functions.RemoveNamedValue("limite");
  EXPECT_EQ(Describe(evaluator.Value()), "ERROR Unknown function : LIMITE");
  evaluator.Discard();
  functions.Discard();
  EXPECT_FALSE(QRGlobalEnvironment().Prepared());
}

TEST_F(ReportExpressionTest, StoredListsRoundTrip) {
  TQREvEnvironment functions;
  functions.SetLists({"A", "b", "C"}, {"1", "'x'"});
  EXPECT_EQ(functions.Strings(), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(functions.Data(), (std::vector<std::string>{"1", "'x'", ""}));
  functions.Compile();
  EXPECT_EQ(Describe(functions.Value("B")), "STRING x");
  EXPECT_EQ(Describe(functions.Value("C")), "STRING  ");
  functions.Discard();
}

// --- Aggregates ---------------------------------------------------------------------------

// A named value the test sets before every aggregation step, like the report's constants.
class AggregateFeed {
 public:
  AggregateFeed() {
    m_functions.AddNamedValue("X", "0");
    m_functions.Compile();
  }
  ~AggregateFeed() { m_functions.Discard(); }
  TQREvEnvironment* Functions() { return &m_functions; }
  // Sets X to each value and lets the evaluator take it in.
  void Feed(TQREvaluator& evaluator, const std::vector<TQREvResult>& values) {
    for (const TQREvResult& value : values) {
      TQREvEnvironment::SetNamedValue(m_functions.FindNamedValue("X"), value);
      evaluator.AccumulateAggregates();
    }
  }

 private:
  TQREvEnvironment m_functions;
};

TEST_F(ReportExpressionTest, AggregatesOverValues) {
  using R = TQREvResult;
  struct AggregateCase {
    const char* Text;
    std::vector<R> Values;
    const char* Expected;
  };
  const std::vector<AggregateCase> cases = {
      {"MIN(X)", {R::Boolean(true), R::Boolean(false), R::Boolean(true)}, "BOOLEAN false"},
      {"MAX(X)", {R::Boolean(false), R::Boolean(true), R::Boolean(false)}, "BOOLEAN true"},
      {"MAX(X)", {R::String("b"), R::String("c"), R::String("a")}, "STRING c"},
      {"MIN(X)", {R::Integer(4), R::Integer(-2), R::Integer(9)}, "INTEGER -2"},
      {"MAX(X)", {R::Integer(1), R::Float(2.5), R::Integer(2)}, "FLOAT 2.5"},
      {"MAX(X)", {R::Integer(1), R::String("z"), R::Integer(3)}, "INTEGER 3"},
      {"MAX(X)", {}, "INTEGER 0"},
      {"SUM(X)", {R::Integer(10), R::Integer(20), R::Integer(5)}, "INTEGER 35"},
      {"SUM(X)", {R::Integer(1), R::Float(2.5)}, "FLOAT 3.5"},
      {"SUM(X)", {R::Integer(2147483647), R::Integer(1)}, "FLOAT 2147483648"},
      {"SUM(X)", {R::Integer(1), R::String("a"), R::Integer(1)}, "ERROR "},
      {"SUM(X)", {R::Boolean(true)}, "ERROR "},
      {"SUM(X)", {}, "INTEGER 0"},
      {"SUM(X * 2) + 1", {R::Integer(1), R::Integer(2)}, "INTEGER 7"},
      {"COUNT", {R::Integer(0), R::Integer(0), R::Integer(0)}, "INTEGER 3"},
      {"AVERAGE(X)", {R::Integer(1), R::Integer(2)}, "FLOAT 1.5"},
      {"AVERAGE(X)", {}, "FLOAT 0"},
      {"AVERAGE(X)", {R::String("a")}, "ERROR "},
      {"SUM(X)", {R::Integer(1), R::Error("Cannot divide by 0")}, "ERROR Cannot divide by 0"},
      {"SUM()", {R::Integer(1)}, "ERROR Wrong arguments for SUM"},
  };
  for (const AggregateCase& c : cases) {
    SCOPED_TRACE(c.Text);
    AggregateFeed feed;
    TQREvaluator evaluator(feed.Functions());
    evaluator.Compile(c.Text);
    EXPECT_TRUE(evaluator.HasAggregates());
    feed.Feed(evaluator, c.Values);
    EXPECT_EQ(Describe(evaluator.Value()), c.Expected);
  }
}

TEST_F(ReportExpressionTest, OnlyAggregateModeAdvancesAndResetStartsAgain) {
  AggregateFeed feed;
  TQREvaluator evaluator(feed.Functions());
  evaluator.Compile("IF(COUNT > 1, SUM(X), 0 - SUM(X))");
  feed.Feed(evaluator, {TQREvResult::Integer(4), TQREvResult::Integer(6)});
  EXPECT_EQ(Describe(evaluator.Value()), "INTEGER 10");
  EXPECT_EQ(Describe(evaluator.Value()), "INTEGER 10");  // reading does not add
  evaluator.Reset();
  EXPECT_EQ(Describe(evaluator.Value()), "INTEGER 0");
  feed.Feed(evaluator, {TQREvResult::Integer(3)});
  EXPECT_EQ(Describe(evaluator.Value()), "INTEGER -3");

  TQREvaluator plain;
  plain.Compile("1 + 2");
  EXPECT_FALSE(plain.HasAggregates());
  plain.AccumulateAggregates();
  EXPECT_EQ(Describe(plain.Value()), "INTEGER 3");
}

// --- Fields -------------------------------------------------------------------------------

class ReportExpressionFieldTest : public ReportExpressionTest {
 protected:
  void SetUp() override {
    ReportExpressionTest::SetUp();
    m_dataSet.AddRow({"Alfa", "10", "2.5"});
    m_dataSet.AddRow({"Beta", "20", "-1"});
    m_dataSet.AddRow({"Gama", "5", "0.25"});
    m_dataSet.Open();
  }

  std::string EvalHere(const std::string& text) {
    TQREvaluator evaluator(nullptr, {{"Tabela", &m_dataSet}});
    evaluator.Compile(text);
    return Describe(evaluator.Value());
  }

  test::TMemoryDataSet m_dataSet{{{"NOME", data::TFieldType::String, 10},
                                  {"VALOR", data::TFieldType::Integer, 6},
                                  {"PRECO", data::TFieldType::Float, 8}}};
};

TEST_F(ReportExpressionFieldTest, FieldsOfTheCurrentRecord) {
  const std::vector<Case> cases = {
      {"[Tabela.NOME]", "STRING Alfa"},
      {"tabela.valor * 2", "INTEGER 20"},
      {"VALOR + 1", "INTEGER 11"},
      {"[PRECO] * 2", "FLOAT 5"},
      {"UPPER(nome)", "STRING ALFA"},
      {"[Outra.NOME]", "ERROR Unknown function : Outra.NOME"},
      {"[Tabela.NADA]", "ERROR Unknown function : Tabela.NADA"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(EvalHere(c.Text), c.Expected);
  }

  TQREvaluator evaluator(nullptr, {{"Tabela", &m_dataSet}});
  evaluator.Compile("NOME + ':' + STR(VALOR)");
  m_dataSet.Next();
  EXPECT_EQ(Describe(evaluator.Value()), "STRING Beta:20");
  m_dataSet.Close();
  // The closed dataset freed its fields: an error result, not a dangling field.
  EXPECT_EQ(evaluator.Value().Kind, TQREvResultType::resError);
}

TEST_F(ReportExpressionFieldTest, AggregatesOverRecordsWithReset) {
  TQREvaluator sum(nullptr, {{"Tabela", &m_dataSet}});
  sum.Compile("SUM(VALOR)");
  TQREvaluator high(nullptr, {{"Tabela", &m_dataSet}});
  high.Compile("MAX([Tabela.NOME])");
  TQREvaluator average(nullptr, {{"Tabela", &m_dataSet}});
  average.Compile("AVERAGE(PRECO)");
  for (m_dataSet.First(); !m_dataSet.Eof(); m_dataSet.Next()) {
    sum.AccumulateAggregates();
    high.AccumulateAggregates();
    average.AccumulateAggregates();
  }
  EXPECT_EQ(Describe(sum.Value()), "INTEGER 35");
  EXPECT_EQ(Describe(high.Value()), "STRING Gama");
  EXPECT_EQ(Describe(average.Value()), "FLOAT 0.583333333333333");
  sum.Reset();
  average.Reset();
  EXPECT_EQ(Describe(sum.Value()), "INTEGER 0");
  EXPECT_EQ(Describe(average.Value()), "FLOAT 0");
  m_dataSet.First();
  sum.AccumulateAggregates();
  EXPECT_EQ(Describe(sum.Value()), "INTEGER 10");
}

TEST_F(ReportExpressionFieldTest, FieldsBeforeNamedValues) {
  TQREvEnvironment functions;
  functions.AddNamedValue("VALOR", "'named'");
  functions.AddNamedValue("EXTRA", "VALOR * 3");
  functions.SetDataSets({{"Tabela", &m_dataSet}});
  functions.Compile();
  TQREvaluator evaluator(&functions, {{"Tabela", &m_dataSet}});
  evaluator.Compile("VALOR + EXTRA");
  EXPECT_EQ(Describe(evaluator.Value()), "INTEGER 40");
  functions.Discard();
}

// --- Masks --------------------------------------------------------------------------------

TEST(FormatFloatTest, Masks) {
  struct MaskCase {
    const char* Mask;
    double Value;
    const char* Expected;
  };
  const std::vector<MaskCase> cases = {
      {"0.00", 1234.567, "1234.57"},
      {"#,##0.00", 1234567.891, "1,234,567.89"},
      {"#,##0", -1234567, "-1,234,567"},
      {"#,##0", 0, "0"},
      {"#.##", 0.5, ".5"},
      {"0.0#", 2, "2.0"},
      {"0.0#", 2.126, "2.13"},
      {"000", 7, "007"},
      {"0", 12345, "12345"},
      {"00-00", 1234, "12-34"},
      {"0.00;(0.00)", -5, "(5.00)"},
      {"0.00;(0.00);'zero'", 0, "zero"},
      {"0.00;(0.00);zero", 0.001, "zero"},
      {"0.00", -0.001, "0.00"},
      {"0.00", -1.5, "-1.50"},
      {"'R$ '#,##0.00", 1500, "R$ 1,500.00"},
      {"\"#\"0", 5, "#5"},
      {"0.00E+00", 12345, "1.23E+04"},
      {"0.0E-0", 0.00015, "1.5E-4"},
      {"0.0E-0", 150, "1.5E2"},
      {"", 2.5, "2.5"},
  };
  for (const MaskCase& c : cases) {
    SCOPED_TRACE(c.Mask);
    EXPECT_EQ(FormatFloat(c.Mask, c.Value, '.', ',').value_or("<failed>"), c.Expected);
  }
  EXPECT_FALSE(FormatFloat("0", std::nan(""), '.', ','));
  EXPECT_FALSE(FormatFloat("0", HUGE_VAL, '.', ','));
}

}  // namespace
}  // namespace vorelia::report
