#include "report/core/qr_expr_evaluator.h"

#include <charconv>
#include <initializer_list>
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/code_page.h"
#include "report/core/qr_error.h"
#include "report/core/qr_expr_data_field.h"
#include "report/core/qr_expr_environment.h"
#include "report/core/qr_expr_function.h"
#include "report/core/qr_expr_locale.h"

namespace vorelia::report {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsNameChar(char c) { return IsLetter(c) || IsDigit(c) || c == '_'; }
char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool HasText(std::string_view text) { return !Trim(text).empty(); }

// Follows a text character by character and tells whether each one stands at top level:
// outside parentheses, quoted strings and square brackets. Quotes do not count inside
// brackets; a bracket closes at the next ']'.
class TopLevel {
 public:
  bool Step(char c) {
    if (m_inBracket) {
      if (c == ']') m_inBracket = false;
      return false;
    }
    if (c == '\'') {
      m_inString = !m_inString;
      return false;
    }
    if (m_inString) return false;
    if (c == '[') {
      m_inBracket = true;
      return false;
    }
    if (c == '(') {
      ++m_depth;
      return false;
    }
    if (c == ')') {
      if (m_depth > 0) --m_depth;
      return false;
    }
    return m_depth == 0;
  }

 private:
  int m_depth = 0;
  bool m_inString = false;
  bool m_inBracket = false;
};

// ` or ` / ` and ` at position i (the space before the word), any letter case.
bool KeywordAt(std::string_view text, std::size_t i, std::string_view word) {
  if (text[i] != ' ' || i + word.size() + 1 >= text.size()) return false;
  for (std::size_t k = 0; k < word.size(); ++k) {
    if (LowerAscii(text[i + 1 + k]) != word[k]) return false;
  }
  return text[i + 1 + word.size()] == ' ';
}

// Whether the word ending at position last (inclusive) is the keyword, standing alone.
bool KeywordEndsAt(std::string_view text, std::size_t from, std::size_t last,
                   std::string_view word) {
  if (last + 1 < from + word.size()) return false;
  const std::size_t start = last + 1 - word.size();
  for (std::size_t k = 0; k < word.size(); ++k) {
    if (LowerAscii(text[start + k]) != word[k]) return false;
  }
  return start == from || text[start - 1] == ' ';
}

// A + or - at pos is a sign, not an operator, when nothing but blanks precedes it in the
// segment, when it follows another operator ("3 * -2", "1 < -2") or when it is the sign of a
// number's exponent ("1.5E-3").
bool IsSign(std::string_view text, std::size_t from, std::size_t pos) {
  std::size_t p = pos;
  while (p > from && IsBlank(text[p - 1])) --p;
  if (p == from) return true;
  const std::size_t prev = p - 1;
  const char c = text[prev];
  if (c == '+' || c == '-' || c == '*' || c == '/' || c == '<' || c == '>' || c == '=') {
    return true;
  }
  if (prev + 1 < pos &&
      (KeywordEndsAt(text, from, prev, "or") || KeywordEndsAt(text, from, prev, "and") ||
       KeywordEndsAt(text, from, prev, "not"))) {
    return true;
  }
  if ((c == 'E' || c == 'e') && prev + 1 == pos && pos + 1 < text.size() &&
      IsDigit(text[pos + 1])) {
    std::size_t q = prev;
    bool digit = false;
    while (q > from && (IsDigit(text[q - 1]) || text[q - 1] == '.')) {
      digit = digit || IsDigit(text[q - 1]);
      --q;
    }
    if (digit && (q == from || !IsNameChar(text[q - 1])) && IsDigit(text[q])) return true;
  }
  return false;
}

struct FoundOperator {
  std::size_t Position = 0;
  std::size_t Length = 0;
  TQREvOperator Op = TQREvOperator::opPlus;
  bool Valid = false;  // false: the two-character ">>", which is no operator
};

// The first top-level relational operator of the text.
std::optional<FoundOperator> FindRelational(std::string_view text) {
  TopLevel scan;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!scan.Step(text[i])) continue;
    const char c = text[i];
    if (c != '<' && c != '>' && c != '=') continue;
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    FoundOperator found{i, 1, TQREvOperator::opEqual, true};
    if (c == '<') {
      found.Op = next == '=' ? TQREvOperator::opLessOrEqual
                 : next == '>' ? TQREvOperator::opUnequal
                               : TQREvOperator::opLess;
      if (next == '=' || next == '>') found.Length = 2;
    } else if (c == '>') {
      found.Op = next == '=' ? TQREvOperator::opGreaterOrEqual : TQREvOperator::opGreater;
      if (next == '=' || next == '>') found.Length = 2;
      found.Valid = next != '>';
    }
    // Never at the first or the last character.
    if (!HasText(text.substr(0, i)) || !HasText(text.substr(i + found.Length))) continue;
    return found;
  }
  return std::nullopt;
}

