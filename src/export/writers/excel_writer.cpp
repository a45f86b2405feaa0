#include "export/writers/excel_writer.h"

#include "export/writers/number_text.h"

namespace vorelia::exporter {
namespace {

constexpr TmxExcelAlignment kAlignments[] = {TmxExcelAlignment::eaGeneral,
                                             TmxExcelAlignment::eaLeft, TmxExcelAlignment::eaRight,
                                             TmxExcelAlignment::eaCenter};

}  // namespace

void TmxExcelWriter::DoBegin() {
  const TmxExcelOptions& excel = Settings().EXCEL;
  m_sheet.MoveAfterEnter = TmxMoveAfterEnter::maRight;
  m_sheet.SetColumn(1);
  m_sheet.SetRow(1);
  m_sheet.Borders = {};
  m_sheet.Alignment = TmxExcelAlignment::eaGeneral;
  m_sheet.SetBIFF(static_cast<TmxBIFFVersion>(excel.ExcelVersion));
  m_sheet.OpenSheet();
  m_sheet.WriteFont(excel.DefaultFont);
  m_sheet.WriteFont(excel.HeaderFont);
  m_sheet.WriteFont(excel.TableFont);
  if (!excel.Header.empty()) m_sheet.WriteHeader(excel.Header);
  if (!excel.Footer.empty()) m_sheet.WriteFooter(excel.Footer);
  if (excel.Options.Has(TmxExcelOption::reSetMargins)) {
    m_sheet.WriteMargin(TmxMarginSide::Left, excel.LeftMargin);
    m_sheet.WriteMargin(TmxMarginSide::Bottom, excel.BottomMargin);
    m_sheet.WriteMargin(TmxMarginSide::Top, excel.TopMargin);
    m_sheet.WriteMargin(TmxMarginSide::Right, excel.RightMargin);
  }
  if (excel.Options.Has(TmxExcelOption::reSetColumnWidths)) {
    m_sheet.WriteColumnWidth(0, 255,
                             static_cast<uint16_t>(static_cast<int64_t>(excel.ColumnWidth) * 256));
  }
  if (WriteTextLines(Info().Header) > 0) m_sheet.WriteBlank();
  m_sheet.MoveAfterEnter = TmxMoveAfterEnter::maRight;
  if (HasOption(TmxExportOption::xoShowHeader)) WriteCells(LayOutTitles(), 1);
}

void TmxExcelWriter::DoRow(const TmxValues& values, int) {
  m_sheet.SetRow(m_sheet.Row() + 1);
  m_sheet.SetColumn(1);
  WriteCells(LayOutData(values), 2);
}

void TmxExcelWriter::DoEnd() {
  m_sheet.SetRow(m_sheet.Row() + 2);
  m_sheet.SetColumn(1);
  WriteTextLines(Info().Footer);
  if (Settings().EXCEL.Protected) m_sheet.WriteProtect(true);
  m_sheet.CloseSheet();
  m_out = m_sheet.TakeStream();
}

// Lines as labels down the first column in the plain font.
size_t TmxExcelWriter::WriteTextLines(const std::string& text) {
  m_sheet.MoveAfterEnter = TmxMoveAfterEnter::maDown;
  m_sheet.SetActiveFont(0);
  m_sheet.Borders = {};
  const std::vector<std::string> lines = SplitLines(text);
  for (const std::string& line : lines) m_sheet.WriteLabel(line);
  return lines.size();
}

void TmxExcelWriter::WriteCells(const TmxRowCells& row, uint8_t font) {
  const TmxExcelOptions& excel = Settings().EXCEL;
  const bool asText = excel.Options.Has(TmxExcelOption::reCellsAsText);
  for (const TmxCell& cell : row.Cells) {
    if (HasOption(TmxExportOption::xoUseAlignments)) {
      m_sheet.Alignment =
          kAlignments[cell.Alignment >= 0 && cell.Alignment <= 3 ? cell.Alignment : 0];
    }
    m_sheet.SetActiveFont(font);
    m_sheet.Borders = excel.Options.Has(TmxExcelOption::reUseBorders)
                          ? TmxSet<TmxExcelBorder>{TmxExcelBorder::ebTop, TmxExcelBorder::ebBottom,
                                                   TmxExcelBorder::ebLeft, TmxExcelBorder::ebRight}
                          : TmxSet<TmxExcelBorder>{};
    if (asText) {
      m_sheet.WriteLabel(cell.Text);
    } else if (const auto number = ReadDecimalNumber(cell.Text)) {
      m_sheet.WriteNumber(*number);
    } else if (const auto integer = ReadInteger(cell.Text)) {
      m_sheet.WriteInteger(static_cast<uint16_t>(static_cast<uint64_t>(*integer) & 0xFFFF));
    } else {
      m_sheet.WriteLabel(cell.Text);
    }
    m_sheet.Alignment = TmxExcelAlignment::eaGeneral;
  }
}

}  // namespace vorelia::exporter
