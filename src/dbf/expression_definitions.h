#pragma once

#include <span>
#include <string_view>

#include "dbf/expression_support.h"

namespace vorelia::dbf {

// The switches of string comparison, set per parser.
struct TEvalContext {
  bool caseInsensitive = true;
  bool partialMatch = false;
};

using TEvalFunction = void (*)(const TEvalContext& context, const TExprValue* const* args,
                               TExprValue& result);

// One way of calling a word: the argument type letters, the result type, the code.
struct TWordSignature {
  std::string_view args;
  TExpressionType result;
  TEvalFunction eval;
};

enum class TWordKind : uint8_t { wkBinaryOperator, wkPrefixOperator, wkFunction };

// A registered operator or function. Among operators the highest priority number is the
// loosest binding (the root of a range).
struct TExprWord {
  std::string_view name;
  TWordKind kind;
  int priority;
  std::span<const TWordSignature> signatures;
  int minArgs;
  int maxArgs;
};

// The word registered under `upperName` (aliases included), or null.
const TExprWord* FindWord(std::string_view upperName);

}  // namespace vorelia::dbf
