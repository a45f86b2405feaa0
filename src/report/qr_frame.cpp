#include "report/qr_frame.h"

#include "report/qr_unit_base.h"

namespace vorelia::report {

namespace {

int Thickness(int widthPoints, double factor) {
  if (widthPoints == -1) return 1;
  const int thickness = RoundEven(factor * widthPoints / 72.0 * 254.0);
  return thickness <= 0 && widthPoints > 0 ? 1 : thickness;
}

}  // namespace

void TQRFrame::PaintIt(TPageCanvas& canvas, const TCanvasRect& rect, double horzFactor,
                       double vertFactor) const {
  if (!AnyFrame()) return;
  const int across = Thickness(Width, horzFactor);
  const int down = Thickness(Width, vertFactor);
  canvas.SetBrush({Color, TBrushStyle::bsSolid});
  if (DrawTop) canvas.FillRect({rect.Left, rect.Top, rect.Right, rect.Top + down});
  if (DrawBottom) canvas.FillRect({rect.Left, rect.Bottom - down, rect.Right, rect.Bottom});
  if (DrawLeft) canvas.FillRect({rect.Left, rect.Top, rect.Left + across, rect.Bottom});
  if (DrawRight) canvas.FillRect({rect.Right - across, rect.Top, rect.Right, rect.Bottom});
  canvas.SetBrush({canvas.Brush().Color, TBrushStyle::bsClear});
}

}  // namespace vorelia::report
