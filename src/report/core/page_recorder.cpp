#include "report/core/page_recorder.h"

#include <utility>

namespace vorelia::report {

TPageRecorder::TPageRecorder(int width, int height, int ppiX, int ppiY,
                             const TTextMeasurer* measurer)
    : m_measurer(measurer) {
  m_page.Width = width;
  m_page.Height = height;
  m_page.PixelsPerInchX = ppiX;
  m_page.PixelsPerInchY = ppiY;
}

// State changes are recorded even when they repeat the current state: the player starts
// every page from the defaults, and tests see the calls the printables made.
void TPageRecorder::SetFont(const TCanvasFont& font) {
  m_font = font;
  m_page.Ops.emplace_back(TOpSetFont{font});
}

void TPageRecorder::SetBrush(const TCanvasBrush& brush) {
  m_brush = brush;
  m_page.Ops.emplace_back(TOpSetBrush{brush});
}

void TPageRecorder::SetPen(const TCanvasPen& pen) {
  m_pen = pen;
  m_page.Ops.emplace_back(TOpSetPen{pen});
}

void TPageRecorder::FillRect(const TCanvasRect& rect) {
  m_page.Ops.emplace_back(TOpFillRect{rect});
}

void TPageRecorder::TextOut(int x, int y, std::string_view text, TTextAlign align,
                            bool rightToLeft) {
  m_page.Ops.emplace_back(TOpText{x, y, std::string(text), align, rightToLeft, std::nullopt});
}

void TPageRecorder::TextRect(const TCanvasRect& clip, int x, int y, std::string_view text,
                             TTextAlign align, bool rightToLeft) {
  m_page.Ops.emplace_back(TOpText{x, y, std::string(text), align, rightToLeft, clip});
}

void TPageRecorder::Rectangle(const TCanvasRect& rect) {
  m_page.Ops.emplace_back(TOpRectangle{rect});
}

void TPageRecorder::Ellipse(const TCanvasRect& rect) { m_page.Ops.emplace_back(TOpEllipse{rect}); }

void TPageRecorder::MoveTo(int x, int y) { m_page.Ops.emplace_back(TOpMoveTo{x, y}); }

void TPageRecorder::LineTo(int x, int y) { m_page.Ops.emplace_back(TOpLineTo{x, y}); }

void TPageRecorder::ClipOff() { m_page.Ops.emplace_back(TOpClipOff{}); }

TCanvasSize TPageRecorder::TextExtent(std::string_view text) const {
  if (m_measurer != nullptr) {
    return m_measurer->Extent(m_font, text, m_page.PixelsPerInchX, m_page.PixelsPerInchY);
  }
  const int count = static_cast<int>(text.size());
  const int emX = m_font.Size * m_page.PixelsPerInchX / 72;
  const int emY = m_font.Size * m_page.PixelsPerInchY / 72;
  return {count * emX * 6 / 10, emY * 115 / 100};
}

TPageRecording TPageRecorder::TakeRecording() {
  TPageRecording page = std::move(m_page);
  m_page = TPageRecording{page.Width, page.Height, page.PixelsPerInchX, page.PixelsPerInchY, {}};
  return page;
}

}  // namespace vorelia::report
