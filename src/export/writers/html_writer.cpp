#include "export/writers/html_writer.h"

#include <array>
#include <cstdio>

#include "export/writers/byte_set.h"

namespace vorelia::exporter {
namespace {

constexpr int kSlots = 10;
constexpr int kFixedTemplates = 8;

// Colour slots by template, ctStandard to ctOlive. Slots: 0 active link, 1 page background,
// 2 link, 3 page text, 4 visited link, 5 title row background, 6 title text, 7 table
// background, 8 odd row background, 9 table text.
constexpr std::array<std::array<uint32_t, kFixedTemplates>, kSlots> kTemplateColors = {{
    {0xFF0000, 0xBBBBBB, 0xFF0000, 0xFF0000, 0xFFFF00, 0xFF0000, 0xFF0000, 0xFF0000},
    {0xFFFFFF, 0xFFFFFF, 0x339966, 0x339966, 0x317676, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF},
    {0x0000FF, 0xAAAAAA, 0x0066CC, 0x0066CC, 0xDDE760, 0x0000FF, 0x0000FF, 0x0000FF},
    {0x000000, 0x000000, 0x000000, 0x000000, 0xFFE760, 0x000000, 0x000000, 0x5F605F},
    {0xFFFF00, 0xDDDDDD, 0x923FC1, 0x923FC1, 0xCCCC39, 0xFFFF00, 0xAABBAA, 0xFFFF00},
    {0x336699, 0x000000, 0x000000, 0xCC0033, 0x3A9393, 0x808080, 0xCEC6B5, 0xCFC890},
    {0xFFFFFF, 0xFFFFFF, 0xFF0000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0x000000, 0x000000},
    {0xFFFFCF, 0xFFFFFF, 0x006BCE, 0xFFFFFF, 0x004040, 0xFFFFFF, 0xDEE7DE, 0xFFFFFF},
    {0xFFFFFF, 0xF3F3F3, 0x007AEC, 0xFAF100, 0x000000, 0xEEEEEE, 0xFFFBF0, 0xFFFFCF},
    {0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0x000000, 0x000080, 0x000000},
}};

uint32_t CustomColor(const TmxHTMLColors& c, int slot) {
  switch (slot) {
    case 0:
      return c.ActiveLink;
    case 1:
      return c.Background;
    case 2:
      return c.DefaultLink;
    case 3:
      return c.DefaultText;
    case 4:
      return c.VisitedLink;
    case 5:
      return c.HeaderBackground;
    case 6:
      return c.HeadersFontColor;
    case 7:
      return c.TableBackground;
    case 8:
      return c.TableOddBackground;
    default:
      return c.TableFontColor;
  }
}

constexpr std::array<std::string_view, 6> kLinkSchemes = {
    "http:", "https:", "ftp:", "news:", "nntp:", "mailto:"};

// A template's column in the colour table; an unknown template reads as the standard one.
size_t TemplateColumn(TmxHTMLColorTemplate colorTemplate) {
  const size_t column = static_cast<size_t>(colorTemplate);
  return column < kFixedTemplates ? column : 0;
}

bool LooksLikeLink(std::string_view text) {
  if (text.find(':') == std::string_view::npos) return false;  // the common case, in one scan
  for (std::string_view scheme : kLinkSchemes) {
    if (text.find(scheme) != std::string_view::npos) return true;
  }
  return false;
}

}  // namespace

std::string TmxHTMLWriter::Color(int slot) const {
  const TmxHTMLOptions& html = Settings().HTML;
  uint32_t value = 0;
  if (slot >= 0 && slot < kSlots) {
    value = html.Template == TmxHTMLColorTemplate::ctCustom
                ? CustomColor(html.CustomColors, slot)
                : kTemplateColors[static_cast<size_t>(slot)][TemplateColumn(html.Template)];
  }
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "#%.6X", static_cast<unsigned>(value));
  return buffer;
}

