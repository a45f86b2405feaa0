#pragma once

#include <QPoint>
#include <QSize>

#include "platform/screen.h"

namespace vorelia::app {

// Where the main window goes when centred: on the work area where the desktop reports one (its
// edges' extent, its origin not added), else on the whole screen. Divisions truncate toward
// zero, so a window larger than the screen gets a negative position.
QPoint CentredWindowPosition(const platform::TScreenFacts& screen, QSize window);

// The logo's place in a client area of the given size: its centre keeps the fraction of the
// client width and height that it has in the 738 x 492 design (centre 384, 236).
QPoint LogoPosition(QSize client, QSize logo);

inline constexpr QSize kDesignClientSize{738, 492};
inline constexpr QPoint kDesignLogoCentre{384, 236};
inline constexpr QSize kLogoSize{400, 450};

}  // namespace vorelia::app
