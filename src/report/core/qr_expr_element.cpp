#include "report/core/qr_expr_element.h"

#include <cstdint>
#include <utility>

#include "report/core/qr_expr_environment.h"
#include "report/core/qr_expr_evaluator.h"

namespace vorelia::report {

namespace {

using Kind = TQREvResultType;

std::string OperatorText(TQREvOperator op) {
  switch (op) {
    case TQREvOperator::opLess:
      return "<";
    case TQREvOperator::opLessOrEqual:
      return "<=";
    case TQREvOperator::opGreater:
      return ">";
    case TQREvOperator::opGreaterOrEqual:
      return ">=";
    case TQREvOperator::opEqual:
      return "=";
    case TQREvOperator::opUnequal:
      return "<>";
    case TQREvOperator::opPlus:
      return "+";
    case TQREvOperator::opMinus:
      return "-";
    case TQREvOperator::opOr:
      return "OR";
    case TQREvOperator::opMul:
      return "*";
    case TQREvOperator::opDiv:
      return "/";
    case TQREvOperator::opAnd:
      break;
  }
  return "AND";
}

TQREvResult NotCompatible(TQREvOperator op, const char* kind) {
  return TQREvResult::Error("Operator " + OperatorText(op) + " is not compatible with " + kind +
                            " expressions");
}

TQREvResult Cannot(TQREvOperator op, const char* kind) {
  const char* verb = op == TQREvOperator::opPlus    ? "add"
                     : op == TQREvOperator::opMinus ? "subtract"
                     : op == TQREvOperator::opMul   ? "multiply"
                                                    : "divide";
  return TQREvResult::Error(std::string("Cannot ") + verb + " " + kind + " expressions");
}

// Comparison of two values of one ordered kind; nullopt-like false flag for other operators.
template <typename T>
bool Compare(TQREvOperator op, const T& a, const T& b) {
  switch (op) {
    case TQREvOperator::opLess:
      return a < b;
    case TQREvOperator::opLessOrEqual:
      return a <= b;
    case TQREvOperator::opGreater:
      return a > b;
    case TQREvOperator::opGreaterOrEqual:
      return a >= b;
    case TQREvOperator::opEqual:
      return a == b;
    default:
      return a != b;
  }
}

bool IsComparison(TQREvOperator op) { return op <= TQREvOperator::opUnequal; }

// Integer arithmetic that leaves the 32-bit range goes on as a float, so a long sum stays
// right instead of wrapping around.
TQREvResult IntegerOrFloat(std::int64_t value) {
  if (value >= INT32_MIN && value <= INT32_MAX) {
    return TQREvResult::Integer(static_cast<std::int32_t>(value));
  }
  return TQREvResult::Float(static_cast<double>(value));
}

TQREvResult IntegerOperator(TQREvOperator op, std::int32_t a, std::int32_t b) {
  if (IsComparison(op)) return TQREvResult::Boolean(Compare(op, a, b));
  const std::int64_t x = a;
  const std::int64_t y = b;
  switch (op) {
    case TQREvOperator::opPlus:
      return IntegerOrFloat(x + y);
    case TQREvOperator::opMinus:
      return IntegerOrFloat(x - y);
    case TQREvOperator::opMul:
      return IntegerOrFloat(x * y);
    case TQREvOperator::opDiv:
      if (b == 0) return TQREvResult::Error("Cannot divide by 0");
      return TQREvResult::Float(static_cast<double>(a) / static_cast<double>(b));
    case TQREvOperator::opOr:
      return TQREvResult::Integer(a | b);
    default:
      return TQREvResult::Integer(a & b);
  }
}

TQREvResult FloatOperator(TQREvOperator op, double a, double b) {
  if (IsComparison(op)) return TQREvResult::Boolean(Compare(op, a, b));
  switch (op) {
    case TQREvOperator::opPlus:
      return TQREvResult::Float(a + b);
    case TQREvOperator::opMinus:
      return TQREvResult::Float(a - b);
    case TQREvOperator::opMul:
      return TQREvResult::Float(a * b);
    case TQREvOperator::opDiv:
      if (b == 0.0) return TQREvResult::Error("Cannot divide by 0");
      return TQREvResult::Float(a / b);
    default:
      return NotCompatible(op, "numeric");
  }
}

TQREvResult StringOperator(TQREvOperator op, const std::string& a, const std::string& b) {
  // std::string compares bytes as unsigned characters: the ordinal order.
  if (IsComparison(op)) return TQREvResult::Boolean(Compare(op, a, b));
  switch (op) {
    case TQREvOperator::opPlus:
      return TQREvResult::String(a + b);
    case TQREvOperator::opOr:
    case TQREvOperator::opAnd:
      return NotCompatible(op, "string");
    default:
      return Cannot(op, "string");
  }
}

TQREvResult BooleanOperator(TQREvOperator op, bool a, bool b) {
  switch (op) {
    case TQREvOperator::opEqual:
      return TQREvResult::Boolean(a == b);
    case TQREvOperator::opUnequal:
      return TQREvResult::Boolean(a != b);
    case TQREvOperator::opOr:
      return TQREvResult::Boolean(a || b);
    case TQREvOperator::opAnd:
      return TQREvResult::Boolean(a && b);
    default:
      if (IsComparison(op)) return NotCompatible(op, "boolean");
      return Cannot(op, "boolean");
  }
}

}  // namespace

TQREvResult ApplyOperator(TQREvOperator op, const TQREvResult& left, const TQREvResult& right) {
  if (left.IsError()) return left;
  if (right.IsError()) return right;
  if (left.Kind != right.Kind) {
    if (left.IsNumeric() && right.IsNumeric()) {
      return FloatOperator(op, left.AsDouble(), right.AsDouble());
    }
    return StringOperator(op, TQREvResult::String(ResultText(left)).StrResult,
                          TQREvResult::String(ResultText(right)).StrResult);
  }
  switch (left.Kind) {
    case Kind::resInt:
      return IntegerOperator(op, left.IntResult, right.IntResult);
    case Kind::resDouble:
      return FloatOperator(op, left.DblResult, right.DblResult);
    case Kind::resString:
      return StringOperator(op, left.StrResult, right.StrResult);
    default:
      return BooleanOperator(op, left.BooResult, right.BooResult);
  }
}

TQREvResult ApplyNot(const TQREvResult& operand) {
  switch (operand.Kind) {
    case Kind::resBool:
      return TQREvResult::Boolean(!operand.BooResult);
    case Kind::resError:
      return operand;
    case Kind::resString:
      return TQREvResult::Error("Operator NOT is not compatible with string expressions");
    default:
      return TQREvResult::Error("Operator NOT is not compatible with numeric expressions");
  }
}

TQREvResult TQREvElementOperator::Value(TQREvaluator& evaluator) {
  // A right operand that is itself an operator (1 + 2 + ... + 1000 compiles that way) is taken
  // in this loop rather than by recursion, so long chains cost no stack.
  TQREvResult left = evaluator.EvaluateNext();
  auto* next = dynamic_cast<TQREvElementOperator*>(evaluator.PeekNext());
  if (!next) return ApplyOperator(m_op, left, evaluator.EvaluateNext());
  std::vector<std::pair<TQREvOperator, TQREvResult>> pending;
  pending.emplace_back(m_op, std::move(left));
  while (next) {
    evaluator.SkipNext();
    pending.emplace_back(next->m_op, evaluator.EvaluateNext());
    next = dynamic_cast<TQREvElementOperator*>(evaluator.PeekNext());
  }
  TQREvResult right = evaluator.EvaluateNext();
  for (auto it = pending.rbegin(); it != pending.rend(); ++it) {
    right = ApplyOperator(it->first, it->second, right);
  }
  return right;
}

TQREvResult TQREvElementNot::Value(TQREvaluator& evaluator) {
  return ApplyNot(evaluator.EvaluateNext());
}

TQREvResult TQREvElementWrapper::Value(TQREvaluator&) {
  const std::shared_ptr<TQREvEmbeddedFunction> function = m_function.lock();
  if (!function) return TQREvResult::Error("Unknown function : " + m_name);
  return function->Value();
}

}  // namespace vorelia::report
