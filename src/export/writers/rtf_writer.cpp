#include "export/writers/rtf_writer.h"

#include <array>

#include "export/writers/byte_set.h"

namespace vorelia::exporter {
namespace {

constexpr int kFixedTemplates = 4;

// Colour slots by template, rtStandard to rtGray, as $00BBGGRR. Slots: 0 page text, 1 title
// text, 2 table text, 3 table background, 4 title row background, 5 odd row background.
constexpr std::array<std::array<uint32_t, kFixedTemplates>, 6> kTemplateColors = {{
    {0x000000, 0x000000, 0x000000, 0x000000},
    {0xFFFFFF, 0x0000FF, 0xFFFFFF, 0xFFFFFF},
    {0x000000, 0x000000, 0x000000, 0x000000},
    {0xFFFFFF, 0xFF0000, 0xFFFFFF, 0xFFFFFF},
    {0x800000, 0x000000, 0x0000FF, 0x808080},
    {0x00FF80, 0xFF8080, 0x00FF80, 0x80FF80},
}};

constexpr const char* kGridLines =
    "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10"
    "\\clbrdrr\\brdrs\\brdrw10";
constexpr const char* kRowStart = "\\pard\\ri-123\\nowidctlpar\\widctlpar\\intbl\\adjustright";
constexpr const char* kRowEnd = "}\\pard \\nowidctlpar\\widctlpar\\intbl\\adjustright {\\row}\r\n";

std::string ColorEntry(uint32_t color) {
  return "\\red" + std::to_string(color & 0xFF) + "\\green" + std::to_string((color >> 8) & 0xFF) +
         "\\blue" + std::to_string((color >> 16) & 0xFF) + ";";
}

}  // namespace

int TmxRTFWriter::CellBoundary(int k, int cellWidth, int pixelsPerInch) {
  if (pixelsPerInch <= 0) pixelsPerInch = 96;
  // k * 100 / ppi * width, rounded half to even, in exact integer arithmetic.
  const long long numerator = static_cast<long long>(k) * 100 * cellWidth;
  const long long quotient = numerator / pixelsPerInch;
  const long long twiceRemainder = 2 * (numerator % pixelsPerInch);
  long long result = quotient;
  if (twiceRemainder > pixelsPerInch || (twiceRemainder == pixelsPerInch && quotient % 2 != 0)) {
    ++result;
  } else if (twiceRemainder < -pixelsPerInch ||
             (twiceRemainder == -pixelsPerInch && quotient % 2 != 0)) {
    --result;
  }
  return static_cast<int>(result);
}

std::string TmxRTFWriter::FontEntry(int n, const TmxFont& font) {
  const char* family = "froman";
  switch (font.PitchAndFamily & 0xF0) {
    case 0x00:
      family = "fdontcare";
      break;
    case 0x10:
      family = "froman";
      break;
    case 0x20:
      family = "fswiss";
      break;
    case 0x30:
      family = "fmodern";
      break;
    case 0x40:
      family = "fscript";
      break;
    case 0x50:
      family = "fdecorative";
      break;
    default:
      break;
  }
  const char* charset = "fcharset1";
  switch (font.CharSet) {
    case 0:
      charset = "fcharset0";
      break;
    case 2:
      charset = "fcharset2";
      break;
    case 128:
      charset = "fcharset128";
      break;
    case 255:
      charset = "fcharset255";
      break;
    default:
      break;
  }
  return "{\\f" + std::to_string(n) + "\\" + family + "\\" + charset + " " + font.Name + ";}";
}

std::string TmxRTFWriter::FontStyle(const TmxFont& font) {
  std::string style = "\\fs" + std::to_string(static_cast<int64_t>(font.Size) * 2);
  if (font.Bold) style += "\\b";
  if (font.Italic) style += "\\i";
  if (font.Underline) style += "\\ul";
  if (font.StrikeOut) style += "\\strike";
  return style;
}

uint32_t TmxRTFWriter::SlotColor(int slot) const {
  const TmxRTFOptions& rtf = Settings().DOC_RTF;
  if (rtf.Template != TmxRTFColorTemplate::rtCustom) {
    const size_t column = static_cast<size_t>(rtf.Template);
    return kTemplateColors[static_cast<size_t>(slot)][column < kFixedTemplates ? column : 0];
  }
  const TmxRTFColors& c = rtf.CustomSettings;
  switch (slot) {
    case 0:
      return c.DefaultFont.Color;
    case 1:
      return c.HeaderFont.Color;
    case 2:
      return c.TableFont.Color;
    case 3:
      return c.TableBackground;
    case 4:
      return c.HeaderBackground;
    default:
      return c.TableOddBackground;
  }
}

void TmxRTFWriter::DoBegin() {
  const TmxRTFOptions& rtf = Settings().DOC_RTF;
  const TmxRTFColors& fonts = rtf.CustomSettings;
  m_paragraphStart = "\\par \\pard\\plain\\f0" + FontStyle(fonts.DefaultFont) + "\\cf0 ";
  // Each row opens with the same bytes up to its first cell; built once per document.
  const std::string titleRun = " {\\f1" + FontStyle(fonts.HeaderFont) + "\\cf1\\cgrid0 ";
  const std::string dataRun = " {\\f2" + FontStyle(fonts.TableFont) + "\\cf2\\cgrid0 ";
  m_titleOpening = RowDefinition(" \\clcbpat3") + kRowStart + titleRun;
  m_evenOpening = RowDefinition(" \\clcbpat4") + kRowStart + dataRun;
  m_oddOpening = RowDefinition(" \\clcbpat5") + kRowStart + dataRun;

  m_out += "{\\rtf1\\ansi\\deff0\\deftab720\r\n";
  m_out += "{\\fonttbl" + FontEntry(0, fonts.DefaultFont) + FontEntry(1, fonts.HeaderFont) +
           FontEntry(2, fonts.TableFont) + "}\r\n";
  m_out += "{\\colortbl";
  for (int slot : {0, 1, 2, 4, 3, 5}) m_out += ColorEntry(SlotColor(slot));
  m_out += "}\r\n";
  m_out += "\\margl" + std::to_string(rtf.LeftMargin) + "\\margr" +
           std::to_string(rtf.RightMargin) + "\\margt" + std::to_string(rtf.TopMargin) + "\\margb" +
           std::to_string(rtf.BottomMargin);
  for (const std::string& line : SplitLines(Info().Header)) WriteParagraph(line);
  m_out += "\\par \\pard\\plain\\cgrid\r\n";
  m_out +=
      "{\\stylesheet{\\nowidctlpar\\widctlpar\\adjustright \\fs20\\cgrid \\snext0 Normal;}\r\n";
  m_out += "{\\*\\cs10 \\additive Default Paragraph Font;}}\r\n";
  m_out +=
      "{\\*\\pnseclvl1\\pnucrm\\pnstart1\\pnindent720\\pnhang{\\pntxta.}}\r\n"
      "{\\*\\pnseclvl2\\pnucltr\\pnstart1\\pnindent720\\pnhang{\\pntxta .}}\r\n"
      "{\\*\\pnseclvl3\\pndec\\pnstart1\\pnindent720\\pnhang{\\pntxta.}}\r\n"
      "{\\*\\pnseclvl4\\pnlcltr\\pnstart1\\pnindent720\\pnhang{\\pntxta)}}\r\n"
      "{\\*\\pnseclvl5\\pndec\\pnstart1\\pnindent720\\pnhang{\\pntxtb (}{\\pntxta)}}\r\n"
      "{\\*\\pnseclvl6\\pnlcltr\\pnstart1\\pnindent720\\pnhang{\\pntxtb (}{\\pntxta )}}\r\n"
      "{\\*\\pnseclvl7\\pnlcrm\\pnstart1\\pnindent720\\pnhang{\\pntxtb (}{\\pntxta)}}\r\n"
      "{\\*\\pnseclvl8\\pnlcltr\\pnstart1\\pnindent720\\pnhang{\\pntxtb (}{\\pntxta)}}\r\n"
      "{\\*\\pnseclvl9\\pnlcrm\\pnstart1\\pnindent720\\pnhang{\\pntxtb (}{\\pntxta )}}\r\n";
  if (HasOption(TmxExportOption::xoShowHeader)) WriteRow(LayOutTitles(), m_titleOpening);
}

void TmxRTFWriter::DoRow(const TmxValues& values, int rowsWalked) {
  const bool odd =
      Settings().DOC_RTF.Options.Has(TmxRTFOption::roOddRowColoring) && rowsWalked % 2 == 1;
  WriteRow(LayOutData(values), odd ? m_oddOpening : m_evenOpening);
}

void TmxRTFWriter::DoEnd() {
  m_out += "\\pard\\nowidctlpar\\widctlpar\\adjustright {\r\n";
  for (const std::string& line : SplitLines(Info().Footer)) WriteParagraph(line);
  if (HasOption(TmxExportOption::xoShowExportDate)) WriteParagraph(Info().DateLine);
  m_out += "}}";
}

// The row definition: every field column of the grid, hidden ones included, gets its cell.
std::string TmxRTFWriter::RowDefinition(const char* shading) const {
  const TmxRTFOptions& rtf = Settings().DOC_RTF;
  const bool gridLines = rtf.Options.Has(TmxRTFOption::roShowGridLines);
  std::string row = "\\trowd\\trgaph108\\trrh260\\trleft0";
  for (int k = 1; k <= m_model.LayoutColumnCount(); ++k) {
    row += "\\clvertalc";
    if (gridLines) row += kGridLines;
    row += shading;
    row += "\\cltxlrtb\\cellx" + std::to_string(CellBoundary(k, rtf.CellWidth, rtf.PixelsPerInch));
  }
  return row;
}

void TmxRTFWriter::WriteRow(const TmxRowCells& row, const std::string& opening) {
  m_out += opening;
  for (const TmxCell& cell : row.Cells) {
    switch (cell.Alignment) {
      case 1:
        m_out += "\\ql ";
        break;
      case 2:
        m_out += "\\qr ";
        break;
      case 3:
        m_out += "\\qc ";
        break;
      default:
        break;
    }
    AppendEscaped(cell.Text);
    m_out += "\\cell ";
  }
  m_out += kRowEnd;
}

void TmxRTFWriter::WriteParagraph(std::string_view text) {
  m_out += m_paragraphStart;
  m_out += text;
  m_out += "\r\n";
}

// Backslashes and braces in a value are text, not control words or groups: unescaped, a lone
// brace ends or breaks the document. Line breaks inside a value are dropped.
void TmxRTFWriter::AppendEscaped(std::string_view text) {
  static constexpr ByteSet kSpecial("\\{}\r\n");
  size_t start = 0;
  for (size_t i = kSpecial.FindIn(text); i != std::string_view::npos;
       i = kSpecial.FindIn(text, start)) {
    m_out.append(text.substr(start, i - start));
    if (text[i] != '\r' && text[i] != '\n') {
      m_out += '\\';
      m_out += text[i];
    }
    start = i + 1;
  }
  m_out.append(text.substr(start));
}

}  // namespace vorelia::exporter
