#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vorelia::dbf {
class TDbfDataSet;
class TDbfFile;
}  // namespace vorelia::dbf

namespace vorelia::cli {

// What the table verbs leave to other subsystems: how `show` (and other verbs that walk a table)
// orders and filters the records, and what `check` says about the index. The sorting, search and
// index verbs install these; without them only the stored order is offered and only the table
// file is checked.
struct TableVerbHooks {
  // Orders `table` (open) by agency name, rebuilding the index as the sort commands do.
  std::function<void(dbf::TDbfDataSet& table, bool descending)> order;
  // Keeps the records whose `field` (one of AGENCIA, ENDERECO, MUNICIPIO, UF) contains `text`
  // (ANSI), as the search page does.
  std::function<void(dbf::TDbfDataSet& table, const std::string& field, const std::string& text)>
      filter;
  // Adds one line per problem of the table's open index files (the table is open read-only).
  std::function<void(dbf::TDbfFile& table, std::vector<std::string>& problems)> checkIndex;
};

TableVerbHooks& TableHooks();

// Parses `--order natural|asc|desc`, `--filter FIELD=TEXT` from args[from...] into the table
// (open), using the hooks; unknown options are left for the caller. Throws UsageError.
struct TableView {
  std::string order = "natural";
  std::string filterField;
  std::string filterText;  // UTF-8 as given
  bool deleted = false;
};
TableView ParseTableView(const std::vector<std::string>& args, size_t from);
void ApplyTableView(dbf::TDbfDataSet& table, const TableView& view);

}  // namespace vorelia::cli
