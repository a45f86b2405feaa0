#include "report/core/qr_page_list.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "report/core/page_codec.h"
#include "report/core/page_recorder.h"
#include "report/core/qr_error.h"
#include "support/temp_dir.h"

namespace vorelia::report {
namespace {

using Bytes = std::vector<std::uint8_t>;

TPageRecording EmptyPage() { return TPageRecorder(794, 1123).TakeRecording(); }

TPageRecording TextPage(int n) {
  TPageRecorder canvas(794, 1123);
  canvas.SetFont(TCanvasFont{});
  canvas.TextOut(40, 2777, std::to_string(n), TTextAlign::Right);
  canvas.Rectangle({1, 8, 717, 124});
  return canvas.TakeRecording();
}

std::string PageText(const TPageRecording& page) { return std::get<TOpText>(page.Ops[1]).Text; }

std::uint32_t U32At(const Bytes& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

class QRPageListTest : public test::TempDirTest {
 protected:
  Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }
  void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  // A saved three-page report, plain or compressed.
  std::filesystem::path SaveThree(bool compressed, const std::string& name = "three.qrp") {
    TQRPageList list;
    list.SetCompression(compressed);
    list.NewDocument();
    for (int n = 1; n <= 3; ++n) list.AddPage(TextPage(n));
    list.WriteHeader(46000.25);
    const auto path = m_dir / name;
    list.SaveToFile(path);
    return path;
  }
};

TEST_F(QRPageListTest, ThreePagesEndWithTheOffsetOfTheThirdRecord) {
  TQRPageList list;
  list.NewDocument();
  for (int n = 0; n < 3; ++n) list.AddPage(EmptyPage());
  list.WriteHeader(46000.5);
  const auto path = m_dir / "empty3.qrp";
  list.SaveToFile(path);
  const Bytes file = ReadFile(path);

  // Header 128 bytes, then records of 4 + 4 + 12 (an empty page) + 4 = 24 bytes at 128, 152
  // and 176; the file is 200 bytes and ends with 176.
  ASSERT_EQ(file.size(), 200u);
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 4), (Bytes{3, 0, 0x35, 0x01}));  // 3, 309
  EXPECT_EQ(U32At(file, 8), 3u);
  EXPECT_EQ(file[25], 0);
  EXPECT_EQ(U32At(file, 128), 1u);
  EXPECT_EQ(U32At(file, 132), 152u);
  EXPECT_EQ(U32At(file, 148), 128u);
  EXPECT_EQ(U32At(file, 152), 2u);
  EXPECT_EQ(U32At(file, 156), 176u);
  EXPECT_EQ(U32At(file, 172), 152u);
  EXPECT_EQ(U32At(file, 176), 3u);
  EXPECT_EQ(U32At(file, 180), 200u);
  EXPECT_EQ(U32At(file, 196), 176u);
  // The creation time as a little-endian double at 16: 46000.5 = 0x40E6761000000000.
  EXPECT_EQ(Bytes(file.begin() + 16, file.begin() + 24),
            (Bytes{0, 0, 0, 0, 0x10, 0x76, 0xE6, 0x40}));
}

TEST_F(QRPageListTest, PagesAreReadByWalkingTheLinksBothWays) {
  for (bool compressed : {false, true}) {
    SCOPED_TRACE(compressed);
    TQRPageList list;
    list.LoadFromFile(SaveThree(compressed));
    EXPECT_EQ(list.PageCount(), 3);
    EXPECT_EQ(list.Header().CreationTime, 46000.25);
    EXPECT_EQ(list.Compression(), compressed);

    EXPECT_EQ(PageText(*list.GetPage(3)), "3");  // straight from the file's last four bytes
    EXPECT_EQ(list.LastWalkSteps(), 1);
    EXPECT_EQ(PageText(*list.GetPage(2)), "2");  // from the end: one record back
    EXPECT_EQ(list.LastWalkSteps(), 2);
    EXPECT_EQ(PageText(*list.GetPage(1)), "1");
    EXPECT_EQ(PageText(*list.GetPage(2)), "2");  // the next record after page 1
    EXPECT_EQ(list.LastWalkSteps(), 1);
    EXPECT_EQ(*list.GetPage(2), TextPage(2));

    EXPECT_FALSE(list.GetPage(0));
    EXPECT_FALSE(list.GetPage(4));
    EXPECT_FALSE(list.GetPage(-1));
  }
}

TEST_F(QRPageListTest, CompressedFilesAreSmallerAndFlagged) {
  const Bytes plain = ReadFile(SaveThree(false, "plain.qrp"));
  const Bytes packed = ReadFile(SaveThree(true, "packed.qrp"));
  EXPECT_EQ(plain[25], 0);
  EXPECT_EQ(packed[25], 1);
  // A compressed record holds the page's plain length before the coded bits.
  EXPECT_EQ(U32At(packed, 136), EncodePage(TextPage(1)).size());
}

