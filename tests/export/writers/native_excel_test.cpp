#include "export/writers/native_excel.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "export/writers/number_text.h"
#include "export_test_support.h"
#include "support/temp_dir.h"

namespace vorelia::exporter::test {
namespace {

struct Rec {
  uint16_t Id;
  std::string Data;  // as "00 02 10 00" hex pairs
  bool operator==(const Rec&) const = default;
};

std::string Hex(std::string_view bytes) {
  std::string out;
  char buffer[4];
  for (unsigned char c : bytes) {
    std::snprintf(buffer, sizeof buffer, "%02X", c);
    if (!out.empty()) out += ' ';
    out += buffer;
  }
  return out;
}

void PrintTo(const Rec& r, std::ostream* os) {
  char id[8];
  std::snprintf(id, sizeof id, "%04X", r.Id);
  *os << "{" << id << ": " << r.Data << "}";
}

// Reads the stream back record by record, checking every length against what is left.
std::vector<Rec> Records(std::string_view bytes) {
  std::vector<Rec> records;
  size_t at = 0;
  while (at < bytes.size()) {
    EXPECT_LE(at + 4, bytes.size()) << "truncated record header";
    if (at + 4 > bytes.size()) break;
    const auto u8 = [&](size_t i) {
      return static_cast<unsigned>(static_cast<unsigned char>(bytes[i]));
    };
    const uint16_t id = static_cast<uint16_t>(u8(at) | u8(at + 1) << 8);
    const size_t length = u8(at + 2) | u8(at + 3) << 8;
    EXPECT_LE(at + 4 + length, bytes.size()) << "record overruns the stream";
    if (at + 4 + length > bytes.size()) break;
    records.push_back({id, Hex(bytes.substr(at + 4, length))});
    at += 4 + length;
  }
  return records;
}

std::string Text(std::string_view s) { return Hex(s); }

// A LABEL's data: row, column, the three attribute bytes, length and text.
Rec Label(const std::string& position, const std::string& attributes, std::string_view text) {
  char length[4];
  std::snprintf(length, sizeof length, "%02X", static_cast<unsigned>(text.size()));
  std::string data = position + " " + attributes + " " + length;
  if (!text.empty()) data += " " + Text(text);
  return {0x0004, data};
}

const Rec kBof{0x0809, "00 02 10 00 00 00"};
const Rec kDimensions{0x0200, "00 00 FF FF 00 00 00 01 00 00"};
const std::string kSansSerif = "0D 4D 53 20 53 61 6E 73 20 53 65 72 69 66";
const Rec kFontPlain{0x0031, "A0 00 00 00 " + kSansSerif};
const Rec kFontBold{0x0031, "A0 00 01 00 " + kSansSerif};
const Rec kFooter{0x0015, "02 26 50"};
const std::string kPointThree = "33 33 33 33 33 33 D3 3F";
const Rec kEof{0x000A, ""};

std::vector<Rec> Preamble() {
  return {kBof,
          kDimensions,
          kFontPlain,
          kFontBold,
          kFontPlain,
          kFooter,
          {0x0026, kPointThree},
          {0x0029, kPointThree},
          {0x0028, kPointThree},
          {0x0027, kPointThree}};
}

TEST(NativeExcelTest, AgencySheetRecordByRecord) {
  const std::string title = "40 40 79";
  const std::string data = "40 80 79";
  std::vector<Rec> expected = Preamble();
  const std::vector<Rec> cells = {
      {0x0004, "00 00 00 00 40 40 79 0F 4E 6F 6D 65 20 44 61 20 41 67 EA 6E 63 69 61"},
      Label("00 00 01 00", title, Ansi("Endereço")),
      Label("00 00 02 00", title, Ansi("Município / Bairro")),
      Label("00 00 03 00", title, "UF"),
      Label("00 00 04 00", title, "DDD"),
      Label("00 00 05 00", title, "TELEFONE"),
      Label("01 00 00 00", data, Ansi("Agência São José")),
      Label("01 00 01 00", data, "Rua A, 10"),
      Label("01 00 02 00", data, Ansi("Sé")),
      Label("01 00 03 00", data, "SP"),
      {0x0003, "01 00 04 00 40 80 79 00 00 00 00 00 00 26 40"},  // 011 is the number 11
      {0x0004, "01 00 05 00 40 80 79 09 31 32 33 34 35 2D 36 37 38"},
      Label("02 00 00 00", data, "Emprego <b>& Cia"),
      Label("02 00 01 00", data, "Av. {x}\\y"),
      Label("02 00 02 00", data, "a;b"),
      Label("02 00 03 00", data, "RJ"),
      Label("02 00 04 00", data, "5\"B"),
      {0x0004, "02 00 05 00 40 80 79 00"},  // an empty value is a label, not a blank
      {0x0004, "03 00 00 00 40 80 79 00"},
      Label("03 00 01 00", data, "C:\\Arquivos"),
      Label("03 00 02 00", data, "Campinas"),
      Label("03 00 03 00", data, "SP"),
      {0x0003, "03 00 04 00 40 80 79 00 00 00 00 00 00 33 40"},
      Label("03 00 05 00", data, "3232-1000"),
  };
  expected.insert(expected.end(), cells.begin(), cells.end());
  expected.push_back(kEof);
  EXPECT_EQ(expected, Records(ExportAgencies(TmxExportType::xtExcel)));
}

TEST(NativeExcelTest, EmptyTableAndHiddenColumnsLeaveNoGap) {
  std::vector<TmxGridColumn> columns = AgencyColumns();
  columns[0].Visible = columns[1].Visible = columns[2].Visible = false;
  const TmxColumnModel model(columns, {});
  std::vector<Rec> expected = Preamble();
  expected.push_back(Label("00 00 00 00", "40 40 79", "UF"));
  expected.push_back(Label("00 00 01 00", "40 40 79", "DDD"));
  expected.push_back(Label("00 00 02 00", "40 40 79", "TELEFONE"));
  expected.push_back(kEof);
  EXPECT_EQ(expected, Records(ExportDocument(TmxExportType::xtExcel, model, AgencyInfo(0), {})));
}

TEST(NativeExcelTest, CellTextsBecomeNumbersIntegersOrLabels) {
  const std::vector<std::pair<std::string, Rec>> cases = {
      {"1.5", {0x0003, "01 00 00 00 40 80 79 00 00 00 00 00 00 F8 3F"}},
      {"1,5", {0x0004, "01 00 00 00 40 80 79 03 31 2C 35"}},
      {" 7", {0x0003, "01 00 00 00 40 80 79 00 00 00 00 00 00 1C 40"}},
      {"7 ", {0x0004, "01 00 00 00 40 80 79 02 37 20"}},
      {"-2", {0x0003, "01 00 00 00 40 80 79 00 00 00 00 00 00 00 C0"}},
      {"1e3", {0x0003, "01 00 00 00 40 80 79 00 00 00 00 00 40 8F 40"}},
      {"$FF", {0x0002, "01 00 00 00 40 80 79 FF 00"}},
      {"$12345", {0x0002, "01 00 00 00 40 80 79 45 23"}},
      {"0x10", {0x0002, "01 00 00 00 40 80 79 10 00"}},
      {"-$1", {0x0002, "01 00 00 00 40 80 79 FF FF"}},
      {".5", {0x0004, "01 00 00 00 40 80 79 02 2E 35"}},
      {"1e999", {0x0004, "01 00 00 00 40 80 79 05 31 65 39 39 39"}},
  };
  for (const auto& [text, record] : cases) {
    SCOPED_TRACE(text);
    const TmxColumnModel model({{"A", "", "A", TmxFieldKind::Text, 10, true, 1}}, {});
    const std::vector<Rec> records =
        Records(ExportDocument(TmxExportType::xtExcel, model, AgencyInfo(1), {{text}}));
    ASSERT_GE(records.size(), 2u);
    EXPECT_EQ(record, records[records.size() - 2]);
  }
}

TEST(NativeExcelTest, LongTextIsCutTo255AndCellsAsTextStayLabels) {
  TmxExportSettings settings;
  settings.EXCEL.Options.Include(TmxExcelOption::reCellsAsText);
  const TmxColumnModel model({{"A", "", "A", TmxFieldKind::Text, 300, true, 1},
                              {"B", "", "B", TmxFieldKind::Text, 3, true, 1}},
                             settings);
  const std::string longText(300, 'z');
  const std::string sheet =
      ExportDocument(TmxExportType::xtExcel, model, AgencyInfo(1), {{longText, "011"}});
  const std::vector<Rec> records = Records(sheet);
  ASSERT_GE(records.size(), 3u);
  EXPECT_EQ(Label("01 00 00 00", "40 80 79", std::string(255, 'z')), records[records.size() - 3]);
  EXPECT_EQ(Label("01 00 01 00", "40 80 79", "011"), records[records.size() - 2]);
  // Length field 8 + 255 = 263 = 0x0107.
  EXPECT_NE(std::string::npos, sheet.find(std::string("\x04\x00\x07\x01", 4)));
}

TEST(NativeExcelTest, HeaderAndFooterLinesRunDownTheFirstColumn) {
  TmxExportSettings settings;
  settings.Options.Exclude(TmxExportOption::xoUseAlignments);
  settings.EXCEL.Options = {TmxExcelOption::reSetColumnWidths};
  settings.EXCEL.Protected = true;
  settings.EXCEL.Header = "&A";
  settings.EXCEL.Footer.clear();
  const TmxColumnModel model({{"A", "", "A", TmxFieldKind::Text, 3, true, 1},
                              {"B", "", "B", TmxFieldKind::Text, 3, true, 1}},
                             settings);
  TmxDocumentInfo info = AgencyInfo(1);
  info.Header = "Topo\r\nSub";
  info.Footer = "Fim";
  const std::vector<Rec> expected = {
      kBof,
      kDimensions,
      kFontPlain,
      kFontBold,
      kFontPlain,
      {0x0014, "02 26 41"},
      {0x0024, "00 FF 00 14"},
      Label("00 00 00 00", "40 00 00", "Topo"),
      Label("01 00 00 00", "40 00 00", "Sub"),
      {0x0001, "02 00 00 00 40 00 00"},
      Label("03 00 00 00", "40 40 00", "A"),
      Label("03 00 01 00", "40 40 00", "B"),
      Label("04 00 00 00", "40 80 00", "x"),
      {0x0003, "04 00 01 00 40 80 00 00 00 00 00 00 00 F0 3F"},
      Label("06 00 00 00", "40 00 00", "Fim"),
      {0x0012, "01 00"},
      kEof,
  };
  EXPECT_EQ(expected, Records(ExportDocument(TmxExportType::xtExcel, model, info, {{"x", "1"}})));
}

TEST(NativeExcelTest, EarlyVersionsWriteTheirShorterRecords) {
  TmxNativeExcel sheet;
  sheet.SetBIFF(TmxBIFFVersion::bvBIFF2);
  sheet.CloseSheet();
  EXPECT_EQ((std::vector<Rec>{{0x0009, "00 02 10 00"}, {0x0000, "00 00 FF FF 00 00 00 01"}, kEof}),
            Records(sheet.Stream()));
  sheet.SetBIFF(TmxBIFFVersion::bvBIFF3);
  EXPECT_EQ((std::vector<Rec>{{0x0209, "00 02 10 00 00 00"}, kDimensions}),
            Records(sheet.Stream()));
  sheet.SetBIFF(TmxBIFFVersion::bvBIFF4);
  EXPECT_EQ(0x0409, Records(sheet.Stream())[0].Id);
}

TEST(NativeExcelTest, WritingAfterTheEndStartsANewSheet) {
  TmxNativeExcel sheet;
  sheet.WriteLabel("a");
  sheet.CloseSheet();
  EXPECT_FALSE(sheet.IsOpen());
  sheet.WriteBoolean(true);
  sheet.WriteError(42);
  EXPECT_EQ((std::vector<Rec>{kBof,
                              kDimensions,
                              {0x0005, "00 00 01 00 40 00 00 01 00"},
                              {0x0005, "00 00 02 00 40 00 00 2A 01"}}),
            Records(sheet.Stream()));
}

TEST(NativeExcelTest, CellAttributesFollowTheProperties) {
  TmxNativeExcel sheet;
  for (int i = 0; i < 5; ++i) sheet.WriteFont(TmxFont{});
  EXPECT_EQ(4u + 2u, Records(sheet.Stream()).size());  // at most four fonts
  sheet.Hidden = true;
  sheet.Locked = false;
  sheet.Shading = true;
  sheet.SetActiveFont(3);
  sheet.Alignment = TmxExcelAlignment::eaMultiPlan;
  sheet.Borders = {TmxExcelBorder::ebTop};
  sheet.WriteBlank();
  sheet.Alignment = TmxExcelAlignment::eaCenter;
  sheet.Borders = {TmxExcelBorder::ebRight};
  sheet.Locked = true;
  sheet.Hidden = false;
  sheet.Shading = false;
  sheet.WriteBlank();
  sheet.Alignment = TmxExcelAlignment::eaFill;
  sheet.Borders = {TmxExcelBorder::ebBottom, TmxExcelBorder::ebLeft};
  sheet.WriteBlank();
  const std::vector<Rec> records = Records(sheet.Stream());
  ASSERT_EQ(9u, records.size());
  EXPECT_EQ("00 00 00 00 80 C0 A7", records[6].Data);
  EXPECT_EQ("00 00 01 00 40 C0 12", records[7].Data);
  EXPECT_EQ("00 00 02 00 40 C0 4C", records[8].Data);
}

TEST(NativeExcelTest, UnknownVersionAlignmentAndMarginSideStayInBounds) {
  TmxNativeExcel sheet;
  sheet.SetBIFF(static_cast<TmxBIFFVersion>(9));
  EXPECT_EQ(TmxBIFFVersion::bvBIFF5, sheet.BIFF());
  sheet.WriteMargin(static_cast<TmxMarginSide>(7), 1.0);
  sheet.Alignment = static_cast<TmxExcelAlignment>(200);
  sheet.WriteBlank();
  EXPECT_EQ((std::vector<Rec>{kBof, kDimensions, {0x0001, "00 00 00 00 40 00 00"}}),
            Records(sheet.Stream()));

  TmxExportSettings settings;
  settings.EXCEL.ExcelVersion = static_cast<TmxExcelVersion>(77);
  const TmxColumnModel model({{"A", "", "A", TmxFieldKind::Text, 3, true, 1}}, settings);
  const std::string doc = ExportDocument(TmxExportType::xtExcel, model, {}, {{"x"}});
  ASSERT_FALSE(Records(doc).empty());
  EXPECT_EQ(kBof, Records(doc)[0]);
}

TEST(NativeExcelTest, PositionRulesAndMovement) {
  TmxNativeExcel sheet;
  sheet.SetRow(0);
  sheet.SetRow(65536);
  sheet.SetColumn(257);
  EXPECT_EQ(1, sheet.Row());
  EXPECT_EQ(1, sheet.Column());
  sheet.SetActiveFont(1);  // no font written yet
  EXPECT_EQ(0, sheet.ActiveFont());

  sheet.SetColumn(256);
  sheet.WriteBlank();  // right of the last column: the next row's first
  EXPECT_EQ(2, sheet.Row());
  EXPECT_EQ(1, sheet.Column());
  sheet.MoveAfterEnter = TmxMoveAfterEnter::maLeft;
  sheet.WriteBlank();
  EXPECT_EQ(1, sheet.Row());
  EXPECT_EQ(256, sheet.Column());
  sheet.MoveAfterEnter = TmxMoveAfterEnter::maDown;
  sheet.SetRow(65535);
  sheet.WriteBlank();
  EXPECT_EQ(65535, sheet.Row());  // no next column: stays
  EXPECT_EQ(256, sheet.Column());
  sheet.SetColumn(3);
  sheet.SetRow(65535);
  sheet.WriteBlank();
  EXPECT_EQ(1, sheet.Row());
  EXPECT_EQ(4, sheet.Column());
  sheet.MoveAfterEnter = TmxMoveAfterEnter::maUp;
  sheet.WriteBlank();
  EXPECT_EQ(65535, sheet.Row());
  EXPECT_EQ(3, sheet.Column());
  sheet.MoveAfterEnter = TmxMoveAfterEnter::maNone;
  sheet.WriteBlank();
  EXPECT_EQ(65535, sheet.Row());
  EXPECT_EQ(3, sheet.Column());
  // The last row takes further rows onto itself.
  sheet.SetRow(sheet.Row() + 1);
  EXPECT_EQ(65535, sheet.Row());
}

TEST(NativeExcelTest, FileNameGetsTheSpreadsheetExtension) {
  TmxNativeExcel sheet;
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"/tmp/agencias.txt", "/tmp/agencias.XLS"},
      {"/tmp/agencias", "/tmp/agencias.XLS"},
      {"/tmp/agencias.xls", "/tmp/agencias.xls"},
      {"/tmp/a.b/agencias", "/tmp/a.b/agencias.XLS"},
  };
  for (const auto& [name, expected] : cases) {
    sheet.SetFileName(name);
    EXPECT_EQ(expected, sheet.FileName());
  }
  EXPECT_EQ("1.24", TmxNativeExcel::Version());
}

