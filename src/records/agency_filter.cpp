#include "records/agency_filter.h"

#include "data/dataset.h"
#include "data/field_def.h"
#include "platform/code_page.h"

namespace vorelia::records {
namespace {

const char* const kFields[TAgencyFilter::kFieldCount] = {"AGENCIA", "ENDERECO", "MUNICIPIO", "UF"};

}  // namespace

const char* TAgencyFilter::FieldAt(int position) {
  return position >= 0 && position < kFieldCount ? kFields[position] : nullptr;
}

int TAgencyFilter::PositionOf(std::string_view fieldName) {
  for (int i = 0; i < kFieldCount; ++i) {
    if (data::SameName(fieldName, kFields[i])) return i;
  }
  return -1;
}

bool TAgencyFilter::Contains(std::string_view value, std::string_view text) {
  if (text.empty()) return false;
  return platform::AnsiUpper(value).find(platform::AnsiUpper(text)) != std::string::npos;
}

bool TAgencyFilter::Accepts(const data::TDataSet& dataSet) const {
  const char* field = FieldAt(m_position);
  const std::string value = field != nullptr ? dataSet.FieldByName(field).AsString() : std::string();
  return Contains(value, m_text);
}

}  // namespace vorelia::records
