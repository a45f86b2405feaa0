#include "report/qr_sys_data.h"

#include <QDateTime>
#include <QLocale>

#include "report/qr_controller.h"
#include "report/qr_custom_report.h"
#include "platform/qt/ansi_text.h"
#include "report/report_locale.h"

namespace vorelia::report {

namespace {

const char* KindName(TQRSysDataType data) {
  switch (data) {
    case TQRSysDataType::qrsTime:
      return "Time";
    case TQRSysDataType::qrsDate:
      return "Date";
    case TQRSysDataType::qrsDateTime:
      return "Date/Time";
    case TQRSysDataType::qrsPageNumber:
      return "Page#";
    case TQRSysDataType::qrsReportTitle:
      return "Report title";
    case TQRSysDataType::qrsDetailCount:
      return "Detail count";
    case TQRSysDataType::qrsDetailNo:
      return "Detail no";
  }
  return "";
}

}  // namespace

TQRSysData::TQRSysData(std::string name) : TQRCustomLabel(std::move(name)) { ShowDesignCaption(); }

void TQRSysData::SetData(TQRSysDataType data) {
  m_data = data;
  ShowDesignCaption();
}

void TQRSysData::SetText(std::string text) {
  m_text = std::move(text);
  ShowDesignCaption();
}

void TQRSysData::ShowDesignCaption() { SetCaption(m_text + "(" + KindName(m_data) + ")"); }

void TQRSysData::Unprepare() {
  TQRCustomLabel::Unprepare();
  ShowDesignCaption();
}

void TQRSysData::GetPrintText() {
  const QLocale locale = ReportLocale();
  const QDateTime now = QDateTime::currentDateTime();
  TQRCustomReport* report = ParentReport();
  std::string value;
  switch (m_data) {
    case TQRSysDataType::qrsTime:
      value = platform::ToAnsi(locale.toString(now.time(), QLocale::ShortFormat));
      break;
    case TQRSysDataType::qrsDate:
      value = platform::ToAnsi(locale.toString(now.date(), QLocale::ShortFormat));
      break;
    case TQRSysDataType::qrsDateTime:
      value = platform::ToAnsi(locale.toString(now.date(), QLocale::ShortFormat));
      if (now.time() != QTime(0, 0)) {
        value += " " + platform::ToAnsi(locale.toString(now.time(), LongTimeFormat(locale)));
      }
      break;
    case TQRSysDataType::qrsPageNumber:
      value = std::to_string(report ? report->PageCount() : 0);
      break;
    case TQRSysDataType::qrsReportTitle:
      value = report ? report->ReportTitle : std::string();
      break;
    case TQRSysDataType::qrsDetailCount:
      if (!report) return;
      value = std::to_string(report->RecordCount());
      break;
    case TQRSysDataType::qrsDetailNo:
      if (!report) return;
      value = std::to_string(report->Controller().DetailNumber());
      break;
  }
  SetCaption(m_text + value);
}

}  // namespace vorelia::report
