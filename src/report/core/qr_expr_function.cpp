#include "report/core/qr_expr_function.h"

#include <cmath>
#include <cstdint>
#include <optional>

#include "platform/code_page.h"
#include "report/core/qr_expr_evaluator.h"
#include "report/core/qr_expr_format.h"
#include "report/core/qr_expr_locale.h"

namespace vorelia::report {

namespace {

using Args = std::vector<TQREvResult>;
using Kind = TQREvResultType;

TQREvResult WrongArguments(std::string_view name) {
  return TQREvResult::Error("Wrong arguments for " + std::string(name));
}

// The first error among the arguments, if any: a function given an error passes it on.
const TQREvResult* FirstError(const Args& args) {
  for (const TQREvResult& arg : args) {
    if (arg.IsError()) return &arg;
  }
  return nullptr;
}

// A float as a 32-bit integer, rounding half to even; nullopt when out of range.
std::optional<std::int32_t> RoundToInt(double value) {
  const double rounded = std::nearbyint(value);
  if (!(rounded >= INT32_MIN && rounded <= INT32_MAX)) return std::nullopt;
  return static_cast<std::int32_t>(rounded);
}

class TQREvIfFunction : public TQREvElementFunction {
  TQREvResult Calculate(const Args& args) override {
    if (args.size() != 3) return WrongArguments("IF");
    if (args[0].IsError()) return args[0];
    if (args[0].Kind != Kind::resBool) return WrongArguments("IF");
    return args[0].BooResult ? args[1] : args[2];
  }
};

class TQREvStrFunction : public TQREvElementFunction {
  TQREvResult Calculate(const Args& args) override {
    if (args.size() == 1 && args[0].IsError()) return args[0];
    if (args.size() != 1 || args[0].Kind == Kind::resString) {
      return TQREvResult::Error("Conversion error");
    }
    return TQREvResult::String(ResultText(args[0]));
  }
};

// UPPER, LOWER and PRETTY: one string in, one string out.
class TQREvCaseFunction : public TQREvElementFunction {
 protected:
  explicit TQREvCaseFunction(const char* name) : m_name(name) {}
  virtual std::string Convert(const std::string& text) const = 0;

