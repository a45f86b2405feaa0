#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "report/core/page_canvas.h"

namespace vorelia::report {

// The drawing operations a page is made of, one struct per canvas call.
struct TOpSetFont {
  TCanvasFont Font;
  bool operator==(const TOpSetFont&) const = default;
};
struct TOpSetBrush {
  TCanvasBrush Brush;
  bool operator==(const TOpSetBrush&) const = default;
};
struct TOpSetPen {
  TCanvasPen Pen;
  bool operator==(const TOpSetPen&) const = default;
};
struct TOpFillRect {
  TCanvasRect Rect;
  bool operator==(const TOpFillRect&) const = default;
};
// TextOut, or TextRect when Clip is set.
struct TOpText {
  int X = 0;
  int Y = 0;
  std::string Text;
  TTextAlign Align = TTextAlign::Left;
  bool RightToLeft = false;
  std::optional<TCanvasRect> Clip;
  bool operator==(const TOpText&) const = default;
};
struct TOpRectangle {
  TCanvasRect Rect;
  bool operator==(const TOpRectangle&) const = default;
};
struct TOpEllipse {
  TCanvasRect Rect;
  bool operator==(const TOpEllipse&) const = default;
};
struct TOpMoveTo {
  int X = 0;
  int Y = 0;
  bool operator==(const TOpMoveTo&) const = default;
};
struct TOpLineTo {
  int X = 0;
  int Y = 0;
  bool operator==(const TOpLineTo&) const = default;
};
struct TOpClipOff {
  bool operator==(const TOpClipOff&) const = default;
};

using TPageOp = std::variant<TOpSetFont, TOpSetBrush, TOpSetPen, TOpFillRect, TOpText,
                             TOpRectangle, TOpEllipse, TOpMoveTo, TOpLineTo, TOpClipOff>;

// One finished page: its size and resolution and the operations in drawing order. A fresh
// page starts with the default font, a white solid brush and a black pen of width 1.
struct TPageRecording {
  int Width = 0;
  int Height = 0;
  int PixelsPerInchX = 96;
  int PixelsPerInchY = 96;
  std::vector<TPageOp> Ops;

  bool operator==(const TPageRecording&) const = default;
};

}  // namespace vorelia::report
