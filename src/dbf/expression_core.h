#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dbf/expression_definitions.h"
#include "dbf/expression_support.h"

namespace vorelia::dbf {

// A variable of an expression: reads its value from the current record.
class TExprVariable {
 public:
  virtual ~TExprVariable() = default;
  virtual TExpressionType Type() const = 0;
  virtual void Read(const uint8_t* record, TExprValue& value) const = 0;
};

// Parses an expression text into a tree of words, types it by the words' signatures and
// flattens it into a list of calls evaluated in order on each record. Variables come from the
// derived parser (fields of a table).
class TCustomExpressionParser {
 public:
  TCustomExpressionParser();
  virtual ~TCustomExpressionParser();
  TCustomExpressionParser(const TCustomExpressionParser&) = delete;
  TCustomExpressionParser& operator=(const TCustomExpressionParser&) = delete;

  // Raises EParserException (or what the variable lookup raises).
  void ParseExpression(std::string_view text);
  const std::string& Expression() const { return m_expression; }
  TExpressionType ResultType() const;

  // Evaluates on a record; the result lives until the next evaluation.
  const TExprValue& Evaluate(const uint8_t* record);

  // String comparison switches (defaults: case-insensitive on, partial match off).
  void SetCaseInsensitive(bool value) { m_context.caseInsensitive = value; }
  bool CaseInsensitive() const { return m_context.caseInsensitive; }
  void SetPartialMatch(bool value) { m_context.partialMatch = value; }
  bool PartialMatch() const { return m_context.partialMatch; }

  // The variable when the whole expression is one, else null.
  const TExprVariable* SingleVariable() const;

 protected:
  // The variable for a name (upper case), or null when the name is unknown.
  virtual std::unique_ptr<TExprVariable> ResolveVariable(const std::string& upperName) = 0;
  // Raised for a name that is neither a word nor a variable.
  virtual std::string UnknownNameMessage(const std::string& name) const;

 private:
  struct TToken;
  struct TNode;
  struct TStep;

  std::vector<TToken> Tokenise(std::string_view text) const;
  void CheckTokens(const std::vector<TToken>& tokens);
  int Build(const std::vector<TToken>& tokens, size_t first, size_t last);
  int BuildOperand(const std::vector<TToken>& tokens, size_t first, size_t last);
  int AddNode(TNode node);
  void Flatten(int node);

  std::string m_expression;
  std::vector<TNode> m_nodes;
  std::vector<std::unique_ptr<TExprVariable>> m_variables;
  std::vector<TStep> m_steps;
  std::vector<TExprValue> m_values;
  std::vector<const TExprValue*> m_argPointers;
  int m_root = -1;
  TEvalContext m_context;
};

}  // namespace vorelia::dbf
