#pragma once

#include <string>
#include <string_view>

#include "report/core/qr_expr_engine.h"
#include "report/qr_expression_engine.h"

namespace vorelia::report {

// The report's default expression engine: compiled evaluators over the report's named values
// (Functions) and the datasets of the report and its sub-details, kept for one run.
class TQRExpressionAdapter : public TQRExpressionEngine {
 public:
  void Prepare(TQRCustomReport& report) override;
  void Unprepare() override;
  std::string Text(std::string_view expression, std::string_view mask) override;
  std::string Key(std::string_view expression) override;
  std::string OwnerText(const void* owner, std::string_view expression,
                        std::string_view mask) override;
  void Accumulate(const void* owner, std::string_view expression) override;
  void Reset(const void* owner, std::string_view expression) override;
  void NamedValueChanged(std::string_view name, std::string_view value) override;

 private:
  TQRExprEngine m_engine;
};

}  // namespace vorelia::report