TEST_F(QRPageListTest, AnOlderFileWithA124ByteHeaderIsRead) {
  // Older layout: versions at 0 and 2, page count at 8, creation time at 12, compression at 21.
  Bytes file(124, 0);
  file[0] = 3;
  file[2] = 0x35;
  file[3] = 0x01;
  file[8] = 1;
  const Bytes time = {0, 0, 0, 0, 0x40, 0x76, 0xE6, 0x40};  // 46002.0
  std::copy(time.begin(), time.end(), file.begin() + 12);
  const Bytes page = EncodePage(TextPage(7));
  const auto next = static_cast<std::uint8_t>(124 + 8 + page.size() + 4);
  const Bytes head = {1, 0, 0, 0, next, 0, 0, 0};
  file.insert(file.end(), head.begin(), head.end());
  file.insert(file.end(), page.begin(), page.end());
  file.insert(file.end(), {124, 0, 0, 0});
  const auto path = m_dir / "old.qrp";
  WriteFile(path, file);

  TQRPageList list;
  list.LoadFromFile(path);
  EXPECT_EQ(list.HeaderSize(), 124u);
  EXPECT_EQ(list.PageCount(), 1);
  EXPECT_EQ(list.Header().CreationTime, 46002.0);
  EXPECT_FALSE(list.Compression());
  EXPECT_EQ(PageText(*list.GetPage(1)), "7");
}

TEST_F(QRPageListTest, DamagedFilesFailCleanlyAndKeepTheCurrentDocument) {
  const Bytes good = ReadFile(SaveThree(false));
  TQRPageList list;
  list.LoadFromFile(SaveThree(true, "current.qrp"));

  auto expectRefused = [&](const Bytes& bytes, const char* what) {
    SCOPED_TRACE(what);
    const auto path = m_dir / "bad.qrp";
    WriteFile(path, bytes);
    EXPECT_THROW(list.LoadFromFile(path), EQRError);
    EXPECT_EQ(list.PageCount(), 3);
    EXPECT_EQ(PageText(*list.GetPage(2)), "2");
  };
  for (std::size_t size = 0; size < good.size(); size += 7) {
    expectRefused(Bytes(good.begin(), good.begin() + static_cast<long>(size)), "truncated");
  }
  auto patched = [&good](std::size_t at, std::uint32_t value) {
    Bytes b = good;
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return b;
  };
  const std::uint32_t second = U32At(good, 132);
  expectRefused(patched(8, 1000000), "page count beyond the file");
  expectRefused(patched(8, 0x80000000u), "negative page count");
  expectRefused(patched(8, 4), "one page more than stored");
  expectRefused(patched(132, 128), "next link pointing at itself");
  expectRefused(patched(132, 0xFFFFFFF0u), "next link beyond the file");
  expectRefused(patched(second + 4, 128), "next link pointing back");
  expectRefused(patched(second, 3), "page numbers out of order");
  expectRefused(patched(good.size() - 4, 128), "last record offset wrong");
  expectRefused(patched(140, 0x12345678), "page that is not a page");
  Bytes trailing = good;
  trailing.push_back(0);
  expectRefused(trailing, "trailing byte");

  Bytes packed = ReadFile(m_dir / "current.qrp");
  for (int i = 0; i < 4; ++i) packed[136 + i] = 0xFF;  // plain length far beyond the bits
  expectRefused(packed, "compressed length beyond the file");

  EXPECT_THROW(list.LoadFromFile(m_dir / "absent.qrp"), EQRError);
  EXPECT_EQ(list.PageCount(), 3);
}

TEST_F(QRPageListTest, AnEmptyDocumentSavesItsHeaderOnly) {
  TQRPageList list;
  list.NewDocument();
  list.WriteHeader(1.0);
  const auto path = m_dir / "none.qrp";
  list.SaveToFile(path);
  EXPECT_EQ(std::filesystem::file_size(path), 128u);
  TQRPageList loaded;
  loaded.LoadFromFile(path);
  EXPECT_EQ(loaded.PageCount(), 0);
  EXPECT_FALSE(loaded.GetPage(1));
}

TEST_F(QRPageListTest, SavingOverTheLoadedFileKeepsReadingIt) {
  const auto path = SaveThree(false);
  TQRPageList list;
  list.LoadFromFile(path);
  list.SaveToFile(path);  // replaced by rename: the open file stays readable
  EXPECT_EQ(PageText(*list.GetPage(2)), "2");
  TQRPageList again;
  again.LoadFromFile(path);
  EXPECT_EQ(again.PageCount(), 3);
}

TEST_F(QRPageListTest, AReaderSeesOnlyWholePagesWhileAWriterAppends) {
  for (bool compressed : {false, true}) {
    SCOPED_TRACE(compressed);
    TQRPageList list;
    list.SetCompression(compressed);
    list.NewDocument(4096);  // small, so the writer spills to a file mid-run
    constexpr int kPages = 300;
    std::atomic<bool> done{false};
    std::thread writer([&] {
      for (int n = 1; n <= kPages; ++n) list.AddPage(TextPage(n));
      done = true;
    });
    int reads = 0;
    int mismatches = 0;
    while (!done || reads < 50) {
      const int count = list.PageCount();
      for (int n : {count, count / 2 + 1, 1}) {
        if (n < 1 || n > count) continue;
        const auto page = list.GetPage(n);
        if (!page || PageText(*page) != std::to_string(n)) ++mismatches;
        ++reads;
      }
    }
    writer.join();
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(list.PageCount(), kPages);
    EXPECT_TRUE(list.Stream()->InFile());
    EXPECT_EQ(PageText(*list.GetPage(kPages - 1)), std::to_string(kPages - 1));
  }
}

}  // namespace
}  // namespace vorelia::report
