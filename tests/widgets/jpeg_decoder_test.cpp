#include "widgets/jpeg_decoder.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/errors.h"
#include "widgets/resources.h"

namespace vorelia::widgets {
namespace {

QByteArray Resource(const char* path) {
  InitWidgetResources();
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
  return file.readAll();
}

std::span<const std::byte> Bytes(const QByteArray& data) {
  return std::as_bytes(std::span(data.constData(), static_cast<size_t>(data.size())));
}

TEST(JpegDecoderTest, DecodesTheProgramsPictures) {
  const QImage logo = DecodeJpeg(Bytes(Resource(":/pictures/logo.jpg")));
  EXPECT_EQ(logo.size(), QSize(400, 450));
  // The logo's corners are the frame's pale yellow, red 255, green 255, blue 198.
  const QColor corner = logo.pixelColor(2, 2);
  EXPECT_NEAR(corner.red(), 255, 3);
  EXPECT_NEAR(corner.green(), 255, 3);
  EXPECT_NEAR(corner.blue(), 198, 3);

  const QImage splash = LoadJpeg(":/pictures/splash.jpg");
  EXPECT_EQ(splash.size(), QSize(374, 300));
}

TEST(JpegDecoderTest, DamagedDataRaisesAnErrorAndNeverReadsPastTheEnd) {
  const QByteArray logo = Resource(":/pictures/logo.jpg");
  const std::vector<QByteArray> damaged = {
      QByteArray(),
      QByteArray("\xFF\xD8", 2),
      logo.left(200),                       // cut inside the headers
      QByteArray("not a picture at all, just text"),
      Resource(":/glyphs/ok.png"),          // another format
  };
  for (size_t i = 0; i < damaged.size(); ++i) {
    SCOPED_TRACE(i);
    // A copy of exactly the given size, so a read past the end would be caught by the sanitizers.
    std::vector<std::byte> exact(Bytes(damaged[i]).begin(), Bytes(damaged[i]).end());
    EXPECT_THROW(DecodeJpeg(exact), EVoreliaError);
  }
  EXPECT_THROW(LoadJpeg("/nonexistent/logo.jpg"), EVoreliaError);
}

TEST(JpegDecoderTest, TruncatedOrCorruptedScansNeverCrash) {
  const QByteArray logo = Resource(":/pictures/logo.jpg");
  std::srand(7);
  for (int round = 0; round < 40; ++round) {
    QByteArray bytes = round % 2 == 0 ? logo.left(logo.size() * (round + 1) / 42) : logo;
    if (round % 2 == 1) {
      for (int k = 0; k < 8; ++k) bytes[600 + std::rand() % (bytes.size() - 600)] = char(std::rand());
    }
    try {
      const QImage image = DecodeJpeg(Bytes(bytes));
      EXPECT_EQ(image.size(), QSize(400, 450));
    } catch (const EVoreliaError&) {
      // a clear error is as good as a partial picture
    }
  }
}

}  // namespace
}  // namespace vorelia::widgets
