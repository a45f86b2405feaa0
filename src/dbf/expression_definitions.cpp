#include "dbf/expression_definitions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "platform/code_page.h"

namespace vorelia::dbf {
namespace {

using T = TExpressionType;

double AsFloat(const TExprValue& v) {
  return v.type == T::etFloat ? v.floating : static_cast<double>(v.integer);
}

// Integer arithmetic wraps instead of overflowing; 32-bit results wrap at 32 bits.
int64_t Wrap32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

void SetFloat(TExprValue& r, double v) {
  r.type = T::etFloat;
  r.floating = v;
}
void SetInt(TExprValue& r, int64_t v, bool large) {
  r.type = large ? T::etLargeInt : T::etInteger;
  r.integer = large ? v : Wrap32(v);
}
void SetBool(TExprValue& r, bool v) {
  r.type = T::etBoolean;
  r.boolean = v;
}

int64_t AddI(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b));
}
int64_t SubI(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b));
}
int64_t MulI(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) * static_cast<uint64_t>(b));
}
// Division by zero gives 0 rather than stopping the program on a record's value.
int64_t DivI(int64_t a, int64_t b) {
  if (b == 0) return 0;
  if (b == -1) return SubI(0, a);
  return a / b;
}

template <int Op>
void FloatOp(const TEvalContext&, const TExprValue* const* a, TExprValue& r) {
  const double x = AsFloat(*a[0]);
  const double y = AsFloat(*a[1]);
  SetFloat(r, Op == 0 ? x + y : Op == 1 ? x - y : Op == 2 ? x * y : x / y);
}

template <int Op, bool Large>
void IntOp(const TEvalContext&, const TExprValue* const* a, TExprValue& r) {
  const int64_t x = a[0]->integer;
  const int64_t y = a[1]->integer;
  SetInt(r, Op == 0 ? AddI(x, y) : Op == 1 ? SubI(x, y) : Op == 2 ? MulI(x, y) : DivI(x, y),
         Large);
}

void Concat(const TEvalContext&, const TExprValue* const* a, TExprValue& r) {
  r.type = T::etString;
  r.text.assign(a[0]->text);
  r.text.append(a[1]->text);
}

// Comparison operators: 0 '=', 1 '<', 2 '>', 3 '<=', 4 '>=', 5 '<>'.
bool FromOrder(int op, int order) {
  switch (op) {
    case 0: return order == 0;
    case 1: return order < 0;
    case 2: return order > 0;
    case 3: return order <= 0;
    case 4: return order >= 0;
    default: return order != 0;
  }
}

template <int Op>
void CompareFloat(const TEvalContext&, const TExprValue* const* a, TExprValue& r) {
  const double x = AsFloat(*a[0]);
  const double y = AsFloat(*a[1]);
  SetBool(r, FromOrder(Op, x < y ? -1 : x > y ? 1 : 0));
}

template <int Op>
void CompareInt(const TEvalContext&, const TExprValue* const* a, TExprValue& r) {
  const int64_t x = a[0]->integer;
  const int64_t y = a[1]->integer;
  SetBool(r, FromOrder(Op, x < y ? -1 : x > y ? 1 : 0));
}

int CompareText(std::string_view x, std::string_view y) {
  const int rc = x.compare(y);
  return rc < 0 ? -1 : rc > 0 ? 1 : 0;
}

bool PartialEquals(std::string_view text, std::string_view pattern) {
  const bool leading = !pattern.empty() && pattern.front() == '*';
  const bool trailing = pattern.size() > 1 && pattern.back() == '*';
  if (!leading && !trailing) return text == pattern;
  std::string_view inner = pattern.substr(leading ? 1 : 0);
  if (trailing) inner.remove_suffix(1);
  if (leading && trailing) return text.find(inner) != std::string_view::npos;
  if (leading) return text.size() >= inner.size() && text.ends_with(inner);
  return text.starts_with(inner);
}

template <int Op>
void CompareString(const TEvalContext& c, const TExprValue* const* a, TExprValue& r) {
  std::string upperX, upperY;
  std::string_view x = a[0]->text;
  std::string_view y = a[1]->text;
  if (c.caseInsensitive) {
    upperX = platform::AnsiUpper(x);
    upperY = platform::AnsiUpper(y);
    x = upperX;
    y = upperY;
  }
  if (Op == 0 && c.partialMatch) {
    SetBool(r, PartialEquals(x, y));
    return;
  }
  SetBool(r, FromOrder(Op, CompareText(x, y)));
}

