#pragma once

#include <optional>
#include <string>

#include "report/qr_custom_band.h"

namespace vorelia::report {

class TQRController;

// A group header: printed whenever the value of its expression changes from one record to the
// next; its footer band closes the group.
class TQRGroup : public TQRCustomBand {
 public:
  explicit TQRGroup(std::string name)
      : TQRCustomBand(std::move(name), TQRBandType::rbGroupHeader) {}

  std::string Expression;
  // The report (or sub-detail) whose records the group follows; null means the report.
  TQRController* Master = nullptr;
  bool ReprintOnNewPage = false;

  TQRCustomBand* FooterBand() const { return m_footer; }
  // Makes the band this group's footer (an rbGroupFooter).
  void SetFooterBand(TQRCustomBand* footer);

  // Run state.
  void Reset() { m_lastValue.reset(); }
  // Evaluates the expression on the current record; true when it differs from the last value.
  bool Evaluate();
  bool Changed = false;
  bool InGroup = false;
  int HeaderPage = 0;

 private:
  TQRCustomBand* m_footer = nullptr;
  std::optional<std::string> m_lastValue;
};

}  // namespace vorelia::report
