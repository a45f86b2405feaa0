#include "report/core/qr_expr_environment.h"

#include <algorithm>
#include <utility>

#include "platform/code_page.h"
#include "report/core/qr_expr_locale.h"

namespace vorelia::report {

namespace {

// Clears a flag on every way out of the scope.
class BusyGuard {
 public:
  explicit BusyGuard(bool& flag) : m_flag(flag) { m_flag = true; }
  ~BusyGuard() { m_flag = false; }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;

 private:
  bool& m_flag;
};

std::string& ApplicationTitle() {
  static std::string title = "Vorelia 1.0a";
  return title;
}

std::string QuotedText(const std::string& text) { return "'" + text + "'"; }

}  // namespace

TQREvResult TQREvEmbeddedFunction::Value() {
  if (m_evaluating) return TQREvResult::Error("Recursive calls not allowed");
  if (!m_evaluator.Prepared()) return TQREvResult::Error("Evaluator not prepared");
  BusyGuard guard(m_evaluating);
  return m_evaluator.Value();
}

TQREvEnvironment::~TQREvEnvironment() { Clear(); }

void TQREvEnvironment::AddNamedValue(std::string_view name, std::string_view expression) {
  std::string upper = platform::AnsiUpper(name);
  if (Find(upper)) return;
  auto function = std::make_shared<TQREvEmbeddedFunction>(std::string(expression));
  m_entries.push_back({std::move(upper), function});
  if (Prepared()) CompileEntry(*function);
}

void TQREvEnvironment::RemoveNamedValue(std::string_view name) {
  const std::string upper = platform::AnsiUpper(name);
  const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                               [&](const Entry& entry) { return entry.Name == upper; });
  if (it == m_entries.end()) return;
  it->Function->Evaluator().Discard();
  m_entries.erase(it);
}

void TQREvEnvironment::Clear() {
  {
    BusyGuard guard(m_busy);
    for (Entry& entry : m_entries) entry.Function->Evaluator().Discard();
  }
  m_entries.clear();
}

std::vector<std::string> TQREvEnvironment::Strings() const {
  std::vector<std::string> names;
  for (const Entry& entry : m_entries) names.push_back(entry.Name);
  return names;
}

std::vector<std::string> TQREvEnvironment::Data() const {
  std::vector<std::string> texts;
  for (const Entry& entry : m_entries) texts.push_back(entry.Function->Expression());
  return texts;
}

void TQREvEnvironment::SetLists(const std::vector<std::string>& strings,
                                const std::vector<std::string>& data) {
  Clear();
  for (std::size_t i = 0; i < strings.size(); ++i) {
    AddNamedValue(strings[i], i < data.size() ? std::string_view(data[i]) : std::string_view());
  }
}

bool TQREvEnvironment::Compile() {
  if (m_busy) return false;
  if (m_prepareCount++ == 0) {
    BusyGuard guard(m_busy);
    for (Entry& entry : m_entries) CompileEntry(*entry.Function);
  }
  return true;
}

void TQREvEnvironment::Discard() {
  if (m_busy || m_prepareCount == 0) return;
  if (--m_prepareCount == 0) {
    BusyGuard guard(m_busy);
    for (Entry& entry : m_entries) entry.Function->Evaluator().Discard();
  }
}

void TQREvEnvironment::CompileEntry(TQREvEmbeddedFunction& function) {
  TQREvaluator& evaluator = function.Evaluator();
  evaluator.SetEnvironment(this);
  evaluator.SetDataSets(m_dataSets);
  evaluator.Compile(function.Expression());
}

std::shared_ptr<TQREvEmbeddedFunction> TQREvEnvironment::Find(std::string_view name) const {
  const std::string upper = platform::AnsiUpper(name);
  for (const Entry& entry : m_entries) {
    if (entry.Name == upper) return entry.Function;
  }
  return nullptr;
}

TQREvElement* TQREvEnvironment::FindNamedValue(std::string_view name) const {
  const std::shared_ptr<TQREvEmbeddedFunction> function = Find(name);
  return function ? function->Evaluator().FirstElement() : nullptr;
}

void TQREvEnvironment::SetNamedInteger(TQREvElement* element, std::int32_t value) {
  if (auto* constant = dynamic_cast<TQREvElementConstant*>(element)) {
    constant->SetResult(TQREvResult::Integer(value));
  }
}

void TQREvEnvironment::SetNamedString(TQREvElement* element, std::string_view text) {
  if (auto* constant = dynamic_cast<TQREvElementString*>(element)) constant->SetText(text);
}

void TQREvEnvironment::SetNamedValue(TQREvElement* element, const TQREvResult& result) {
  if (auto* constant = dynamic_cast<TQREvElementConstant*>(element)) {
    constant->SetResult(result);
  } else if (auto* text = dynamic_cast<TQREvElementString*>(element)) {
    if (result.Kind == TQREvResultType::resString) text->SetText(result.StrResult);
  }
}

TQREvResult TQREvEnvironment::Value(std::string_view name) {
  const std::shared_ptr<TQREvEmbeddedFunction> function = Find(name);
  if (!function) return TQREvResult::Error("Unknown function : " + std::string(name));
  return function->Value();
}

TQREvEnvironment& QRGlobalEnvironment() {
  // Never destroyed: evaluators in static objects may still unprepare it at exit.
  static TQREvEnvironment* global = [] {
    auto* environment = new TQREvEnvironment;
    const TQRExprLocale& locale = ExprLocale();
    environment->AddNamedValue("AppStartTime", QuotedText(locale.CurrentTimeText()));
    environment->AddNamedValue("AppStartDate", QuotedText(locale.CurrentDateText()));
    environment->AddNamedValue("AppName", QuotedText(ApplicationTitle()));
    return environment;
  }();
  return *global;
}

void SetQRApplicationTitle(std::string title) { ApplicationTitle() = std::move(title); }

}  // namespace vorelia::report
