#include "report/core/page_codec.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "report/core/page_recorder.h"
#include "report/core/qr_error.h"

namespace vorelia::report {
namespace {

using Bytes = std::vector<std::uint8_t>;

TPageRecording SamplePage() {
  TPageRecorder canvas(794, 1123);
  TCanvasFont font;
  font.Name = "Courier New";
  font.Size = 10;
  font.Bold = true;
  font.Underline = true;
  font.Color = 0x000000FF;
  canvas.SetFont(font);
  canvas.SetBrush({0x00F4F4F4, TBrushStyle::bsSolid});
  canvas.SetPen({clBlack, 2, TPenStyle::psDash, TPenMode::pmXor});
  canvas.FillRect({38, 100, 756, 156});
  canvas.TextOut(400, 110, "S\xE3o Paulo", TTextAlign::Center);
  canvas.TextRect({10, 20, 110, 40}, 108, 20, "011", TTextAlign::Right, true);
  canvas.Rectangle({-5, -7, 700, 300});
  canvas.Ellipse({0, 0, 65, 65});
  canvas.MoveTo(0, 31);
  canvas.LineTo(721, 31);
  canvas.ClipOff();
  canvas.SetBrush({clWhite, TBrushStyle::bsClear});
  return canvas.TakeRecording();
}

TEST(PageCodecTest, SmallPageHasTheDocumentedBytes) {
  TPageRecorder canvas(794, 1123);
  canvas.MoveTo(-1, 2);
  const Bytes expected = {'V',  'P',  'G',  0xD7,  // signature
                          0x01,                    // version
                          0x9A, 0x06,              // width 794
                          0xE3, 0x08,              // height 1123
                          0x60, 0x60,              // 96 x 96 per inch
                          0x01,                    // one operation
                          0x08, 0x01, 0x04};       // move to (-1, 2), zigzagged
  EXPECT_EQ(EncodePage(canvas.Recording()), expected);
}

TEST(PageCodecTest, EveryOperationRoundTrips) {
  const TPageRecording page = SamplePage();
  const Bytes bytes = EncodePage(page);
  EXPECT_TRUE(HasPageSignature(bytes));
  EXPECT_EQ(DecodePage(bytes), page);
}

TEST(PageCodecTest, OutOfRangeValuesAreClampedSoTheyReadBack) {
  TPageRecorder canvas(5000000, 1123, 0, 96);
  canvas.MoveTo(2000000000, -2000000000);
  canvas.FillRect({-2000000000, 0, 2000000000, 10});
  canvas.SetPen({clBlack, -4, TPenStyle::psSolid, TPenMode::pmCopy});
  const TPageRecording page = DecodePage(EncodePage(canvas.Recording()));
  EXPECT_EQ(page.Width, kMaxPageDimension);
  EXPECT_EQ(page.PixelsPerInchX, 1);
  EXPECT_EQ(std::get<TOpMoveTo>(page.Ops[0]), (TOpMoveTo{kMaxCoordinate, -kMaxCoordinate}));
  EXPECT_EQ(std::get<TOpFillRect>(page.Ops[1]).Rect,
            (TCanvasRect{-kMaxCoordinate, 0, kMaxCoordinate, 10}));
  EXPECT_EQ(std::get<TOpSetPen>(page.Ops[2]).Pen.Width, 0);
}

TEST(PageCodecTest, MalformedPagesAreRefused) {
  const Bytes good = EncodePage(SamplePage());
  // Every truncation, and every page with trailing bytes, is an error, never a crash.
  for (std::size_t size = 0; size < good.size(); ++size) {
    SCOPED_TRACE(size);
    EXPECT_THROW(DecodePage(std::span(good.data(), size)), EQRError);
  }
  Bytes longer = good;
  longer.push_back(0);
  EXPECT_THROW(DecodePage(longer), EQRError);

  struct Case {
    const char* what;
    Bytes bytes;
  };
  const Bytes head = {'V', 'P', 'G', 0xD7, 0x01, 0x10, 0x10, 0x60, 0x60};
  auto with = [&head](Bytes tail) {
    Bytes b = head;
    b.insert(b.end(), tail.begin(), tail.end());
    return b;
  };
  const std::vector<Case> cases = {
      {"wrong signature", {'V', 'P', 'G', 0x57, 0x01, 0x10, 0x10, 0x60, 0x60, 0x00}},
      {"unknown version", {'V', 'P', 'G', 0xD7, 0x02, 0x10, 0x10, 0x60, 0x60, 0x00}},
      {"zero resolution", {'V', 'P', 'G', 0xD7, 0x01, 0x10, 0x10, 0x00, 0x60, 0x00}},
      {"count beyond the bytes", with({0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 0x0A})},
      {"unknown opcode", with({0x01, 0x63})},
      {"opcode zero", with({0x01, 0x00})},
      {"six-byte varint", with({0x01, 0x08, 0x80, 0x80, 0x80, 0x80, 0x80, 0x01, 0x00})},
      {"varint overflow", with({0x01, 0x08, 0xFF, 0xFF, 0xFF, 0xFF, 0x1F, 0x00})},
      {"coordinate beyond limit", with({0x01, 0x08, 0x80, 0x80, 0x80, 0x11, 0x00})},
      {"brush style 8", with({0x01, 0x02, 0x00, 0x08})},
      {"pen mode 16", with({0x01, 0x03, 0x00, 0x01, 0x00, 0x10})},
      {"text align 3", with({0x01, 0x05, 0x00, 0x00, 0x03, 0x00})},
      {"text longer than the page", with({0x01, 0x05, 0x00, 0x00, 0x00, 0x7F, 'a'})},
      {"font name too long", with({0x01, 0x01, 0x80, 0x02})},
      {"font style bits", with({0x01, 0x01, 0x00, 0x14, 0x10, 0x00, 0x01})},
      {"rectangle end beyond limit",
       with({0x01, 0x04, 0xFE, 0xFF, 0xFF, 0x0F, 0x00, 0xFE, 0xFF, 0xFF, 0x0F, 0x00})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_THROW(DecodePage(c.bytes), EQRError);
  }
}

TEST(PageCodecTest, RandomMutationsNeverCrash) {
  const Bytes good = EncodePage(SamplePage());
  std::mt19937 random(11);
  int parsed = 0;
  for (int round = 0; round < 3000; ++round) {
    Bytes bytes = good;
    const int flips = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < flips; ++i) {
      bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
    }
    try {
      const TPageRecording page = DecodePage(bytes);
      EXPECT_LE(page.Ops.size(), bytes.size());
      ++parsed;
    } catch (const EQRError&) {
    }
  }
  EXPECT_GT(parsed, 0);  // some mutations only change values
}

}  // namespace
}  // namespace vorelia::report
