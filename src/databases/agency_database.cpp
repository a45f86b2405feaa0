#include "databases/agency_database.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

#include "data/field.h"
#include "dbf/agency_schema.h"
#include "dbf/dbf_dataset.h"
#include "dbf/index_factory.h"
#include "platform/errors.h"
#include "platform/program_folder.h"

namespace vorelia::databases {

std::filesystem::path DadosFolder() { return platform::ProgramFolder() / "dados"; }

std::string RecordCountText(int count) {
  return std::to_string(count) + " Ag\xEAncia(s) Cadastrada(s)";
}

void AddAgencyFields(dbf::TDbfDataSet& table) {
  table.ClearFields();
  for (const dbf::TAgencyField& field : dbf::kAgencyFields) {
    table.AddField<data::TStringField>(field.name, field.width);
  }
}

bool IsValidDatabaseName(const std::string& name) {
  return !name.empty() && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

void PointAtDatabase(dbf::TDbfDataSet& table, const std::filesystem::path& dados,
                     const std::string& name) {
  // The name becomes a file name inside dados, never a path leading out of it.
  if (!IsValidDatabaseName(name))
    throw EVoreliaError("Nome de Banco de Dados inv\xE1lido: \"" + name + "\".");
  // A table with a production index must keep it up to date, so the engine is always there.
  dbf::InstallIndexEngine();
  table.Close();
  table.SetFilePath(dados.string());
  table.SetTableName(name + dbf::kAgencyTableExtension);
}

void CreateAgencyTable(dbf::TDbfDataSet& table, const std::filesystem::path& dados,
                       const std::string& name) {
  PointAtDatabase(table, dados, name);
  table.SetTableLevel(dbf::kAgencyTableLevel);
  table.FieldDefs().Clear();
  for (const dbf::TAgencyField& field : dbf::kAgencyFields) {
    table.FieldDefs().Add(field.name, data::TFieldType::String, field.width, false);
  }
  table.CreateTable();
  table.Open();
}

void OpenAgencyTable(dbf::TDbfDataSet& table, const std::filesystem::path& dados,
                     const std::string& name) {
  PointAtDatabase(table, dados, name);
  table.Open();
}

std::vector<std::string> ListDatabases(const std::filesystem::path& dados) {
  std::vector<std::string> names;
  DIR* dir = opendir(dados.c_str());
  if (dir == nullptr) return names;
  const std::string extension = dbf::kAgencyTableExtension;
  while (dirent* entry = readdir(dir)) {
    const std::string file = entry->d_name;
    if (file.size() <= extension.size() ||
        file.compare(file.size() - extension.size(), extension.size(), extension) != 0) {
      continue;
    }
    struct stat info {};
    if (stat((dados / file).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    // The name without its final extension: everything before the last '.'.
    names.push_back(file.substr(0, file.rfind('.')));
  }
  closedir(dir);
  return names;
}

bool DatabaseExists(const std::filesystem::path& dados, const std::string& name) {
  std::error_code error;
  return std::filesystem::exists(dbf::AgencyTablePath(dados, name), error);
}

void DeleteDatabase(const std::filesystem::path& dados, const std::string& name) {
  std::error_code ignored;
  std::filesystem::remove(dbf::AgencyTablePath(dados, name), ignored);
  std::filesystem::remove(dbf::AgencyIndexPath(dados, name), ignored);
}

}  // namespace vorelia::databases
