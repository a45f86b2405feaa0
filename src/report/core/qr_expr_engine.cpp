#include "report/core/qr_expr_engine.h"

#include <charconv>
#include <cstdio>
#include <optional>

#include "report/core/qr_error.h"
#include "report/core/qr_expr_format.h"

namespace vorelia::report {

void TQRExprEngine::Prepare(const TNamedValues& functions, TQRDataSetList dataSets) {
  Unprepare();
  std::vector<std::string> names;
  std::vector<std::string> texts;
  for (const auto& [name, text] : functions) {
    names.push_back(name);
    texts.push_back(text);
  }
  m_functions.SetLists(names, texts);
  m_functions.SetDataSets(dataSets);
  m_dataSets = std::move(dataSets);
  m_functions.Compile();
  m_prepared = true;
}

void TQRExprEngine::Unprepare() {
  m_evaluators.clear();
  if (!m_prepared) return;
  m_prepared = false;
  m_functions.Discard();
}

TQREvaluator& TQRExprEngine::Evaluator(const void* owner, std::string_view expression) {
  auto key = std::make_pair(owner, std::string(expression));
  auto it = m_evaluators.find(key);
  if (it == m_evaluators.end()) {
    auto evaluator = std::make_unique<TQREvaluator>(&m_functions, m_dataSets);
    evaluator->Compile(expression);
    it = m_evaluators.emplace(std::move(key), std::move(evaluator)).first;
  }
  return *it->second;
}

TQREvResult TQRExprEngine::Value(const void* owner, std::string_view expression) {
  return Evaluator(owner, expression).Value();
}

std::string TQRExprEngine::Text(const void* owner, std::string_view expression,
                                std::string_view mask) {
  const TQREvResult result = Value(owner, expression);
  if (!mask.empty() && result.IsNumeric()) {
    if (std::optional<std::string> text = FormatFloat(mask, result.AsDouble())) return *text;
  }
  return ResultText(result);
}

std::string TQRExprEngine::Key(const void* owner, std::string_view expression) {
  const TQREvResult result = Value(owner, expression);
  std::string key(1, static_cast<char>('0' + static_cast<int>(result.Kind)));
  key += ':';
  switch (result.Kind) {
    case TQREvResultType::resInt:
      key += std::to_string(result.IntResult);
      break;
    case TQREvResultType::resDouble: {
      char text[40];
      std::snprintf(text, sizeof text, "%.17g", result.DblResult);
      key += text;
      break;
    }
    case TQREvResultType::resBool:
      key += result.BooResult ? '1' : '0';
      break;
    default:
      key += result.StrResult;
      break;
  }
  return key;
}

void TQRExprEngine::Accumulate(const void* owner, std::string_view expression) {
  TQREvaluator& evaluator = Evaluator(owner, expression);
  if (evaluator.HasAggregates()) evaluator.AccumulateAggregates();
}

void TQRExprEngine::Reset(const void* owner, std::string_view expression) {
  Evaluator(owner, expression).Reset();
}

void TQRExprEngine::NamedValueChanged(std::string_view name, std::string_view value) {
  TQREvElement* element = m_functions.FindNamedValue(name);
  if (!element) return;
  if (dynamic_cast<TQREvElementConstant*>(element)) {
    std::int32_t number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error == std::errc() && end == value.data() + value.size() && !value.empty()) {
      TQREvEnvironment::SetNamedInteger(element, number);
    } else {
      TQREvEnvironment::SetNamedValue(element, TQREvResult::String(value));
    }
  } else {
    TQREvEnvironment::SetNamedString(element, value);
  }
}

}  // namespace vorelia::report
