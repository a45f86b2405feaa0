#pragma once

#include "report/core/page_canvas.h"

namespace vorelia::report {

// The frame of a report page, a band or a printable: any of four sides, as solid bars.
class TQRFrame {
 public:
  bool DrawTop = false;
  bool DrawBottom = false;
  bool DrawLeft = false;
  bool DrawRight = false;
  TColor Color = clBlack;
  // Points; -1 means one device pixel.
  int Width = 1;
  // Only the layout editor draws with the style; printed sides are always solid.
  TPenStyle Style = TPenStyle::psSolid;

  bool AnyFrame() const { return DrawTop || DrawBottom || DrawLeft || DrawRight; }

  // Draws the sides on a device rectangle; factors are device units per tenth of a millimetre.
  // Leaves the canvas brush hollow.
  void PaintIt(TPageCanvas& canvas, const TCanvasRect& rect, double horzFactor,
               double vertFactor) const;
};

}  // namespace vorelia::report