void TmxHTMLWriter::DoBegin() {
  const TmxHTMLOptions& html = Settings().HTML;
  const bool custom = html.Template == TmxHTMLColorTemplate::ctCustom;
  const std::string pageFace = custom ? html.CustomColors.DefaultFontFace : "Arial,Helvetica";
  const std::string tableFace = custom ? html.CustomColors.TableFontFace : "Arial,Helvetica";

  AppendLine("<!-- THIS FILE WAS CREATED BY TAV'S EXPORT COMPONENTS FOR NORVANE KELTRA -->");
  AppendLine(R"(<!-- DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.0 TRANSITIONAL//EN" -->)");
  AppendLine("<HTML>");
  AppendLine(" <HEAD>");
  AppendLine(R"(  <META HTTP - EQUIV = "Content - Type" CONTENT = "TEXT/HTML">)");
  // The line above declares no character set; without this one readers guess, and accented
  // names come out garbled.
  AppendLine(R"(  <META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=windows-1252">)");
  AppendLine(R"(  <META NAME = "GENERATOR" CONTENT = "Tav's Export Components for Keltra" >)");
  AppendLine(R"(  <META NAME = "Author" CONTENT = "Ildra Vosk" >)");
  AppendLine(R"(  <META NAME = "Description" CONTENT = "" >)");
  if (HasHTMLOption(TmxHTMLOption::hoDisplayTitle))
    AppendLine("  <TITLE>" + html.Title + "</TITLE>");
  AppendLine(" </HEAD>");
  AppendLine(" <BODY BGCOLOR=\"" + Color(1) + "\" LINK=\"" + Color(2) + "\" ALINK=\"" + Color(0) +
             "\" VLINK=\"" + Color(4) + "\" TEXT=\"" + Color(3) + "\">");
  AppendLine(" <FONT COLOR=\"" + Color(3) + "\" FACE=\"" + pageFace + "\">");
  for (const std::string& line : SplitLines(Info().Header)) AppendLine(line);
  if (HasOption(TmxExportOption::xoHeaderLine)) AppendLine("  <HR>");
  AppendLine(std::string(R"(  <TABLE WIDTH="100%" CELLPADDING="4" CELLSPACING="0")") +
             (HasHTMLOption(TmxHTMLOption::hoShowGridLines) ? R"( BORDER="1")" : "") +
             " BGCOLOR=\"" + Color(7) + "\">");
  AppendLine("  <FONT COLOR=\"" + Color(9) + "\" FACE=\"" + tableFace + "\">");
  // Every cell of a column opens the same way; built once per document.
  const TmxRowCells& titles = LayOutTitles();
  m_titleOpenings.clear();
  m_dataOpenings.clear();
  const bool bold = HasHTMLOption(TmxHTMLOption::hoBoldHeaders);
  for (const TmxCell& cell : titles.Cells) {
    const std::string attributes = CellAttributes(cell);
    m_titleOpenings.push_back(attributes + (bold ? "<B>" : "") + "<FONT COLOR=\"" + Color(6) +
                              "\"><small>");
    m_dataOpenings.push_back(attributes + "<small>");
  }
  m_titleClosing = std::string("</small></FONT>") + (bold ? "</B>" : "") + "</TD>\r\n";
  if (HasOption(TmxExportOption::xoShowHeader)) {
    AppendLine("   <TR BGCOLOR=\"" + Color(5) + "\">");
    WriteCells(titles, m_titleOpenings, m_titleClosing);
    AppendLine("   </TR>");
  }
}

void TmxHTMLWriter::DoRow(const TmxValues& values, int rowsWalked) {
  if (HasHTMLOption(TmxHTMLOption::hoOddRowColoring) && rowsWalked % 2 == 1) {
    AppendLine("   <TR BGCOLOR=\"" + Color(8) + "\">");
  } else {
    AppendLine("   <TR>");
  }
  WriteCells(LayOutData(values), m_dataOpenings, "</small></TD>\r\n");
  AppendLine("   </TR>");
}

void TmxHTMLWriter::DoEnd() {
  AppendLine("  </FONT>");
  AppendLine("  </TABLE>");
  if (HasOption(TmxExportOption::xoFooterLine)) AppendLine("  <HR>");
  for (const std::string& line : SplitLines(Info().Footer)) AppendLine(line);
  if (HasOption(TmxExportOption::xoShowExportDate)) AppendLine(Info().DateLine);
  AppendLine(" </FONT>");
  AppendLine(" </BODY>");
  AppendLine("</HTML>");
}

// "    <TD", the width and alignment attributes, ">".
std::string TmxHTMLWriter::CellAttributes(const TmxCell& cell) const {
  std::string html = "    <TD";
  if (cell.WidthEntry) {
    html += " WIDTH=\"";
    AppendEscaped(html, *cell.WidthEntry);
    html += '"';
  }
  switch (cell.Alignment) {
    case 1:
      html += R"( ALIGN="Left" )";
      break;
    case 2:
      html += R"( ALIGN="Right" )";
      break;
    case 3:
      html += R"( ALIGN="Center" )";
      break;
    default:
      break;
  }
  return html + ">";
}

void TmxHTMLWriter::WriteCells(const TmxRowCells& row, const std::vector<std::string>& openings,
                               std::string_view closing) {
  for (size_t i = 0; i < row.Cells.size() && i < openings.size(); ++i) {
    m_out += openings[i];
    WriteContent(row.Cells[i]);
    m_out += closing;
  }
}

// Whether a cell links is the value's own matter: a truncated text may have lost its scheme.
void TmxHTMLWriter::WriteContent(const TmxCell& cell) {
  if (HasHTMLOption(TmxHTMLOption::hoAutoLink) && LooksLikeLink(cell.Value)) {
    m_out += "<A HREF=\"";
    AppendEscaped(m_out, cell.Text);
    m_out += "\">";
    AppendEscaped(m_out, cell.Value);
    m_out += "</A>";
  } else if (cell.Text.empty()) {
    m_out += "&nbsp;";
  } else {
    AppendEscaped(m_out, cell.Text);
  }
}

// Markup characters in a value are shown, never interpreted.
void TmxHTMLWriter::AppendEscaped(std::string& out, std::string_view text) {
  static constexpr ByteSet kMarkup("&<>\"");
  size_t start = 0;
  for (size_t i = kMarkup.FindIn(text); i != std::string_view::npos;
       i = kMarkup.FindIn(text, start)) {
    AppendText(out, text.substr(start, i - start));
    switch (text[i]) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out += "&quot;";
        break;
    }
    start = i + 1;
  }
  AppendText(out, text.substr(start));
}

}  // namespace vorelia::exporter
