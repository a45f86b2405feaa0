#include "export/writers/native_excel.h"

#include <bit>
#include <cstring>
#include <iterator>

#include "export/writers/document_file.h"

namespace vorelia::exporter {
namespace {

constexpr size_t kMaxShortText = 255;
constexpr int kMaxFonts = 4;

std::string_view Cut(std::string_view text) { return text.substr(0, kMaxShortText); }

}  // namespace

void TmxNativeExcel::SetActiveFont(uint8_t font) {
  if (font <= m_fonts) m_activeFont = font;
}

void TmxNativeExcel::SetBIFF(TmxBIFFVersion version) {
  // A version beyond the known four has no BOF record: the old one stays.
  if (version == m_biff || version > TmxBIFFVersion::bvBIFF5) return;
  m_biff = version;
  OpenSheet();
}

void TmxNativeExcel::SetFileName(std::string name) {
  const size_t slash = name.find_last_of('/');
  const size_t dot = name.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  std::string extension = hasExtension ? name.substr(dot) : std::string();
  for (char& c : extension) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
  if (extension != ".XLS") name = (hasExtension ? name.substr(0, dot) : name) + ".XLS";
  m_fileName = std::move(name);
}

void TmxNativeExcel::SetRow(int row) {
  if (row >= 1 && row <= kLastRow) m_row = row;
}

void TmxNativeExcel::SetColumn(int column) {
  if (column >= 1 && column <= kLastColumn) m_column = column;
}

// BOF and DIMENSIONS, with the sheet bounds rows 0..65535 and columns 0..256.
void TmxNativeExcel::OpenSheet() {
  m_stream.clear();
  m_open = true;
  m_fonts = 0;
  const bool biff2 = m_biff == TmxBIFFVersion::bvBIFF2;
  static constexpr uint16_t kBofIds[] = {0x0009, 0x0209, 0x0409, 0x0809};
  Record(kBofIds[static_cast<size_t>(m_biff)], biff2 ? 4 : 6);
  Put16(0x0200);
  Put16(0x0010);
  if (!biff2) Put16(0);
  Record(biff2 ? 0x0000 : 0x0200, biff2 ? 8 : 10);
  Put16(0);
  Put16(0xFFFF);
  Put16(0);
  Put16(0x0100);
  if (!biff2) Put16(0);
}

void TmxNativeExcel::WriteFont(const TmxFont& font) {
  if (!m_open) OpenSheet();
  if (m_fonts >= kMaxFonts) return;
  const std::string_view name = Cut(font.Name);
  Record(0x0031, static_cast<uint16_t>(name.size() + 5));
  Put16(static_cast<uint16_t>(static_cast<int64_t>(font.Size) * 20));
  Put16(static_cast<uint16_t>((font.Bold ? 0x01 : 0) | (font.Italic ? 0x02 : 0) |
                              (font.Underline ? 0x04 : 0) | (font.StrikeOut ? 0x08 : 0)));
  PutShortText(name);
  ++m_fonts;
}

void TmxNativeExcel::WriteHeader(std::string_view text) {
  if (!m_open) OpenSheet();
  Record(0x0014, static_cast<uint16_t>(Cut(text).size() + 1));
  PutShortText(Cut(text));
}

void TmxNativeExcel::WriteFooter(std::string_view text) {
  if (!m_open) OpenSheet();
  Record(0x0015, static_cast<uint16_t>(Cut(text).size() + 1));
  PutShortText(Cut(text));
}

void TmxNativeExcel::WriteMargin(TmxMarginSide side, double inches) {
  if (!m_open) OpenSheet();
  static constexpr uint16_t kIds[] = {0x0026, 0x0027, 0x0028, 0x0029};
  const size_t index = static_cast<size_t>(side);
  if (index >= std::size(kIds)) return;
  Record(kIds[index], 8);
  PutDouble(inches);
}

void TmxNativeExcel::WriteColumnWidth(uint8_t first, uint8_t last, uint16_t width) {
  if (!m_open) OpenSheet();
  Record(0x0024, 4);
  Put8(first);
  Put8(last);
  Put16(width);
}

void TmxNativeExcel::WriteBlank() {
  CellRecord(0x0001, 7);
  Move();
}

void TmxNativeExcel::WriteInteger(uint16_t value) {
  CellRecord(0x0002, 9);
  Put16(value);
  Move();
}

void TmxNativeExcel::WriteNumber(double value) {
  CellRecord(0x0003, 15);
  PutDouble(value);
  Move();
}

void TmxNativeExcel::WriteLabel(std::string_view text) {
  const std::string_view cut = Cut(text);
  CellRecord(0x0004, static_cast<uint16_t>(cut.size() + 8));
  PutShortText(cut);
  Move();
}

void TmxNativeExcel::WriteBoolean(bool value) {
  CellRecord(0x0005, 9);
  Put8(value ? 1 : 0);
  Put8(0);
  Move();
}

void TmxNativeExcel::WriteError(uint8_t code) {
  CellRecord(0x0005, 9);
  Put8(code);
  Put8(1);
  Move();
}

void TmxNativeExcel::WriteProtect(bool on) {
  if (!m_open) OpenSheet();
  Record(0x0012, 2);
  Put16(on ? 1 : 0);
}

void TmxNativeExcel::CloseSheet() {
  if (!m_open) OpenSheet();
  Record(0x000A, 0);
  m_open = false;
}

void TmxNativeExcel::SaveSheet() const { SaveDocument(m_fileName, m_stream); }

void TmxNativeExcel::Record(uint16_t id, uint16_t length) {
  Put16(id);
  Put16(length);
}

void TmxNativeExcel::Put16(uint16_t value) {
  Put8(static_cast<uint8_t>(value & 0xFF));
  Put8(static_cast<uint8_t>(value >> 8));
}

void TmxNativeExcel::PutDouble(double value) {
  uint64_t bits = std::bit_cast<uint64_t>(value);
  for (int i = 0; i < 8; ++i, bits >>= 8) Put8(static_cast<uint8_t>(bits & 0xFF));
}

void TmxNativeExcel::PutShortText(std::string_view text) {
  Put8(static_cast<uint8_t>(text.size()));
  m_stream.append(text);
}

// Record header, position (row and column, 0-based) and the three attribute bytes.
void TmxNativeExcel::CellRecord(uint16_t id, uint16_t length) {
  if (!m_open) OpenSheet();
  static constexpr uint8_t kAlignments[] = {0, 1, 3, 2, 4, 7};
  const size_t alignment = static_cast<size_t>(Alignment);
  uint8_t style = alignment < std::size(kAlignments) ? kAlignments[alignment] : 0;
  if (Shading) style |= 0x80;
  if (Borders.Has(TmxExcelBorder::ebLeft)) style |= 0x08;
  if (Borders.Has(TmxExcelBorder::ebRight)) style |= 0x10;
  if (Borders.Has(TmxExcelBorder::ebTop)) style |= 0x20;
  if (Borders.Has(TmxExcelBorder::ebBottom)) style |= 0x40;
  const uint16_t row = static_cast<uint16_t>(m_row - 1);
  const uint16_t column = static_cast<uint16_t>(m_column - 1);
  // Built whole and appended once: cells are most of a sheet's records.
  const char head[11] = {static_cast<char>(id & 0xFF),
                         static_cast<char>(id >> 8),
                         static_cast<char>(length & 0xFF),
                         static_cast<char>(length >> 8),
                         static_cast<char>(row & 0xFF),
                         static_cast<char>(row >> 8),
                         static_cast<char>(column & 0xFF),
                         static_cast<char>(column >> 8),
                         static_cast<char>((Hidden ? 0x80 : 0) | (Locked ? 0x40 : 0)),
                         static_cast<char>((m_activeFont & 0x03) << 6),
                         static_cast<char>(style)};
  m_stream.append(head, sizeof head);
}

void TmxNativeExcel::Move() {
  switch (MoveAfterEnter) {
    case TmxMoveAfterEnter::maNone:
      break;
    case TmxMoveAfterEnter::maRight:
      if (m_column < kLastColumn) {
        ++m_column;
      } else if (m_row < kLastRow) {
        m_column = 1;
        ++m_row;
      }
      break;
    case TmxMoveAfterEnter::maDown:
      if (m_row < kLastRow) {
        ++m_row;
      } else if (m_column < kLastColumn) {
        m_row = 1;
        ++m_column;
      }
      break;
    case TmxMoveAfterEnter::maLeft:
      if (m_column > 1) {
        --m_column;
      } else if (m_row > 1) {
        m_column = kLastColumn;
        --m_row;
      }
      break;
    case TmxMoveAfterEnter::maUp:
      if (m_row > 1) {
        --m_row;
      } else if (m_column > 1) {
        m_row = kLastRow;
        --m_column;
      }
      break;
  }
}

}  // namespace vorelia::exporter
