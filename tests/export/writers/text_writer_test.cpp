#include "export/writers/text_writer.h"

#include <gtest/gtest.h>

#include "export_test_support.h"

namespace vorelia::exporter::test {
namespace {

const std::string kDashes(159, '-');

std::string PlainTitleLine() {
  return Ansi("Nome Da Agência") + Spaces(10) + " " + Ansi("Endereço") + Spaces(92) + " " +
         Ansi("Município / Bairro") + " UF DDD TELEFONE ";
}

std::string PlainRows() {
  return Ansi("Agência São José") + Spaces(9) + " Rua A, 10" + Spaces(91) + " " + Ansi("Sé") +
         Spaces(13) + " SP 011 12345-678\r\n" + "Emprego <b>& Cia" + Spaces(9) + " Av. {x}\\y" +
         Spaces(91) + " a;b" + Spaces(12) + " RJ 5\"B " + Spaces(9) + "\r\n" + Spaces(25) +
         " C:\\Arquivos" + Spaces(89) + " Campinas" + Spaces(7) + " SP 019 3232-1000\r\n";
}

TEST(TextWriterTest, PlainTextPadsColumnsAndFramesRowsWithDashes) {
  const std::string expected = PlainTitleLine() + "\r\n" + kDashes + "\r\n" + PlainRows() +
                               kDashes + "\r\n" + "Criado: 08/12/2026 14:05:09\r\n";
  EXPECT_BYTES(expected, ExportAgencies(TmxExportType::xtTXT));
  // The clipboard carries the same text, CR LF after the date line included.
  EXPECT_BYTES(expected, ExportAgencies(TmxExportType::xtClipboard));
}

TEST(TextWriterTest, CommaSeparatedQuotesWhatReadersWouldSplitOrMisread) {
  const std::string expected =
      Crlf(Ansi("\"Nome Da Agência\",Endereço,\"Município / Bairro\",UF,DDD,TELEFONE\n"
                "\"Agência São José\",\"Rua A, 10\",Sé,SP,011,12345-678\n"
                "\"Emprego <b>& Cia\",\"Av. {x}\\y\",a;b,RJ,\"5\"\"B\",\n"
                ",C:\\Arquivos,Campinas,SP,019,3232-1000\n"));
  EXPECT_BYTES(expected, ExportAgencies(TmxExportType::xtCSV));
}

TEST(TextWriterTest, CommaSeparatedQuotesLineBreaksInsideValues) {
  const TmxColumnModel model({{"A", "", "A", TmxFieldKind::Text, 10, true, 1}}, {});
  const std::string csv =
      ExportDocument(TmxExportType::xtCSV, model, AgencyInfo(), {{"x\ny"}, {"p\r\nq"}, {"r\rs"}});
  EXPECT_BYTES("A\r\n\"x\r\ny\"\r\n\"p\r\nq\"\r\n\"r\r\ns\"\r\n", csv);
}

TEST(TextWriterTest, TabSeparatedKeepsValuesAsTheyAre) {
  const std::string expected =
      Crlf(Ansi("Nome Da Agência\tEndereço\tMunicípio / Bairro\tUF\tDDD\tTELEFONE\n"
                "Agência São José\tRua A, 10\tSé\tSP\t011\t12345-678\n"
                "Emprego <b>& Cia\tAv. {x}\\y\ta;b\tRJ\t5\"B\t\n"
                "\tC:\\Arquivos\tCampinas\tSP\t019\t3232-1000\n"
                "Criado: 08/12/2026 14:05:09\n"));
  EXPECT_BYTES(expected, ExportAgencies(TmxExportType::xtTAB));
}

TEST(TextWriterTest, EmptyTableDocuments) {
  const TmxColumnModel model(AgencyColumns(), {});
  const TmxDocumentInfo info = AgencyInfo(0);
  EXPECT_BYTES(PlainTitleLine() + "\r\n" + kDashes + "\r\n" + kDashes + "\r\n" +
                   "Criado: 08/12/2026 14:05:09\r\n",
               ExportDocument(TmxExportType::xtTXT, model, info, {}));
  EXPECT_BYTES(Crlf(Ansi("\"Nome Da Agência\",Endereço,\"Município / Bairro\",UF,DDD,TELEFONE\n")),
               ExportDocument(TmxExportType::xtCSV, model, info, {}));
}

TEST(TextWriterTest, HeaderAndFooterTextBecomeLinesWhereTheFormatTakesThem) {
  const TmxColumnModel model({{"A", "", "A", TmxFieldKind::Text, 3, true, 1},
                              {"B", "", "B", TmxFieldKind::Text, 2, true, 1}},
                             {});
  TmxDocumentInfo info = AgencyInfo(1);
  info.Header = "Linha 1\r\nLinha 2\nLinha 3";
  info.Footer = "Fim\r";
  const std::vector<TmxValues> rows = {{"x", "y"}};
  EXPECT_BYTES(Crlf("Linha 1\nLinha 2\nLinha 3\nA   B \n------\nx   y \n------\nFim\n"
                    "Criado: 08/12/2026 14:05:09\n"),
               ExportDocument(TmxExportType::xtTXT, model, info, rows));
  EXPECT_BYTES(Crlf("Linha 1\nLinha 2\nLinha 3\nA\tB\nx\ty\nFim\nCriado: 08/12/2026 14:05:09\n"),
               ExportDocument(TmxExportType::xtTAB, model, info, rows));
  EXPECT_BYTES(Crlf("A,B\nx,y\n"), ExportDocument(TmxExportType::xtCSV, model, info, rows));
}

TEST(TextWriterTest, OptionsDropTheirParts) {
  TmxExportSettings settings;
  settings.Options.Exclude(TmxExportOption::xoShowHeader);
  settings.Options.Exclude(TmxExportOption::xoHeaderLine);
  settings.Options.Exclude(TmxExportOption::xoShowExportDate);
  const TmxColumnModel model({{"A", "", "A", TmxFieldKind::Text, 3, true, 1}}, settings);
  EXPECT_BYTES(Crlf("x  \n---\n"),
               ExportDocument(TmxExportType::xtTXT, model, AgencyInfo(1), {{"x"}}));
  EXPECT_BYTES(Crlf("x\n"), ExportDocument(TmxExportType::xtCSV, model, AgencyInfo(1), {{"x"}}));
}

TEST(TextWriterTest, PlainTextAlignsRightAndCentreAndNeverCutsWithoutTruncation) {
  const TmxColumnModel model({{"R", "", "R", TmxFieldKind::Text, 5, true, 2},
                              {"C", "", "C", TmxFieldKind::Text, 6, true, 3},
                              {"N", "", "N", TmxFieldKind::Text, 3, true, 0}},
                             {});
  TmxDocumentInfo info = AgencyInfo(2);
  info.DateLine.clear();
  const std::string text =
      ExportDocument(TmxExportType::xtTXT, model, info, {{"ab", "xyz", "n"}, {"abcdefg", "", ""}});
  EXPECT_BYTES(Crlf("    R   C    N  \n----------------\n   ab  xyz   n  \n"
                    "abcdefg           \n----------------\n\n"),
               text);
}

TEST(TextWriterTest, HiddenColumnsAreLeftOutButStillCountInTheDashes) {
  std::vector<TmxGridColumn> columns = AgencyColumns();
  columns[1].Visible = false;  // the address
  const TmxColumnModel model(columns, {});
  const std::string csv =
      ExportDocument(TmxExportType::xtCSV, model, AgencyInfo(1), {AgencyRows()[0]});
  EXPECT_BYTES(Crlf(Ansi("\"Nome Da Agência\",\"Município / Bairro\",UF,DDD,TELEFONE\n"
                         "\"Agência São José\",Sé,SP,011,12345-678\n")),
               csv);
  const std::string txt = ExportDocument(TmxExportType::xtTXT, model, AgencyInfo(0), {});
  // 25 + 15 + 2 + 3 + 9 written, plus one per column but the last of all six.
  EXPECT_NE(std::string::npos, txt.find("\r\n" + std::string(59, '-') + "\r\n"));
  EXPECT_EQ(std::string::npos, txt.find(std::string(60, '-')));
  // Shown anyway when invisibles are exported.
  TmxExportSettings all;
  all.Options.Include(TmxExportOption::xoExportInvisibles);
  const TmxColumnModel allModel(columns, all);
  EXPECT_NE(
      std::string::npos,
      ExportDocument(TmxExportType::xtCSV, allModel, AgencyInfo(0), {}).find(Ansi(",Endereço,")));
}

}  // namespace
}  // namespace vorelia::exporter::test
