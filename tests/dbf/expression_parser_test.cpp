#include "dbf/expression_parser.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace vorelia::dbf {
namespace {

// AGENCIA C25 at 1, UF C2 at 26, ATIVO L1 at 28, QTD N5 at 29, VALOR N8.2 at 34, DATA D at 42,
// NOTAS M10 at 50; record size 60.
TDbfFieldDefs MakeFields() {
  TDbfFieldDefs defs;
  auto add = [&](const char* name, char type, int size, int precision, int offset) {
    TDbfFieldDef& d = defs.Add();
    d.FieldName = name;
    d.NativeFieldType = type;
    d.Size = size;
    d.Precision = precision;
    d.Offset = offset;
  };
  add("AGENCIA", 'C', 25, 0, 1);
  add("UF", 'C', 2, 0, 26);
  add("ATIVO", 'L', 1, 0, 28);
  add("QTD", 'N', 5, 0, 29);
  add("VALOR", 'N', 8, 2, 34);
  add("DATA", 'D', 8, 0, 42);
  add("NOTAS", 'M', 10, 0, 50);
  return defs;
}

// Decodes the few stored forms the tests use, as the table file would.
TFieldValue ReadValue(int fieldNo, const uint8_t* record) {
  const char* p = reinterpret_cast<const char*>(record);
  switch (fieldNo) {
    case 2: return p[28] == 'T' || p[28] == 't';
    case 3: return static_cast<int64_t>(std::stoll(std::string(p + 29, 5)));
    case 4: return std::stod(std::string(p + 34, 8));
    case 5: {
      const std::string s(p + 42, 8);
      return TDbfDate{std::stoi(s.substr(0, 4)), std::stoi(s.substr(4, 2)), std::stoi(s.substr(6))};
    }
    default: return std::monostate{};
  }
}

std::string Record(const std::string& agencia, const std::string& uf = "SP", char ativo = 'T',
                   const std::string& qtd = "   42", const std::string& valor = "   12.50",
                   const std::string& data = "20261209") {
  std::string r(60, ' ');
  r.replace(1, agencia.size(), agencia);
  r.replace(26, uf.size(), uf);
  r[28] = ativo;
  r.replace(29, 5, qtd);
  r.replace(34, 8, valor);
  r.replace(42, 8, data);
  return r;
}

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

class ExpressionTest : public ::testing::Test {
 protected:
  TDbfFieldDefs m_fields = MakeFields();
  TDbfParser m_filter{m_fields, ReadValue, 1252, false};
  TDbfIndexParser m_index{m_fields, ReadValue, std::vector<uint8_t>(60, ' ')};

  std::string Text(const std::string& expression, const std::string& record) {
    m_filter.ParseExpression(expression);
    return m_filter.Evaluate(Bytes(record)).text;
  }
  bool Holds(const std::string& expression, const std::string& record) {
    m_filter.ParseExpression(expression);
    return m_filter.Matches(Bytes(record));
  }
  std::string ErrorOf(const std::string& expression) {
    try {
      m_filter.ParseExpression(expression);
    } catch (const EParserException& e) {
      return e.what();
    }
    return "no error";
  }
};

TEST_F(ExpressionTest, KeyExpressionOnTheAgencyField) {
  m_index.ParseKeyExpression("agencia");  // lower case resolves to the field
  EXPECT_TRUE(m_index.IsStringKey());
  EXPECT_EQ(m_index.ResultLength(), 25);
  const std::string r = Record("Empregos J\xE1");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(m_index.StringKey(Bytes(r))), 25),
            "Empregos J\xE1              ");
}

