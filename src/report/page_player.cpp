#include "report/page_player.h"

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <algorithm>
#include <cmath>
#include <variant>

#include "report/painter_canvas.h"

namespace vorelia::report {

namespace {

// Largest image RenderPage makes (160 MB): a hostile page size must not ask for gigabytes.
constexpr double kMaxImagePixels = 40e6;

void Replay(const TPageOp& op, TPageCanvas& canvas) {
  std::visit(
      [&canvas](const auto& o) {
        using T = std::decay_t<decltype(o)>;
        if constexpr (std::is_same_v<T, TOpSetFont>) {
          canvas.SetFont(o.Font);
        } else if constexpr (std::is_same_v<T, TOpSetBrush>) {
          canvas.SetBrush(o.Brush);
        } else if constexpr (std::is_same_v<T, TOpSetPen>) {
          canvas.SetPen(o.Pen);
        } else if constexpr (std::is_same_v<T, TOpFillRect>) {
          canvas.FillRect(o.Rect);
        } else if constexpr (std::is_same_v<T, TOpText>) {
          if (o.Clip) {
            canvas.TextRect(*o.Clip, o.X, o.Y, o.Text, o.Align, o.RightToLeft);
          } else {
            canvas.TextOut(o.X, o.Y, o.Text, o.Align, o.RightToLeft);
          }
        } else if constexpr (std::is_same_v<T, TOpRectangle>) {
          canvas.Rectangle(o.Rect);
        } else if constexpr (std::is_same_v<T, TOpEllipse>) {
          canvas.Ellipse(o.Rect);
        } else if constexpr (std::is_same_v<T, TOpMoveTo>) {
          canvas.MoveTo(o.X, o.Y);
        } else if constexpr (std::is_same_v<T, TOpLineTo>) {
          canvas.LineTo(o.X, o.Y);
        } else {
          canvas.ClipOff();
        }
      },
      op);
}

}  // namespace

void PlayPage(const TPageRecording& page, QPainter& painter, const QRectF& target) {
  if (page.Width <= 0 || page.Height <= 0 || target.isEmpty()) return;
  painter.save();
  painter.setClipRect(target, Qt::IntersectClip);
  painter.translate(target.topLeft());
  painter.scale(target.width() / page.Width, target.height() / page.Height);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  TPainterCanvas canvas(painter, page.Width, page.Height, page.PixelsPerInchX, page.PixelsPerInchY);
  for (const TPageOp& op : page.Ops) Replay(op, canvas);
  painter.restore();
}

QImage RenderPage(const TPageRecording& page, int zoomPercent) {
  double scale = std::max(zoomPercent, 1) / 100.0;
  const double area = std::max(page.Width, 1) * scale * std::max(page.Height, 1) * scale;
  const bool capped = area > kMaxImagePixels;
  if (capped) scale *= std::sqrt(kMaxImagePixels / area);
  const double rounding = capped ? 0.0 : 0.5;  // a capped size must not round back over
  const int width = std::max(static_cast<int>(page.Width * scale + rounding), 1);
  const int height = std::max(static_cast<int>(page.Height * scale + rounding), 1);
  QImage image(width, height, QImage::Format_RGB32);
  // The image keeps the page's resolution scaled, so fonts come out at their point size.
  image.setDotsPerMeterX(static_cast<int>(page.PixelsPerInchX * scale / 0.0254 + 0.5));
  image.setDotsPerMeterY(static_cast<int>(page.PixelsPerInchY * scale / 0.0254 + 0.5));
  image.fill(Qt::white);
  QPainter painter(&image);
  PlayPage(page, painter, QRectF(0, 0, width, height));
  return image;
}

}  // namespace vorelia::report
