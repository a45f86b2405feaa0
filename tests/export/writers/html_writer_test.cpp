#include "export/writers/html_writer.h"

#include <gtest/gtest.h>

#include "export_test_support.h"

namespace vorelia::exporter::test {
namespace {

TEST(HTMLWriterTest, AgencyPageWithEscapedValuesAndAlternatingRows) {
  EXPECT_BYTES(ExpectedDocument("agencias.html"), ExportAgencies(TmxExportType::xtHTML));
}

TEST(HTMLWriterTest, EmptyTablePageHasTheTitleRowOnly) {
  const TmxColumnModel model(AgencyColumns(), {});
  EXPECT_BYTES(ExpectedDocument("agencias_vazia.html"),
               ExportDocument(TmxExportType::xtHTML, model, AgencyInfo(0), {}));
}

TEST(HTMLWriterTest, LinksKeepTheirAddressReadable) {
  const TmxColumnModel model({{"SITE", "", "", TmxFieldKind::Text, 35, true, 1}}, {});
  const std::string page =
      ExportDocument(TmxExportType::xtHTML, model, AgencyInfo(),
                     {{"http://a.br/?x=1&y=\"2\""}, {"mailto:ana@b.br"}, {"HTTP://A.BR"}});
  EXPECT_NE(
      std::string::npos,
      page.find("    <TD ALIGN=\"Left\" ><small><A HREF=\"http://a.br/?x=1&amp;y=&quot;2&quot;\">"
                "http://a.br/?x=1&amp;y=&quot;2&quot;</A></small></TD>\r\n"));
  EXPECT_NE(std::string::npos,
            page.find("<small><A HREF=\"mailto:ana@b.br\">mailto:ana@b.br</A></small>"));
  // The schemes are looked for case-sensitively.
  EXPECT_NE(std::string::npos, page.find("<small>HTTP://A.BR</small>"));
}

TEST(HTMLWriterTest, TruncatedLinkPointsAtTheCutTextButShowsTheWholeValue) {
  TmxExportSettings settings;
  settings.Options.Include(TmxExportOption::xoTruncate);
  const TmxColumnModel model({{"SITE", "", "", TmxFieldKind::Text, 12, true, 1}}, settings);
  const std::string page =
      ExportDocument(TmxExportType::xtHTML, model, AgencyInfo(), {{"http://abcdefghij"}});
  EXPECT_NE(std::string::npos, page.find("<A HREF=\"http://ab...\">http://abcdefghij</A>"));
  // A cut that loses the scheme still links; a value without one stays text.
  const TmxColumnModel narrow({{"SITE", "", "", TmxFieldKind::Text, 6, true, 1}}, settings);
  const std::string cut = ExportDocument(TmxExportType::xtHTML, narrow, AgencyInfo(),
                                         {{"http://abcdefghij"}, {"sem link"}});
  EXPECT_NE(std::string::npos, cut.find("<small><A HREF=\"htt...\">http://abcdefghij</A></small>"));
  EXPECT_NE(std::string::npos, cut.find("<small>sem...</small>"));
}

TEST(HTMLWriterTest, OptionsShapeTheTableLines) {
  TmxExportSettings settings;
  settings.Options = {TmxExportOption::xoShowHeader};  // no alignments, lines or date
  settings.HTML.Options = {};
  settings.HTML.Template = TmxHTMLColorTemplate::ctDark;
  settings.ColumnWidths = {"40%"};
  const TmxColumnModel model({{"A", "", "", TmxFieldKind::Text, 3, true, 1}}, settings);
  const std::string page =
      ExportDocument(TmxExportType::xtHTML, model, AgencyInfo(), {{"x"}, {"y"}});
  const std::string expected = Crlf(
      R"(<!-- THIS FILE WAS CREATED BY TAV'S EXPORT COMPONENTS FOR NORVANE KELTRA -->
<!-- DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.0 TRANSITIONAL//EN" -->
<HTML>
 <HEAD>
  <META HTTP - EQUIV = "Content - Type" CONTENT = "TEXT/HTML">
  <META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=windows-1252">
  <META NAME = "GENERATOR" CONTENT = "Tav's Export Components for Keltra" >
  <META NAME = "Author" CONTENT = "Ildra Vosk" >
  <META NAME = "Description" CONTENT = "" >
 </HEAD>
 <BODY BGCOLOR="#317676" LINK="#DDE760" ALINK="#FFFF00" VLINK="#CCCC39" TEXT="#FFE760">
 <FONT COLOR="#FFE760" FACE="Arial,Helvetica">
  <TABLE WIDTH="100%" CELLPADDING="4" CELLSPACING="0" BGCOLOR="#004040">
  <FONT COLOR="#FFFFFF" FACE="Arial,Helvetica">
   <TR BGCOLOR="#3A9393">
    <TD WIDTH="40%"><FONT COLOR="#FFFFFF"><small>A</small></FONT></TD>
   </TR>
   <TR>
    <TD WIDTH="40%"><small>x</small></TD>
   </TR>
   <TR>
    <TD WIDTH="40%"><small>y</small></TD>
   </TR>
  </FONT>
  </TABLE>
 </FONT>
 </BODY>
</HTML>
)");
  EXPECT_BYTES(expected, page);
}

TEST(HTMLWriterTest, WithoutTitleRowOnlyTheTableFontLineOpensTheTable) {
  TmxExportSettings settings;
  settings.Options.Exclude(TmxExportOption::xoShowHeader);
  const TmxColumnModel model({{"A", "", "", TmxFieldKind::Text, 3, true, 1}}, settings);
  const std::string page = ExportDocument(TmxExportType::xtHTML, model, AgencyInfo(), {{"x"}});
  EXPECT_NE(std::string::npos,
            page.find("  <FONT COLOR=\"#000000\" FACE=\"Arial,Helvetica\">\r\n   <TR>\r\n"));
}

TEST(HTMLWriterTest, CustomColoursAndFacesAndEightDigitSystemColours) {
  TmxExportSettings settings;
  settings.HTML.Template = TmxHTMLColorTemplate::ctCustom;
  settings.HTML.CustomColors.Background = 0x8000000F;  // a system colour
  settings.HTML.CustomColors.DefaultFontFace = "Verdana";
  settings.HTML.CustomColors.TableFontFace = "Courier";
  settings.HTML.CustomColors.TableOddBackground = 0x00ABCDEF;
  const TmxColumnModel model({{"A", "", "", TmxFieldKind::Text, 3, true, 1}}, settings);
  const std::string page =
      ExportDocument(TmxExportType::xtHTML, model, AgencyInfo(), {{"x"}, {"y"}});
  EXPECT_NE(std::string::npos, page.find(" <BODY BGCOLOR=\"#8000000F\" LINK=\"#0000FF\""));
  EXPECT_NE(std::string::npos, page.find(" <FONT COLOR=\"#000000\" FACE=\"Verdana\">\r\n"));
  EXPECT_NE(std::string::npos, page.find("  <FONT COLOR=\"#000000\" FACE=\"Courier\">\r\n"));
  EXPECT_NE(std::string::npos, page.find("   <TR BGCOLOR=\"#ABCDEF\">\r\n"));
}

TEST(HTMLWriterTest, RowColouringFollowsTheRowsWalked) {
  const TmxColumnModel model({{"A", "", "", TmxFieldKind::Text, 3, true, 1}}, {});
  TmxHTMLWriter writer(model);
  writer.BeginDocument(AgencyInfo());
  writer.WriteRow({"a"}, 0);
  writer.WriteRow({"c"}, 2);  // the row walked in between was not selected
  writer.EndDocument();
  EXPECT_EQ(std::string::npos, writer.Document().find("BGCOLOR=\"#FFFFFF\">\r\n    <TD"));
  EXPECT_EQ(2, writer.RowsWritten());
}

TEST(HTMLWriterTest, ColourTemplatesPickTheirSlots) {
  TmxExportSettings settings;
  const TmxColumnModel standard({}, settings);
  TmxHTMLWriter writer(standard);
  EXPECT_EQ("#336699", writer.Color(5));
  EXPECT_EQ("#FFFFCF", writer.Color(7));
  settings.HTML.Template = TmxHTMLColorTemplate::ctOlive;
  const TmxColumnModel olive({}, settings);
  TmxHTMLWriter oliveWriter(olive);
  EXPECT_EQ("#5F605F", oliveWriter.Color(3));
  EXPECT_EQ("#CFC890", oliveWriter.Color(5));
  EXPECT_EQ("#FFFFCF", oliveWriter.Color(8));
  settings.HTML.Template = TmxHTMLColorTemplate::ctMSMoney;
  const TmxColumnModel money({}, settings);
  EXPECT_EQ("#000080", TmxHTMLWriter(money).Color(9));
  EXPECT_EQ("#AABBAA", TmxHTMLWriter(money).Color(4));
}

}  // namespace
}  // namespace vorelia::exporter::test
