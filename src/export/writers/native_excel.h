#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "export/writers/export_options.h"

namespace vorelia::exporter {

enum class TmxExcelAlignment : uint8_t {
  eaGeneral,
  eaLeft,
  eaRight,
  eaCenter,
  eaFill,
  eaMultiPlan
};
enum class TmxBIFFVersion : uint8_t { bvBIFF2, bvBIFF3, bvBIFF4, bvBIFF5 };
enum class TmxExcelBorder : uint8_t { ebTop, ebBottom, ebLeft, ebRight };
enum class TmxMoveAfterEnter : uint8_t { maNone, maUp, maDown, maLeft, maRight };
enum class TmxMarginSide : uint8_t { Left, Right, Top, Bottom };

// Builds a binary spreadsheet in memory, one record at a time. Every record is a 16-bit id, a
// 16-bit data length and the data, little-endian. Cells go to (Row, Column), 1-based, and the
// position then moves by MoveAfterEnter. Writing to a closed sheet opens a new one.
class TmxNativeExcel {
 public:
  static constexpr int kLastRow = 65535;
  static constexpr int kLastColumn = 256;

  TmxNativeExcel() { OpenSheet(); }

  // Properties; out-of-range values are ignored and the old value stays.
  uint8_t ActiveFont() const { return m_activeFont; }
  void SetActiveFont(uint8_t font);
  TmxExcelAlignment Alignment = TmxExcelAlignment::eaGeneral;
  TmxBIFFVersion BIFF() const { return m_biff; }
  void SetBIFF(TmxBIFFVersion version);
  TmxSet<TmxExcelBorder> Borders;
  const std::string& FileName() const { return m_fileName; }
  // Forces the extension ".XLS" unless the name already ends in it (any case).
  void SetFileName(std::string name);
  int Row() const { return m_row; }
  void SetRow(int row);
  int Column() const { return m_column; }
  void SetColumn(int column);
  TmxMoveAfterEnter MoveAfterEnter = TmxMoveAfterEnter::maRight;
  bool Shading = false;
  bool Hidden = false;
  bool Locked = true;
  static constexpr std::string_view Version() { return "1.24"; }

  void OpenSheet();
  void WriteFont(const TmxFont& font);
  void WriteHeader(std::string_view text);
  void WriteFooter(std::string_view text);
  void WriteMargin(TmxMarginSide side, double inches);
  void WriteColumnWidth(uint8_t first, uint8_t last, uint16_t width);

  // Cells, by the kind of value.
  void WriteBlank();
  void WriteInteger(uint16_t value);
  void WriteNumber(double value);
  void WriteLabel(std::string_view text);  // cut to its first 255 characters
  void WriteBoolean(bool value);
  void WriteError(uint8_t code);  // 0 #NULL!, 7 #DIV/0!, 15 #VALUE!, 42 #N/A, ...

  void WriteProtect(bool on);
  void CloseSheet();
  // Writes the stream to FileName through a temporary file.
  void SaveSheet() const;

  bool IsOpen() const { return m_open; }
  const std::string& Stream() const { return m_stream; }
  void Reserve(size_t bytes) { m_stream.reserve(bytes); }
  std::string TakeStream() { return std::move(m_stream); }

 private:
  void Record(uint16_t id, uint16_t length);
  void Put8(uint8_t value) { m_stream += static_cast<char>(value); }
  void Put16(uint16_t value);
  void PutDouble(double value);
  void PutShortText(std::string_view text);
  void CellRecord(uint16_t id, uint16_t length);
  void Move();

  std::string m_stream;
  std::string m_fileName;
  TmxBIFFVersion m_biff = TmxBIFFVersion::bvBIFF5;
  bool m_open = false;
  int m_fonts = 0;
  uint8_t m_activeFont = 0;
  int m_row = 1;
  int m_column = 1;
};

}  // namespace vorelia::exporter