// The first top-level additive (or multiplicative) operator of the text at or after `from`,
// the scanner being at top level there.
std::optional<FoundOperator> FindChained(std::string_view text, std::size_t from, bool additive) {
  TopLevel scan;
  const char plain1 = additive ? '+' : '*';
  const char plain2 = additive ? '-' : '/';
  const std::string_view keyword = additive ? "or" : "and";
  for (std::size_t i = from; i < text.size(); ++i) {
    if (!scan.Step(text[i])) continue;
    const char c = text[i];
    if (c == ' ' && KeywordAt(text, i, keyword)) {
      const std::size_t length = keyword.size() + 2;
      if (HasText(text.substr(from, i - from)) && HasText(text.substr(i + length))) {
        return FoundOperator{i, length, additive ? TQREvOperator::opOr : TQREvOperator::opAnd,
                             true};
      }
      continue;
    }
    if (c != plain1 && c != plain2) continue;
    if (!HasText(text.substr(from, i - from)) || !HasText(text.substr(i + 1))) continue;
    if (additive && IsSign(text, from, i)) continue;
    TQREvOperator op = additive ? (c == '+' ? TQREvOperator::opPlus : TQREvOperator::opMinus)
                                : (c == '*' ? TQREvOperator::opMul : TQREvOperator::opDiv);
    return FoundOperator{i, 1, op, true};
  }
  return std::nullopt;
}

TQREvOperator Exchanged(TQREvOperator op) {
  switch (op) {
    case TQREvOperator::opPlus:
      return TQREvOperator::opMinus;
    case TQREvOperator::opMinus:
      return TQREvOperator::opPlus;
    case TQREvOperator::opMul:
      return TQREvOperator::opDiv;
    case TQREvOperator::opDiv:
      return TQREvOperator::opMul;
    default:
      return op;
  }
}

// Joins texts by appending; spares the temporaries of operator+ chains.
std::string Concat(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view part : parts) text.append(part);
  return text;
}

// Converts "12", "1.5", "2.5E3"; nullopt for anything else. Each '.' is first replaced by
// the locale's decimal separator, which is then the only decimal point accepted.
std::optional<double> ConvertFloat(std::string_view text, char separator) {
  std::string normal;
  normal.reserve(text.size());
  std::size_t i = 0;
  auto digits = [&] {
    const std::size_t start = i;
    while (i < text.size() && IsDigit(text[i])) normal += text[i++];
    return i > start;
  };
  std::string localised(text);
  for (char& c : localised) {
    if (c == '.') c = separator;
  }
  text = localised;
  if (!digits()) return std::nullopt;
  if (i < text.size() && text[i] == separator) {
    normal += '.';
    ++i;
    digits();
  }
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
    normal += 'e';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) normal += text[i++];
    if (!digits()) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  double value = 0.0;
  const auto [end, error] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  if (error != std::errc() || end != normal.data() + normal.size()) return std::nullopt;
  return value;
}

}  // namespace

// Builds the element list of one evaluator from a text, by the four levels expression,
// simple expression, term and factor. Every fault becomes an error element in place of the
// operand it spoils, so the list always has the shape its operators expect.
class TQREvaluator::Compiler {
 public:
  explicit Compiler(TQREvaluator& evaluator) : m_evaluator(evaluator) {}

