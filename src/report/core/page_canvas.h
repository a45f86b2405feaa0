#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorelia::report {

// 32-bit colour $00BBGGRR: red in the low byte.
using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x00000000;
inline constexpr TColor clWhite = 0x00FFFFFF;
inline constexpr TColor clRed = 0x000000FF;

enum class TBrushStyle : std::uint8_t {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross,
};

enum class TPenStyle : std::uint8_t {
  psSolid,
  psDash,
  psDot,
  psDashDot,
  psDashDotDot,
  psClear,
  psInsideFrame,
};

// Raster operations of the pen, in the platform's order.
enum class TPenMode : std::uint8_t {
  pmBlack,
  pmWhite,
  pmNop,
  pmNot,
  pmCopy,
  pmNotCopy,
  pmMergePenNot,
  pmMaskPenNot,
  pmMergeNotPen,
  pmMaskNotPen,
  pmMerge,
  pmNotMerge,
  pmMask,
  pmNotMask,
  pmXor,
  pmNotXor,
};

// Horizontal alignment of a text relative to its X; the text's top is always at Y.
enum class TTextAlign : std::uint8_t { Left, Right, Center };

inline constexpr std::uint8_t kDefaultCharset = 1;

struct TCanvasFont {
  std::string Name = "Arial";  // family name, ANSI code page
  int Size = 10;               // points; a page plays its fonts at their point size
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  TColor Color = clBlack;
  std::uint8_t Charset = kDefaultCharset;

  bool operator==(const TCanvasFont&) const = default;
};

struct TCanvasBrush {
  TColor Color = clWhite;
  TBrushStyle Style = TBrushStyle::bsSolid;

  bool operator==(const TCanvasBrush&) const = default;
};

struct TCanvasPen {
  TColor Color = clBlack;
  int Width = 1;  // device units
  TPenStyle Style = TPenStyle::psSolid;
  TPenMode Mode = TPenMode::pmCopy;

  bool operator==(const TCanvasPen&) const = default;
};

// Device-unit rectangle; Right and Bottom are exclusive, as for a filled area.
struct TCanvasRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  bool operator==(const TCanvasRect&) const = default;
};

struct TCanvasSize {
  int Width = 0;
  int Height = 0;

  bool operator==(const TCanvasSize&) const = default;
};

// The drawing surface of one report page. Coordinates are integer device units of the page,
// origin at its top left corner. Texts are bytes in the ANSI code page, drawn with a
// transparent background. The canvas keeps a current font, brush, pen and pen position.
class TPageCanvas {
 public:
  virtual ~TPageCanvas() = default;

  // Page size in device units and the resolution the page is drawn at.
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual int PixelsPerInchX() const = 0;
  virtual int PixelsPerInchY() const = 0;

  virtual void SetFont(const TCanvasFont& font) = 0;
  virtual const TCanvasFont& Font() const = 0;
  virtual void SetBrush(const TCanvasBrush& brush) = 0;
  virtual const TCanvasBrush& Brush() const = 0;
  virtual void SetPen(const TCanvasPen& pen) = 0;
  virtual const TCanvasPen& Pen() const = 0;

  // Fills with the current brush, no outline.
  virtual void FillRect(const TCanvasRect& rect) = 0;
  // Text with its top at y, aligned on x; rightToLeft asks for right-to-left reading.
  virtual void TextOut(int x, int y, std::string_view text, TTextAlign align = TTextAlign::Left,
                       bool rightToLeft = false) = 0;
  // As TextOut, with this text clipped to clip.
  virtual void TextRect(const TCanvasRect& clip, int x, int y, std::string_view text,
                        TTextAlign align = TTextAlign::Left, bool rightToLeft = false) = 0;
  // Outlined with the pen and filled with the brush.
  virtual void Rectangle(const TCanvasRect& rect) = 0;
  virtual void Ellipse(const TCanvasRect& rect) = 0;
  virtual void MoveTo(int x, int y) = 0;
  // A line from the pen position to (x, y), which becomes the pen position.
  virtual void LineTo(int x, int y) = 0;
  virtual void ClipOff() = 0;

  // Size of a text in the current font, in device units of this page.
  virtual TCanvasSize TextExtent(std::string_view text) const = 0;
  int TextWidth(std::string_view text) const { return TextExtent(text).Width; }
  int TextHeight(std::string_view text) const { return TextExtent(text).Height; }
};

// Measures text for a canvas that cannot measure by itself (the recorder); the Qt layer
// supplies one built on real font metrics.
class TTextMeasurer {
 public:
  virtual ~TTextMeasurer() = default;
  // Extent of text in font at the given resolution, in device units.
  virtual TCanvasSize Extent(const TCanvasFont& font, std::string_view text, int ppiX,
                             int ppiY) const = 0;
};

}  // namespace vorelia::report
