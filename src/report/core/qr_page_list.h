#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "report/core/page_recording.h"
#include "report/core/qr_stream.h"

namespace vorelia::report {

// The saved report's file header, whichever layout it was read from.
//   offset size  meaning (current layout, 128 bytes)
//        0    2  format version, 3
//        2    2  engine version, 309
//        8    4  page count, signed
//       16    8  creation time: days since 30 December 1899, fraction = time of day
//       25    1  compression: 1 compressed, 0 plain
// The older 124-byte layout has the page count at 8, the time at 12 and compression at 21.
struct TQRFileHeader {
  std::uint16_t FormatVersion = 3;
  std::uint16_t EngineVersion = 309;
  std::int32_t PageCount = 0;
  double CreationTime = 0;
  bool Compressed = false;
};

// The page store: the finished pages of one document, one record each in a page stream that is
// also, byte for byte, the saved report file. Each record is
//   4  page number (1-based)
//   4  offset of the next record (the end of this one)
//   n  the page: plain, its display list; compressed, its length (4 bytes) and the coded bits
//   4  offset of this record's first byte
// so a reader can walk both ways and the file's last four bytes locate the last record. Every
// call holds the list's lock: a composing worker appends while the preview reads.
class TQRPageList {
 public:
  static constexpr std::uint64_t kHeaderSize = 128;
  static constexpr std::uint64_t kOldHeaderSize = 124;

  TQRPageList() = default;
  TQRPageList(const TQRPageList&) = delete;
  TQRPageList& operator=(const TQRPageList&) = delete;

  // Whether AddPage stores pages compressed; a loaded file brings its own setting.
  bool Compression() const;
  void SetCompression(bool compression);

  // Starts an empty document on a fresh stream, dropping any earlier one.
  void NewDocument(std::size_t memoryLimit = TQRStream::kReportMemoryLimit);
  // Opens a saved report in place after checking its header, every record and every page.
  // Throws EQRError on a damaged file and then leaves the list as it was.
  void LoadFromFile(const std::filesystem::path& path);
  // Drops the document; a temporary file goes with its stream.
  void Clear();

  bool HasDocument() const;
  int PageCount() const;
  TQRFileHeader Header() const;
  std::uint64_t HeaderSize() const;

  void AddPage(const TPageRecording& page);
  // Page n, or nothing when there is no document or n is outside 1..PageCount. Throws EQRError
  // when the stored page is damaged.
  std::optional<TPageRecording> GetPage(int n);
  // Writes the file header at offset 0 with the current page count.
  void WriteHeader(double creationTime);
  // Copies the whole stream into a file (written beside it and renamed into place).
  void SaveToFile(const std::filesystem::path& path) const;

  // Records visited by the last GetPage walk, for tests of the link walk.
  int LastWalkSteps() const;
  // The stream, for tests and size reports; null without a document.
  const TQRStream* Stream() const { return m_stream.get(); }

 private:
  struct TRecordHead {
    std::uint64_t Start = 0;
    std::int32_t PageNumber = 0;
    std::uint64_t Next = 0;
  };

  TRecordHead ReadHead(std::uint64_t start) const;
  std::uint64_t LocateLocked(int n);
  TPageRecording ReadPageLocked(const TRecordHead& head) const;
  void WriteHeaderLocked(double creationTime, int pageCount);

  mutable std::mutex m_lock;
  std::unique_ptr<TQRStream> m_stream;
  bool m_compression = false;
  int m_pageCount = 0;
  std::uint64_t m_headerSize = kHeaderSize;
  TQRFileHeader m_header;
  std::uint64_t m_readPosition = 0;  // just after the last record read
  int m_lastWalkSteps = 0;
  std::vector<std::uint8_t> m_pageBuffer;
};

// The current local date and time as days since 30 December 1899.
double CurrentDateTime();

}  // namespace vorelia::report
