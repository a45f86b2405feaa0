#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace vorelia::exporter {

// Member order is the stored numeric value.
enum class TmxExportType : uint8_t {
  xtHTML,
  xtExcel,
  xtWord,
  xtTXT,
  xtCSV,
  xtTAB,
  xtRTF,
  xtDIF,
  xtSYLK,
  xtClipboard
};
enum class TmxExportStyle : uint8_t { xsFile, xsView };
enum class TmxExportError : uint8_t {
  xeInvalidFileName,
  xeFileExist,
  xeComponentIsNull,
  xeGeneralExportError,
  xeUserCancelled
};
enum class TmxExportOption : uint8_t {
  xoClipboardMessage,
  xoExportInvisibles,
  xoFooterLine,
  xoHeaderLine,
  xoRowNumbers,
  xoShowExportDate,
  xoShowHeader,
  xoShowProgress,
  xoSelectedRowsOnly,
  xoTruncate,
  xoUseAlignments
};

// A small set of enumeration members, stored as bits by member value.
template <typename E>
class TmxSet {
 public:
  constexpr TmxSet() = default;
  constexpr TmxSet(std::initializer_list<E> members) {
    for (E m : members) Include(m);
  }
  constexpr bool Has(E m) const { return (m_bits >> static_cast<unsigned>(m)) & 1u; }
  constexpr void Include(E m) { m_bits |= uint32_t{1} << static_cast<unsigned>(m); }
  constexpr void Exclude(E m) { m_bits &= ~(uint32_t{1} << static_cast<unsigned>(m)); }
  constexpr void Set(E m, bool on) { on ? Include(m) : Exclude(m); }
  constexpr uint32_t Bits() const { return m_bits; }
  constexpr bool operator==(const TmxSet&) const = default;

 private:
  uint32_t m_bits = 0;
};

using TmxExportOptionSet = TmxSet<TmxExportOption>;

// The component's default options, which the program keeps.
TmxExportOptionSet DefaultExportOptions();

// The extension a format writes by default, without the dot; empty for the clipboard.
// `htmlExtension` picks "HTM" (false) or "HTML" (true).
std::string DefaultExtension(TmxExportType type, bool htmlExtension = true);

// A font as the writers need it: name, size in points, style, colour $00BBGGRR, and the two
// classifications the rich text font table asks for (pitch-and-family byte, character set).
struct TmxFont {
  std::string Name = "MS Sans Serif";
  int Size = 8;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  uint32_t Color = 0x00000000;
  uint8_t PitchAndFamily = 0x20;  // swiss
  uint8_t CharSet = 0;
};

// ---- HTML ----
enum class TmxHTMLOption : uint8_t {
  hoShowGridLines,
  hoBoldHeaders,
  hoAutoLink,
  hoOddRowColoring,
  hoDisplayTitle
};
enum class TmxHTMLColorTemplate : uint8_t {
  ctStandard,
  ctBW,
  ctClassic,
  ctColorful,
  ctDark,
  ctGray,
  ctMSMoney,
  ctOlive,
  ctCustom
};
enum class TmxHTMLExtension : uint8_t { exHTM, exHTML };

struct TmxHTMLColors {
  uint32_t Background = 0xFFFFFF;
  uint32_t DefaultLink = 0x0000FF;
  std::string DefaultFontFace = "Arial,Helvetica";
  uint32_t VisitedLink = 0xFFFF00;
  uint32_t ActiveLink = 0xFF0000;
  uint32_t DefaultText = 0x000000;
  uint32_t TableFontColor = 0x000000;
  std::string TableFontFace = "Arial,Helvetica";
  uint32_t TableBackground = 0xFFFFCF;
  uint32_t TableOddBackground = 0xFFFFFF;
  uint32_t HeaderBackground = 0x336699;
  uint32_t HeadersFontColor = 0xFFFFFF;
};

