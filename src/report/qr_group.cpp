#include "report/qr_group.h"

#include "report/qr_custom_report.h"
#include "report/qr_expression_engine.h"

namespace vorelia::report {

void TQRGroup::SetFooterBand(TQRCustomBand* footer) {
  m_footer = footer;
  if (footer) footer->SetBandType(TQRBandType::rbGroupFooter);
  if (ParentReport()) ParentReport()->RebuildBandList();
}

bool TQRGroup::Evaluate() {
  TQRCustomReport* report = ParentReport();
  TQRExpressionEngine* engine = report ? report->ExpressionEngine() : nullptr;
  std::string value = engine ? engine->Key(Expression) : std::string();
  const bool changed = !m_lastValue || *m_lastValue != value;
  m_lastValue = std::move(value);
  return changed;
}

}  // namespace vorelia::report
