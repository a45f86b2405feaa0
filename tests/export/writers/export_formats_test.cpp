#include "export/writers/export_formats.h"

#include <gtest/gtest.h>

#include <set>

namespace vorelia::exporter::test {
namespace {

TEST(ExportFormatsTest, SelectionEntriesIconsAndFilters) {
  std::vector<std::string> entries;
  for (TmxExportType type : kSelectionOrder) entries.emplace_back(ListEntry(type));
  EXPECT_EQ((std::vector<std::string>{"HTML", "Microsoft Word", "Microsoft Excel", "Text",
                                      "Rich Text", "Comma-Separated Text", "Tab-Separated Text",
                                      "Data Interchange Format", "SYLK Format", "Clipboard"}),
            entries);
  EXPECT_EQ(5, IconIndex(TmxExportType::xtExcel));
  EXPECT_EQ(0, IconIndex(TmxExportType::xtRTF));
  EXPECT_EQ(6, IconIndex(TmxExportType::xtSYLK));
  EXPECT_EQ(7, IconIndex(TmxExportType::xtClipboard));

  const TmxDocumentFilter filter;
  EXPECT_EQ("Excel Files (*.xls)|*.XLS",
            SaveFilter(FilterDescription(TmxExportType::xtExcel, filter),
                       DefaultExtension(TmxExportType::xtExcel)));
  EXPECT_EQ("Text (Tab delimited) (*.txt)|*.TXT",
            SaveFilter(FilterDescription(TmxExportType::xtTAB, filter),
                       DefaultExtension(TmxExportType::xtTAB)));
  EXPECT_EQ("HTML", DefaultExtension(TmxExportType::xtHTML));
  EXPECT_EQ("HTM", DefaultExtension(TmxExportType::xtHTML, false));
  EXPECT_EQ("SLK", DefaultExtension(TmxExportType::xtSYLK));
  EXPECT_EQ("", DefaultExtension(TmxExportType::xtClipboard));
  EXPECT_EQ("", FilterDescription(TmxExportType::xtClipboard, filter));
}

TEST(ExportFormatsTest, ChosenNamesTakeTheFormatsExtension) {
  EXPECT_EQ("/home/ana/agencias.XLS", TargetFileName("/home/ana/agencias.txt", "XLS"));
  EXPECT_EQ("/home/ana/agencias.HTML", TargetFileName("/home/ana/agencias", "HTML"));
  EXPECT_EQ("/home/a.b/lista.v1.CSV", TargetFileName("/home/a.b/lista.v1.doc", "CSV"));
}

TEST(ExportFormatsTest, ViewNamesCountPastExistingDocuments) {
  std::set<std::string> existing;
  const auto exists = [&](const std::string& name) { return existing.count(name) > 0; };
  EXPECT_EQ("/tmp/vor1.XLS", ViewFileName("/tmp/", "XLS", exists));
  existing.insert("/tmp/vor1.XLS");
  EXPECT_EQ("/tmp/vor2.XLS", ViewFileName("/tmp/", "XLS", exists));
  EXPECT_EQ("/tmp/vor1.HTML", ViewFileName("/tmp/", "HTML", exists));
  for (int n = 2; n <= 9; ++n) existing.insert("/tmp/vor" + std::to_string(n) + ".XLS");
  EXPECT_EQ("/tmp/vorA.XLS", ViewFileName("/tmp/", "XLS", exists));
}

TEST(ExportFormatsTest, RecordsWindowSpeaksPortuguese) {
  const TmxMessagesOptions m = RecordsWindowMessages();
  EXPECT_EQ("Criado:", m.CreatedText);
  EXPECT_EQ("Copiando Para \xC1rea de Trabalho", m.CopiedToClipboard);
  EXPECT_EQ("Selecionar o Formato", m.SelectFormat);
  EXPECT_EQ("True", m.TrueText);
  EXPECT_EQ(300, m.Width);
  EXPECT_EQ("SYLK Files", m.DocumentFilter.SYLK);
}

}  // namespace
}  // namespace vorelia::exporter::test
