#include "report/qr_expr.h"

#include "report/qr_custom_report.h"
#include "report/qr_expression_engine.h"

namespace vorelia::report {

void TQRExpr::SetExpression(std::string expression) {
  m_expression = std::move(expression);
  SetCaption(m_expression);
}

void TQRExpr::Unprepare() {
  TQRCustomLabel::Unprepare();
  SetCaption(m_expression);
}

void TQRExpr::GetPrintText() {
  TQRCustomReport* report = ParentReport();
  TQRExpressionEngine* engine = report ? report->ExpressionEngine() : nullptr;
  SetPrintText(engine ? engine->Text(m_expression, Mask) : std::string());
}

}  // namespace vorelia::report
