#include "report/qr_sub_detail.h"

namespace vorelia::report {

TQRSubDetail::TQRSubDetail(std::string name, TQRCustomReport& report)
    : TQRCustomBand(std::move(name), TQRBandType::rbSubDetail),
      m_controller(std::make_unique<TQRController>(report)) {
  m_controller->Detail = this;
}

TQRSubDetail::~TQRSubDetail() = default;

void TQRSubDetail::Execute() {
  m_controller->Header = HeaderBand;
  m_controller->Footer = FooterBand;
  m_controller->Detail = this;
  m_controller->Execute();
}

}  // namespace vorelia::report
