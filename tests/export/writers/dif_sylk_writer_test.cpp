#include <gtest/gtest.h>

#include "export/writers/dif_writer.h"
#include "export/writers/sylk_writer.h"
#include "export_test_support.h"

namespace vorelia::exporter::test {
namespace {

TEST(DIFWriterTest, EveryValueIsQuotedWithItsQuotesAsTheyAre) {
  EXPECT_BYTES(ExpectedDocument("agencias.dif"), ExportAgencies(TmxExportType::xtDIF));
}

TEST(DIFWriterTest, EmptyTableHasNoTuplesButTheTitles) {
  const TmxColumnModel model(AgencyColumns(), {});
  EXPECT_BYTES(ExpectedDocument("agencias_vazia.dif"),
               ExportDocument(TmxExportType::xtDIF, model, AgencyInfo(0), {}));
}

TEST(DIFWriterTest, CountsComeFromTheGridAndTheWalk) {
  std::vector<TmxGridColumn> columns = AgencyColumns();
  columns[0].Visible = false;
  const TmxColumnModel model(columns, {});
  std::vector<TmxValues> rows(40, AgencyRows()[0]);
  const std::string doc = ExportDocument(TmxExportType::xtDIF, model, AgencyInfo(40), rows);
  // Vectors count every field column, hidden ones too; tuples are the rows walked.
  EXPECT_EQ(0u, doc.find("TABLE\r\n0,1\r\n\"TMXDBGRIDEXPORT\"\r\nVECTORS\r\n0,6\r\n\"\"\r\n"
                         "TUPLES\r\n0,40\r\n"));
  size_t tuples = 0;
  for (size_t at = doc.find("BOT\r\n"); at != std::string::npos; at = doc.find("BOT\r\n", at + 1)) {
    ++tuples;
  }
  EXPECT_EQ(41u, tuples);
  EXPECT_EQ(std::string::npos, doc.find(Ansi("Agência")));  // the hidden column
}

TEST(SYLKWriterTest, SemicolonsAreDoubledAndQuotesKept) {
  EXPECT_BYTES(ExpectedDocument("agencias.slk"), ExportAgencies(TmxExportType::xtSYLK));
}

TEST(SYLKWriterTest, EmptyTableAndHiddenColumnGap) {
  std::vector<TmxGridColumn> columns = AgencyColumns();
  columns[1].Visible = false;
  const TmxColumnModel model(columns, {});
  EXPECT_BYTES(Crlf(Ansi(R"(ID;PTMXDBGRIDEXPORT
C;X1;Y1;K"Nome Da Agência"
C;X3;Y1;K"Município / Bairro"
C;X4;Y1;K"UF"
C;X5;Y1;K"DDD"
C;X6;Y1;K"TELEFONE"
E
)")),
               ExportDocument(TmxExportType::xtSYLK, model, AgencyInfo(0), {}));
}

TEST(SYLKWriterTest, RowCounterStartsOverAndSkipsNoTitleRow) {
  TmxExportSettings settings;
  settings.Options.Exclude(TmxExportOption::xoShowHeader);
  const TmxColumnModel model({{"A", "", "A", TmxFieldKind::Text, 3, true, 1}}, settings);
  TmxSYLKWriter writer(model);
  for (int run = 0; run < 2; ++run) {
    writer.BeginDocument(AgencyInfo());
    writer.WriteRow({"x"}, 0);
    writer.WriteRow({"y"}, 1);
    writer.EndDocument();
    EXPECT_BYTES(Crlf("ID;PTMXDBGRIDEXPORT\nC;X1;Y1;K\"x\"\nC;X1;Y2;K\"y\"\nE\n"),
                 writer.Document());
  }
}

TEST(SYLKWriterTest, RowNumbersTakeTheFirstColumn) {
  TmxExportSettings settings;
  settings.Options.Include(TmxExportOption::xoRowNumbers);
  settings.RowNumberFormat = "%d.";
  const TmxColumnModel model({{"A", "", "A", TmxFieldKind::Text, 3, true, 1}}, settings);
  EXPECT_BYTES(Crlf("ID;PTMXDBGRIDEXPORT\nC;X1;Y1;K\"\"\nC;X2;Y1;K\"A\"\nC;X1;Y2;K\"1.\"\n"
                    "C;X2;Y2;K\"x\"\nC;X1;Y3;K\"2.\"\nC;X2;Y3;K\"y\"\nE\n"),
               ExportDocument(TmxExportType::xtSYLK, model, AgencyInfo(), {{"x"}, {"y"}}));
  EXPECT_NE(
      std::string::npos,
      ExportDocument(TmxExportType::xtDIF, model, AgencyInfo(), {}).find("VECTORS\r\n0,2\r\n"));
}

TEST(InterchangeWritersTest, LineBreaksInsideValuesCannotStartARecord) {
  const TmxColumnModel model({{"A", "", "A", TmxFieldKind::Text, 9, true, 1},
                              {"B", "", "B", TmxFieldKind::Text, 9, true, 1}},
                             {});
  const std::vector<TmxValues> rows = {{"a\r\nb\nc\rd", "x;\r\nE"}, {"\r\n", "fim"}};
  EXPECT_BYTES(Crlf(R"(TABLE
0,1
"TMXDBGRIDEXPORT"
VECTORS
0,2
""
TUPLES
0,2
""
DATA
0,0
""
-1,0
BOT
1,0
"A"
1,0
"B"
-1,0
BOT
1,0
"a b c d"
1,0
"x; E"
-1,0
BOT
1,0
" "
1,0
"fim"
-1,0
EOD
)"),
               ExportDocument(TmxExportType::xtDIF, model, AgencyInfo(2), rows));
  EXPECT_BYTES(Crlf(R"(ID;PTMXDBGRIDEXPORT
C;X1;Y1;K"A"
C;X2;Y1;K"B"
C;X1;Y2;K"a b c d"
C;X2;Y2;K"x;; E"
C;X1;Y3;K" "
C;X2;Y3;K"fim"
E
)"),
               ExportDocument(TmxExportType::xtSYLK, model, AgencyInfo(2), rows));
}

}  // namespace
}  // namespace vorelia::exporter::test
