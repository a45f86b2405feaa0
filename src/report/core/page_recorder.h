#pragma once

#include <memory>

#include "report/core/page_canvas.h"
#include "report/core/page_recording.h"

namespace vorelia::report {

// A page canvas that records every call as an operation. The page store keeps what it
// records; tests read Recording() to check positions.
class TPageRecorder : public TPageCanvas {
 public:
  // measurer (not owned) measures text; without one, an approximate fixed-pitch rule is used
  // (0.6 em wide, 1.15 em high per character), enough for tests without a font system.
  TPageRecorder(int width, int height, int ppiX = 96, int ppiY = 96,
                const TTextMeasurer* measurer = nullptr);

  int Width() const override { return m_page.Width; }
  int Height() const override { return m_page.Height; }
  int PixelsPerInchX() const override { return m_page.PixelsPerInchX; }
  int PixelsPerInchY() const override { return m_page.PixelsPerInchY; }

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

  const TPageRecording& Recording() const { return m_page; }
  // Hands the recorded page over; the recorder is empty afterwards.
  TPageRecording TakeRecording();

 private:
  TPageRecording m_page;
  const TTextMeasurer* m_measurer;
  TCanvasFont m_font;
  TCanvasBrush m_brush;
  TCanvasPen m_pen;
};

}  // namespace vorelia::report
