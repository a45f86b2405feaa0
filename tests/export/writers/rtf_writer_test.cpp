#include "export/writers/rtf_writer.h"

#include <gtest/gtest.h>

#include "export_test_support.h"

namespace vorelia::exporter::test {
namespace {

const char* kPreamble = R"({\rtf1\ansi\deff0\deftab720
{\fonttbl{\f0\fswiss\fcharset0 MS Sans Serif;}{\f1\fswiss\fcharset0 MS Sans Serif;}{\f2\fswiss\fcharset0 MS Sans Serif;}}
{\colortbl\red0\green0\blue0;\red255\green255\blue255;\red0\green0\blue0;\red0\green0\blue128;\red255\green255\blue255;\red128\green255\blue0;}
\margl461\margr562\margt101\margb101\par \pard\plain\cgrid
{\stylesheet{\nowidctlpar\widctlpar\adjustright \fs20\cgrid \snext0 Normal;}
{\*\cs10 \additive Default Paragraph Font;}}
{\*\pnseclvl1\pnucrm\pnstart1\pnindent720\pnhang{\pntxta.}}
{\*\pnseclvl2\pnucltr\pnstart1\pnindent720\pnhang{\pntxta .}}
{\*\pnseclvl3\pndec\pnstart1\pnindent720\pnhang{\pntxta.}}
{\*\pnseclvl4\pnlcltr\pnstart1\pnindent720\pnhang{\pntxta)}}
{\*\pnseclvl5\pndec\pnstart1\pnindent720\pnhang{\pntxtb (}{\pntxta)}}
{\*\pnseclvl6\pnlcltr\pnstart1\pnindent720\pnhang{\pntxtb (}{\pntxta )}}
{\*\pnseclvl7\pnlcrm\pnstart1\pnindent720\pnhang{\pntxtb (}{\pntxta)}}
{\*\pnseclvl8\pnlcltr\pnstart1\pnindent720\pnhang{\pntxtb (}{\pntxta)}}
{\*\pnseclvl9\pnlcrm\pnstart1\pnindent720\pnhang{\pntxtb (}{\pntxta )}}
)";

const char* kBorders =
    R"(\clbrdrt\brdrs\brdrw10\clbrdrl\brdrs\brdrw10\clbrdrb\brdrs\brdrw10\clbrdrr\brdrs\brdrw10)";

// The row definition of the six agency columns with one shading.
std::string RowDefinition(const std::string& shading) {
  std::string row = R"(\trowd\trgaph108\trrh260\trleft0)";
  for (const char* edge : {"1458", "2917", "4375", "5833", "7292", "8750"}) {
    row += std::string(R"(\clvertalc)") + kBorders + shading + R"(\cltxlrtb\cellx)" + edge;
  }
  return row;
}

const std::string kRowStart = R"(\pard\ri-123\nowidctlpar\widctlpar\intbl\adjustright)";
const std::string kRowEnd = "}\\pard \\nowidctlpar\\widctlpar\\intbl\\adjustright {\\row}\n";
const std::string kTitleRun = R"( {\f1\fs16\b\cf1\cgrid0 )";
const std::string kDataRun = R"( {\f2\fs16\cf2\cgrid0 )";

std::string TitleRow() {
  return RowDefinition(R"( \clcbpat3)") + kRowStart + kTitleRun +
         R"(\ql Nome Da Agência\cell \ql Endereço\cell \ql Município / Bairro\cell )"
         R"(\ql UF\cell \ql DDD\cell \ql TELEFONE\cell )" +
         kRowEnd;
}

const char* kEnd = R"(\pard\nowidctlpar\widctlpar\adjustright {
\par \pard\plain\f0\fs16\cf0 Criado: 08/12/2026 14:05:09
}})";

