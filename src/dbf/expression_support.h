#pragma once

#include <cstdint>
#include <string>

#include "dbf/dbf_common.h"
#include "platform/errors.h"

namespace vorelia::dbf {

// A key or filter expression that cannot be parsed.
class EParserException : public EVoreliaError {
 public:
  VORELIA_RAISE_SITE explicit EParserException(const std::string& message)
      : EVoreliaError(message) {}
};

// Result types of expressions and of every word in them.
enum class TExpressionType : uint8_t {
  etInteger,
  etString,
  etBoolean,
  etLargeInt,
  etFloat,
  etDateTime,
  etUnknown,
};

// The letter a type has in word signatures ("S", "I", "F", "L", "B", "D").
char TypeLetter(TExpressionType type);

// One value during evaluation. Integers of both widths live in `integer`; date-times keep the
// calendar date and the time of day as the table stores them.
struct TExprValue {
  TExpressionType type = TExpressionType::etUnknown;
  int64_t integer = 0;
  double floating = 0.0;
  bool boolean = false;
  std::string text;
  TDbfDateTime dateTime;
};

// Parser messages.
inline constexpr const char* kMsgUnequalBrackets = "Unequal brackets";
inline constexpr const char* kMsgMissingClosingBracket = "Missing closing bracket";
inline constexpr const char* kMsgOperatorMissing = "Operator/function missing";
inline constexpr const char* kMsgTooFewArguments = "Function or operand has too few arguments";
inline constexpr const char* kMsgTooManyArguments = "Function or operand has too many arguments";
inline constexpr const char* kMsgTypeMismatch = "Argument type mismatch";
inline constexpr const char* kMsgNoFunction =
    "No function with this name, remove brackets for variable";
inline constexpr const char* kMsgMissingOperatorBrackets = "Missing operator between )(";
inline constexpr const char* kMsgMissingOperatorAfterBracket =
    "Missing operator between ) and constant/variable";
inline constexpr const char* kMsgMissingOperatorBeforeBracket =
    "Missing operator between constant/variable and (";
inline constexpr const char* kMsgUnterminatedString = "Missing closing quote";

// "Unknown variable '<name>' found."
std::string UnknownVariableMessage(const std::string& name);
// "Missing operator between '<a>' and '<b>'"
std::string MissingOperatorMessage(const std::string& left, const std::string& right);
// "Index based on unknown field "<name>"."
std::string UnknownFieldMessage(const std::string& name);
// "Field "<name>" is an invalid field type to base index on."
std::string InvalidFieldTypeMessage(const std::string& name);
// "Index result for "<expression>" too long, >100 characters (<length>)."
std::string IndexResultTooLongMessage(const std::string& expression, int length);

}  // namespace vorelia::dbf
