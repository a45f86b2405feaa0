#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vorelia::dbf {
class TDbfDataSet;
}

namespace vorelia::databases {

// The folder of the databases: "dados" in the program folder, whatever the working directory.
std::filesystem::path DadosFolder();

// "%d Agência(s) Cadastrada(s)" in the ANSI code page, for a record count.
std::string RecordCountText(int count);

// Gives a table dataset its nine persistent string fields (AGENCIA ... SITE, with their sizes),
// bound to the file's fields by name when it opens. Requires: the dataset is closed.
void AddAgencyFields(dbf::TDbfDataSet& table);

// A database name is a file name in dados: not empty, no '/' and no NUL.
bool IsValidDatabaseName(const std::string& name);

// Closes the dataset and points it at database `name` in `dados` (FilePath, TableName). Raises
// EVoreliaError for a name that is not valid.
void PointAtDatabase(dbf::TDbfDataSet& table, const std::filesystem::path& dados,
                     const std::string& name);

// Creates the empty table of a new database from the nine field definitions and opens it.
// The caller has made sure that the table file does not exist.
void CreateAgencyTable(dbf::TDbfDataSet& table, const std::filesystem::path& dados,
                       const std::string& name);

// Opens the table of an existing database; the persistent fields bind by name.
void OpenAgencyTable(dbf::TDbfDataSet& table, const std::filesystem::path& dados,
                     const std::string& name);

// Database names found in `dados`: files matching "*.age" exactly (letter case matters, as the
// program looks for `<name>.age`), without the final extension, in directory order. A missing
// folder lists nothing.
std::vector<std::string> ListDatabases(const std::filesystem::path& dados);

bool DatabaseExists(const std::filesystem::path& dados, const std::string& name);

// Removes the table file and, when present, the index file. Refusals of the file system are not
// reported.
void DeleteDatabase(const std::filesystem::path& dados, const std::string& name);

}  // namespace vorelia::databases