TEST(RTFWriterTest, AgencyDocumentWithEscapedValuesAndAlternatingShading) {
  const std::string rows =
      RowDefinition(R"( \clcbpat4)") + kRowStart + kDataRun +
      R"(\ql Agência São José\cell \ql Rua A, 10\cell \ql Sé\cell \ql SP\cell \ql 011\cell )"
      R"(\ql 12345-678\cell )" +
      kRowEnd + RowDefinition(R"( \clcbpat5)") + kRowStart + kDataRun +
      R"(\ql Emprego <b>& Cia\cell \ql Av. \{x\}\\y\cell \ql a;b\cell \ql RJ\cell \ql 5"B\cell )"
      R"(\ql \cell )" +
      kRowEnd + RowDefinition(R"( \clcbpat4)") + kRowStart + kDataRun +
      R"(\ql \cell \ql C:\\Arquivos\cell \ql Campinas\cell \ql SP\cell \ql 019\cell )"
      R"(\ql 3232-1000\cell )" +
      kRowEnd;
  const std::string expected = Crlf(Ansi(kPreamble + TitleRow() + rows + kEnd));
  EXPECT_BYTES(expected, ExportAgencies(TmxExportType::xtRTF));
  // Word gets the very same document.
  EXPECT_BYTES(expected, ExportAgencies(TmxExportType::xtWord));
}

TEST(RTFWriterTest, EmptyTableDocumentEndsWithTheDateParagraph) {
  const TmxColumnModel model(AgencyColumns(), {});
  EXPECT_BYTES(Crlf(Ansi(kPreamble + TitleRow() + kEnd)),
               ExportDocument(TmxExportType::xtRTF, model, AgencyInfo(0), {}));
}

TEST(RTFWriterTest, LoneBracesAndLineBreaksCannotBreakTheDocument) {
  const TmxColumnModel model({{"A", "", "A", TmxFieldKind::Text, 5, true, 0}}, {});
  const std::string doc =
      ExportDocument(TmxExportType::xtRTF, model, AgencyInfo(), {{"}"}, {"{"}, {"a\r\nb\nc"}});
  EXPECT_NE(std::string::npos, doc.find(R"(\cgrid0 \}\cell })"));
  EXPECT_NE(std::string::npos, doc.find(R"(\cgrid0 \{\cell })"));
  EXPECT_NE(std::string::npos, doc.find(R"(\cgrid0 abc\cell })"));
  // Balanced groups: every brace the document opens, it closes.
  int depth = 0;
  for (size_t i = 0; i < doc.size(); ++i) {
    if (doc[i] == '\\') {
      ++i;
      continue;
    }
    if (doc[i] == '{') ++depth;
    if (doc[i] == '}') --depth;
    ASSERT_GE(depth, 0) << "at byte " << i;
  }
  EXPECT_EQ(0, depth);
  EXPECT_EQ("}}", doc.substr(doc.size() - 2));
}

TEST(RTFWriterTest, HiddenColumnKeepsItsCellDefinition) {
  std::vector<TmxGridColumn> columns = AgencyColumns();
  columns[4].Visible = false;
  const TmxColumnModel model(columns, {});
  const std::string doc = ExportDocument(TmxExportType::xtRTF, model, AgencyInfo(), {});
  const std::string title =
      Ansi(R"(\ql Nome Da Agência\cell \ql Endereço\cell \ql Município / Bairro\cell \ql UF\cell )"
           R"(\ql TELEFONE\cell })");
  EXPECT_NE(std::string::npos,
            doc.find(RowDefinition(R"( \clcbpat3)") + kRowStart + kTitleRun + title));
}

