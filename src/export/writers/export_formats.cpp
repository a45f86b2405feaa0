#include "export/writers/export_formats.h"

#include <cstdio>
#include <filesystem>

namespace vorelia::exporter {

TmxMessagesOptions RecordsWindowMessages() {
  TmxMessagesOptions m;
  m.Caption = "Exportando ...";
  m.CopiedToClipboard = "Copiando Para \xC1rea de Trabalho";
  m.CancelCaption = "&Cancelar";
  m.CreatedText = "Criado:";
  m.ExportCaption = "&Exportar";
  m.ExportToFile = "Salvar Arquivo";
  m.SaveTitle = "Salvar Documento";
  m.SelectFormat = "Selecionar o Formato";
  m.Text = "Processando ...";
  m.ViewOnly = "Visualizar";
  return m;
}

std::string_view ListEntry(TmxExportType type) {
  switch (type) {
    case TmxExportType::xtHTML:
      return "HTML";
    case TmxExportType::xtExcel:
      return "Microsoft Excel";
    case TmxExportType::xtWord:
      return "Microsoft Word";
    case TmxExportType::xtTXT:
      return "Text";
    case TmxExportType::xtCSV:
      return "Comma-Separated Text";
    case TmxExportType::xtTAB:
      return "Tab-Separated Text";
    case TmxExportType::xtRTF:
      return "Rich Text";
    case TmxExportType::xtDIF:
      return "Data Interchange Format";
    case TmxExportType::xtSYLK:
      return "SYLK Format";
    case TmxExportType::xtClipboard:
      return "Clipboard";
  }
  return "";
}

int IconIndex(TmxExportType type) {
  switch (type) {
    case TmxExportType::xtHTML:
      return 2;
    case TmxExportType::xtExcel:
      return 5;
    case TmxExportType::xtWord:
      return 4;
    case TmxExportType::xtTXT:
      return 3;
    case TmxExportType::xtCSV:
      return 1;
    case TmxExportType::xtRTF:
      return 0;
    case TmxExportType::xtClipboard:
      return 7;
    case TmxExportType::xtTAB:
    case TmxExportType::xtDIF:
    case TmxExportType::xtSYLK:
      return 6;
  }
  return 6;
}

std::string FilterDescription(TmxExportType type, const TmxDocumentFilter& filter) {
  switch (type) {
    case TmxExportType::xtHTML:
      return filter.HTML;
    case TmxExportType::xtExcel:
      return filter.Excel;
    case TmxExportType::xtWord:
      return filter.Word;
    case TmxExportType::xtTXT:
      return filter.Text;
    case TmxExportType::xtCSV:
      return filter.Comma;
    case TmxExportType::xtTAB:
      return filter.Tab;
    case TmxExportType::xtRTF:
      return filter.RTF;
    case TmxExportType::xtDIF:
      return filter.DIF;
    case TmxExportType::xtSYLK:
      return filter.SYLK;
    case TmxExportType::xtClipboard:
      return "";
  }
  return "";
}

std::string SaveFilter(std::string_view description, std::string_view extension) {
  std::string lower(extension);
  for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  std::string filter(description);
  filter += " (*.";
  filter += lower;
  filter += ")|*.";
  filter += extension;
  return filter;
}

std::string TargetFileName(const std::string& fileName, std::string_view extension) {
  std::filesystem::path path(fileName);
  path.replace_extension("." + std::string(extension));
  return path.string();
}

std::string ViewFileName(const std::string& tempDir, std::string_view extension,
                         const std::function<bool(const std::string&)>& exists) {
  for (unsigned long long n = 1;; ++n) {
    char counter[24];
    std::snprintf(counter, sizeof counter, "%llX", n);
    std::string name = tempDir + "vor" + counter + "." + std::string(extension);
    if (!exists(name)) return name;
  }
}

}  // namespace vorelia::exporter
