#include "report/core/qr_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "report/core/qr_error.h"

namespace vorelia::report {

namespace {

std::string SystemMessage(int error) { return std::strerror(error); }

}  // namespace

TQRStream::TQRStream(std::size_t memoryLimit) : m_memoryLimit(memoryLimit) {}

std::unique_ptr<TQRStream> TQRStream::OpenFile(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    throw EQRError("Cannot open report file " + path.string() + ": " + SystemMessage(errno));
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    throw EQRError("Cannot open report file " + path.string() + ": not a regular file");
  }
  auto stream = std::make_unique<TQRStream>(0);
  stream->m_fd = fd;
  stream->m_readOnly = true;
  stream->m_path = path;
  stream->m_size = static_cast<std::uint64_t>(info.st_size);
  return stream;
}

TQRStream::~TQRStream() {
  if (m_fd >= 0) ::close(m_fd);
  if (m_ownsFile) {
    std::error_code ignored;
    std::filesystem::remove(m_path, ignored);
  }
}

void TQRStream::Write(const void* data, std::size_t size) {
  std::scoped_lock lock(m_lock);
  WriteLocked(m_position, data, size);
  m_position += size;
}

std::size_t TQRStream::Read(void* data, std::size_t size) {
  std::scoped_lock lock(m_lock);
  const std::size_t count = ReadLocked(m_position, data, size);
  m_position += count;
  return count;
}

void TQRStream::Seek(std::uint64_t position) {
  std::scoped_lock lock(m_lock);
  m_position = position;
}

std::uint64_t TQRStream::Position() const {
  std::scoped_lock lock(m_lock);
  return m_position;
}

std::uint64_t TQRStream::Size() const {
  std::scoped_lock lock(m_lock);
  return m_size;
}

void TQRStream::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
  std::scoped_lock lock(m_lock);
  WriteLocked(offset, data, size);
}

std::size_t TQRStream::ReadAt(std::uint64_t offset, void* data, std::size_t size) const {
  std::scoped_lock lock(m_lock);
  return ReadLocked(offset, data, size);
}

bool TQRStream::InFile() const {
  std::scoped_lock lock(m_lock);
  return m_fd >= 0;
}

std::filesystem::path TQRStream::TemporaryPath() const {
  std::scoped_lock lock(m_lock);
  return m_ownsFile ? m_path : std::filesystem::path();
}

void TQRStream::WriteLocked(std::uint64_t offset, const void* data, std::size_t size) {
  if (m_readOnly) throw EQRError("The report page stream is read-only");
  if (size == 0) return;
  const std::uint64_t end = offset + size;
  if (m_fd < 0 && end > m_memoryLimit) SpillLocked();
  if (m_fd < 0) {
    if (end > m_memory.size()) m_memory.resize(end);
    std::memcpy(m_memory.data() + offset, data, size);
  } else {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::size_t done = 0;
    while (done < size) {
      const ssize_t written =
          ::pwrite(m_fd, bytes + done, size - done, static_cast<off_t>(offset + done));
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) {
        throw EQRError("Cannot write the report page stream: " +
                       SystemMessage(written < 0 ? errno : ENOSPC));
      }
      done += static_cast<std::size_t>(written);
    }
  }
  m_size = std::max(m_size, end);
}

std::size_t TQRStream::ReadLocked(std::uint64_t offset, void* data, std::size_t size) const {
  if (offset >= m_size) return 0;
  const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(size, m_size - offset));
  if (m_fd < 0) {
    std::memcpy(data, m_memory.data() + offset, count);
    return count;
  }
  auto* bytes = static_cast<std::uint8_t*>(data);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got = ::pread(m_fd, bytes + done, count - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw EQRError("Cannot read the report page stream: " + SystemMessage(errno));
    if (got == 0) break;  // the file shrank under us
    done += static_cast<std::size_t>(got);
  }
  return done;
}

void TQRStream::SpillLocked() {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  if (error) {
    throw EQRError("Cannot create a temporary file for the report pages: " + error.message());
  }
  std::string name = (folder / "QRPXXXXXX").string();
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    throw EQRError("Cannot create a temporary file for the report pages: " +
                   SystemMessage(errno));
  }
  ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  m_fd = fd;
  m_ownsFile = true;
  m_path = name;
  // Until the copy has landed the file holds nothing; on failure the stream stays in memory and
  // the file goes.
  std::vector<std::uint8_t> memory;
  memory.swap(m_memory);
  const std::uint64_t size = m_size;
  try {
    m_size = 0;
    if (!memory.empty()) WriteLocked(0, memory.data(), memory.size());
    m_size = size;
  } catch (...) {
    ::close(m_fd);
    m_fd = -1;
    std::filesystem::remove(m_path, error);
    m_ownsFile = false;
    m_path.clear();
    m_memory.swap(memory);
    m_size = size;
    throw;
  }
}

}  // namespace vorelia::report
