#include "dbf/expression_support.h"

namespace vorelia::dbf {

char TypeLetter(TExpressionType type) {
  switch (type) {
    case TExpressionType::etInteger: return 'I';
    case TExpressionType::etString: return 'S';
    case TExpressionType::etBoolean: return 'B';
    case TExpressionType::etLargeInt: return 'L';
    case TExpressionType::etFloat: return 'F';
    case TExpressionType::etDateTime: return 'D';
    case TExpressionType::etUnknown: break;
  }
  return '?';
}

std::string UnknownVariableMessage(const std::string& name) {
  return "Unknown variable '" + name + "' found.";
}

std::string MissingOperatorMessage(const std::string& left, const std::string& right) {
  return "Missing operator between '" + left + "' and '" + right + "'";
}

std::string UnknownFieldMessage(const std::string& name) {
  return "Index based on unknown field \"" + name + "\".";
}

std::string InvalidFieldTypeMessage(const std::string& name) {
  return "Field \"" + name + "\" is an invalid field type to base index on.";
}

std::string IndexResultTooLongMessage(const std::string& expression, int length) {
  return "Index result for \"" + expression + "\" too long, >100 characters (" +
         std::to_string(length) + ").";
}

}  // namespace vorelia::dbf
