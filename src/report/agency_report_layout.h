#pragma once

#include <memory>

#include "report/report_layout.h"

namespace vorelia::data {
class TDataSet;
}

namespace vorelia::report {

class TQRReport;

// The agency listing: a title with its rule on every page, one grey framed panel of captioned
// cells per agency, and a footer with the maker's site and the page number.
const TQRLayout& AgencyReportLayout();

// The report MyRelatorio built from the agency layout.
std::unique_ptr<TQRReport> CreateAgencyReport();

// Binds the report and its nine data texts to a dataset of agencies, as every print command
// does before it previews, sets up or prints.
void BindAgencyReport(TQRReport& report, data::TDataSet* dataSet);

}  // namespace vorelia::report