class NativeExcelFileTest : public vorelia::test::TempDirTest {};

TEST_F(NativeExcelFileTest, SaveSheetWritesTheStream) {
  TmxNativeExcel sheet;
  sheet.SetFileName((m_dir / "planilha.csv").string());
  sheet.WriteLabel("x");
  sheet.CloseSheet();
  sheet.SaveSheet();
  std::ifstream in(m_dir / "planilha.XLS", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(sheet.Stream(), bytes);
}

TEST(NumberTextTest, DecimalAndIntegerGrammars) {
  EXPECT_EQ(11.0, ReadDecimalNumber("011"));
  EXPECT_FALSE(ReadDecimalNumber("  -.25e0"));
  EXPECT_EQ(1.5e-3, ReadDecimalNumber("+1.5E-3"));
  for (const char* no : {"", " ", "+", "1.", "1e", "1e+", "1.5x", "1 ", "12345-678", "\t1"}) {
    SCOPED_TRACE(no);
    EXPECT_FALSE(ReadDecimalNumber(no));
  }
  EXPECT_EQ(255, ReadInteger("$ff"));
  EXPECT_EQ(31, ReadInteger(" X1F"));
  EXPECT_EQ(-16, ReadInteger("-0x10"));
  EXPECT_EQ(12, ReadInteger("+12"));
  for (const char* no : {"", "$", "0x", "-", "$G", "12a", "1 "}) {
    SCOPED_TRACE(no);
    EXPECT_FALSE(ReadInteger(no));
  }
}

}  // namespace
}  // namespace vorelia::exporter::test
