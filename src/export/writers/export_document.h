#pragma once

#include <memory>
#include <string>
#include <vector>

#include "export/writers/export_writer.h"

namespace vorelia::exporter {

// The writer of a format; the clipboard shares the plain-text writer, Word the rich text one.
std::unique_ptr<TmxExportWriter> CreateExportWriter(TmxExportType type,
                                                    const TmxColumnModel& model);

// The whole document of a list of rows, every row written (rows walked = rows written).
std::string ExportDocument(TmxExportType type, const TmxColumnModel& model,
                           const TmxDocumentInfo& info, const std::vector<TmxValues>& rows);

}  // namespace vorelia::exporter