TEST_F(ExpressionTest, KeyLengthsOfComputedKeys) {
  m_index.ParseKeyExpression("UPPER(AGENCIA)");
  EXPECT_EQ(m_index.ResultLength(), 25);
  m_index.ParseKeyExpression("AGENCIA+UF");
  EXPECT_EQ(m_index.ResultLength(), 27);
  m_index.ParseKeyExpression("SUBSTR(AGENCIA, 1, 3)");
  EXPECT_EQ(m_index.ResultLength(), 3);
  const std::string r = Record("tempo");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(m_index.StringKey(Bytes(r))), 3), "tem");
  m_index.ParseKeyExpression("QTD");
  EXPECT_TRUE(m_index.IsNumericKey());
  EXPECT_EQ(m_index.ResultLength(), 4);
  EXPECT_EQ(m_index.NumericKey(Bytes(r)), 42.0);
  m_index.ParseKeyExpression("VALOR");
  EXPECT_EQ(m_index.ResultLength(), 8);
  m_index.ParseKeyExpression("ATIVO");
  EXPECT_FALSE(m_index.IsStringKey());
  EXPECT_FALSE(m_index.IsNumericKey());
  try {
    m_index.ParseKeyExpression("AGENCIA+AGENCIA+AGENCIA+AGENCIA+AGENCIA");
    FAIL();
  } catch (const EParserException& e) {
    EXPECT_STREQ(e.what(),
                 "Index result for \"AGENCIA+AGENCIA+AGENCIA+AGENCIA+AGENCIA\" too long, >100 "
                 "characters (125).");
  }
}

TEST_F(ExpressionTest, FieldErrors) {
  EXPECT_EQ(ErrorOf("NOME"), "Index based on unknown field \"NOME\".");
  EXPECT_EQ(ErrorOf("NOTAS"), "Field \"NOTAS\" is an invalid field type to base index on.");
}

TEST_F(ExpressionTest, SyntaxErrors) {
  EXPECT_EQ(ErrorOf(""), "Operator/function missing");
  EXPECT_EQ(ErrorOf("()"), "Operator/function missing");
  EXPECT_EQ(ErrorOf("(AGENCIA"), "Missing closing bracket");
  EXPECT_EQ(ErrorOf("AGENCIA)"), "Unequal brackets");
  EXPECT_EQ(ErrorOf("AGENCIA UF"), "Missing operator between 'AGENCIA' and 'UF'");
  EXPECT_EQ(ErrorOf("(AGENCIA)(UF)"), "Missing operator between )(");
  EXPECT_EQ(ErrorOf("(AGENCIA) UF"), "Missing operator between ) and constant/variable");
  EXPECT_EQ(ErrorOf("'x'(UF)"), "Missing operator between constant/variable and (");
  EXPECT_EQ(ErrorOf("AGENCIA(1)"), "No function with this name, remove brackets for variable");
  EXPECT_EQ(ErrorOf("AGENCIA +"), "Function or operand has too few arguments");
  EXPECT_EQ(ErrorOf("SUBSTR(AGENCIA, 1)"), "Function or operand has too few arguments");
  EXPECT_EQ(ErrorOf("UPPER"), "Function or operand has too few arguments");
  EXPECT_EQ(ErrorOf("UPPER(AGENCIA, UF)"), "Function or operand has too many arguments");
  EXPECT_EQ(ErrorOf("AGENCIA + 1"), "Argument type mismatch");
  EXPECT_EQ(ErrorOf("NOT AGENCIA"), "Argument type mismatch");
  EXPECT_EQ(ErrorOf("AGENCIA # 'x'"), "Unknown variable '#' found.");
  EXPECT_EQ(ErrorOf("AGENCIA == 'x'"), "Unknown variable '==' found.");
}

TEST_F(ExpressionTest, StringComparisonSwitches) {
  const std::string abc = Record("Abcde");
  const std::string xab = Record("xab");
  // Whole-text equality, case-insensitive by default.
  EXPECT_TRUE(Holds("AGENCIA = 'ABCDE'", abc));
  EXPECT_FALSE(Holds("AGENCIA = 'ab*'", abc));
  m_filter.SetCaseInsensitive(false);
  EXPECT_FALSE(Holds("AGENCIA = 'ABCDE'", abc));
  m_filter.SetCaseInsensitive(true);
  m_filter.SetPartialMatch(true);
  EXPECT_TRUE(Holds("AGENCIA = 'ab*'", abc));
  EXPECT_FALSE(Holds("AGENCIA = 'ab*'", xab));
  EXPECT_TRUE(Holds("AGENCIA = '*ab'", xab));
  EXPECT_FALSE(Holds("AGENCIA = '*ab'", abc));
  EXPECT_TRUE(Holds("AGENCIA = '*CD*'", abc));
  EXPECT_FALSE(Holds("AGENCIA = '*CD*'", xab));
  EXPECT_FALSE(Holds("AGENCIA = 'abcd'", abc));
  // The other comparisons stay whole-text.
  EXPECT_TRUE(Holds("AGENCIA <> 'ab*'", abc));
  EXPECT_TRUE(Holds("AGENCIA < 'B'", abc));
  EXPECT_TRUE(Holds("AGENCIA >= 'abcde'", abc));
  EXPECT_FALSE(Holds("AGENCIA > 'abcde'", abc));
}

