#pragma once

namespace vorelia::dbf {
class TDbfDataSet;
}

namespace vorelia::records {

// Shows the table in ascending or descending order of agency name: the production index is
// built afresh with its one tag "AGENCIA" (the old index file is deleted first) and selected.
void SortByAgencyName(dbf::TDbfDataSet& table, bool descending);

// Back to the stored order; the index file stays and is kept up to date.
void ShowStoredOrder(dbf::TDbfDataSet& table);

}  // namespace vorelia::records
