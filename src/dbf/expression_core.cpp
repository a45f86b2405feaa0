#include "dbf/expression_core.h"

#include <cctype>
#include <charconv>
#include <limits>

#include "platform/code_page.h"

namespace vorelia::dbf {

struct TCustomExpressionParser::TToken {
  enum Kind : uint8_t { tkName, tkNumber, tkString, tkSymbol, tkOpen, tkClose, tkComma } kind;
  std::string text;
  const TExprWord* word = nullptr;  // operators and function names
  size_t match = 0;                 // brackets: the index of the partner bracket

  bool IsConstant() const { return kind == tkNumber || kind == tkString; }
  bool IsVariable() const { return kind == tkName && word == nullptr; }
  bool IsFunction() const { return word != nullptr && word->kind == TWordKind::wkFunction; }
  bool IsOperator() const { return word != nullptr && word->kind != TWordKind::wkFunction; }
};

struct TCustomExpressionParser::TNode {
  enum Kind : uint8_t { nkConstant, nkVariable, nkCall };
  explicit TNode(Kind k) : kind(k) {}
  Kind kind;
  TExpressionType type = TExpressionType::etUnknown;
  TExprValue constant;
  int variable = -1;
  const TWordSignature* signature = nullptr;
  std::vector<int> args;
};

struct TCustomExpressionParser::TStep {
  const TExprVariable* variable;
  TEvalFunction eval;
  int result;
  int argStart;
};

namespace {

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

size_t SymbolLength(std::string_view text, size_t i) {
  if (i + 1 >= text.size()) return 1;
  const char c = text[i];
  const char n = text[i + 1];
  if ((c == '!' || c == ':' || c == '=' || c == '<' || c == '>') && n == '=') return 2;
  if ((c == '<' || c == '>' || c == '=') && (n == '<' || n == '>')) return 2;
  if ((c == '&' && n == '&') || (c == '|' && n == '|')) return 2;
  return 1;
}

}  // namespace

TCustomExpressionParser::TCustomExpressionParser() = default;
TCustomExpressionParser::~TCustomExpressionParser() = default;

std::string TCustomExpressionParser::UnknownNameMessage(const std::string& name) const {
  return UnknownVariableMessage(name);
}

std::vector<TCustomExpressionParser::TToken> TCustomExpressionParser::Tokenise(
    std::string_view text) const {
  std::vector<TToken> tokens;
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      ++i;
    } else if (IsNameStart(c)) {
      size_t j = i + 1;
      while (j < text.size() && IsNameChar(text[j])) ++j;
      TToken t{TToken::tkName, std::string(text.substr(i, j - i))};
      t.word = FindWord(platform::AnsiUpper(t.text));
      tokens.push_back(std::move(t));
      i = j;
    } else if (IsDigit(c) || c == '.') {
      size_t j = i + 1;
      while (j < text.size() && (IsDigit(text[j]) || text[j] == '.')) ++j;
      tokens.push_back({TToken::tkNumber, std::string(text.substr(i, j - i))});
      i = j;
    } else if (c == '\'' || c == '"') {
      const size_t end = text.find(c, i + 1);
      if (end == std::string_view::npos) throw EParserException(kMsgUnterminatedString);
      tokens.push_back({TToken::tkString, std::string(text.substr(i + 1, end - i - 1))});
      i = end + 1;
    } else if (c == '(' || c == ')' || c == ',') {
      tokens.push_back({c == '(' ? TToken::tkOpen : c == ')' ? TToken::tkClose : TToken::tkComma,
                        std::string(1, c)});
      ++i;
    } else {
      const size_t length = SymbolLength(text, i);
      TToken t{TToken::tkSymbol, std::string(text.substr(i, length))};
      t.word = FindWord(t.text);
      if (t.word == nullptr) throw EParserException(UnknownVariableMessage(t.text));
      tokens.push_back(std::move(t));
      i += length;
    }
  }
  return tokens;
}

