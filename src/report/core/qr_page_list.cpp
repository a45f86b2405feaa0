#include "report/core/qr_page_list.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <bit>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <string>

#include "report/core/page_codec.h"
#include "report/core/qr_compress.h"
#include "report/core/qr_error.h"

namespace vorelia::report {

namespace {

constexpr std::uint64_t kRecordOverhead = 12;  // page number, next link, own offset
// Bounds no genuine page comes near; they keep a hostile file from asking for huge buffers.
constexpr std::uint64_t kMaxRecordBytes = 256u << 20;
constexpr std::uint32_t kMaxPageBytes = 256u << 20;
constexpr std::size_t kCopyBlock = 10240;

[[noreturn]] void Damaged(const std::string& what) {
  throw EQRError("The report file is damaged: " + what);
}

void PutU16(std::uint8_t* at, std::uint16_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutF64(std::uint8_t* at, double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  for (int i = 0; i < 8; ++i) at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

std::uint16_t GetU16(const std::uint8_t* at) {
  return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

std::uint32_t GetU32(const std::uint8_t* at) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(at[i]) << (8 * i);
  return value;
}

double GetF64(const std::uint8_t* at) {
  std::uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= static_cast<std::uint64_t>(at[i]) << (8 * i);
  return std::bit_cast<double>(bits);
}

std::uint32_t ReadU32(const TQRStream& stream, std::uint64_t offset) {
  std::array<std::uint8_t, 4> bytes{};
  if (stream.ReadAt(offset, bytes.data(), bytes.size()) != bytes.size()) {
    Damaged("a link points outside the file");
  }
  return GetU32(bytes.data());
}

std::array<std::uint8_t, TQRPageList::kHeaderSize> EncodeHeader(const TQRFileHeader& header) {
  std::array<std::uint8_t, TQRPageList::kHeaderSize> bytes{};
  PutU16(&bytes[0], header.FormatVersion);
  PutU16(&bytes[2], header.EngineVersion);
  PutU32(&bytes[8], static_cast<std::uint32_t>(header.PageCount));
  PutF64(&bytes[16], header.CreationTime);
  bytes[25] = header.Compressed ? 1 : 0;
  return bytes;
}

}  // namespace

double CurrentDateTime() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  // Days from 30 December 1899 to the local civil date, then the time of day as a fraction.
  const std::chrono::year_month_day date{
      std::chrono::year(local.tm_year + 1900),
      std::chrono::month(static_cast<unsigned>(local.tm_mon + 1)),
      std::chrono::day(static_cast<unsigned>(local.tm_mday))};
  const std::chrono::sys_days epoch{std::chrono::year(1899) / 12 / 30};
  const auto days = (std::chrono::sys_days(date) - epoch).count();
  const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(
                          now.time_since_epoch()).count() % 1000;
  const double dayFraction =
      (local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + millis / 1000.0) / 86400.0;
  return static_cast<double>(days) + dayFraction;
}

bool TQRPageList::Compression() const {
  std::scoped_lock lock(m_lock);
  return m_compression;
}

void TQRPageList::SetCompression(bool compression) {
  std::scoped_lock lock(m_lock);
  m_compression = compression;
}

void TQRPageList::NewDocument(std::size_t memoryLimit) {
  auto stream = std::make_unique<TQRStream>(memoryLimit);
  std::scoped_lock lock(m_lock);
  m_stream = std::move(stream);
  m_pageCount = 0;
  m_headerSize = kHeaderSize;
  m_header = TQRFileHeader{};
  m_header.Compressed = m_compression;
  m_readPosition = kHeaderSize;
}

void TQRPageList::Clear() {
  std::unique_ptr<TQRStream> old;
  std::scoped_lock lock(m_lock);
  old = std::move(m_stream);
  m_pageCount = 0;
  m_header = TQRFileHeader{};
  m_headerSize = kHeaderSize;
  m_readPosition = kHeaderSize;
}

bool TQRPageList::HasDocument() const {
  std::scoped_lock lock(m_lock);
  return m_stream != nullptr;
}

int TQRPageList::PageCount() const {
  std::scoped_lock lock(m_lock);
  return m_pageCount;
}

TQRFileHeader TQRPageList::Header() const {
  std::scoped_lock lock(m_lock);
  return m_header;
}

std::uint64_t TQRPageList::HeaderSize() const {
  std::scoped_lock lock(m_lock);
  return m_headerSize;
}

int TQRPageList::LastWalkSteps() const {
  std::scoped_lock lock(m_lock);
  return m_lastWalkSteps;
}

void TQRPageList::LoadFromFile(const std::filesystem::path& path) {
  // Everything is checked on a candidate list first, so a damaged file leaves the current
  // document untouched.
  TQRPageList candidate;
  candidate.m_stream = TQRStream::OpenFile(path);
  const TQRStream& stream = *candidate.m_stream;
  const std::uint64_t size = stream.Size();

  // The older layout is four bytes shorter, which puts a plainly stored first page's signature
  // where the current layout keeps the first record's next-record link. The signature read as
  // such a link would be negative, so a current file never matches.
  constexpr std::uint64_t kOldSignatureAt = kOldHeaderSize + 8;
  std::array<std::uint8_t, kPageSignature.size()> probe{};
  const bool old = stream.ReadAt(kOldSignatureAt, probe.data(), probe.size()) == probe.size() &&
                   HasPageSignature(probe);
  candidate.m_headerSize = old ? kOldHeaderSize : kHeaderSize;
  if (size < candidate.m_headerSize) Damaged("it is shorter than its header");

  std::array<std::uint8_t, kHeaderSize> raw{};
  stream.ReadAt(0, raw.data(), candidate.m_headerSize);
  TQRFileHeader& header = candidate.m_header;
  header.FormatVersion = GetU16(&raw[0]);
  header.EngineVersion = GetU16(&raw[2]);
  header.PageCount = static_cast<std::int32_t>(GetU32(&raw[8]));
  header.CreationTime = GetF64(old ? &raw[12] : &raw[16]);
  header.Compressed = (old ? raw[21] : raw[25]) != 0;
  candidate.m_compression = header.Compressed;

  if (header.PageCount < 0) Damaged("the page count is negative");
  if (static_cast<std::uint64_t>(header.PageCount) >
      (size - candidate.m_headerSize) / kRecordOverhead) {
    Damaged("the page count exceeds what the file holds");
  }
  candidate.m_pageCount = header.PageCount;
  candidate.m_readPosition = candidate.m_headerSize;

  // Walk every record forward and parse every page, so that reading a page later cannot
  // meet damage the load let through.
  std::uint64_t at = candidate.m_headerSize;
  std::uint64_t lastStart = 0;
  for (int n = 1; n <= header.PageCount; ++n) {
    const TRecordHead head = candidate.ReadHead(at);
    if (head.PageNumber != n) Damaged("page " + std::to_string(n) + " is out of order");
    candidate.ReadPageLocked(head);
    lastStart = head.Start;
    at = head.Next;
  }
  if (header.PageCount > 0) {
    if (at != size || ReadU32(stream, size - 4) != lastStart) {
      Damaged("the last page record is not where the file's end says");
    }
  }

  std::scoped_lock lock(m_lock);
  m_stream = std::move(candidate.m_stream);
  m_compression = candidate.m_compression;
  m_pageCount = candidate.m_pageCount;
  m_headerSize = candidate.m_headerSize;
  m_header = candidate.m_header;
  m_readPosition = candidate.m_readPosition;
  m_lastWalkSteps = 0;
}

void TQRPageList::AddPage(const TPageRecording& page) {
  std::scoped_lock lock(m_lock);
  if (!m_stream) throw EQRError("No report document to add a page to");
  // The header goes in with the first page; the document's end rewrites it with the count.
  if (m_pageCount == 0) WriteHeaderLocked(CurrentDateTime(), 1);

  // The record is assembled in one buffer and written in one call: the bytes are those of
  // writing its fields one after another.
  std::vector<std::uint8_t>& record = m_pageBuffer;
  record.assign(8, 0);
  if (m_header.Compressed) {
    const std::vector<std::uint8_t> plain = EncodePage(page);
    if (plain.size() > kMaxPageBytes) throw EQRError("The report page is too large");
    record.resize(12);
    PutU32(&record[8], static_cast<std::uint32_t>(plain.size()));
    TQRCompress compressor(&record);
    for (std::uint8_t byte : plain) compressor.Compress(byte);
    compressor.Flush();
  } else {
    EncodePage(page, record);
  }
  record.resize(record.size() + 4);

  const std::uint64_t start = std::max<std::uint64_t>(m_stream->Size(), m_headerSize);
  const std::uint64_t next = start + record.size();
  if (next > 0xFFFFFFFFu) throw EQRError("The report is too large for a report file");
  PutU32(&record[0], static_cast<std::uint32_t>(m_pageCount + 1));
  PutU32(&record[4], static_cast<std::uint32_t>(next));
  PutU32(&record[record.size() - 4], static_cast<std::uint32_t>(start));
  m_stream->WriteAt(start, record.data(), record.size());
  ++m_pageCount;
  if (record.capacity() > (1u << 20)) std::vector<std::uint8_t>().swap(record);
}

TQRPageList::TRecordHead TQRPageList::ReadHead(std::uint64_t start) const {
  const std::uint64_t size = m_stream->Size();
  if (start < m_headerSize || start > size || size - start < kRecordOverhead) {
    Damaged("a page record lies outside the file");
  }
  std::array<std::uint8_t, 8> bytes{};
  m_stream->ReadAt(start, bytes.data(), bytes.size());
  TRecordHead head;
  head.Start = start;
  head.PageNumber = static_cast<std::int32_t>(GetU32(&bytes[0]));
  head.Next = GetU32(&bytes[4]);
  if (head.Next < start + kRecordOverhead || head.Next > size) {
    Damaged("a next-record link is out of range");
  }
  if (head.Next - start > kMaxRecordBytes) Damaged("a page record is too large");
  if (ReadU32(*m_stream, head.Next - 4) != start) Damaged("a page record's links disagree");
  return head;
}

std::uint64_t TQRPageList::LocateLocked(int n) {
  m_lastWalkSteps = 1;
  if (n == 1) return m_headerSize;
  const std::uint64_t size = m_stream->Size();
  if (n == m_pageCount) return ReadU32(*m_stream, size - 4);

  std::uint64_t at = m_readPosition;
  if (at >= size) at = ReadU32(*m_stream, size - 4);
  if (at < m_headerSize) at = m_headerSize;
  TRecordHead head = ReadHead(at);
  // Page numbers rise by one per record; a walk longer than the page count is a link cycle.
  while (head.PageNumber != n) {
    if (++m_lastWalkSteps > m_pageCount + 1) Damaged("the page links form a cycle");
    if (head.PageNumber < n) {
      head = ReadHead(head.Next);
    } else {
      if (head.Start < m_headerSize + 4) Damaged("a previous-record link is out of range");
      const std::uint64_t previous = ReadU32(*m_stream, head.Start - 4);
      if (previous >= head.Start) Damaged("a previous-record link points forward");
      const TRecordHead before = ReadHead(previous);
      if (before.Next != head.Start) Damaged("a page record's links disagree");
      head = before;
    }
  }
  return head.Start;
}

TPageRecording TQRPageList::ReadPageLocked(const TRecordHead& head) const {
  const std::uint64_t dataStart = head.Start + 8;
  const auto length = static_cast<std::size_t>(head.Next - 4 - dataStart);
  std::vector<std::uint8_t> bytes(length);
  if (m_stream->ReadAt(dataStart, bytes.data(), length) != length) {
    Damaged("a page ends beyond the file");
  }
  if (!m_header.Compressed) return DecodePage(bytes);
  if (length < 4) Damaged("a compressed page has no length");
  const std::uint32_t plainLength = GetU32(bytes.data());
  if (plainLength > kMaxPageBytes) Damaged("a compressed page's length is out of range");
  const std::vector<std::uint8_t> plain =
      ExpandBytes(std::span<const std::uint8_t>(bytes).subspan(4), plainLength);
  return DecodePage(plain);
}

std::optional<TPageRecording> TQRPageList::GetPage(int n) {
  std::scoped_lock lock(m_lock);
  if (!m_stream || n < 1 || n > m_pageCount) return std::nullopt;
  const TRecordHead head = ReadHead(LocateLocked(n));
  if (head.PageNumber != n) Damaged("page " + std::to_string(n) + " is out of order");
  TPageRecording page = ReadPageLocked(head);
  m_readPosition = head.Next;
  return page;
}

void TQRPageList::WriteHeader(double creationTime) {
  std::scoped_lock lock(m_lock);
  WriteHeaderLocked(creationTime, m_pageCount);
}

void TQRPageList::WriteHeaderLocked(double creationTime, int pageCount) {
  if (!m_stream) return;
  m_header.PageCount = pageCount;
  m_header.CreationTime = creationTime;
  m_headerSize = kHeaderSize;
  const auto bytes = EncodeHeader(m_header);
  m_stream->WriteAt(0, bytes.data(), bytes.size());
}

void TQRPageList::SaveToFile(const std::filesystem::path& path) const {
  std::scoped_lock lock(m_lock);
  if (!m_stream) return;
  const std::filesystem::path folder =
      path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  std::string temporary = (folder / (path.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    throw EQRError("Cannot create " + path.string() + ": " + std::strerror(errno));
  }
  auto fail = [&](int error) {
    ::close(fd);
    ::unlink(temporary.c_str());
    throw EQRError("Cannot write " + path.string() + ": " + std::strerror(error));
  };
  std::vector<std::uint8_t> block(kCopyBlock);
  const std::uint64_t size = m_stream->Size();
  for (std::uint64_t at = 0; at < size;) {
    const std::size_t got = m_stream->ReadAt(at, block.data(), block.size());
    if (got == 0) fail(EIO);
    std::size_t done = 0;
    while (done < got) {
      const ssize_t written = ::write(fd, block.data() + done, got - done);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) fail(written < 0 ? errno : ENOSPC);
      done += static_cast<std::size_t>(written);
    }
    at += got;
  }
  if (::fsync(fd) != 0) fail(errno);
  ::fchmod(fd, 0644);
  if (::close(fd) != 0) {
    ::unlink(temporary.c_str());
    throw EQRError("Cannot write " + path.string() + ": " + std::strerror(errno));
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    throw EQRError("Cannot write " + path.string() + ": " + std::strerror(error));
  }
}

}  // namespace vorelia::report
