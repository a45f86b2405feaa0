#pragma once

#include <string>

#include "report/qr_printable.h"

namespace vorelia::report {

enum class TQRShapeType {
  qrsRectangle,
  qrsCircle,
  qrsVertLine,
  qrsHorLine,
  qrsTopAndBottom,
  qrsRightAndLeft
};

// A rectangle, ellipse or lines drawn with its own pen and brush; the pen width is in device
// pixels and is not scaled.
class TQRShape : public TQRPrintable {
 public:
  explicit TQRShape(std::string name);

  TQRShapeType Shape = TQRShapeType::qrsRectangle;
  TCanvasPen Pen;
  TCanvasBrush Brush;

  void Print(int x0, int y0) override;
};

}  // namespace vorelia::report
