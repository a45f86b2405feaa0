#include "report/core/qr_stream.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <fstream>
#include <numeric>
#include <vector>

#include "report/core/qr_error.h"
#include "support/temp_dir.h"

namespace vorelia::report {
namespace {

class QRStreamTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    const char* old = ::getenv("TMPDIR");
    m_oldTmp = old ? old : "";
    m_hadTmp = old != nullptr;
    ::setenv("TMPDIR", m_dir.c_str(), 1);
  }
  void TearDown() override {
    if (m_hadTmp) {
      ::setenv("TMPDIR", m_oldTmp.c_str(), 1);
    } else {
      ::unsetenv("TMPDIR");
    }
    TempDirTest::TearDown();
  }
  int FilesInTemp() const {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir)) {
      if (entry.path().filename().string().rfind("QRP", 0) == 0) ++count;
    }
    return count;
  }

  std::string m_oldTmp;
  bool m_hadTmp = false;
};

TEST_F(QRStreamTest, StaysInMemoryUpToTheLimitThenSpillsAndCleansUp) {
  std::vector<std::uint8_t> data(100001);
  std::iota(data.begin(), data.end(), 0);
  std::filesystem::path spilled;
  {
    TQRStream stream(100000);
    stream.Write(data.data(), 100000);
    EXPECT_FALSE(stream.InFile());
    EXPECT_EQ(FilesInTemp(), 0);
    stream.Write(data.data() + 100000, 1);  // one byte past the limit moves it
    EXPECT_TRUE(stream.InFile());
    spilled = stream.TemporaryPath();
    EXPECT_EQ(spilled.parent_path(), m_dir);
    EXPECT_EQ(std::filesystem::file_size(spilled), 100001u);
    EXPECT_EQ(stream.Size(), 100001u);
    EXPECT_EQ(stream.Position(), 100001u);

    // What was in memory before the move reads back from the file.
    std::vector<std::uint8_t> back(100001);
    stream.Seek(0);
    EXPECT_EQ(stream.Read(back.data(), back.size()), back.size());
    EXPECT_EQ(back, data);
    // Reads at the end are short, not errors.
    EXPECT_EQ(stream.Read(back.data(), 10), 0u);
    EXPECT_EQ(stream.ReadAt(100000, back.data(), 10), 1u);

    // Overwriting inside the file keeps the size.
    const std::uint8_t patch[2] = {0xAB, 0xCD};
    stream.WriteAt(5, patch, 2);
    EXPECT_EQ(stream.Size(), 100001u);
    stream.ReadAt(4, back.data(), 4);
    EXPECT_EQ(back[1], 0xAB);
    EXPECT_EQ(back[2], 0xCD);
    EXPECT_EQ(back[3], data[7]);
  }
  EXPECT_FALSE(std::filesystem::exists(spilled));
  EXPECT_EQ(FilesInTemp(), 0);
}

TEST_F(QRStreamTest, AFailedSpillFailsTheWriteAndKeepsTheData) {
  ::setenv("TMPDIR", (m_dir / "missing").c_str(), 1);
  TQRStream stream(10);
  const std::uint8_t bytes[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  stream.Write(bytes, 8);
  EXPECT_THROW(stream.Write(bytes, 12), EQRError);
  EXPECT_FALSE(stream.InFile());
  EXPECT_EQ(stream.Size(), 8u);
  std::uint8_t back[8] = {};
  EXPECT_EQ(stream.ReadAt(0, back, 8), 8u);
  EXPECT_EQ(back[7], 8);
}

TEST_F(QRStreamTest, AnOpenedFileIsReadInPlaceAndKept) {
  const auto path = m_dir / "saved.qrp";
  std::ofstream(path, std::ios::binary) << "0123456789";
  {
    auto stream = TQRStream::OpenFile(path);
    EXPECT_TRUE(stream->ReadOnly());
    EXPECT_EQ(stream->Size(), 10u);
    char middle[3] = {};
    EXPECT_EQ(stream->ReadAt(4, middle, 3), 3u);
    EXPECT_EQ(std::string(middle, 3), "456");
    EXPECT_THROW(stream->WriteAt(0, "x", 1), EQRError);
    EXPECT_TRUE(stream->TemporaryPath().empty());
  }
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_THROW(TQRStream::OpenFile(m_dir / "absent.qrp"), EQRError);
  EXPECT_THROW(TQRStream::OpenFile(m_dir), EQRError);
}

}  // namespace
}  // namespace vorelia::report
