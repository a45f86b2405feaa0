#pragma once

#include <string>
#include <string_view>

namespace vorelia::report {

class TQRCustomReport;

// What the report needs from an expression evaluator: the printed text of an expression
// printable, a comparable value for group changes, and the named values kept current during a
// run. A report without one prints expressions as empty text and never changes groups.
class TQRExpressionEngine {
 public:
  virtual ~TQRExpressionEngine() = default;

  // Start and end of a run.
  virtual void Prepare(TQRCustomReport& /*report*/) {}
  virtual void Unprepare() {}
  // The expression's value on the current record, formatted with mask (may be empty).
  virtual std::string Text(std::string_view expression, std::string_view mask) = 0;
  // A value that differs exactly when the expression's type or value differs.
  virtual std::string Key(std::string_view expression) = 0;
  // The same for an expression printable (owner): aggregates run per printable, accumulating
  // once per detail record and starting over on Reset.
  virtual std::string OwnerText(const void* /*owner*/, std::string_view expression,
                                std::string_view mask) {
    return Text(expression, mask);
  }
  virtual void Accumulate(const void* /*owner*/, std::string_view /*expression*/) {}
  virtual void Reset(const void* /*owner*/, std::string_view /*expression*/) {}
  // A named value (PAGENUMBER, COLUMNNUMBER, REPORTTITLE) changed.
  virtual void NamedValueChanged(std::string_view /*name*/, std::string_view /*value*/) {}
};

}  // namespace vorelia::report
