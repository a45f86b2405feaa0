#pragma once

#include <string>

#include "report/qr_custom_label.h"

namespace vorelia::report {

class TQRController;

// Prints the value of an expression on the current record, through the report's expression
// engine. Aggregates (SUM, COUNT...) take in each record of the detail it follows.
class TQRExpr : public TQRCustomLabel {
 public:
  explicit TQRExpr(std::string name) : TQRCustomLabel(std::move(name)) {}

  const std::string& Expression() const { return m_expression; }
  void SetExpression(std::string expression);
  std::string Mask;
  // The controller whose records the expression follows; null means the report's.
  TQRController* Master = nullptr;
  bool ResetAfterPrint = false;

  void Prepare() override;
  void Unprepare() override;
  // Aggregates take in one more record.
  void DetailAdvanced() override;

 protected:
  void GetPrintText() override;

 private:
  std::string m_expression;
};

}  // namespace vorelia::report
