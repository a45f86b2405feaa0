#include "report/core/qr_compress.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "report/core/qr_error.h"

namespace vorelia::report {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(QRCompressTest, FreshTreeCodesAreTheInitialPaths) {
  struct Case {
    Bytes input;
    Bytes expected;
  };
  // Paths in the initial tree, sent root first and packed from bit 0 upwards:
  //   0   seven left steps then one right      -> 0x80
  //   1   six left steps, right, left          -> 0x40
  //   254 eight right steps                    -> 0xFF
  //   255 nine left steps (the deepest leaf)   -> 0x00, then a flushed 0x00
  // Repeated zeros: after the first, the splayed leaf sits at depth 4 (1111), then 2 (00),
  // then 1 (1).
  const std::vector<Case> cases = {
      {{0}, {0x80}},
      {{1}, {0x40}},
      {{254}, {0xFF}},
      {{255}, {0x00, 0x00}},
      {{0, 0}, {0x80, 0x0F}},
      {{0, 0, 0}, {0x80, 0x0F}},
      {{0, 0, 0, 0}, {0x80, 0x4F}},
      {{}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.input));
    EXPECT_EQ(CompressBytes(c.input), c.expected);
  }
}

TEST(QRCompressTest, DestroyingWritesOnlyAPartialByte) {
  Bytes out;
  {
    TQRCompress compressor(&out);
    compressor.Compress(0);
    EXPECT_EQ(out, Bytes({0x80}));  // eight bits: the byte is out before the end
  }
  EXPECT_EQ(out, Bytes({0x80}));  // nothing pending, nothing more written
  {
    TQRCompress compressor(&out);
    compressor.Compress(255);
    EXPECT_EQ(out.size(), 2u);
  }
  EXPECT_EQ(out.size(), 3u);  // the ninth bit went out when the compressor ended
}

TEST(QRCompressTest, EveryByteValueAndRandomDataRoundTrip) {
  Bytes all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<std::uint8_t>(i));
  for (int i = 255; i >= 0; --i) all.push_back(static_cast<std::uint8_t>(i));
  EXPECT_EQ(ExpandBytes(CompressBytes(all), all.size()), all);

  std::mt19937 random(7);
  Bytes noise(5000);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  EXPECT_EQ(ExpandBytes(CompressBytes(noise), noise.size()), noise);

  Bytes skewed(20000);
  for (auto& b : skewed) b = static_cast<std::uint8_t>(random() % 7 == 0 ? random() : 'a');
  const Bytes packed = CompressBytes(skewed);
  EXPECT_LT(packed.size(), skewed.size() / 2);
  EXPECT_EQ(ExpandBytes(packed, skewed.size()), skewed);
}

TEST(QRCompressTest, ARunOfOneByteShrinks) {
  const Bytes run(1000, 'x');
  const Bytes packed = CompressBytes(run);
  // Once the leaf is next to the root every byte costs one bit.
  EXPECT_LT(packed.size(), 140u);
  EXPECT_EQ(ExpandBytes(packed, run.size()), run);
}

TEST(QRCompressTest, DamagedInputFailsCleanly) {
  // Nine bits 0 0 0 0 0 0 0 0 1 lead to the leaf of the non-existent byte 256.
  EXPECT_THROW(ExpandBytes(Bytes{0x00, 0x01}, 1), EQRError);
  // Input that runs out before the claimed length.
  const Bytes packed = CompressBytes(Bytes(100, 'q'));
  EXPECT_THROW(ExpandBytes(packed, 5000), EQRError);
  EXPECT_THROW(ExpandBytes(Bytes{0x12}, 9), EQRError);
  // A length no input of this size could hold is refused before allocating.
  EXPECT_THROW(ExpandBytes(Bytes{0x12}, std::size_t{1} << 40), EQRError);
}

}  // namespace
}  // namespace vorelia::report