  void Expression(std::string_view text) {
    const std::optional<FoundOperator> found = FindRelational(text);
    if (!found) {
      SimpleExpression(text);
      return;
    }
    if (!found->Valid) {
      Error(Concat({"Error in expression : ", Trim(text)}));
      return;
    }
    Put<TQREvElementOperator>(found->Op);
    SimpleExpression(text.substr(0, found->Position));
    SimpleExpression(text.substr(found->Position + found->Length));
  }

  // A chain "a - b + c" compiles as -, a, -, b, c: after a '-' every following + and - of the
  // chain is exchanged, which makes it (a - b) + c. The exchange is tracked, not rewritten.
  void SimpleExpression(std::string_view text) { Chain(text, true); }
  void Term(std::string_view text) { Chain(text, false); }

  void Factor(std::string_view text) {
    text = Trim(text);
    if (text.empty()) {
      Error("Error in expression : ");
      return;
    }
    const char first = text.front();
    if (StartsWithNot(text)) {
      Put<TQREvElementNot>();
      Nested([&] { SimpleExpression(text.substr(3)); });
    } else if (first == '\'') {
      if (text.size() < 2 || text.back() != '\'') {
        Error("Missing '");
      } else {
        Put<TQREvElementString>(text.substr(1, text.size() - 2));
      }
    } else if (first == '(') {
      if (text.size() < 2 || text.back() != ')') {
        Error("Missing )");
      } else {
        Nested([&] { Expression(text.substr(1, text.size() - 2)); });
      }
    } else if (first == '+') {
      Nested([&] { Factor(text.substr(1)); });
    } else if (first == '-') {
      const std::string negated = Concat({"0-", text.substr(1)});
      Nested([&] { SimpleExpression(negated); });
    } else if (IsDigit(first)) {
      NumericConstant(text);
    } else if (IsLetter(first)) {
      Name(text);
    } else if (first == '[') {
      if (text.size() < 2 || text.back() != ']') {
        Error("Missing ]");
      } else {
        FieldOrNamedValue(Trim(text.substr(1, text.size() - 2)));
      }
    } else {
      Error(Concat({"Error in expression : ", text}));
    }
  }

 private:
  template <typename Element, typename... Args>
  void Put(Args&&... args) {
    m_evaluator.m_list.Put(std::make_unique<Element>(std::forward<Args>(args)...));
  }
  void Error(std::string_view message) { Put<TQREvElementError>(message); }

  // Runs one step down into a sub-expression, or puts the nesting error in its place.
  template <typename Step>
  void Nested(Step&& step) {
    if (m_nesting >= kMaxExpressionNesting) {
      Error(kNestingError);
      return;
    }
    ++m_nesting;
    step();
    --m_nesting;
  }

  void Chain(std::string_view text, bool additive) {
    const TQREvOperator exchanger = additive ? TQREvOperator::opMinus : TQREvOperator::opDiv;
    bool exchanged = false;
    std::size_t from = 0;
    for (;;) {
      const std::optional<FoundOperator> found = FindChained(text, from, additive);
      const std::string_view left =
          text.substr(from, found ? found->Position - from : std::string_view::npos);
      if (!found) {
        additive ? Term(left) : Factor(left);
        return;
      }
      const TQREvOperator op = exchanged ? Exchanged(found->Op) : found->Op;
      Put<TQREvElementOperator>(op);
      additive ? Term(left) : Factor(left);
      if (op == exchanger) exchanged = !exchanged;
      from = found->Position + found->Length;
    }
  }

  // `not` as a word of its own: "NOTA" is a name, "not(x)" and "not x" negate.
  static bool StartsWithNot(std::string_view text) {
    if (text.size() < 3 || LowerAscii(text[0]) != 'n' || LowerAscii(text[1]) != 'o' ||
        LowerAscii(text[2]) != 't') {
      return false;
    }
    return text.size() == 3 || !IsNameChar(text[3]);
  }

