#include "dbf/agency_schema.h"

namespace vorelia::dbf {

TDbfFieldDefs AgencyFieldDefs() {
  TDbfFieldDefs defs;
  for (const TAgencyField& field : kAgencyFields) {
    TDbfFieldDef& def = defs.Add();
    def.FieldName = field.name;
    def.NativeFieldType = 'C';
    def.Size = field.width;
  }
  return defs;
}

std::filesystem::path AgencyTablePath(const std::filesystem::path& dados, const std::string& name) {
  return dados / (name + kAgencyTableExtension);
}

std::filesystem::path AgencyIndexPath(const std::filesystem::path& dados, const std::string& name) {
  return dados / (name + kAgencyIndexExtension);
}

}  // namespace vorelia::dbf
