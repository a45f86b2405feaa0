#include "report/painter_canvas.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/qt/ansi_text.h"
#include "report/qr_measuring_context.h"

namespace vorelia::report {

namespace {

// Fonts this large take very long to rasterise and no report uses them: the bound keeps a
// damaged page from stalling the player.
constexpr double kMaxPlayedPointSize = 1000;

QColor ToQColor(TColor color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

Qt::BrushStyle ToQtBrushStyle(TBrushStyle style) {
  switch (style) {
    case TBrushStyle::bsSolid:
      return Qt::SolidPattern;
    case TBrushStyle::bsClear:
      return Qt::NoBrush;
    case TBrushStyle::bsHorizontal:
      return Qt::HorPattern;
    case TBrushStyle::bsVertical:
      return Qt::VerPattern;
    case TBrushStyle::bsFDiagonal:
      return Qt::FDiagPattern;
    case TBrushStyle::bsBDiagonal:
      return Qt::BDiagPattern;
    case TBrushStyle::bsCross:
      return Qt::CrossPattern;
    case TBrushStyle::bsDiagCross:
      return Qt::DiagCrossPattern;
  }
  return Qt::SolidPattern;
}

Qt::PenStyle ToQtPenStyle(TPenStyle style) {
  switch (style) {
    case TPenStyle::psSolid:
    case TPenStyle::psInsideFrame:
      return Qt::SolidLine;
    case TPenStyle::psDash:
      return Qt::DashLine;
    case TPenStyle::psDot:
      return Qt::DotLine;
    case TPenStyle::psDashDot:
      return Qt::DashDotLine;
    case TPenStyle::psDashDotDot:
      return Qt::DashDotDotLine;
    case TPenStyle::psClear:
      return Qt::NoPen;
  }
  return Qt::SolidLine;
}

QPainter::CompositionMode ToCompositionMode(TPenMode mode) {
  switch (mode) {
    case TPenMode::pmNot:
      return QPainter::RasterOp_NotDestination;
    case TPenMode::pmNotCopy:
      return QPainter::RasterOp_NotSource;
    case TPenMode::pmMergePenNot:
      return QPainter::RasterOp_SourceOrNotDestination;
    case TPenMode::pmMaskPenNot:
      return QPainter::RasterOp_SourceAndNotDestination;
    case TPenMode::pmMergeNotPen:
      return QPainter::RasterOp_NotSourceOrDestination;
    case TPenMode::pmMaskNotPen:
      return QPainter::RasterOp_NotSourceAndDestination;
    case TPenMode::pmMerge:
      return QPainter::RasterOp_SourceOrDestination;
    case TPenMode::pmNotMerge:
      return QPainter::RasterOp_NotSourceAndNotDestination;
    case TPenMode::pmMask:
      return QPainter::RasterOp_SourceAndDestination;
    case TPenMode::pmNotMask:
      return QPainter::RasterOp_NotSourceOrNotDestination;
    case TPenMode::pmXor:
      return QPainter::RasterOp_SourceXorDestination;
    case TPenMode::pmNotXor:
      return QPainter::RasterOp_NotSourceXorDestination;
    default:
      return QPainter::CompositionMode_SourceOver;
  }
}

// The area a filled shape covers: right and bottom are exclusive.
QRectF Area(const TCanvasRect& rect) {
  return QRectF(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top);
}

// The outline of a shape runs through the centres of its edge pixels, so a one-unit pen stays
// inside the area, as on the stored page.
QRectF Outline(const TCanvasRect& rect) {
  return QRectF(rect.Left + 0.5, rect.Top + 0.5, rect.Right - rect.Left - 1.0,
                rect.Bottom - rect.Top - 1.0);
}

}  // namespace

TPainterCanvas::TPainterCanvas(QPainter& painter, int width, int height, int ppiX, int ppiY)
    : m_painter(painter),
      m_width(width),
      m_height(height),
      m_ppiX(std::max(ppiX, 1)),
      m_ppiY(std::max(ppiY, 1)) {
  ApplyFont();
  SetBrush(m_brush);
  ApplyPen();
}

void TPainterCanvas::ApplyFont() {
  QFont font = ToQFont(m_font);
  // Qt sizes points by the device's resolution; the page's units are at the page's resolution.
  const int deviceDpi = m_painter.device() ? m_painter.device()->logicalDpiY() : m_ppiY;
  const double points =
      std::clamp(std::abs(static_cast<double>(m_font.Size)), 1.0, kMaxPlayedPointSize);
  font.setPointSizeF(points * m_ppiY / std::max(deviceDpi, 1));
  m_painter.setFont(font);
}

void TPainterCanvas::SetFont(const TCanvasFont& font) {
  m_font = font;
  ApplyFont();
}

void TPainterCanvas::SetBrush(const TCanvasBrush& brush) {
  m_brush = brush;
  m_painter.setBrush(QBrush(ToQColor(brush.Color), ToQtBrushStyle(brush.Style)));
}

void TPainterCanvas::ApplyPen() {
  QColor color = ToQColor(m_pen.Color);
  Qt::PenStyle style = ToQtPenStyle(m_pen.Style);
  if (m_pen.Mode == TPenMode::pmBlack) color = Qt::black;
  if (m_pen.Mode == TPenMode::pmWhite) color = Qt::white;
  if (m_pen.Mode == TPenMode::pmNop) style = Qt::NoPen;
  // Width 0 is the thinnest line the device can draw.
  QPen pen(QBrush(color), m_pen.Width, style, Qt::FlatCap, Qt::MiterJoin);
  pen.setCosmetic(m_pen.Width == 0);
  m_painter.setPen(pen);
  const QPaintEngine* engine = m_painter.paintEngine();
  const bool rasterOps = engine && engine->hasFeature(QPaintEngine::RasterOpModes);
  m_painter.setCompositionMode(rasterOps ? ToCompositionMode(m_pen.Mode)
                                         : QPainter::CompositionMode_SourceOver);
}

void TPainterCanvas::SetPen(const TCanvasPen& pen) {
  m_pen = pen;
  ApplyPen();
}

void TPainterCanvas::FillRect(const TCanvasRect& rect) {
  if (m_brush.Style == TBrushStyle::bsClear) return;
  m_painter.fillRect(Area(rect), m_painter.brush());
}

void TPainterCanvas::DrawText(int x, int y, std::string_view text, TTextAlign align,
                              bool rightToLeft) {
  if (text.empty()) return;
  const QString string = platform::FromAnsi(text);
  const QFontMetricsF metrics(m_painter.font(), m_painter.device());
  const double width = metrics.horizontalAdvance(string);
  double left = x;
  if (align == TTextAlign::Right) left -= width;
  if (align == TTextAlign::Center) left -= width / 2;
  const QPen oldPen = m_painter.pen();
  m_painter.setPen(ToQColor(m_font.Color));
  const Qt::LayoutDirection oldDirection = m_painter.layoutDirection();
  if (rightToLeft) m_painter.setLayoutDirection(Qt::RightToLeft);
  // Text hangs from its top: the baseline is one ascent lower.
  m_painter.drawText(QPointF(left, y + metrics.ascent()), string);
  m_painter.setLayoutDirection(oldDirection);
  m_painter.setPen(oldPen);
}

void TPainterCanvas::TextOut(int x, int y, std::string_view text, TTextAlign align,
                             bool rightToLeft) {
  DrawText(x, y, text, align, rightToLeft);
}

void TPainterCanvas::TextRect(const TCanvasRect& clip, int x, int y, std::string_view text,
                              TTextAlign align, bool rightToLeft) {
  m_painter.save();
  m_painter.setClipRect(Area(clip), Qt::IntersectClip);
  DrawText(x, y, text, align, rightToLeft);
  m_painter.restore();
}

void TPainterCanvas::Rectangle(const TCanvasRect& rect) { m_painter.drawRect(Outline(rect)); }

void TPainterCanvas::Ellipse(const TCanvasRect& rect) { m_painter.drawEllipse(Outline(rect)); }

void TPainterCanvas::MoveTo(int x, int y) {
  m_penX = x;
  m_penY = y;
}

void TPainterCanvas::LineTo(int x, int y) {
  m_painter.drawLine(QPointF(m_penX + 0.5, m_penY + 0.5), QPointF(x + 0.5, y + 0.5));
  m_penX = x;
  m_penY = y;
}

void TPainterCanvas::ClipOff() {
  // Text clipping ends with each text; nothing else clips.
}

TCanvasSize TPainterCanvas::TextExtent(std::string_view text) const {
  const QFontMetricsF metrics(m_painter.font(), m_painter.device());
  return {static_cast<int>(std::lround(metrics.horizontalAdvance(platform::FromAnsi(text)))),
          static_cast<int>(std::lround(metrics.height()))};
}

}  // namespace vorelia::report
