#include "report/qr_expression_adapter.h"

#include <utility>

#include "report/qr_custom_report.h"
#include "report/qr_sub_detail.h"

namespace vorelia::report {

void TQRExpressionAdapter::Prepare(TQRCustomReport& report) {
  TQRExprEngine::TNamedValues functions;
  for (const TQRNamedValue& entry : report.Functions) {
    functions.emplace_back(entry.Name, entry.Expression);
  }
  // A field is found by its own name, the report's dataset first, or as "Dataset.FIELD".
  TQRDataSetList dataSets;
  if (report.DataSet()) dataSets.push_back({report.DataSet()->Name(), report.DataSet()});
  for (TQRCustomBand* band : report.BandList()) {
    if (auto* sub = dynamic_cast<TQRSubDetail*>(band); sub && sub->DataSet()) {
      dataSets.push_back({sub->DataSet()->Name(), sub->DataSet()});
    }
  }
  m_engine.Prepare(functions, std::move(dataSets));
}

void TQRExpressionAdapter::Unprepare() { m_engine.Unprepare(); }

std::string TQRExpressionAdapter::Text(std::string_view expression, std::string_view mask) {
  return m_engine.Text(nullptr, expression, mask);
}

std::string TQRExpressionAdapter::Key(std::string_view expression) {
  return m_engine.Key(nullptr, expression);
}

std::string TQRExpressionAdapter::OwnerText(const void* owner, std::string_view expression,
                                            std::string_view mask) {
  return m_engine.Text(owner, expression, mask);
}

void TQRExpressionAdapter::Accumulate(const void* owner, std::string_view expression) {
  m_engine.Accumulate(owner, expression);
}

void TQRExpressionAdapter::Reset(const void* owner, std::string_view expression) {
  m_engine.Reset(owner, expression);
}

void TQRExpressionAdapter::NamedValueChanged(std::string_view name, std::string_view value) {
  m_engine.NamedValueChanged(name, value);
}

}  // namespace vorelia::report