void TCustomExpressionParser::CheckTokens(const std::vector<TToken>& tokens) {
  std::vector<size_t> open;
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].kind == TToken::tkOpen) open.push_back(i);
    if (tokens[i].kind == TToken::tkClose) {
      if (open.empty()) throw EParserException(kMsgUnequalBrackets);
      const_cast<TToken&>(tokens[i]).match = open.back();
      const_cast<TToken&>(tokens[open.back()]).match = i;
      open.pop_back();
    }
  }
  if (!open.empty()) throw EParserException(kMsgMissingClosingBracket);

  for (size_t i = 0; i + 1 < tokens.size(); ++i) {
    const TToken& a = tokens[i];
    const TToken& b = tokens[i + 1];
    const bool bOperand = b.IsConstant() || b.IsVariable() || b.IsFunction();
    if (a.kind == TToken::tkClose && b.kind == TToken::tkOpen)
      throw EParserException(kMsgMissingOperatorBrackets);
    if (a.kind == TToken::tkClose && bOperand)
      throw EParserException(kMsgMissingOperatorAfterBracket);
    if (a.IsConstant() && b.kind == TToken::tkOpen)
      throw EParserException(kMsgMissingOperatorBeforeBracket);
    if (a.IsVariable() && b.kind == TToken::tkOpen) throw EParserException(kMsgNoFunction);
    if ((a.IsConstant() || a.IsVariable()) && bOperand)
      throw EParserException(MissingOperatorMessage(a.text, b.text));
  }
}

int TCustomExpressionParser::AddNode(TNode node) {
  m_nodes.push_back(std::move(node));
  return static_cast<int>(m_nodes.size()) - 1;
}

namespace {

const TWordSignature* MatchSignature(const TExprWord& word, const std::string& letters) {
  for (const TWordSignature& s : word.signatures) {
    if (s.args == letters) return &s;
  }
  return nullptr;
}

}  // namespace

int TCustomExpressionParser::Build(const std::vector<TToken>& tokens, size_t first, size_t last) {
  if (first > last || last >= tokens.size()) throw EParserException(kMsgOperatorMissing);
  while (tokens[first].kind == TToken::tkOpen && tokens[first].match == last) {
    ++first;
    --last;
    if (first > last) throw EParserException(kMsgOperatorMissing);
  }

  size_t best = tokens.size();
  int bestPriority = -1;
  int depth = 0;
  for (size_t i = first; i <= last; ++i) {
    const TToken& t = tokens[i];
    if (t.kind == TToken::tkOpen) ++depth;
    else if (t.kind == TToken::tkClose) --depth;
    else if (depth == 0 && t.IsOperator()) {
      const bool prefix = t.word->kind == TWordKind::wkPrefixOperator;
      if (prefix && i != first) continue;
      // Among equal priorities the rightmost binary operator is the root, so chains
      // evaluate from the left.
      if (t.word->priority > bestPriority || (t.word->priority == bestPriority && !prefix)) {
        best = i;
        bestPriority = t.word->priority;
      }
    }
  }
  if (best == tokens.size()) return BuildOperand(tokens, first, last);

  const TExprWord& word = *tokens[best].word;
  TNode node(TNode::nkCall);
  if (word.kind == TWordKind::wkBinaryOperator) {
    if (best == first || best == last) throw EParserException(kMsgTooFewArguments);
    node.args.push_back(Build(tokens, first, best - 1));
  } else if (best == last) {
    throw EParserException(kMsgTooFewArguments);
  }
  node.args.push_back(Build(tokens, best + 1, last));
  std::string letters;
  for (int arg : node.args) letters += TypeLetter(m_nodes[arg].type);
  node.signature = MatchSignature(word, letters);
  if (node.signature == nullptr) throw EParserException(kMsgTypeMismatch);
  node.type = node.signature->result;
  return AddNode(std::move(node));
}

