#include "records/agency_order.h"

#include <filesystem>
#include <system_error>

#include "dbf/agency_schema.h"
#include "dbf/dbf_common.h"
#include "dbf/dbf_dataset.h"

namespace vorelia::records {

void SortByAgencyName(dbf::TDbfDataSet& table, bool descending) {
  table.Close();
  std::filesystem::path index =
      std::filesystem::path(table.FilePathFull()) / table.TableName();
  index.replace_extension(dbf::kAgencyIndexExtension);
  // A file that cannot be deleted is left for the index layer to refuse when it rebuilds.
  std::error_code ignored;
  std::filesystem::remove(index, ignored);
  // The index name of an earlier sort now names no tag: opening falls back to stored order.
  table.Open();
  table.AddIndexTag(dbf::kAgencyIndexTag, "AGENCIA", descending ? dbf::ixDescending : 0);
  table.SetIndexName(dbf::kAgencyIndexTag);
}

void ShowStoredOrder(dbf::TDbfDataSet& table) { table.SetIndexName(""); }

}  // namespace vorelia::records
