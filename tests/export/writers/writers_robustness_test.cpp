// Values no form would normally hold, through every format: nothing may be lost, cut short or
// read back as markup, and nothing may crash.
#include <gtest/gtest.h>

#include "export_test_support.h"

namespace vorelia::exporter::test {
namespace {

constexpr TmxExportType kAllTypes[] = {
    TmxExportType::xtHTML, TmxExportType::xtExcel,    TmxExportType::xtWord, TmxExportType::xtTXT,
    TmxExportType::xtCSV,  TmxExportType::xtTAB,      TmxExportType::xtRTF,  TmxExportType::xtDIF,
    TmxExportType::xtSYLK, TmxExportType::xtClipboard};

std::string EveryByte(bool withLineBreaks) {
  std::string bytes;
  for (int b = 0; b < 256; ++b) {
    if (!withLineBreaks && (b == '\r' || b == '\n')) continue;
    bytes += static_cast<char>(b);
  }
  return bytes;
}

// What a text format makes of a value's line breaks: every CR, LF or CR LF becomes CR LF.
std::string WithCrlf(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      out += "\r\n";
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

// A reader of comma-separated text that follows the usual quoting rules.
std::vector<std::vector<std::string>> ReadCsv(std::string_view text) {
  std::vector<std::vector<std::string>> rows(1);
  std::string cell;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        cell += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        cell += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      rows.back().push_back(std::move(cell));
      cell.clear();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      rows.back().push_back(std::move(cell));
      cell.clear();
      rows.emplace_back();
      ++i;
    } else {
      cell += c;
    }
  }
  if (rows.back().empty()) rows.pop_back();
  return rows;
}

std::string Between(const std::string& text, const std::string& open, const std::string& close,
                    size_t from = 0) {
  const size_t start = text.find(open, from);
  if (start == std::string::npos) return "<missing>";
  const size_t end = text.find(close, start + open.size());
  if (end == std::string::npos) return "<unclosed>";
  return text.substr(start + open.size(), end - start - open.size());
}

std::string Replace(std::string text, std::string_view from, std::string_view to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

TEST(WritersRobustnessTest, HiddenColumnIsLeftOutOfEveryFormat) {
  std::vector<TmxGridColumn> columns = AgencyColumns();
  columns[1].Visible = false;
  const TmxColumnModel model(columns, {});
  std::vector<TmxValues> rows = AgencyRows();
  for (TmxValues& row : rows) row[1] = "ZZOCULTOZZ";
  for (TmxExportType type : kAllTypes) {
    SCOPED_TRACE(static_cast<int>(type));
    const std::string doc = ExportDocument(type, model, AgencyInfo(), rows);
    EXPECT_EQ(std::string::npos, doc.find("ZZOCULTOZZ"));
    EXPECT_EQ(std::string::npos, doc.find(Ansi("Endereço")));
    EXPECT_NE(std::string::npos, doc.find("Campinas"));
  }
}

TEST(WritersRobustnessTest, EveryByteValueReadsBackFromTheTextFormats) {
  const TmxColumnModel model({{"A", "", "A", TmxFieldKind::Text, 10, true, 1},
                              {"B", "", "B", TmxFieldKind::Text, 10, true, 1}},
                             {});
  const std::string all = EveryByte(true);
  const std::vector<TmxValues> rows = {{all, "fim"}};

  const auto csv = ReadCsv(ExportDocument(TmxExportType::xtCSV, model, AgencyInfo(1), rows));
  ASSERT_EQ(2u, csv.size());
  EXPECT_EQ((std::vector<std::string>{WithCrlf(all), "fim"}), csv[1]);

  const std::string tab = ExportDocument(TmxExportType::xtTAB, model, AgencyInfo(1), rows);
  EXPECT_NE(std::string::npos, tab.find("A\tB\r\n" + WithCrlf(all) + "\tfim\r\n"));

  const std::string html = ExportDocument(TmxExportType::xtHTML, model, AgencyInfo(1), rows);
  std::string cell = Between(html, "   <TR>\r\n    <TD ALIGN=\"Left\" ><small>", "</small></TD>");
  EXPECT_EQ(std::string::npos, cell.find_first_of("<>\""));
  cell = Replace(Replace(Replace(Replace(cell, "&lt;", "<"), "&gt;", ">"), "&quot;", "\""), "&amp;",
                 "&");
  EXPECT_EQ(WithCrlf(all), cell);

  // The rich text drops a value's line breaks and escapes its control characters.
  const std::string rtf = ExportDocument(TmxExportType::xtRTF, model, AgencyInfo(1), rows);
  std::string text = Between(rtf, "\\cf2\\cgrid0 \\ql ", "\\cell \\ql fim");
  text = Replace(Replace(Replace(text, "\\\\", "\x01"), "\\{", "{"), "\\}", "}");
  EXPECT_EQ(Replace(EveryByte(false), "\\", "\x01"), text);

  // Excel keeps the first 255 bytes in a label.
  const std::string sheet = ExportDocument(TmxExportType::xtExcel, model, AgencyInfo(1), rows);
  EXPECT_NE(std::string::npos, sheet.find(std::string("\x04\x00\x07\x01\x01\x00\x00\x00", 8) +
                                          "\x40\x80\x79\xFF" + all.substr(0, 255)));
}

TEST(WritersRobustnessTest, InterchangeFormatsKeepEveryByteButLineBreaks) {
  const TmxColumnModel model({{"A", "", "A", TmxFieldKind::Text, 10, true, 1}}, {});
  const std::string bytes = EveryByte(false);
  const std::string dif = ExportDocument(TmxExportType::xtDIF, model, AgencyInfo(1), {{bytes}});
  EXPECT_NE(std::string::npos, dif.find("BOT\r\n1,0\r\n\"" + bytes + "\"\r\n-1,0\r\nEOD\r\n"));
  const std::string sylk = ExportDocument(TmxExportType::xtSYLK, model, AgencyInfo(1), {{bytes}});
  EXPECT_EQ(bytes, Replace(Between(sylk, "C;X1;Y2;K\"", "\"\r\nE\r\n"), ";;", ";"));
}

TEST(WritersRobustnessTest, VeryLongValuesStayWholeUnlessTruncated) {
  const std::string huge(1 << 20, 'x');
  const TmxColumnModel model({{"A", "", "A", TmxFieldKind::Text, 25, true, 1}}, {});
  for (TmxExportType type : kAllTypes) {
    SCOPED_TRACE(static_cast<int>(type));
    const std::string doc = ExportDocument(type, model, AgencyInfo(1), {{huge}});
    if (type == TmxExportType::xtExcel) {
      EXPECT_NE(std::string::npos, doc.find(std::string(255, 'x')));
      EXPECT_EQ(std::string::npos, doc.find(std::string(256, 'x')));
    } else {
      EXPECT_NE(std::string::npos, doc.find(huge));
    }
  }
  TmxExportSettings settings;
  settings.Options.Include(TmxExportOption::xoTruncate);
  const TmxColumnModel cut({{"A", "", "A", TmxFieldKind::Text, 25, true, 1}}, settings);
  EXPECT_BYTES(Crlf("A\n" + std::string(22, 'x') + "...\n"),
               ExportDocument(TmxExportType::xtCSV, cut, AgencyInfo(1), {{huge}}));
}

TEST(WritersRobustnessTest, ZeroColumnsAndSparseRowsAreHarmless) {
  const TmxColumnModel none({}, {});
  for (TmxExportType type : kAllTypes) {
    SCOPED_TRACE(static_cast<int>(type));
    EXPECT_FALSE(ExportDocument(type, none, AgencyInfo(2), {{"a"}, {}}).empty());
    const TmxColumnModel agency(AgencyColumns(), {});
    const std::string doc = ExportDocument(type, agency, AgencyInfo(2), {{}, {"so o nome"}});
    EXPECT_NE(std::string::npos, doc.find("so o nome"));
  }
}

TEST(WritersRobustnessTest, OutlandishSettingsStayWithinBounds) {
  TmxExportSettings settings;
  settings.ColumnWidths = {"2000000000", "-70000", "65535"};
  settings.EXCEL.ColumnWidth = 1 << 30;
  settings.EXCEL.Options.Include(TmxExcelOption::reSetColumnWidths);
  settings.EXCEL.DefaultFont.Size = 1 << 30;
  settings.DOC_RTF.CustomSettings.TableFont.Size = 1 << 30;
  settings.DOC_RTF.CellWidth = 1 << 30;
  settings.DOC_RTF.Template = static_cast<TmxRTFColorTemplate>(200);
  settings.HTML.Template = static_cast<TmxHTMLColorTemplate>(200);
  const TmxColumnModel model({{"A", "", "A", TmxFieldKind::Text, 7, true, 1},
                              {"B", "", "B", TmxFieldKind::Text, 5, true, 1},
                              {"C", "", "C", TmxFieldKind::Text, 3, true, 1}},
                             settings);
  EXPECT_EQ(7, model.ColumnWidth(0));  // beyond any text: ignored
  EXPECT_EQ(5, model.ColumnWidth(1));
  EXPECT_EQ(65535, model.ColumnWidth(2));
  for (TmxExportType type : kAllTypes) {
    SCOPED_TRACE(static_cast<int>(type));
    EXPECT_FALSE(ExportDocument(type, model, AgencyInfo(1), {{"a", "b", "c"}}).empty());
  }
  EXPECT_NE(std::string::npos,
            ExportDocument(TmxExportType::xtHTML, model, AgencyInfo(1), {}).find("#336699"));
}

}  // namespace
}  // namespace vorelia::exporter::test