TEST_F(ExpressionTest, TranslatedAndRawStrings) {
  // Filters see the text without trailing spaces; index keys keep them.
  const std::string r = Record("TEMPO");
  EXPECT_EQ(Text("AGENCIA", r), "TEMPO");
  EXPECT_EQ(Text("AGENCIA + UF", r), "TEMPOSP");
  TDbfParser oem(m_fields, ReadValue, 850, false);
  oem.ParseExpression("AGENCIA");
  EXPECT_EQ(oem.Evaluate(Bytes(Record("\xB5gua"))).text, "\xC1gua");  // Á: 0xB5 in 850, 0xC1 in 1252
}

TEST_F(ExpressionTest, LogicAndArithmetic) {
  const std::string r = Record("TEMPO", "RJ", 'F');
  EXPECT_TRUE(Holds("NOT ATIVO", r));
  EXPECT_TRUE(Holds("UF = 'RJ' AND NOT ATIVO", r));
  EXPECT_TRUE(Holds("UF = 'SP' OR QTD = 42", r));
  EXPECT_FALSE(Holds("UF = 'SP' OR QTD > 42", r));
  EXPECT_TRUE(Holds("NOT UF = 'SP'", r));
  EXPECT_TRUE(Holds("QTD + 2 * 3 = 48", r));
  EXPECT_TRUE(Holds("QTD - 2 - 10 = 30", r));
  EXPECT_TRUE(Holds("(QTD - 2) / 8 = 5", r));
  EXPECT_TRUE(Holds("QTD / 0 = 0", r));
  EXPECT_TRUE(Holds("VALOR * 2 = 25", r));
  EXPECT_TRUE(Holds("VALOR > QTD / 4", r));
  EXPECT_TRUE(Holds("3000000000 > QTD", r));
  EXPECT_EQ(ErrorOf("ATIVO = ATIVO"), "Argument type mismatch");
  m_filter.ParseExpression("QTD + 1");
  EXPECT_THROW(m_filter.Matches(Bytes(r)), EParserException);
}

TEST_F(ExpressionTest, Functions) {
  const std::string r = Record("Empregos", "SP", 'T', "   42", "   12.50", "20261209");
  EXPECT_EQ(Text("STR(VALOR, 8, 2)", r), "   12.50");
  EXPECT_EQ(Text("STR(VALOR)", r), "13");  // halves round away from zero
  EXPECT_EQ(Text("STR(0.125, 5, 2)", r), " 0.13");
  EXPECT_EQ(Text("STR(2.5 - 5, 3)", r), " -3");
  EXPECT_EQ(Text("STR(VALOR, 3, 2)", r), "12.");
  EXPECT_EQ(Text("STR(123456789012.5, 1)", r), "1");
  EXPECT_EQ(Text("STR(12345678901234567890.5)", r), "123456789012345671");
  EXPECT_EQ(Text("STR(QTD)", r), "42");
  EXPECT_EQ(Text("STR(QTD, 5)", r), "   42");
  EXPECT_EQ(Text("STR(QTD, 5, 2)", r), "   42.00");
  EXPECT_EQ(Text("DTOS(DATA)", r), "20261209");
  EXPECT_EQ(Text("SUBSTR(AGENCIA, 2, 3)", r), "mpr");
  EXPECT_EQ(Text("SUBS(AGENCIA, 6, 10)", r), "gos");
  EXPECT_EQ(Text("SUBSTR(AGENCIA, 20, 3)", r), "");
  EXPECT_EQ(Text("UPPER(AGENCIA)", r), "EMPREGOS");
  EXPECT_EQ(Text("UPPERCASE('emprego j\xE1')", r), "EMPREGO J\xC1");
  EXPECT_EQ(Text("LOWER('\xC9MPREGOS')", r), "\xE9mpregos");
  EXPECT_EQ(Text("LOWERCASE(UF) + \"x\"", r), "spx");
  EXPECT_EQ(ErrorOf("DTOS(AGENCIA)"), "Argument type mismatch");
  EXPECT_EQ(ErrorOf("STR(AGENCIA)"), "Argument type mismatch");
}

}  // namespace
}  // namespace vorelia::dbf