 private:
  TQREvResult Calculate(const Args& args) override {
    if (args.size() != 1) return TQREvResult::Error("Missing argument for " + m_name);
    if (args[0].IsError()) return args[0];
    if (args[0].Kind != Kind::resString) return WrongArguments(m_name);
    return TQREvResult::String(Convert(args[0].StrResult));
  }
  std::string m_name;
};

class TQREvUpperFunction : public TQREvCaseFunction {
 public:
  TQREvUpperFunction() : TQREvCaseFunction("UPPER") {}
  std::string Convert(const std::string& text) const override {
    return platform::AnsiUpper(text);
  }
};

class TQREvLowerFunction : public TQREvCaseFunction {
 public:
  TQREvLowerFunction() : TQREvCaseFunction("LOWER") {}
  std::string Convert(const std::string& text) const override {
    return platform::AnsiLower(text);
  }
};

// Code page 1252 has no two-byte characters, so the first character is the first byte.
class TQREvPrettyFunction : public TQREvCaseFunction {
 public:
  TQREvPrettyFunction() : TQREvCaseFunction("PRETTY") {}
  std::string Convert(const std::string& text) const override {
    if (text.empty()) return text;
    return platform::AnsiUpper(text.substr(0, 1)) + platform::AnsiLower(text.substr(1));
  }
};

class TQREvTimeFunction : public TQREvElementFunction {
  TQREvResult Calculate(const Args& args) override {
    if (!args.empty()) return TQREvResult::Error("Too many arguments");
    return TQREvResult::String(ExprLocale().CurrentTimeText());
  }
};

class TQREvDateFunction : public TQREvElementFunction {
  TQREvResult Calculate(const Args& args) override {
    if (!args.empty()) return TQREvResult::Error("Too many arguments");
    return TQREvResult::String(ExprLocale().CurrentDateText());
  }
};

class TQREvCopyFunction : public TQREvElementFunction {
  TQREvResult Calculate(const Args& args) override {
    if (args.size() != 3) return WrongArguments("COPY");
    if (const TQREvResult* error = FirstError(args)) return *error;
    if (args[0].Kind != Kind::resString || args[1].Kind != Kind::resInt ||
        args[2].Kind != Kind::resInt) {
      return WrongArguments("COPY");
    }
    const std::string& text = args[0].StrResult;
    const std::int64_t start = std::max<std::int64_t>(args[1].IntResult, 1);
    const std::int64_t length = args[2].IntResult;
    if (length <= 0 || start > static_cast<std::int64_t>(text.size())) {
      return TQREvResult::String("");
    }
    return TQREvResult::String(
        text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(length)));
  }
};

class TQREvTrueFunction : public TQREvElementFunction {
  TQREvResult Calculate(const Args& args) override {
    if (!args.empty()) return TQREvResult::Error("Too many arguments");
    return TQREvResult::Boolean(true);
  }
};

class TQREvFalseFunction : public TQREvElementFunction {
  TQREvResult Calculate(const Args& args) override {
    if (!args.empty()) return TQREvResult::Error("Too many arguments");
    return TQREvResult::Boolean(false);
  }
};

class TQREvIntFunction : public TQREvElementFunction {
  TQREvResult Calculate(const Args& args) override {
    if (args.size() != 1) return WrongArguments("INT");
    const TQREvResult& x = args[0];
    if (x.IsError()) return x;
    if (x.Kind == Kind::resInt) return x;
    if (x.Kind != Kind::resDouble) return WrongArguments("INT");
    const double whole = std::trunc(x.DblResult);
    if (!(whole >= INT32_MIN && whole <= INT32_MAX)) return TQREvResult::Error("Integer overflow");
    return TQREvResult::Integer(static_cast<std::int32_t>(whole));
  }
};

class TQREvFracFunction : public TQREvElementFunction {
  TQREvResult Calculate(const Args& args) override {
    if (args.size() != 1) return TQREvResult::Error("");
    const TQREvResult& x = args[0];
    if (x.IsError()) return x;
    if (x.Kind == Kind::resInt) return TQREvResult::Float(0.0);
    if (x.Kind != Kind::resDouble) return TQREvResult::Error("");
    return TQREvResult::Float(x.DblResult - std::trunc(x.DblResult));
  }
};

class TQREvSqrtFunction : public TQREvElementFunction {
  TQREvResult Calculate(const Args& args) override {
    if (args.size() == 1 && args[0].IsError()) return args[0];
    if (args.size() != 1 || !args[0].IsNumeric() || !(args[0].AsDouble() >= 0.0)) {
      return TQREvResult::Error("Invalid argument to SQRT function");
    }
    return TQREvResult::Float(std::sqrt(args[0].AsDouble()));
  }
};

class TQREvDivFunction : public TQREvElementFunction {
  TQREvResult Calculate(const Args& args) override {
    if (args.size() != 2) return WrongArguments("DIV");
    if (const TQREvResult* error = FirstError(args)) return *error;
    if (!args[0].IsNumeric() || !args[1].IsNumeric()) return WrongArguments("DIV");
    const std::optional<std::int32_t> x = RoundToInt(args[0].AsDouble());
    const std::optional<std::int32_t> y = RoundToInt(args[1].AsDouble());
    if (!x || !y) return TQREvResult::Error("Integer overflow");
    if (*y == 0) return TQREvResult::Error("Division by Zero");
    const std::int64_t quotient = static_cast<std::int64_t>(*x) / *y;
    if (quotient > INT32_MAX) return TQREvResult::Error("Integer overflow");
    return TQREvResult::Integer(static_cast<std::int32_t>(quotient));
  }
};

class TQREvTypeOfFunction : public TQREvElementFunction {
  TQREvResult Calculate(const Args& args) override {
    if (args.size() != 1) return WrongArguments("TypeOf");
    return TQREvResult::String(ResultKindName(args[0].Kind));
  }
};

class TQREvFormatNumericFunction : public TQREvElementFunction {
  TQREvResult Calculate(const Args& args) override {
    if (args.size() != 2) return WrongArguments("FORMATNUMERIC");
    if (const TQREvResult* error = FirstError(args)) return *error;
    if (args[0].Kind != Kind::resString || !args[1].IsNumeric()) {
      return WrongArguments("FORMATNUMERIC");
    }
    const std::optional<std::string> text = FormatFloat(args[0].StrResult, args[1].AsDouble());
    if (!text) return TQREvResult::Error("Invalid format or value specified");
    return TQREvResult::String(*text);
  }
};

// Aggregates: the running state moves only in aggregate mode; other evaluations read it.
class TQREvAggregateFunction : public TQREvElementFunction {
 public:
  bool IsAggregate() const override { return true; }

 protected:
  explicit TQREvAggregateFunction(const char* name) : m_name(name) {}
  // Checks the argument count; the error when it is wrong.
  std::optional<TQREvResult> BadCount(const Args& args) const {
    if (args.size() != 1) return WrongArguments(m_name);
    return std::nullopt;
  }

