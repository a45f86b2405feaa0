#include "report/qr_shape.h"

#include "report/qr_custom_report.h"

namespace vorelia::report {

TQRShape::TQRShape(std::string name) : TQRPrintable(std::move(name)) { SetBounds(0, 0, 65, 65); }

void TQRShape::Print(int x0, int y0) {
  if (!Prints()) return;
  TQRCustomReport& report = *ParentReport();
  TPageCanvas& canvas = report.Canvas();
  canvas.SetPen(Pen);
  canvas.SetBrush(Brush);
  const double l = x0 + Size().Native(TQRPrintableSize::kLeft);
  const double t = y0 + Size().Native(TQRPrintableSize::kTop);
  const double w = Size().Native(TQRPrintableSize::kWidth);
  const double h = Size().Native(TQRPrintableSize::kHeight);
  const auto line = [&](double x1, double y1, double x2, double y2) {
    canvas.MoveTo(report.DeviceX(x1), report.DeviceY(y1));
    canvas.LineTo(report.DeviceX(x2), report.DeviceY(y2));
  };
  const TCanvasRect box{report.DeviceX(l), report.DeviceY(t), report.DeviceX(l + w),
                        report.DeviceY(t + h)};
  switch (Shape) {
    case TQRShapeType::qrsRectangle:
      canvas.Rectangle(box);
      break;
    case TQRShapeType::qrsCircle:
      canvas.Ellipse(box);
      break;
    case TQRShapeType::qrsVertLine:
      line(l + w / 2, t, l + w / 2, t + h);
      break;
    case TQRShapeType::qrsHorLine:
      line(l, t + h / 2, l + w, t + h / 2);
      break;
    case TQRShapeType::qrsTopAndBottom:
      line(l, t, l + w, t);
      line(l, t + h, l + w, t + h);
      break;
    case TQRShapeType::qrsRightAndLeft:
      line(l, t, l, t + h);
      line(l + w, t, l + w, t + h);
      break;
  }
}

}  // namespace vorelia::report
