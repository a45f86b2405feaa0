#include "platform/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/sleep.h"

namespace vorelia::platform {
namespace {

int SetOfdLock(int fd, short type, uint64_t offset, uint64_t length) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = static_cast<off_t>(offset);
  lock.l_len = static_cast<off_t>(length);
  lock.l_pid = 0;  // required by OFD locks
  int result;
  do {
    result = fcntl(fd, F_OFD_SETLK, &lock);
  } while (result < 0 && errno == EINTR);
  return result;
}

}  // namespace

FileAccess::~FileAccess() { Close(); }

FileAccess::FileAccess(FileAccess&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_writable(other.m_writable) {}

FileAccess& FileAccess::operator=(FileAccess&& other) noexcept {
  if (this != &other) {
    Close();
    m_fd = std::exchange(other.m_fd, -1);
    m_writable = other.m_writable;
  }
  return *this;
}

FileAccess FileAccess::Open(const std::filesystem::path& path, bool writable, FileShare share,
                            bool create) {
  int flags = (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC;
  if (create) flags |= O_CREAT;
  int fd;
  do {
    fd = ::open(path.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    throw EFileOpenError("Cannot open file \"" + path.string() + "\": " + std::strerror(errno),
                         false);
  }
  FileAccess file;
  file.m_fd = fd;
  file.m_writable = writable;
  // Exclusive use wants the write lock; a read-only descriptor cannot take one, but an
  // exclusive open is always read-write.
  const bool exclusive = share == FileShare::kDenyWrite;
  if (SetOfdLock(fd, exclusive ? F_WRLCK : F_RDLCK, kShareLockOffset, 1) < 0) {
    const int error = errno;
    const bool conflict = error == EAGAIN || error == EACCES;
    throw EFileOpenError("Cannot open file \"" + path.string() + "\": " +
                             (conflict ? std::string("the file is in use by another process")
                                       : std::string(std::strerror(error))),
                         conflict);
  }
  return file;
}

void FileAccess::Close() {
  if (m_fd >= 0) {
    ::close(m_fd);  // releases every OFD lock of this open
    m_fd = -1;
  }
}

int64_t FileAccess::ReadAt(uint64_t offset, void* buffer, size_t size) const {
  if (m_fd < 0) return -1;
  auto* bytes = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(m_fd, bytes + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      // Region locks on Linux are advisory; should a mandatory lock ever refuse the read,
      // wait for it as the engine always has.
      if (errno == EAGAIN) {
        SleepMilliseconds(1);
        continue;
      }
      return -1;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<int64_t>(done);
}

bool FileAccess::WriteAt(uint64_t offset, const void* buffer, size_t size) const {
  if (m_fd < 0 || !m_writable) return false;
  const auto* bytes = static_cast<const char*>(buffer);
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pwrite(m_fd, bytes + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

int64_t FileAccess::Length() const {
  struct stat st {};
  if (m_fd < 0 || ::fstat(m_fd, &st) < 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool FileAccess::SetLength(uint64_t length) const {
  if (m_fd < 0 || !m_writable) return false;
  int result;
  do {
    result = ::ftruncate(m_fd, static_cast<off_t>(length));
  } while (result < 0 && errno == EINTR);
  return result == 0;
}

bool FileAccess::Sync() const { return m_fd >= 0 && ::fsync(m_fd) == 0; }

LockResult FileAccess::LockRange(uint64_t offset, uint64_t length, bool exclusive) const {
  if (m_fd < 0) return LockResult::kFailed;
  // A read-only descriptor can only take read locks.
  const short type = exclusive && m_writable ? F_WRLCK : F_RDLCK;
  if (SetOfdLock(m_fd, type, offset, length) == 0) return LockResult::kLocked;
  return errno == EAGAIN || errno == EACCES ? LockResult::kConflict : LockResult::kFailed;
}

void FileAccess::UnlockRange(uint64_t offset, uint64_t length) const {
  if (m_fd >= 0) SetOfdLock(m_fd, F_UNLCK, offset, length);
}

bool FileExists(const std::filesystem::path& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

bool ReplaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveFile(const std::filesystem::path& path) { return ::unlink(path.c_str()) == 0; }

bool SyncFolder(const std::filesystem::path& folder) {
  const std::filesystem::path name = folder.empty() ? std::filesystem::path(".") : folder;
  const int fd = ::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

std::string ComputerName() {
  char name[256] = {};
  if (::gethostname(name, sizeof(name) - 1) != 0) return std::string();
  return name;
}

}  // namespace vorelia::platform
