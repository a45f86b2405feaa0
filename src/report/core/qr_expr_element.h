#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "report/core/qr_expr_result.h"

namespace vorelia::report {

class TQREvaluator;
class TQREvEmbeddedFunction;

// One element of a compiled expression. Elements sit in prefix order in their evaluator's
// list; an element that needs operands reads them from the elements after it, through the
// evaluator, while it computes its value.
class TQREvElement {
 public:
  virtual ~TQREvElement() = default;
  virtual TQREvResult Value(TQREvaluator& evaluator) = 0;
  // Starts running state (aggregates) again.
  virtual void Reset() {}
  virtual bool IsAggregate() const { return false; }
  virtual bool IsArgumentEnd() const { return false; }
};

// Operator codes, in their stored order.
enum class TQREvOperator : std::uint8_t {
  opLess = 0,
  opLessOrEqual = 1,
  opGreater = 2,
  opGreaterOrEqual = 3,
  opEqual = 4,
  opUnequal = 5,
  opPlus = 6,
  opMinus = 7,
  opOr = 8,
  opMul = 9,
  opDiv = 10,
  opAnd = 11,
};

// Applies a two-operand operator: errors pass through (the left one first), an integer meets a
// float as a float, any other mixture of kinds compares or joins the text forms.
TQREvResult ApplyOperator(TQREvOperator op, const TQREvResult& left, const TQREvResult& right);

// Logical negation of a boolean; other kinds are an error, errors pass through.
TQREvResult ApplyNot(const TQREvResult& operand);

// Two operands follow: the left one, then the right one.
class TQREvElementOperator : public TQREvElement {
 public:
  explicit TQREvElementOperator(TQREvOperator op) : m_op(op) {}
  TQREvOperator Operator() const { return m_op; }
  TQREvResult Value(TQREvaluator& evaluator) override;

 private:
  TQREvOperator m_op;
};

// `not` before a factor: one operand follows.
class TQREvElementNot : public TQREvElement {
 public:
  TQREvResult Value(TQREvaluator& evaluator) override;
};

// A stored result: numeric constants, and the named values the report keeps current.
class TQREvElementConstant : public TQREvElement {
 public:
  explicit TQREvElementConstant(TQREvResult result) : m_result(std::move(result)) {}
  TQREvResult Value(TQREvaluator&) override { return m_result; }
  const TQREvResult& Result() const { return m_result; }
  void SetResult(TQREvResult result) { m_result = std::move(result); }

 private:
  TQREvResult m_result;
};

// A quoted text.
class TQREvElementString : public TQREvElement {
 public:
  explicit TQREvElementString(std::string_view text) : m_text(TQREvResult::String(text)) {}
  TQREvResult Value(TQREvaluator&) override { return m_text; }
  const std::string& Text() const { return m_text.StrResult; }
  void SetText(std::string_view text) { m_text = TQREvResult::String(text); }

 private:
  TQREvResult m_text;
};

// Closes the argument list of the function element before it.
class TQREvElementArgumentEnd : public TQREvElement {
 public:
  TQREvResult Value(TQREvaluator&) override { return TQREvResult::Error("Missing argument"); }
  bool IsArgumentEnd() const override { return true; }
};

// Whatever could not be compiled: evaluates to an error result with the message.
class TQREvElementError : public TQREvElement {
 public:
  explicit TQREvElementError(std::string_view message) : m_message(message) {}
  TQREvResult Value(TQREvaluator&) override { return TQREvResult::Error(m_message); }
  const std::string& Message() const { return m_message; }

 private:
  std::string m_message;
};

// Refers to a named value. It does not keep the named value alive: once the environment has
// dropped the entry, the wrapper evaluates to "Unknown function : <name>".
class TQREvElementWrapper : public TQREvElement {
 public:
  TQREvElementWrapper(std::weak_ptr<TQREvEmbeddedFunction> function, std::string_view name)
      : m_function(std::move(function)), m_name(name) {}
  TQREvResult Value(TQREvaluator& evaluator) override;

 private:
  std::weak_ptr<TQREvEmbeddedFunction> m_function;
  std::string m_name;
};

// The compiled elements of one expression with a read position. Owns its elements.
class TQRFiFo {
 public:
  void Put(std::unique_ptr<TQREvElement> element) { m_elements.push_back(std::move(element)); }
  void Clear() {
    m_elements.clear();
    m_position = 0;
  }
  void Start() { m_position = 0; }
  // The element at the read position, or nullptr at the end; Get also moves past it.
  TQREvElement* Peek() const {
    return m_position < m_elements.size() ? m_elements[m_position].get() : nullptr;
  }
  TQREvElement* Get() {
    TQREvElement* element = Peek();
    if (element) ++m_position;
    return element;
  }
  std::size_t Count() const { return m_elements.size(); }
  TQREvElement* At(std::size_t index) const { return m_elements.at(index).get(); }

 private:
  std::vector<std::unique_ptr<TQREvElement>> m_elements;
  std::size_t m_position = 0;
};

}  // namespace vorelia::report
