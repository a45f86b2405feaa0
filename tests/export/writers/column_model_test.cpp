#include "export/writers/column_model.h"

#include <gtest/gtest.h>

#include "export/writers/date_time_text.h"
#include "export_test_support.h"

namespace vorelia::exporter::test {
namespace {

TEST(ColumnModelTest, AgencyGridTitlesFallBackToTheFieldNames) {
  const TmxColumnModel model(AgencyColumns(), {});
  EXPECT_EQ((TmxValues{Ansi("Nome Da Agência"), Ansi("Endereço"), Ansi("Município / Bairro"), "UF",
                       "DDD", "TELEFONE"}),
            model.Titles());
  EXPECT_EQ(159, model.SeparatorLength());
  for (int k = 0; k < 6; ++k) EXPECT_EQ(1, model.Alignment(k));
}

TEST(ColumnModelTest, TitlesPreferCaptionThenLabelThenName) {
  TmxExportSettings settings;
  settings.Captions = {"Primeira", ""};  // an entry, even empty, wins in the title row
  const TmxColumnModel model({{"F1", "Rotulo", "Titulo", TmxFieldKind::Text, 1, true, 1},
                              {"F2", "Rotulo2", "", TmxFieldKind::Text, 1, true, 1},
                              {"F3", "Rotulo3", "", TmxFieldKind::Text, 1, true, 1},
                              {"F4", "", "", TmxFieldKind::Text, 1, true, 1}},
                             settings);
  EXPECT_EQ("Titulo", model.ColumnTitle(0));
  EXPECT_EQ("Rotulo2", model.ColumnTitle(1));
  EXPECT_EQ("F4", model.ColumnTitle(3));
  EXPECT_EQ("", model.ColumnTitle(4));
  EXPECT_EQ((TmxValues{"Primeira", "", "Rotulo3", "F4"}), model.Titles());
}

TEST(ColumnModelTest, WidthsByFieldKindAndOverrides) {
  TmxExportSettings settings;
  settings.TrueText = "Verdadeiro";
  settings.ColumnWidths = {"", "", "", "", "", "", "", "", "$10", "abc", "-3"};
  const TmxColumnModel model({{"U", "", "", TmxFieldKind::Unknown, 0, true, 1},
                              {"B", "", "", TmxFieldKind::Binary, 0, true, 1},
                              {"D", "", "", TmxFieldKind::Date, 0, true, 1},
                              {"T", "", "", TmxFieldKind::Time, 0, true, 1},
                              {"DT", "", "", TmxFieldKind::DateTime, 0, true, 1},
                              {"N", "", "", TmxFieldKind::Number, 4, true, 2},
                              {"L", "", "", TmxFieldKind::Boolean, 1, true, 3},
                              {"S", "", "", TmxFieldKind::Text, 35, true, 1},
                              {"S2", "", "", TmxFieldKind::Text, 35, true, 1},
                              {"O", "", "", TmxFieldKind::Other, 9, true, 1},
                              {"S3", "", "", TmxFieldKind::Text, 7, true, 1},
                              {"S4", "", "", TmxFieldKind::Text, 7, true, 1}},
                             settings);
  const int expected[] = {13, 12, 8, 5, 14, 15, 10, 35, 16, 0, -3, 7};
  for (int k = 0; k < 12; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(expected[k], model.ColumnWidth(k));
  }
  EXPECT_EQ(0, model.ColumnWidth(12));
}

TEST(ColumnModelTest, AlignmentsOnlyWhenAskedFor) {
  TmxExportSettings settings;
  std::vector<TmxGridColumn> columns = {{"A", "", "", TmxFieldKind::Text, 1, true, 2},
                                        {"B", "", "", TmxFieldKind::Text, 1, true, 3},
                                        {"C", "", "", TmxFieldKind::Text, 1, true, 9}};
  const TmxColumnModel on(columns, settings);
  EXPECT_EQ(2, on.Alignment(0));
  EXPECT_EQ(3, on.Alignment(1));
  EXPECT_EQ(0, on.Alignment(2));
  EXPECT_EQ(0, on.Alignment(3));
  settings.Options.Exclude(TmxExportOption::xoUseAlignments);
  const TmxColumnModel off(columns, settings);
  EXPECT_EQ(0, off.Alignment(0));
}

TEST(ColumnModelTest, TruncationKeepsWidthMinusTheSymbol) {
  TmxExportSettings settings;
  settings.Options.Include(TmxExportOption::xoTruncate);
  const TmxColumnModel model({}, settings);
  std::string scratch;
  EXPECT_EQ(Ansi("Agên..."), model.ValueText(Ansi("Agência Central"), 7, scratch));
  EXPECT_EQ("1234567", model.ValueText("1234567", 7, scratch));
  EXPECT_EQ("...", model.ValueText("abcdef", 2, scratch));
  EXPECT_EQ("abcdef", model.ValueText("abcdef", 0, scratch));
  settings.TruncateSymbol = "~";
  const TmxColumnModel tilde({}, settings);
  EXPECT_EQ("abcd~", tilde.ValueText("abcdef", 5, scratch));
  const TmxColumnModel off({}, {});
  EXPECT_EQ("abcdef", off.ValueText("abcdef", 2, scratch));
}

TEST(ColumnModelTest, RowLayoutSkipsHiddenColumnsAndKeepsPositions) {
  std::vector<TmxGridColumn> columns = AgencyColumns();
  columns[1].Visible = false;
  columns[3].Visible = false;
  TmxExportSettings settings;
  settings.ColumnWidths = {"30"};
  const TmxColumnModel model(columns, settings);
  EXPECT_FALSE(model.IsWritten(1));
  EXPECT_FALSE(model.IsWritten(6));
  TmxRowCells row;
  const TmxValues values = {"a", "b", "c"};  // a short row: the missing values are empty
  model.LayOutRow(values, 1, row);
  ASSERT_EQ(4u, row.Cells.size());
  EXPECT_EQ("a", row.Cells[0].Text);
  EXPECT_EQ(30, row.Cells[0].Width);
  ASSERT_NE(nullptr, row.Cells[0].WidthEntry);
  EXPECT_EQ("30", *row.Cells[0].WidthEntry);
  EXPECT_EQ(nullptr, row.Cells[1].WidthEntry);
  EXPECT_EQ("c", row.Cells[1].Text);
  EXPECT_EQ(3, row.Cells[1].Position);
  EXPECT_EQ("", row.Cells[2].Text);
  EXPECT_EQ(5, row.Cells[2].Position);
  EXPECT_EQ(6, row.Cells[3].Position);
  // 30 + 15 + 3 + 9 written, plus five gaps.
  EXPECT_EQ(62, model.SeparatorLength());
}

TEST(ColumnModelTest, DateTimeFormats) {
  const TmxDateTime when{2026, 12, 8, 14, 5, 9, 7};
  EXPECT_EQ("08/12/2026 14:05:09", ExportDateTimeText(when, "dd/MM/yyyy", "HH:mm:ss"));
  EXPECT_EQ("08/12/2026", ExportDateTimeText({2026, 12, 8}, "dd/MM/yyyy", "HH:mm:ss"));
  EXPECT_EQ("12/8/26 2:05 PM", FormatDateTime(when, "M/d/yy h:mm AP"));
  EXPECT_EQ("Tue, 8 Dec 2026 'x' 007", FormatDateTime(when, "ddd, d MMM yyyy '''x''' zzz"));
  EXPECT_EQ("Tuesday December", FormatDateTime(when, "dddd MMMM"));
  EXPECT_EQ("12 am", FormatDateTime({2026, 1, 1, 0, 30}, "h ap"));
}

}  // namespace
}  // namespace vorelia::exporter::test
