#include "report/qr_db_text.h"

#include <QDateTime>
#include <QLocale>

#include <exception>
#include <optional>
#include <variant>

#include "data/dataset.h"
#include "data/field.h"
#include "platform/qt/ansi_text.h"
#include "report/core/qr_expr_format.h"
#include "report/report_locale.h"

namespace vorelia::report {

namespace {

bool IsMemo(data::TFieldType type) {
  return type == data::TFieldType::Memo || type == data::TFieldType::Blob;
}

// Splits a memo's text into its lines (CR LF, LF or CR ends a line).
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace

void TQRDBText::SetDataField(std::string field) {
  m_dataField = std::move(field);
  SetCaption(m_dataField.empty() ? Name() : m_dataField);
}

void TQRDBText::Prepare() {
  data::TDataSet* dataSet = DataSet();
  m_field = dataSet && dataSet->Active() ? dataSet->FindField(m_dataField) : nullptr;
  SetPrintsFromLines(m_field && IsMemo(m_field->DataType()));
  TQRCustomLabel::Prepare();
}

void TQRDBText::Unprepare() {
  TQRCustomLabel::Unprepare();
  m_field = nullptr;
  SetPrintsFromLines(false);
  SourceLines().clear();
  SetCaption(m_dataField.empty() ? Name() : m_dataField);
}

namespace {

// A date or date-time through a mask of the desktop's date and time pattern letters
// (dd/MM/yyyy, hh:mm ...), in the report's locale; masks and results are ANSI.
std::string FormatDateTimeMask(const data::TFieldValue& value, const std::string& mask) {
  const QString pattern = platform::FromAnsi(mask);
  const QLocale locale = ReportLocale();
  if (const auto* date = std::get_if<data::TDate>(&value)) {
    return platform::ToAnsi(locale.toString(QDate(date->Year, date->Month, date->Day), pattern));
  }
  if (const auto* when = std::get_if<data::TDateTime>(&value)) {
    const QDateTime moment(QDate(when->Date.Year, when->Date.Month, when->Date.Day),
                           QTime::fromMSecsSinceStartOfDay(when->Milliseconds));
    return platform::ToAnsi(locale.toString(moment, pattern));
  }
  return {};
}

}  // namespace

std::string TQRDBText::FieldText() const {
  const data::TDataSet* dataSet = m_field->DataSet();
  // No current record (an empty dataset): nothing to show.
  if (!dataSet || !dataSet->Active() || dataSet->IsEmpty()) return {};
  if (Mask.empty() || m_field->IsNull()) return m_field->DisplayText();
  std::optional<std::string> text;
  switch (m_field->DataType()) {
    case data::TFieldType::SmallInt:
    case data::TFieldType::Integer:
    case data::TFieldType::LargeInt:
    case data::TFieldType::AutoInc:
      text = FormatFloat(Mask, static_cast<double>(m_field->AsInteger()));
      break;
    case data::TFieldType::Float:
    case data::TFieldType::BCD:
      text = FormatFloat(Mask, m_field->AsFloat());
      break;
    case data::TFieldType::Date:
    case data::TFieldType::DateTime:
      return FormatDateTimeMask(m_field->Value(), Mask);
    default:
      // Other kinds print as the field shows them.
      return m_field->DisplayText();
  }
  return text.value_or(std::string());
}

void TQRDBText::GetPrintText() {
  if (!m_field) {
    SetPrintText({});
    return;
  }
  try {
    if (IsMemo(m_field->DataType())) {
      SourceLines() = SplitLines(FieldText());
      SetPrintText({});
    } else {
      SetPrintText(FieldText());
    }
  } catch (const std::exception&) {
    // A field that cannot be read prints as empty text; the run goes on.
    SourceLines().clear();
    SetPrintText({});
  }
}

}  // namespace vorelia::report