  void NumericConstant(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsDigit(text[i])) ++i;
    bool isFloat = false;
    while (i < text.size() && (IsDigit(text[i]) || text[i] == '+' || text[i] == '-' ||
                               text[i] == '.' || text[i] == 'E' || text[i] == 'e')) {
      isFloat = true;
      ++i;
    }
    const std::string illegal = Concat({"Illegal character in numeric contant \"", text, "\""});
    if (i < text.size()) {
      Error(illegal);
      return;
    }
    if (!isFloat) {
      std::int32_t value = 0;
      const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
      if (error == std::errc() && end == text.data() + text.size()) {
        Put<TQREvElementConstant>(TQREvResult::Integer(value));
        return;
      }
    }
    const std::optional<double> value = ConvertFloat(text, ExprLocale().DecimalSeparator);
    if (!value) {
      Error(illegal);
      return;
    }
    Put<TQREvElementConstant>(TQREvResult::Float(*value));
  }

  void Name(std::string_view text) {
    const std::size_t paren = text.find('(');
    std::string_view name = text;
    std::string_view arguments;
    const bool hasArguments = paren != std::string_view::npos;
    if (hasArguments) {
      if (text.back() != ')') {
        Error("Missing )");
        return;
      }
      name = Trim(text.substr(0, paren));
      arguments = text.substr(paren + 1, text.size() - paren - 2);
    }
    const TQRLibraryEntry* entry = QRFunctionLibrary().Find(platform::AnsiUpper(name));
    if (!entry) {
      if (hasArguments) {
        Error(Concat({"Unknown function : ", name}));
      } else {
        FieldOrNamedValue(text);
      }
      return;
    }
    m_evaluator.m_list.Put(entry->Create());
    if (HasText(arguments)) {
      Nested([&] {
        TopLevel scan;
        std::size_t start = 0;
        for (std::size_t i = 0; i <= arguments.size(); ++i) {
          if (i < arguments.size() && !(scan.Step(arguments[i]) && arguments[i] == ',')) continue;
          Expression(arguments.substr(start, i - start));
          start = i + 1;
        }
      });
    }
    Put<TQREvElementArgumentEnd>();
  }

  void FieldOrNamedValue(std::string_view text) {
    if (!m_evaluator.m_dataSets.empty()) {
      if (std::unique_ptr<TQREvElement> field = FindDataField(m_evaluator.m_dataSets, text)) {
        m_evaluator.m_list.Put(std::move(field));
        return;
      }
    }
    const std::string upper = platform::AnsiUpper(text);
    std::shared_ptr<TQREvEmbeddedFunction> function;
    if (m_evaluator.m_environment) function = m_evaluator.m_environment->Find(upper);
    if (!function) function = QRGlobalEnvironment().Find(upper);
    if (function) {
      Put<TQREvElementWrapper>(function, text);
    } else {
      Error(Concat({"Unknown function : ", text}));
    }
  }

  TQREvaluator& m_evaluator;
  int m_nesting = 0;
};

TQREvaluator::~TQREvaluator() { Discard(); }

void TQREvaluator::Compile(std::string_view text) {
  // Named values of the global environment must be ready before the wrappers on them run.
  // Preparing before dropping the old elements spares the global values a recompilation.
  const bool counted = QRGlobalEnvironment().Compile();
  Discard();
  m_globalCounted = counted;
  m_prepared = true;
  Compiler compiler(*this);
  compiler.Expression(text.empty() ? std::string_view("' '") : text);
}

TQREvResult TQREvaluator::Value() {
  if (!m_prepared) throw EQRError("Evaluator not prepared");
  m_list.Start();
  return EvaluateNext();
}

void TQREvaluator::Discard() {
  m_list.Clear();
  if (!m_prepared) return;
  m_prepared = false;
  if (m_globalCounted) QRGlobalEnvironment().Discard();
  m_globalCounted = false;
}

void TQREvaluator::Reset() {
  for (std::size_t i = 0; i < m_list.Count(); ++i) m_list.At(i)->Reset();
}

void TQREvaluator::AccumulateAggregates() {
  struct ModeGuard {
    bool& mode;
    ~ModeGuard() { mode = false; }
  } guard{m_aggregateMode};
  m_aggregateMode = true;
  (void)Value();
}

bool TQREvaluator::HasAggregates() const {
  for (std::size_t i = 0; i < m_list.Count(); ++i) {
    if (m_list.At(i)->IsAggregate()) return true;
  }
  return false;
}

TQREvResult TQREvaluator::EvaluateNext() {
  TQREvElement* element = m_list.Get();
  if (!element) return TQREvResult::Error("Missing argument");
  return element->Value(*this);
}

}  // namespace vorelia::report