int TCustomExpressionParser::BuildOperand(const std::vector<TToken>& tokens, size_t first,
                                          size_t last) {
  const TToken& t = tokens[first];
  if (first == last) {
    TNode node(TNode::nkConstant);
    if (t.kind == TToken::tkString) {
      node.constant.type = node.type = TExpressionType::etString;
      node.constant.text = t.text;
      return AddNode(std::move(node));
    }
    if (t.kind == TToken::tkNumber) {
      const char* begin = t.text.data();
      const char* end = begin + t.text.size();
      int64_t integer = 0;
      double floating = 0;
      const bool hasPoint = t.text.find('.') != std::string::npos;
      auto rc = std::from_chars(begin, end, integer);
      if (!hasPoint && rc.ec == std::errc() && rc.ptr == end) {
        const bool fits = integer <= std::numeric_limits<int32_t>::max();
        node.constant.type = node.type =
            fits ? TExpressionType::etInteger : TExpressionType::etLargeInt;
        node.constant.integer = integer;
        return AddNode(std::move(node));
      }
      auto rf = std::from_chars(begin, end, floating);
      if (rf.ec != std::errc() || rf.ptr != end)
        throw EParserException(UnknownVariableMessage(t.text));
      node.constant.type = node.type = TExpressionType::etFloat;
      node.constant.floating = floating;
      return AddNode(std::move(node));
    }
    if (t.IsFunction()) throw EParserException(kMsgTooFewArguments);
    if (t.IsVariable()) {
      std::unique_ptr<TExprVariable> variable = ResolveVariable(platform::AnsiUpper(t.text));
      if (!variable) throw EParserException(UnknownNameMessage(t.text));
      node.kind = TNode::nkVariable;
      node.type = variable->Type();
      node.variable = static_cast<int>(m_variables.size());
      m_variables.push_back(std::move(variable));
      return AddNode(std::move(node));
    }
    throw EParserException(kMsgOperatorMissing);
  }

  if (t.IsFunction() && tokens[first + 1].kind == TToken::tkOpen &&
      tokens[first + 1].match == last) {
    TNode node(TNode::nkCall);
    const size_t open = first + 1;
    if (last > open + 1) {
      size_t start = open + 1;
      int depth = 0;
      for (size_t i = open + 1; i <= last; ++i) {
        const TToken& a = tokens[i];
        if (a.kind == TToken::tkOpen) ++depth;
        if (a.kind == TToken::tkClose && i != last) --depth;
        if ((a.kind == TToken::tkComma && depth == 0) || i == last) {
          if (i == start) throw EParserException(kMsgOperatorMissing);
          node.args.push_back(Build(tokens, start, i - 1));
          start = i + 1;
        }
      }
    }
    const int count = static_cast<int>(node.args.size());
    if (count < t.word->minArgs) throw EParserException(kMsgTooFewArguments);
    if (count > t.word->maxArgs) throw EParserException(kMsgTooManyArguments);
    std::string letters;
    for (int arg : node.args) letters += TypeLetter(m_nodes[arg].type);
    node.signature = MatchSignature(*t.word, letters);
    if (node.signature == nullptr) throw EParserException(kMsgTypeMismatch);
    node.type = node.signature->result;
    return AddNode(std::move(node));
  }
  if (t.kind == TToken::tkComma || tokens[first + 1].kind == TToken::tkComma)
    throw EParserException(kMsgTooManyArguments);
  throw EParserException(MissingOperatorMessage(t.text, tokens[first + 1].text));
}

void TCustomExpressionParser::Flatten(int index) {
  TNode& node = m_nodes[index];
  for (int arg : node.args) Flatten(arg);
  if (node.kind == TNode::nkConstant) {
    m_values[index] = node.constant;
    return;
  }
  TStep step{nullptr, nullptr, index, static_cast<int>(m_argPointers.size())};
  if (node.kind == TNode::nkVariable) step.variable = m_variables[node.variable].get();
  else step.eval = node.signature->eval;
  for (int arg : node.args) m_argPointers.push_back(&m_values[arg]);
  m_steps.push_back(step);
}

void TCustomExpressionParser::ParseExpression(std::string_view text) {
  m_nodes.clear();
  m_variables.clear();
  m_steps.clear();
  m_values.clear();
  m_argPointers.clear();
  m_root = -1;
  m_expression.assign(text);

  std::vector<TToken> tokens = Tokenise(text);
  if (tokens.empty()) throw EParserException(kMsgOperatorMissing);
  CheckTokens(tokens);
  const int root = Build(tokens, 0, tokens.size() - 1);
  m_values.resize(m_nodes.size());
  Flatten(root);
  m_root = root;
}

TExpressionType TCustomExpressionParser::ResultType() const {
  return m_root < 0 ? TExpressionType::etUnknown : m_nodes[m_root].type;
}

const TExprVariable* TCustomExpressionParser::SingleVariable() const {
  if (m_root < 0 || m_nodes[m_root].kind != TNode::nkVariable) return nullptr;
  return m_variables[m_nodes[m_root].variable].get();
}

const TExprValue& TCustomExpressionParser::Evaluate(const uint8_t* record) {
  static const TExprValue kNone;
  if (m_root < 0) return kNone;
  for (const TStep& step : m_steps) {
    if (step.variable) step.variable->Read(record, m_values[step.result]);
    else step.eval(m_context, &m_argPointers[step.argStart], m_values[step.result]);
  }
  return m_values[m_root];
}

}  // namespace vorelia::dbf
