#include "widgets/status_bar.h"

#include <gtest/gtest.h>

namespace vorelia::widgets {
namespace {

TEST(StatusBarTest, PanelsKeepTheirWidthsWhateverTheBarsWidth) {
  TStatusBar bar;
  EXPECT_EQ(bar.AddPanel(160, Qt::AlignCenter, "Vorelia 1.0a"), 0);
  EXPECT_EQ(bar.AddPanel(50), 1);
  bar.resize(1000, 19);
  EXPECT_EQ(bar.height(), 19);
  EXPECT_EQ(bar.PanelCount(), 2);
  EXPECT_EQ(bar.PanelText(0), "Vorelia 1.0a");
  EXPECT_EQ(bar.PanelAlignment(0), Qt::AlignCenter);
  EXPECT_EQ(bar.PanelText(1), "");
  EXPECT_EQ(bar.PanelRect(0).left(), 0);
  EXPECT_EQ(bar.PanelRect(0).width(), 158);  // 160 less the 2-pixel gap
  EXPECT_EQ(bar.PanelRect(1).left(), 160);
  EXPECT_EQ(bar.PanelRect(1).width(), 48);

  bar.resize(300, 19);
  EXPECT_EQ(bar.PanelRect(1).left(), 160);
  EXPECT_EQ(bar.PanelRect(1).width(), 48);

  bar.SetPanelText(1, "12");
  EXPECT_EQ(bar.PanelText(1), "12");
  EXPECT_EQ(bar.sizeHint(), QSize(210, 19));
  EXPECT_THROW(bar.SetPanelText(2, "x"), std::out_of_range);
}

}  // namespace
}  // namespace vorelia::widgets
