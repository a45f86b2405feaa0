#pragma once

#include <optional>

namespace vorelia::platform {

// Edges of a desktop rectangle in pixels; right and bottom are exclusive (left + width).
struct TScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// The primary screen: its size and, where the desktop reports one, the work area (the part not
// covered by panels and task bars).
struct TScreenFacts {
  int width = 0;
  int height = 0;
  std::optional<TScreenRect> workArea;
};

class IScreen {
 public:
  virtual ~IScreen() = default;
  virtual TScreenFacts Facts() const = 0;
};

}  // namespace vorelia::platform
