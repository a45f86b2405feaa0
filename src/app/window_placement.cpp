#include "app/window_placement.h"

namespace vorelia::app {

QPoint CentredWindowPosition(const platform::TScreenFacts& screen, QSize window) {
  if (screen.workArea) {
    const platform::TScreenRect& area = *screen.workArea;
    // C++ division truncates toward zero, as the placement rule wants.
    return {(area.right - area.left - window.width()) / 2,
            (area.bottom - area.top - window.height()) / 2};
  }
  return {(screen.width - window.width()) / 2, (screen.height - window.height()) / 2};
}

QPoint LogoPosition(QSize client, QSize logo) {
  const int centreX = kDesignLogoCentre.x() * client.width() / kDesignClientSize.width();
  const int centreY = kDesignLogoCentre.y() * client.height() / kDesignClientSize.height();
  return {centreX - logo.width() / 2, centreY - logo.height() / 2};
}

}  // namespace vorelia::app
