#include "report/core/page_recorder.h"

#include <gtest/gtest.h>

namespace vorelia::report {
namespace {

class FixedMeasurer : public TTextMeasurer {
 public:
  TCanvasSize Extent(const TCanvasFont& font, std::string_view text, int ppiX,
                     int) const override {
    return {static_cast<int>(text.size()) * ppiX / 96, font.Size};
  }
};

TEST(PageRecorderTest, RecordsCallsInOrderAndHandsThemOver) {
  TPageRecorder canvas(794, 1123);
  TCanvasFont font;
  font.Size = 8;
  canvas.SetFont(font);
  canvas.SetFont(font);  // repeated state is kept: tests see every call
  canvas.FillRect({1, 2, 3, 4});
  canvas.TextRect({0, 0, 10, 10}, 5, 6, "ab", TTextAlign::Center, true);
  EXPECT_EQ(canvas.Font().Size, 8);
  ASSERT_EQ(canvas.Recording().Ops.size(), 4u);
  EXPECT_EQ(std::get<TOpText>(canvas.Recording().Ops[3]),
            (TOpText{5, 6, "ab", TTextAlign::Center, true, TCanvasRect{0, 0, 10, 10}}));

  const TPageRecording page = canvas.TakeRecording();
  EXPECT_EQ(page.Ops.size(), 4u);
  EXPECT_EQ(page.Width, 794);
  EXPECT_TRUE(canvas.Recording().Ops.empty());
  EXPECT_EQ(canvas.Recording().Height, 1123);
  EXPECT_EQ(canvas.Font().Size, 8);  // the state outlives the hand-over
}

TEST(PageRecorderTest, MeasuresWithTheGivenMeasurerOrAnApproximation) {
  FixedMeasurer measurer;
  TPageRecorder measured(100, 100, 192, 192, &measurer);
  TCanvasFont font;
  font.Size = 12;
  measured.SetFont(font);
  EXPECT_EQ(measured.TextExtent("abc"), (TCanvasSize{6, 12}));

  // 10 points at 96 per inch is a 13-pixel em: four characters of 0.6 em are 31.2 pixels,
  // a line 1.15 em is 14.95; both truncate.
  TPageRecorder rough(100, 100);
  EXPECT_EQ(rough.TextWidth("abcd"), 31);
  EXPECT_EQ(rough.TextHeight("W"), 14);
}

}  // namespace
}  // namespace vorelia::report
