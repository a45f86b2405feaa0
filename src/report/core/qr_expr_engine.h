#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "report/core/qr_expr_environment.h"
#include "report/core/qr_expr_evaluator.h"

namespace vorelia::report {

// The expressions of one report run, for a report that knows its expressions by text: the
// report's named values, and one compiled evaluator per expression and owner (an expression
// label or a group), compiled on first use and kept until the run ends so that aggregates run
// across records.
//
//   engine.Prepare({{"PAGENUMBER", "0"}, ...}, {{"Tabela", &tabela}});   // run starts
//   engine.NamedValueChanged("PAGENUMBER", "2");
//   engine.Accumulate(label, "SUM(VALOR)");      // each time the label's detail advances
//   engine.Text(label, "SUM(VALOR)", "#,##0.00");  // when the label prints
//   engine.Reset(label, "SUM(VALOR)");           // after printing, with ResetAfterPrint
//   engine.Key(group, "UF")                      // differs exactly when the value differs
//   engine.Unprepare();                          // run ends
class TQRExprEngine {
 public:
  using TNamedValues = std::vector<std::pair<std::string, std::string>>;

  TQRExprEngine() = default;
  ~TQRExprEngine() { Unprepare(); }
  TQRExprEngine(const TQRExprEngine&) = delete;
  TQRExprEngine& operator=(const TQRExprEngine&) = delete;

  void Prepare(const TNamedValues& functions, TQRDataSetList dataSets);
  void Unprepare();
  bool Prepared() const { return m_prepared; }

  // The printed text of the expression on the current record: a numeric value with a mask is
  // formatted by it (FormatFloat), any other value prints its text form. An error value raises
  // EQRError "Error in expression : <message>".
  std::string Text(const void* owner, std::string_view expression, std::string_view mask);
  // Kind and value as one string: equal exactly when kind and value are equal.
  std::string Key(const void* owner, std::string_view expression);
  // The value itself.
  TQREvResult Value(const void* owner, std::string_view expression);
  void Accumulate(const void* owner, std::string_view expression);
  void Reset(const void* owner, std::string_view expression);

  // Keeps a named value current: a numeric constant takes an integer text as an integer and
  // any other text as a string; a text constant takes the text.
  void NamedValueChanged(std::string_view name, std::string_view value);

  TQREvEnvironment& Functions() { return m_functions; }

 private:
  TQREvaluator& Evaluator(const void* owner, std::string_view expression);

  TQREvEnvironment m_functions;
  TQRDataSetList m_dataSets;
  std::map<std::pair<const void*, std::string>, std::unique_ptr<TQREvaluator>> m_evaluators;
  bool m_prepared = false;
};

}  // namespace vorelia::report
