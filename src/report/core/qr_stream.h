#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

namespace vorelia::report {

// The byte stream that holds a page store. It lives in memory until its size passes the
// memory limit, then moves to a temporary file, which it deletes when destroyed. Opened on a
// saved report it reads that file in place and deletes nothing. Every call holds the stream's
// own lock, so readers and the composing writer may share it.
class TQRStream {
 public:
  static constexpr std::size_t kReportMemoryLimit = 100000;

  explicit TQRStream(std::size_t memoryLimit = kReportMemoryLimit);
  // Opens an existing file for reading. Throws EQRError when it cannot be opened.
  static std::unique_ptr<TQRStream> OpenFile(const std::filesystem::path& path);
  ~TQRStream();
  TQRStream(const TQRStream&) = delete;
  TQRStream& operator=(const TQRStream&) = delete;

  // Writes at the position and advances it, growing the stream as needed. Throws EQRError on a
  // failed write (a spill that cannot create its file included) or on a read-only stream.
  void Write(const void* data, std::size_t size);
  // Reads up to size bytes at the position and advances it; returns the count read.
  std::size_t Read(void* data, std::size_t size);
  void Seek(std::uint64_t position);
  std::uint64_t Position() const;
  std::uint64_t Size() const;

  // Positioned access that leaves the stream position alone.
  void WriteAt(std::uint64_t offset, const void* data, std::size_t size);
  std::size_t ReadAt(std::uint64_t offset, void* data, std::size_t size) const;

  bool InFile() const;
  bool ReadOnly() const { return m_readOnly; }
  // The temporary file after a spill; empty otherwise.
  std::filesystem::path TemporaryPath() const;

 private:
  void WriteLocked(std::uint64_t offset, const void* data, std::size_t size);
  std::size_t ReadLocked(std::uint64_t offset, void* data, std::size_t size) const;
  void SpillLocked();

  mutable std::mutex m_lock;
  std::size_t m_memoryLimit;
  std::vector<std::uint8_t> m_memory;
  int m_fd = -1;
  bool m_readOnly = false;
  bool m_ownsFile = false;
  std::filesystem::path m_path;
  std::uint64_t m_size = 0;
  std::uint64_t m_position = 0;
};

}  // namespace vorelia::report