 private:
  std::string m_name;
};

// A running sum: the first value fixes integer or float; an integer sum that meets a float or
// leaves the 32-bit range goes on as a float rather than losing the fraction or wrapping.
class SumState {
 public:
  void Reset() { m_sum = TQREvResult::Integer(0); }
  void Add(const TQREvResult& value) {
    if (m_sum.IsError()) return;
    if (value.IsError()) {
      m_sum = value;
    } else if (!value.IsNumeric()) {
      m_sum = TQREvResult::Error("");
    } else if (m_first) {
      m_sum = value;
    } else if (m_sum.Kind == Kind::resInt && value.Kind == Kind::resInt) {
      const std::int64_t total = static_cast<std::int64_t>(m_sum.IntResult) + value.IntResult;
      m_sum = total >= INT32_MIN && total <= INT32_MAX
                  ? TQREvResult::Integer(static_cast<std::int32_t>(total))
                  : TQREvResult::Float(static_cast<double>(total));
    } else {
      m_sum = TQREvResult::Float(m_sum.AsDouble() + value.AsDouble());
    }
    m_first = false;
  }
  const TQREvResult& Sum() const { return m_sum; }
  void Restart() {
    Reset();
    m_first = true;
  }

 private:
  TQREvResult m_sum = TQREvResult::Integer(0);
  bool m_first = true;
};

class TQREvSumFunction : public TQREvAggregateFunction {
 public:
  TQREvSumFunction() : TQREvAggregateFunction("SUM") {}
  void Reset() override { m_state.Restart(); }

 private:
  void Aggregate(const Args& args) override {
    if (args.size() == 1) m_state.Add(args[0]);
  }
  TQREvResult Calculate(const Args& args) override {
    if (auto error = BadCount(args)) return *error;
    return m_state.Sum();
  }
  SumState m_state;
};

class TQREvCountFunction : public TQREvAggregateFunction {
 public:
  TQREvCountFunction() : TQREvAggregateFunction("COUNT") {}
  void Reset() override { m_count = 0; }

 private:
  void Aggregate(const Args& args) override {
    if (args.empty() && m_count < INT32_MAX) ++m_count;
  }
  TQREvResult Calculate(const Args& args) override {
    if (!args.empty()) return TQREvResult::Error("COUNT - Too many arguments");
    return TQREvResult::Integer(m_count);
  }
  std::int32_t m_count = 0;
};

// MAX and MIN. Integers and floats compare with each other by value (the kept value keeps its
// own kind); strings compare by character codes; false is below true. A value of another
// kind than the kept one leaves it alone; an error value makes the state that error.
class TQREvExtremeFunction : public TQREvAggregateFunction {
 public:
  void Reset() override {
    m_state = TQREvResult::Integer(0);
    m_first = true;
  }

 protected:
  TQREvExtremeFunction(const char* name, bool highest)
      : TQREvAggregateFunction(name), m_highest(highest) {}

 private:
  void Aggregate(const Args& args) override {
    if (args.size() != 1 || m_state.IsError()) return;
    const TQREvResult& value = args[0];
    if (m_first || value.IsError()) {
      m_state = value;
      m_first = false;
      return;
    }
    int order = 0;  // value compared with the state
    if (value.IsNumeric() && m_state.IsNumeric()) {
      order = value.AsDouble() < m_state.AsDouble() ? -1 : value.AsDouble() > m_state.AsDouble();
    } else if (value.Kind != m_state.Kind) {
      return;
    } else if (value.Kind == Kind::resString) {
      order = value.StrResult.compare(m_state.StrResult);
    } else {
      order = static_cast<int>(value.BooResult) - static_cast<int>(m_state.BooResult);
    }
    if (m_highest ? order > 0 : order < 0) m_state = value;
  }
  TQREvResult Calculate(const Args& args) override {
    if (auto error = BadCount(args)) return *error;
    return m_state;
  }

  bool m_highest;
  TQREvResult m_state = TQREvResult::Integer(0);
  bool m_first = true;
};

class TQREvMaxFunction : public TQREvExtremeFunction {
 public:
  TQREvMaxFunction() : TQREvExtremeFunction("MAX", true) {}
};

class TQREvMinFunction : public TQREvExtremeFunction {
 public:
  TQREvMinFunction() : TQREvExtremeFunction("MIN", false) {}
};

class TQREvAverageFunction : public TQREvAggregateFunction {
 public:
  TQREvAverageFunction() : TQREvAggregateFunction("AVERAGE") {}
  void Reset() override {
    m_sum.Restart();
    m_count = 0;
    m_average = TQREvResult::Float(0.0);
  }

