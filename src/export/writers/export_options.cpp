#include "export/writers/export_options.h"

namespace vorelia::exporter {

TmxExportOptionSet DefaultExportOptions() {
  using enum TmxExportOption;
  return {xoClipboardMessage, xoFooterLine,   xoHeaderLine,   xoShowExportDate,
          xoShowHeader,       xoShowProgress, xoUseAlignments};
}

std::string DefaultExtension(TmxExportType type, bool htmlExtension) {
  switch (type) {
    case TmxExportType::xtHTML:
      return htmlExtension ? "HTML" : "HTM";
    case TmxExportType::xtExcel:
      return "XLS";
    case TmxExportType::xtWord:
      return "DOC";
    case TmxExportType::xtTXT:
      return "TXT";
    case TmxExportType::xtCSV:
      return "CSV";
    case TmxExportType::xtTAB:
      return "TXT";
    case TmxExportType::xtRTF:
      return "RTF";
    case TmxExportType::xtDIF:
      return "DIF";
    case TmxExportType::xtSYLK:
      return "SLK";
    case TmxExportType::xtClipboard:
      return "";
  }
  return "";
}

std::string ExportDateLine(std::string_view createdText, std::string_view dateTimeText) {
  std::string line(createdText);
  line += ' ';
  line += dateTimeText;
  return line;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

}  // namespace vorelia::exporter
