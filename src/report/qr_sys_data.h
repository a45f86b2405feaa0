#pragma once

#include <string>

#include "report/qr_custom_label.h"

namespace vorelia::report {

enum class TQRSysDataType {
  qrsTime,
  qrsDate,
  qrsDateTime,
  qrsPageNumber,
  qrsReportTitle,
  qrsDetailCount,
  qrsDetailNo
};

// Prints a value of the run: time, date, page number, title, record count or number.
class TQRSysData : public TQRCustomLabel {
 public:
  explicit TQRSysData(std::string name);

  TQRSysDataType Data() const { return m_data; }
  void SetData(TQRSysDataType data);
  // Printed before the value.
  const std::string& Text() const { return m_text; }
  void SetText(std::string text);

  void Unprepare() override;

 protected:
  void GetPrintText() override;

 private:
  void ShowDesignCaption();

  TQRSysDataType m_data = TQRSysDataType::qrsTime;
  std::string m_text;
};

}  // namespace vorelia::report