void Not(const TEvalContext&, const TExprValue* const* a, TExprValue& r) {
  SetBool(r, !a[0]->boolean);
}
void And(const TEvalContext&, const TExprValue* const* a, TExprValue& r) {
  SetBool(r, a[0]->boolean && a[1]->boolean);
}
void Or(const TEvalContext&, const TExprValue* const* a, TExprValue& r) {
  SetBool(r, a[0]->boolean || a[1]->boolean);
}

// Widths and decimal counts come from the expression text; keep them to sane sizes.
int64_t ClampCount(int64_t v) { return std::clamp<int64_t>(v, 0, 255); }

template <int Args>
void StrFloat(const TEvalContext&, const TExprValue* const* a, TExprValue& r) {
  const int decimals = Args >= 3 ? static_cast<int>(ClampCount(a[2]->integer)) : 0;
  char buffer[400];
  double v = a[0]->floating;
  if (std::isfinite(v) && std::fabs(v) < 1e300) {
    // Halves round away from zero, as people write numbers.
    if (decimals <= 15) {
      const double scale = std::pow(10.0, decimals);
      const double scaled = std::round(v * scale);
      if (std::fabs(scaled) < 9e15) v = scaled / scale;
    }
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
  } else {
    std::snprintf(buffer, sizeof buffer, "%s", std::isnan(v) ? "nan" : v < 0 ? "-inf" : "inf");
  }
  std::string text = buffer;
  if (Args >= 2) {
    const size_t width = static_cast<size_t>(ClampCount(a[1]->integer));
    if (text.size() > width) text.resize(width);
    else text.insert(0, width - text.size(), ' ');
  } else if (text.size() > 18) {
    text.resize(18);
  }
  r.type = T::etString;
  r.text = std::move(text);
}

template <int Args>
void StrInt(const TEvalContext&, const TExprValue* const* a, TExprValue& r) {
  std::string text = std::to_string(a[0]->integer);
  if (Args >= 2) {
    const size_t width = static_cast<size_t>(ClampCount(a[1]->integer));
    if (text.size() < width) text.insert(0, width - text.size(), ' ');
  }
  if (Args >= 3) {
    const int64_t decimals = ClampCount(a[2]->integer);
    if (decimals > 0) text += "." + std::string(static_cast<size_t>(decimals), '0');
  }
  r.type = T::etString;
  r.text = std::move(text);
}

void Dtos(const TEvalContext&, const TExprValue* const* a, TExprValue& r) {
  const TDbfDate& d = a[0]->dateTime.date;
  r.type = T::etString;
  if (d.year == 0 && d.month == 0 && d.day == 0) {
    r.text.assign(8, ' ');
    return;
  }
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", std::clamp(d.year, 0, 9999),
                std::clamp(d.month, 0, 99), std::clamp(d.day, 0, 99));
  r.text = buffer;
}

void Substr(const TEvalContext&, const TExprValue* const* a, TExprValue& r) {
  const std::string& text = a[0]->text;
  const int64_t start = std::max<int64_t>(a[1]->integer, 1) - 1;
  const int64_t count = a[2]->integer;
  r.type = T::etString;
  if (count <= 0 || start >= static_cast<int64_t>(text.size())) {
    r.text.clear();
    return;
  }
  r.text = text.substr(static_cast<size_t>(start), static_cast<size_t>(count));
}

void Upper(const TEvalContext&, const TExprValue* const* a, TExprValue& r) {
  r.type = T::etString;
  r.text = platform::AnsiUpper(a[0]->text);
}
void Lower(const TEvalContext&, const TExprValue* const* a, TExprValue& r) {
  r.type = T::etString;
  r.text = platform::AnsiLower(a[0]->text);
}

template <int Op>
constexpr TWordSignature kNumeric[] = {
    {"FF", T::etFloat, FloatOp<Op>},        {"FI", T::etFloat, FloatOp<Op>},
    {"IF", T::etFloat, FloatOp<Op>},        {"FL", T::etFloat, FloatOp<Op>},
    {"LF", T::etFloat, FloatOp<Op>},        {"II", T::etInteger, IntOp<Op, false>},
    {"IL", T::etLargeInt, IntOp<Op, true>}, {"LL", T::etLargeInt, IntOp<Op, true>},
    {"LI", T::etLargeInt, IntOp<Op, true>}, {"SS", T::etString, Concat},
};

