#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "dbf/dbf_field_def.h"

namespace vorelia::dbf {

// The record of an agency database: nine character fields, in this order.
struct TAgencyField {
  const char* name;
  int width;
};

inline constexpr std::array<TAgencyField, 9> kAgencyFields = {{
    {"AGENCIA", 25},
    {"ENDERECO", 100},
    {"MUNICIPIO", 15},
    {"UF", 2},
    {"CEP", 9},
    {"DDD", 3},
    {"TELEFONE", 9},
    {"EMAIL", 35},
    {"SITE", 35},
}};

// Deletion flag plus the 233 bytes of the nine fields.
inline constexpr int kAgencyRecordSize = 234;
inline constexpr int kAgencyTableLevel = 4;
inline constexpr const char* kAgencyTableExtension = ".age";
inline constexpr const char* kAgencyIndexExtension = ".mdx";
// The one tag of the production index, keyed on the agency name.
inline constexpr const char* kAgencyIndexTag = "AGENCIA";

// The nine field definitions as the table file stores them.
TDbfFieldDefs AgencyFieldDefs();

// Files of the database named `name` in the databases folder; the name is used unchanged.
std::filesystem::path AgencyTablePath(const std::filesystem::path& dados, const std::string& name);
std::filesystem::path AgencyIndexPath(const std::filesystem::path& dados, const std::string& name);

}  // namespace vorelia::dbf
