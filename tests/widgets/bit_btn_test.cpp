#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

#include "widgets/bit_btn.h"

namespace vorelia::widgets {
namespace {

// Columns of the button's picture that hold the glyph (pure red) and the caption (dark text).
struct Columns {
  int glyphLeft = -1, glyphRight = -1, textLeft = -1, textRight = -1;
};

Columns Scan(const QImage& image) {
  Columns found;
  for (int x = 0; x < image.width(); ++x) {
    for (int y = 4; y < image.height() - 4; ++y) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 200 && c.green() < 60 && c.blue() < 60) {
        if (found.glyphLeft < 0) found.glyphLeft = x;
        found.glyphRight = x;
      } else if (found.glyphRight >= 0 && x > found.glyphRight && c.lightness() < 90) {
        if (found.textLeft < 0) found.textLeft = x;
        found.textRight = x;
      }
    }
  }
  return found;
}

TEST(BitBtnTest, SpacingPutsTheGapBetweenGlyphAndCaptionAndCentresThePair) {
  QPixmap red(16, 16);
  red.fill(Qt::red);
  for (int spacing : {5, 20}) {
    SCOPED_TRACE(spacing);
    TBitBtn button;
    button.setIcon(QIcon(red));
    button.setText("&Filtrar");
    button.resize(120, 40);
    button.SetSpacing(spacing);
    const Columns found = Scan(button.grab().toImage());
    ASSERT_GE(found.glyphLeft, 0);
    ASSERT_GE(found.textLeft, 0);
    EXPECT_EQ(found.glyphRight - found.glyphLeft + 1, 16);
    // A letter's first dark column may sit a pixel inside its advance.
    EXPECT_GE(found.textLeft - found.glyphRight - 1, spacing);
    EXPECT_LE(found.textLeft - found.glyphRight - 1, spacing + 2);
    EXPECT_NEAR(found.glyphLeft, button.width() - 1 - found.textRight, 4);
  }
}

}  // namespace
}  // namespace vorelia::widgets
