#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/errors.h"

namespace vorelia::platform {

// The platform's error when a file cannot be opened or created with the asked access and
// sharing (missing folder, no permission, held exclusively by another open).
class EFileOpenError : public EVoreliaError {
 public:
  VORELIA_RAISE_SITE EFileOpenError(const std::string& message, bool sharingConflict)
      : EVoreliaError(message), m_sharingConflict(sharingConflict) {}
  bool SharingConflict() const { return m_sharingConflict; }

 private:
  bool m_sharingConflict;
};

enum class FileShare {
  kDenyNone,   // others may read and write
  kDenyWrite,  // others may not open the file at all while we hold it (exclusive use)
};

enum class LockResult {
  kLocked,
  kConflict,  // another open file description holds a conflicting lock
  kFailed,    // any other failure (bad descriptor, no lock support)
};

// One open file: positional reads and writes, length, and byte-range locks that belong to this
// open (Linux open-file-description locks), so two opens of one file conflict even within one
// process. Sharing is emulated with a lock on a reserved byte far beyond any data and any
// record lock: shared opens hold it for reading, exclusive opens for writing.
class FileAccess {
 public:
  // Byte used for the sharing emulation; record locks of tables lie below it.
  static constexpr uint64_t kShareLockOffset = 0xF0000000u;

  FileAccess() = default;
  ~FileAccess();
  FileAccess(FileAccess&& other) noexcept;
  FileAccess& operator=(FileAccess&& other) noexcept;
  FileAccess(const FileAccess&) = delete;
  FileAccess& operator=(const FileAccess&) = delete;

  // Opens an existing file, or creates it when `create` is set. Throws EFileOpenError.
  static FileAccess Open(const std::filesystem::path& path, bool writable, FileShare share,
                         bool create);

  bool IsOpen() const { return m_fd >= 0; }
  bool Writable() const { return m_writable; }
  void Close();

  // Reads up to `size` bytes at `offset`; returns the count read (short at the end of the
  // file), or -1 on failure.
  int64_t ReadAt(uint64_t offset, void* buffer, size_t size) const;
  // Writes all `size` bytes at `offset`; false on any failure or short write.
  bool WriteAt(uint64_t offset, const void* buffer, size_t size) const;

  // Current length from the file system; -1 on failure.
  int64_t Length() const;
  bool SetLength(uint64_t length) const;
  // Pushes the file's data to the disk.
  bool Sync() const;

  LockResult LockRange(uint64_t offset, uint64_t length, bool exclusive) const;
  void UnlockRange(uint64_t offset, uint64_t length) const;

 private:
  int m_fd = -1;
  bool m_writable = false;
};

bool FileExists(const std::filesystem::path& path);
// Renames `from` over `to` in one step: `to` is always either the old or the new file.
bool ReplaceFile(const std::filesystem::path& from, const std::filesystem::path& to);
bool RemoveFile(const std::filesystem::path& path);
// Makes renames and creations inside `folder` durable.
bool SyncFolder(const std::filesystem::path& folder);

std::string ComputerName();

}  // namespace vorelia::platform