TEST(RTFWriterTest, HeaderAndFooterParagraphsAndPlainOptions) {
  TmxExportSettings settings;
  settings.Options = {TmxExportOption::xoShowExportDate};
  settings.DOC_RTF.Options = {};
  settings.DOC_RTF.CustomSettings.DefaultFont.Italic = true;
  settings.DOC_RTF.CustomSettings.DefaultFont.Size = 10;
  const TmxColumnModel model({{"A", "", "A", TmxFieldKind::Text, 5, true, 3}}, settings);
  TmxDocumentInfo info = AgencyInfo();
  info.Header = "Topo";
  info.Footer = "Rodape 1\nRodape 2";
  const std::string doc = ExportDocument(TmxExportType::xtRTF, model, info, {{"x"}, {"y"}});
  EXPECT_NE(std::string::npos, doc.find("\\margb101\\par \\pard\\plain\\f0\\fs20\\i\\cf0 Topo\r\n"
                                        "\\par \\pard\\plain\\cgrid\r\n"));
  // No title row, no borders, no odd-row shading, no alignment prefix.
  EXPECT_NE(std::string::npos,
            doc.find("}}\r\n\\trowd\\trgaph108\\trrh260\\trleft0\\clvertalc \\clcbpat4"
                     "\\cltxlrtb\\cellx1458" +
                     kRowStart + " {\\f2\\fs16\\cf2\\cgrid0 x\\cell "));
  EXPECT_EQ(std::string::npos, doc.find("clcbpat5"));
  EXPECT_NE(std::string::npos,
            doc.find("{\r\n\\par \\pard\\plain\\f0\\fs20\\i\\cf0 Rodape 1\r\n"
                     "\\par \\pard\\plain\\f0\\fs20\\i\\cf0 Rodape 2\r\n"
                     "\\par \\pard\\plain\\f0\\fs20\\i\\cf0 Criado: 08/12/2026 14:05:09\r\n}}"));
}

TEST(RTFWriterTest, FontsColoursAndCellBoundaries) {
  TmxFont font;
  font.Name = "Times";
  font.PitchAndFamily = 0x12;
  font.CharSet = 77;
  EXPECT_EQ(R"({\f3\froman\fcharset1 Times;})", TmxRTFWriter::FontEntry(3, font));
  font.PitchAndFamily = 0x60;
  font.CharSet = 2;
  EXPECT_EQ(R"({\f0\froman\fcharset2 Times;})", TmxRTFWriter::FontEntry(0, font));
  font.PitchAndFamily = 0x31;
  font.CharSet = 255;
  EXPECT_EQ(R"({\f0\fmodern\fcharset255 Times;})", TmxRTFWriter::FontEntry(0, font));
  font.Bold = font.Italic = font.Underline = font.StrikeOut = true;
  font.Size = 12;
  EXPECT_EQ(R"(\fs24\b\i\ul\strike)", TmxRTFWriter::FontStyle(font));

  EXPECT_EQ(1458, TmxRTFWriter::CellBoundary(1, 1400, 96));
  EXPECT_EQ(7292, TmxRTFWriter::CellBoundary(5, 1400, 96));
  // 100 * 3 / 8 = 37.5 and 100 * 5 / 8 = 62.5: halves go to the even neighbour.
  EXPECT_EQ(38, TmxRTFWriter::CellBoundary(1, 3, 8));
  EXPECT_EQ(62, TmxRTFWriter::CellBoundary(1, 5, 8));

  TmxExportSettings settings;
  settings.DOC_RTF.Template = TmxRTFColorTemplate::rtCustom;
  settings.DOC_RTF.CustomSettings.HeaderFont.Color = 0x00102030;
  const TmxColumnModel model({{"A", "", "A", TmxFieldKind::Text, 5, true, 1}}, settings);
  const std::string doc = ExportDocument(TmxExportType::xtRTF, model, AgencyInfo(), {});
  EXPECT_NE(
      std::string::npos,
      doc.find(R"({\colortbl\red0\green0\blue0;\red48\green32\blue16;\red0\green0\blue0;)"
               R"(\red153\green102\blue51;\red207\green255\blue255;\red255\green255\blue255;})"));
  settings.DOC_RTF.Template = TmxRTFColorTemplate::rtClassic;
  const TmxColumnModel classic({{"A", "", "A", TmxFieldKind::Text, 5, true, 1}}, settings);
  EXPECT_NE(std::string::npos,
            ExportDocument(TmxExportType::xtRTF, classic, AgencyInfo(), {})
                .find(R"({\colortbl\red0\green0\blue0;\red255\green0\blue0;\red0\green0\blue0;)"
                      R"(\red0\green0\blue0;\red0\green0\blue255;\red128\green128\blue255;})"));
}

}  // namespace
}  // namespace vorelia::exporter::test