 private:
  void Aggregate(const Args& args) override {
    if (args.size() != 1) return;
    m_sum.Add(args[0]);
    ++m_count;
    const TQREvResult& sum = m_sum.Sum();
    m_average = sum.IsError() ? sum : TQREvResult::Float(sum.AsDouble() / m_count);
  }
  TQREvResult Calculate(const Args& args) override {
    if (auto error = BadCount(args)) return *error;
    return m_average;
  }

  SumState m_sum;
  double m_count = 0;
  TQREvResult m_average = TQREvResult::Float(0.0);
};

template <typename F>
std::unique_ptr<TQREvElementFunction> Make() {
  return std::make_unique<F>();
}

}  // namespace

TQREvResult TQREvElementFunction::Value(TQREvaluator& evaluator) {
  Args args;
  for (;;) {
    TQREvElement* next = evaluator.PeekNext();
    if (!next) break;
    if (next->IsArgumentEnd()) {
      evaluator.SkipNext();
      break;
    }
    args.push_back(evaluator.EvaluateNext());
  }
  if (evaluator.AggregateMode()) Aggregate(args);
  return Calculate(args);
}

TQRFunctionLibrary::TQRFunctionLibrary() {
  m_entries = {
      {"IF", "IF(<Exp>, <X>, <Y>)|Returns <X> or <Y> depending on the boolean expression <Exp>",
       "5BVV", Make<TQREvIfFunction>},
      {"STR", "STR(<X>)|Convert a numeric <X> to a string", "7N", Make<TQREvStrFunction>},
      {"UPPER", "UPPER(<X>)|Converts a string to upper case letters", "7S",
       Make<TQREvUpperFunction>},
      {"LOWER", "LOWER(<X>)|Converts a string to lower case letters", "7S",
       Make<TQREvLowerFunction>},
      {"PRETTY", "PRETTY(<X>)|Makes the first character upper case and the rest lower case", "7S",
       Make<TQREvPrettyFunction>},
      {"TIME", "TIME|Return current time as a string", "1", Make<TQREvTimeFunction>},
      {"DATE", "DATE|Return current date as a string", "1", Make<TQREvDateFunction>},
      {"COPY", "COPY(<X>, <St>,<Len>)|Returns a substring of string X", "7SNN",
       Make<TQREvCopyFunction>},
      {"SUM", "SUM(<X>)|Sums the numeric <X>", "3N", Make<TQREvSumFunction>},
      {"COUNT", "COUNT|Increments for each iteration", "3", Make<TQREvCountFunction>},
      {"MAX", "MAX(<X>)|Returns the highest <X>", "3V", Make<TQREvMaxFunction>},
      {"MIN", "MIN(<X>)|Returns the lowest <X>", "3V", Make<TQREvMinFunction>},
      {"AVERAGE", "AVERAGE(<X>)|Returns the average of numeric <X>", "3N",
       Make<TQREvAverageFunction>},
      {"TRUE", "TRUE|boolean value", "5", Make<TQREvTrueFunction>},
      {"FALSE", "FALSE|boolean value", "5", Make<TQREvFalseFunction>},
      {"INT", "INT(<X>)|Returns the integer part of <X>", "2N", Make<TQREvIntFunction>},
      {"FRAC", "FRAC(<X>)|Returns the fractional part of <X>", "2N", Make<TQREvFracFunction>},
      {"SQRT", "SQRT(<X>)|Returns square root of <X>", "2N", Make<TQREvSqrtFunction>},
      {"DIV", "DIV(<X>, <Y>) | Integer division of <X> by <Y>", "2NN", Make<TQREvDivFunction>},
      {"TYPEOF", "TYPEOF(<Exp>)|Returns the data type of <Exp>", "6N", Make<TQREvTypeOfFunction>},
      {"FORMATNUMERIC", "FORMATNUMERIC(<F>,<N>)|Formats numeric <N> using the mask in <F>", "7SN",
       Make<TQREvFormatNumericFunction>},
  };
}

const TQRLibraryEntry* TQRFunctionLibrary::Find(std::string_view name) const {
  for (const TQRLibraryEntry& entry : m_entries) {
    if (entry.Name == name) return &entry;
  }
  return nullptr;
}

const TQRFunctionLibrary& QRFunctionLibrary() {
  static const TQRFunctionLibrary library;
  return library;
}

}  // namespace vorelia::report
