#include "export/writers/export_document.h"

#include "export/writers/dif_writer.h"
#include "export/writers/excel_writer.h"
#include "export/writers/html_writer.h"
#include "export/writers/rtf_writer.h"
#include "export/writers/sylk_writer.h"
#include "export/writers/text_writer.h"

namespace vorelia::exporter {

std::unique_ptr<TmxExportWriter> CreateExportWriter(TmxExportType type,
                                                    const TmxColumnModel& model) {
  using Layout = TmxTextWriter::Layout;
  switch (type) {
    case TmxExportType::xtHTML:
      return std::make_unique<TmxHTMLWriter>(model);
    case TmxExportType::xtExcel:
      return std::make_unique<TmxExcelWriter>(model);
    case TmxExportType::xtWord:
    case TmxExportType::xtRTF:
      return std::make_unique<TmxRTFWriter>(model);
    case TmxExportType::xtTXT:
    case TmxExportType::xtClipboard:
      return std::make_unique<TmxTextWriter>(model, Layout::Plain);
    case TmxExportType::xtCSV:
      return std::make_unique<TmxTextWriter>(model, Layout::Comma);
    case TmxExportType::xtTAB:
      return std::make_unique<TmxTextWriter>(model, Layout::Tab);
    case TmxExportType::xtDIF:
      return std::make_unique<TmxDIFWriter>(model);
    case TmxExportType::xtSYLK:
      return std::make_unique<TmxSYLKWriter>(model);
  }
  return std::make_unique<TmxTextWriter>(model, Layout::Plain);
}

std::string ExportDocument(TmxExportType type, const TmxColumnModel& model,
                           const TmxDocumentInfo& info, const std::vector<TmxValues>& rows) {
  std::unique_ptr<TmxExportWriter> writer = CreateExportWriter(type, model);
  writer->BeginDocument(info);
  int walked = 0;
  for (const TmxValues& row : rows) writer->WriteRow(row, walked++);
  writer->EndDocument();
  return writer->TakeDocument();
}

}  // namespace vorelia::exporter
