#include "report/qr_expr.h"

#include "report/qr_controller.h"
#include "report/qr_custom_report.h"
#include "report/qr_expression_engine.h"

namespace vorelia::report {

void TQRExpr::SetExpression(std::string expression) {
  m_expression = std::move(expression);
  SetCaption(m_expression);
}

namespace {

TQRExpressionEngine* EngineOf(const TQRPrintable& printable) {
  TQRCustomReport* report = printable.ParentReport();
  return report ? report->ExpressionEngine() : nullptr;
}

}  // namespace

void TQRExpr::Prepare() {
  TQRCustomLabel::Prepare();
  if (TQRCustomReport* report = ParentReport()) {
    (Master ? *Master : report->Controller()).RegisterPrintable(this);
  }
}

void TQRExpr::DetailAdvanced() {
  if (TQRExpressionEngine* engine = EngineOf(*this)) engine->Accumulate(this, m_expression);
}

void TQRExpr::Unprepare() {
  TQRCustomLabel::Unprepare();
  SetCaption(m_expression);
}

void TQRExpr::GetPrintText() {
  TQRExpressionEngine* engine = EngineOf(*this);
  if (!engine) {
    SetPrintText(std::string());
    return;
  }
  SetPrintText(engine->OwnerText(this, m_expression, Mask));
  if (ResetAfterPrint) engine->Reset(this, m_expression);
}

}  // namespace vorelia::report
