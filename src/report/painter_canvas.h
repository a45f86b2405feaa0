#pragma once

#include "report/core/page_canvas.h"

class QPainter;

namespace vorelia::report {

// A page canvas that draws straight onto a QPainter: the player replays stored pages through
// it, and a printer sheet can be drawn on with it. Coordinates are device units of a page of
// width × height drawn at ppiX × ppiY; the caller's painter transform maps them onto its
// device, and fonts keep their point size at the page's resolution whatever that mapping.
class TPainterCanvas : public TPageCanvas {
 public:
  TPainterCanvas(QPainter& painter, int width, int height, int ppiX, int ppiY);

  int Width() const override { return m_width; }
  int Height() const override { return m_height; }
  int PixelsPerInchX() const override { return m_ppiX; }
  int PixelsPerInchY() const override { return m_ppiY; }

  void SetFont(const TCanvasFont& font) override;
  const TCanvasFont& Font() const override { return m_font; }
  void SetBrush(const TCanvasBrush& brush) override;
  const TCanvasBrush& Brush() const override { return m_brush; }
  void SetPen(const TCanvasPen& pen) override;
  const TCanvasPen& Pen() const override { return m_pen; }

  void FillRect(const TCanvasRect& rect) override;
  void TextOut(int x, int y, std::string_view text, TTextAlign align = TTextAlign::Left,
               bool rightToLeft = false) override;
  void TextRect(const TCanvasRect& clip, int x, int y, std::string_view text,
                TTextAlign align = TTextAlign::Left, bool rightToLeft = false) override;
  void Rectangle(const TCanvasRect& rect) override;
  void Ellipse(const TCanvasRect& rect) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void ClipOff() override;

  TCanvasSize TextExtent(std::string_view text) const override;

 private:
  void ApplyFont();
  void ApplyPen();
  void DrawText(int x, int y, std::string_view text, TTextAlign align, bool rightToLeft);

  QPainter& m_painter;
  int m_width;
  int m_height;
  int m_ppiX;
  int m_ppiY;
  TCanvasFont m_font;
  TCanvasBrush m_brush;
  TCanvasPen m_pen;
  int m_penX = 0;
  int m_penY = 0;
};

}  // namespace vorelia::report