template <int Op>
constexpr TWordSignature kCompare[] = {
    {"FF", T::etBoolean, CompareFloat<Op>}, {"FI", T::etBoolean, CompareFloat<Op>},
    {"IF", T::etBoolean, CompareFloat<Op>}, {"II", T::etBoolean, CompareInt<Op>},
    {"LL", T::etBoolean, CompareInt<Op>},   {"LF", T::etBoolean, CompareFloat<Op>},
    {"FL", T::etBoolean, CompareFloat<Op>}, {"IL", T::etBoolean, CompareInt<Op>},
    {"LI", T::etBoolean, CompareInt<Op>},   {"SS", T::etBoolean, CompareString<Op>},
};

constexpr TWordSignature kNot[] = {{"B", T::etBoolean, Not}};
constexpr TWordSignature kAnd[] = {{"BB", T::etBoolean, And}};
constexpr TWordSignature kOr[] = {{"BB", T::etBoolean, Or}};
constexpr TWordSignature kStr[] = {
    {"F", T::etString, StrFloat<1>},   {"FI", T::etString, StrFloat<2>},
    {"FII", T::etString, StrFloat<3>}, {"I", T::etString, StrInt<1>},
    {"II", T::etString, StrInt<2>},    {"III", T::etString, StrInt<3>},
};
constexpr TWordSignature kDtos[] = {{"D", T::etString, Dtos}};
constexpr TWordSignature kSubstr[] = {{"SII", T::etString, Substr}};
constexpr TWordSignature kUpper[] = {{"S", T::etString, Upper}};
constexpr TWordSignature kLower[] = {{"S", T::etString, Lower}};

// Multiplication and division bind tighter than addition and subtraction, so arithmetic keeps
// its usual meaning.
constexpr TExprWord kWords[] = {
    {"+", TWordKind::wkBinaryOperator, 40, kNumeric<0>, 2, 2},
    {"-", TWordKind::wkBinaryOperator, 40, std::span(kNumeric<1>).first(9), 2, 2},
    {"*", TWordKind::wkBinaryOperator, 30, std::span(kNumeric<2>).first(9), 2, 2},
    {"/", TWordKind::wkBinaryOperator, 30, std::span(kNumeric<3>).first(9), 2, 2},
    {"=", TWordKind::wkBinaryOperator, 80, kCompare<0>, 2, 2},
    {"<", TWordKind::wkBinaryOperator, 80, kCompare<1>, 2, 2},
    {">", TWordKind::wkBinaryOperator, 80, kCompare<2>, 2, 2},
    {"<=", TWordKind::wkBinaryOperator, 80, kCompare<3>, 2, 2},
    {">=", TWordKind::wkBinaryOperator, 80, kCompare<4>, 2, 2},
    {"<>", TWordKind::wkBinaryOperator, 80, kCompare<5>, 2, 2},
    {"NOT", TWordKind::wkPrefixOperator, 85, kNot, 1, 1},
    {"AND", TWordKind::wkBinaryOperator, 90, kAnd, 2, 2},
    {"OR", TWordKind::wkBinaryOperator, 100, kOr, 2, 2},
    {"STR", TWordKind::wkFunction, 0, kStr, 1, 3},
    {"DTOS", TWordKind::wkFunction, 0, kDtos, 1, 1},
    {"SUBSTR", TWordKind::wkFunction, 0, kSubstr, 3, 3},
    {"UPPERCASE", TWordKind::wkFunction, 0, kUpper, 1, 1},
    {"LOWERCASE", TWordKind::wkFunction, 0, kLower, 1, 1},
};

struct TAlias {
  std::string_view alias;
  std::string_view name;
};
constexpr TAlias kAliases[] = {{"SUBS", "SUBSTR"}, {"UPPER", "UPPERCASE"}, {"LOWER", "LOWERCASE"}};

}  // namespace

const TExprWord* FindWord(std::string_view upperName) {
  for (const TAlias& a : kAliases) {
    if (a.alias == upperName) upperName = a.name;
  }
  for (const TExprWord& w : kWords) {
    if (w.name == upperName) return &w;
  }
  return nullptr;
}

}  // namespace vorelia::dbf
