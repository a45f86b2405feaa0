#include "app/window_placement.h"

#include <gtest/gtest.h>

namespace vorelia::app {
namespace {

TEST(WindowPlacementTest, CentresOnTheScreenOrOnTheWorkAreaExtent) {
  struct Case {
    const char* what;
    platform::TScreenFacts screen;
    QSize window;
    QPoint expected;
  };
  const Case cases[] = {
      {"whole screen", {1024, 768, std::nullopt}, {738, 510}, {143, 129}},
      {"work area above a bottom task bar", {1280, 1024, platform::TScreenRect{0, 0, 1280, 994}},
       {738, 510}, {271, 242}},
      // The work area's origin is not added: a panel on the left or top shifts nothing.
      {"work area beside a left panel", {1280, 1024, platform::TScreenRect{100, 50, 1280, 1024}},
       {738, 510}, {221, 232}},
      // Division truncates toward zero: -101 div 2 = -50, -31 div 2 = -15.
      {"window larger than the screen", {640, 480, std::nullopt}, {741, 511}, {-50, -15}},
      {"larger than the work area", {640, 480, platform::TScreenRect{0, 0, 640, 480}},
       {741, 511}, {-50, -15}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(CentredWindowPosition(c.screen, c.window), c.expected);
  }
}

TEST(WindowPlacementTest, LogoKeepsItsCentreFractionOfTheClientArea) {
  struct Case {
    QSize client;
    QPoint expected;
  };
  const Case cases[] = {
      {{738, 492}, {184, 11}},     // the design
      {{1476, 984}, {568, 247}},   // twice: centre 768, 472
      {{1280, 1024}, {466, 266}},  // centre 666 (666.02), 491 (491.19)
      {{369, 246}, {-8, -107}},    // half: centre 192, 118
      {{1920, 1003}, {799, 256}},  // centre 999 (999.02), 481 (481.11)
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.client.width());
    EXPECT_EQ(LogoPosition(c.client, QSize(400, 450)), c.expected);
  }
}

}  // namespace
}  // namespace vorelia::app
