#pragma once

#include <memory>
#include <string>

#include "report/qr_controller.h"
#include "report/qr_custom_band.h"

namespace vorelia::report {

// A band printed once per record of its own dataset, before or after each record of its master.
class TQRSubDetail : public TQRCustomBand {
 public:
  TQRSubDetail(std::string name, TQRCustomReport& report);
  ~TQRSubDetail() override;

  TQRController& Controller() { return *m_controller; }
  data::TDataSet* DataSet() const { return m_controller->DataSet(); }
  void SetDataSet(data::TDataSet* dataSet) { m_controller->SetDataSet(dataSet); }
  // The controller of the records this sub-detail follows; null means the report.
  TQRController* Master = nullptr;
  TQRCustomBand* HeaderBand = nullptr;
  TQRCustomBand* FooterBand = nullptr;
  bool PrintBefore = false;
  bool PrintIfEmpty() const { return m_controller->PrintIfEmpty; }
  void SetPrintIfEmpty(bool value) { m_controller->PrintIfEmpty = value; }

  // Runs the sub-detail's own record loop once for the current master record.
  void Execute();

 private:
  std::unique_ptr<TQRController> m_controller;
};

}  // namespace vorelia::report
