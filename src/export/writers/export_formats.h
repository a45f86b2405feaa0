#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "export/writers/export_options.h"

namespace vorelia::exporter {

// Descriptions of the formats in the save dialog's filter.
struct TmxDocumentFilter {
  std::string HTML = "HTML Documents";
  std::string Excel = "Excel Files";
  std::string Word = "Word Documents";
  std::string Text = "Text Files";
  std::string Comma = "CSV (Comma delimited)";
  std::string Tab = "Text (Tab delimited)";
  std::string RTF = "Rich Text Format";
  std::string DIF = "Data Interchange Format";
  std::string SYLK = "SYLK Files";
};

// Texts of the export dialogs and of the date line; the defaults are the component's own.
struct TmxMessagesOptions {
  std::string Caption = "Export";
  std::string CopiedToClipboard = "Data was copied to clipboard!";
  std::string CancelCaption = "&Cancel";
  std::string CreatedText = "Created:";
  TmxDocumentFilter DocumentFilter;
  std::string ExportCaption = "&Export";
  std::string ExportToFile = "Export &to file";
  std::string FalseText = "False";
  int Height = 80;
  std::string SaveTitle = "Save document";
  std::string SelectFormat = "E&xport formats:";
  std::string Text = "Processing...";
  std::string TrueText = "True";
  int Width = 300;
  std::string ViewOnly = "&View only";
};

// The Portuguese texts of the records window's export component.
TmxMessagesOptions RecordsWindowMessages();

// The selection list's entries, in their fixed order.
constexpr std::array<TmxExportType, 10> kSelectionOrder = {
    TmxExportType::xtHTML, TmxExportType::xtWord,     TmxExportType::xtExcel, TmxExportType::xtTXT,
    TmxExportType::xtRTF,  TmxExportType::xtCSV,      TmxExportType::xtTAB,   TmxExportType::xtDIF,
    TmxExportType::xtSYLK, TmxExportType::xtClipboard};

// "Microsoft Excel" and so on; the entries are fixed texts.
std::string_view ListEntry(TmxExportType type);
// Index of the format's 31x31 icon.
int IconIndex(TmxExportType type);
// The format's description in the save dialog; empty for the clipboard.
std::string FilterDescription(TmxExportType type, const TmxDocumentFilter& filter);
// "Excel Files (*.xls)|*.XLS"
std::string SaveFilter(std::string_view description, std::string_view extension);

// A chosen file name with its extension replaced by (or, without one, given) "." + extension.
std::string TargetFileName(const std::string& fileName, std::string_view extension);

// The first of tempDir + "vor" + n in upper-case hexadecimal + "." + extension, n = 1, 2, ...,
// that names no existing file. `tempDir` ends with a separator.
std::string ViewFileName(const std::string& tempDir, std::string_view extension,
                         const std::function<bool(const std::string&)>& exists);

}  // namespace vorelia::exporter