struct TmxHTMLOptions {
  TmxHTMLColors CustomColors;
  TmxHTMLExtension Extension = TmxHTMLExtension::exHTML;
  TmxSet<TmxHTMLOption> Options{TmxHTMLOption::hoShowGridLines, TmxHTMLOption::hoBoldHeaders,
                                TmxHTMLOption::hoAutoLink, TmxHTMLOption::hoOddRowColoring,
                                TmxHTMLOption::hoDisplayTitle};
  TmxHTMLColorTemplate Template = TmxHTMLColorTemplate::ctStandard;
  std::string Title;
};

// ---- Word and RTF ----
enum class TmxRTFOption : uint8_t { roShowGridLines, roOddRowColoring };
enum class TmxRTFColorTemplate : uint8_t { rtStandard, rtClassic, rtColorful, rtGray, rtCustom };

struct TmxRTFColors {
  uint32_t TableBackground = 0x00FFFFCF;
  uint32_t TableOddBackground = 0x00FFFFFF;
  uint32_t HeaderBackground = 0x00336699;
  TmxFont DefaultFont;
  TmxFont HeaderFont{.Bold = true};
  TmxFont TableFont;
};

struct TmxRTFOptions {
  TmxRTFColorTemplate Template = TmxRTFColorTemplate::rtStandard;
  TmxSet<TmxRTFOption> Options{TmxRTFOption::roShowGridLines, TmxRTFOption::roOddRowColoring};
  TmxRTFColors CustomSettings;
  int CellWidth = 1400;
  int TopMargin = 101;
  int BottomMargin = 101;
  int LeftMargin = 461;
  int RightMargin = 562;
  int PixelsPerInch = 96;  // the screen's, for the cell boundaries
};

// ---- native spreadsheet ----
enum class TmxExcelOption : uint8_t {
  reCellsAsText,
  reSetColumnWidths,
  reSetMargins,
  reUseBorders
};
enum class TmxExcelVersion : uint8_t { xls21, xls30, xls40, xls50 };

struct TmxExcelOptions {
  TmxSet<TmxExcelOption> Options{TmxExcelOption::reSetMargins, TmxExcelOption::reUseBorders};
  int ColumnWidth = 20;
  bool Protected = false;
  std::string Header;
  std::string Footer = "&P";
  TmxExcelVersion ExcelVersion = TmxExcelVersion::xls50;
  TmxFont DefaultFont;
  TmxFont HeaderFont{.Bold = true};
  TmxFont TableFont;
  double TopMargin = 0.3;
  double BottomMargin = 0.3;
  double LeftMargin = 0.3;
  double RightMargin = 0.3;
};

// Everything of the export component that the column model and the writers read. Defaults are
// the records window's values (the component's own defaults but for the three date formats,
// which the component would take from the system).
struct TmxExportSettings {
  std::vector<std::string> Captions;
  std::vector<std::string> ColumnWidths;
  std::string DateFormat = "dd/MM/yy";
  std::string TimeFormat = "hh:mm";
  std::string DateTimeFormat = "hh:mm dd/MM/yy";
  std::string TrueText = "True";
  std::string FalseText = "False";
  std::string TruncateSymbol = "...";
  std::string RowNumberFormat = "%d";
  TmxExportOptionSet Options = DefaultExportOptions();
  TmxHTMLOptions HTML;
  TmxRTFOptions DOC_RTF;
  TmxExcelOptions EXCEL;
  // The document title of the interchange formats: the component's class name in upper case.
  std::string DocumentTitle = "TMXDBGRIDEXPORT";
};

// What a document needs besides the columns and rows. `Header` and `Footer` may hold several
// lines separated by CR, LF or CR LF. `DateLine` is the complete export date line.
struct TmxDocumentInfo {
  int TotalRows = 0;
  std::string Header;
  std::string Footer;
  std::string DateLine;
};

// "Criado:" + " " + "08/12/2026 14:05:09".
std::string ExportDateLine(std::string_view createdText, std::string_view dateTimeText);

// Splits a text into lines at CR, LF or CR LF; a break at the very end starts no further line,
// and an empty text has no lines.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace vorelia::exporter
