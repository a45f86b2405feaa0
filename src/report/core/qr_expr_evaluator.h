#pragma once

// Report expressions: compiling a text such as "SUM([Tabela.VALOR]) * 2" into elements and
// evaluating them against the current record.
//
// How the report uses them:
//
//   // A run: the report's named values (TQREvEnvironment Functions) see the report's datasets.
//   report.Functions.SetDataSets({{"Tabela", &tabela}});
//   report.Functions.Compile();                       // prepares the global values as well
//   TQREvElement* page = report.Functions.FindNamedValue("PAGENUMBER");
//   TQREvEnvironment::SetNamedInteger(page, pageCount);          // whenever it changes
//   TQREvEnvironment::SetNamedString(report.Functions.FindNamedValue("REPORTTITLE"), title);
//   ...
//   report.Functions.Discard();                       // at the end of the run
//
//   // An expression label (TQRExpr) or a group expression:
//   TQREvaluator evaluator(&report.Functions, {{"Tabela", &tabela}});
//   evaluator.Compile(expression);                    // never throws; faults become errors
//   per detail record:   if (evaluator.HasAggregates()) evaluator.AccumulateAggregates();
//   when printing:       TQREvResult r = evaluator.Value();
//                        text = r.IsError() ? ... : mask.empty() ? ResultText(r)
//                             : FormatFloat(mask, r.AsDouble()) for numeric results;
//                        if (ResetAfterPrint) evaluator.Reset();
//   group change:        !SameResult(previous, evaluator.Value())
//   evaluator.Discard(); // or let it go out of scope
//
// A report that refers to its expressions by text rather than holding evaluators can use
// TQRExprEngine (qr_expr_engine.h), which keeps one evaluator per printable and expression for
// a run and offers Text (with the mask), Key (for group changes), Accumulate, Reset and
// NamedValueChanged.
//
// The Qt layer sets the regional facts once at start-up: SetExprLocale (qr_expr_locale.h)
// with the desktop's decimal separator and date and time formats, and SetQRApplicationTitle
// (qr_expr_environment.h) with the application title.
//
// Compile never fails and Value never throws for a prepared evaluator: every problem is an
// error result (TQREvResult::IsError, message in StrResult). Only ResultText on an error
// result, and Value on an evaluator that was never compiled, raise EQRError.
//
// Threads: evaluators, environments and the global environment are used by one thread at a
// time (a report run).

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "report/core/qr_expr_element.h"
#include "report/core/qr_expr_result.h"

namespace vorelia::data {
class TDataSet;
}

namespace vorelia::report {

class TQREvEnvironment;

// A dataset whose fields expressions may name, with the component name that "[Name.FIELD]"
// refers to (matched ignoring letter case).
struct TQRExprDataSet {
  std::string Name;
  data::TDataSet* DataSet = nullptr;
};
using TQRDataSetList = std::vector<TQRExprDataSet>;

// Deepest nesting of brackets, parentheses, function argument lists and signs that an
// expression may have; deeper parts compile to the error kNestingError. Keeps recursion
// within a small, fixed stack budget whatever the text.
inline constexpr int kMaxExpressionNesting = 100;
inline constexpr std::string_view kNestingError = "Expression nested too deeply";

// Compiles one expression text into elements and evaluates it. The environment (named values)
// and the datasets are observed, not owned; both must outlive the compiled expression.
class TQREvaluator {
 public:
  TQREvaluator() = default;
  explicit TQREvaluator(TQREvEnvironment* environment, TQRDataSetList dataSets = {})
      : m_environment(environment), m_dataSets(std::move(dataSets)) {}
  ~TQREvaluator();
  TQREvaluator(const TQREvaluator&) = delete;
  TQREvaluator& operator=(const TQREvaluator&) = delete;

  // Takes effect at the next Compile.
  void SetEnvironment(TQREvEnvironment* environment) { m_environment = environment; }
  TQREvEnvironment* Environment() const { return m_environment; }
  void SetDataSets(TQRDataSetList dataSets) { m_dataSets = std::move(dataSets); }
  const TQRDataSetList& DataSets() const { return m_dataSets; }

  // Compiles the text (an empty text as "' '") after discarding a previous compilation, and
  // prepares the global environment.
  void Compile(std::string_view text);
  // Evaluates once. Raises EQRError "Evaluator not prepared" before Compile or after Discard.
  [[nodiscard]] TQREvResult Value();
  // Drops the elements and unprepares the global environment.
  void Discard();
  // Starts every aggregate again.
  void Reset();
  // Evaluates once in aggregate mode: aggregates take in the current values.
  void AccumulateAggregates();
  [[nodiscard]] bool HasAggregates() const;
  [[nodiscard]] bool Prepared() const { return m_prepared; }

  // The first compiled element (the root), or nullptr.
  TQREvElement* FirstElement() const { return m_list.Count() ? m_list.At(0) : nullptr; }

  // For elements while they compute: the value of the element at the read position (moving
  // past it and its operands), and a look at that element. Past the end: an error result.
  TQREvResult EvaluateNext();
  TQREvElement* PeekNext() const { return m_list.Peek(); }
  void SkipNext() { m_list.Get(); }
  bool AggregateMode() const { return m_aggregateMode; }

 private:
  class Compiler;

  TQREvEnvironment* m_environment = nullptr;
  TQRDataSetList m_dataSets;
  TQRFiFo m_list;
  bool m_prepared = false;
  // Whether Compile's preparation of the global environment counted (it does not for the
  // global environment's own entries, compiled while it prepares itself).
  bool m_globalCounted = false;
  bool m_aggregateMode = false;
};

}  // namespace vorelia::report
