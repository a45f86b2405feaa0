#include "dbf/paged_file.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "dbf/dbf_errors.h"
#include "platform/sleep.h"

namespace vorelia::dbf {
namespace {

using platform::FileAccess;
using platform::FileShare;
using platform::LockResult;

constexpr uint64_t kVirtualLockBase = 0xEFFFFFFEu;
constexpr int kLockRetryMs = 10;

bool IsCreateMode(TPagedFileMode mode) {
  return mode == TPagedFileMode::pfMemoryCreate || mode == TPagedFileMode::pfExclusiveCreate ||
         mode == TPagedFileMode::pfReadWriteCreate;
}

bool IsSharedMode(TPagedFileMode mode) {
  return mode == TPagedFileMode::pfReadWriteCreate || mode == TPagedFileMode::pfReadWriteOpen ||
         mode == TPagedFileMode::pfReadOnly;
}

}  // namespace

TPagedFile::TPagedFile() = default;

TPagedFile::~TPagedFile() {
  try {
    ClosePagedFile();
  } catch (...) {
    // A destructor cannot report; the write-error flag already tells a caller that asks.
  }
}

void TPagedFile::SetMode(TPagedFileMode mode) {
  m_mode = mode;
  m_userMode = mode;
}

bool TPagedFile::IsMemory() const {
  return m_mode == TPagedFileMode::pfMemoryCreate || m_mode == TPagedFileMode::pfMemoryOpen;
}

bool TPagedFile::Writable() const { return m_mode != TPagedFileMode::pfReadOnly; }

void TPagedFile::OpenPagedFile() {
  if (m_active) return;
  if (IsMemory()) {
    if (m_mode == TPagedFileMode::pfMemoryCreate) m_memory.clear();
  } else {
    if (!platform::FileExists(m_fileName)) {
      if (m_autoCreate) {
        if (m_mode == TPagedFileMode::pfExclusiveOpen) m_mode = TPagedFileMode::pfExclusiveCreate;
        if (m_mode == TPagedFileMode::pfReadWriteOpen || m_mode == TPagedFileMode::pfReadOnly)
          m_mode = TPagedFileMode::pfReadWriteCreate;
      }
      if (!IsCreateMode(m_mode)) throw EDbfError(FileNotFoundMessage(m_fileName.string()));
    }
    const bool writable = m_mode != TPagedFileMode::pfReadOnly;
    const FileShare share = IsSharedMode(m_mode) ? FileShare::kDenyNone : FileShare::kDenyWrite;
    m_file = FileAccess::Open(m_fileName, writable, share, IsCreateMode(m_mode));
    if (IsCreateMode(m_mode) && !m_file.SetLength(0)) m_writeError = true;
  }
  m_active = true;
  m_needLocks = IsSharedMode(m_mode);
  m_cachedLength = IsMemory() ? static_cast<int64_t>(m_memory.size()) : m_file.Length();
  if (m_cachedLength < 0) m_cachedLength = 0;
  m_cachedCount = 0;
  m_headerModified = false;
}

void TPagedFile::ClosePagedFile() {
  if (!m_active) return;
  if (m_headerModified) WriteHeaderArea();
  m_file.Close();
  m_active = false;
  m_needLocks = false;
  m_cachedCount = 0;
}

void TPagedFile::SetHeaderSize(int32_t size) {
  if (size < 0) size = 0;
  if (size != m_headerSize && m_headerModified && m_active && !m_needLocks) WriteHeaderArea();
  m_headerSize = size;
  m_header.resize(static_cast<size_t>(size), 0);
}

void TPagedFile::SetRecordSize(int32_t size) {
  m_recordSize = size;
  if (m_pagesAfterHeader || m_pageSize == 0) m_pageSize = size;
}

void TPagedFile::SetPageSize(int32_t size) { m_pageSize = size; }

uint64_t TPagedFile::PageOffset(int32_t page) const {
  if (m_pagesAfterHeader) {
    if (page <= 0) return 0;
    return static_cast<uint64_t>(m_headerOffset) + static_cast<uint64_t>(m_headerSize) +
           static_cast<uint64_t>(page - 1) * static_cast<uint64_t>(m_pageSize);
  }
  return static_cast<uint64_t>(page) * static_cast<uint64_t>(m_pageSize);
}

int64_t TPagedFile::ReadBytes(uint64_t offset, void* buffer, size_t size) {
  if (!m_active) return -1;
  if (IsMemory()) {
    if (offset >= m_memory.size()) return 0;
    const size_t n = std::min<uint64_t>(size, m_memory.size() - offset);
    std::memcpy(buffer, m_memory.data() + offset, n);
    return static_cast<int64_t>(n);
  }
  return m_file.ReadAt(offset, buffer, size);
}

bool TPagedFile::WriteBytes(uint64_t offset, const void* buffer, size_t size) {
  bool ok = m_active && Writable();
  if (ok && size == 0) return true;
  if (ok && IsMemory()) {
    if (offset + size > m_memory.size()) m_memory.resize(offset + size);
    std::memcpy(m_memory.data() + offset, buffer, size);
  } else if (ok) {
    ok = m_file.WriteAt(offset, buffer, size);
  }
  if (!ok) {
    m_writeError = true;
    return false;
  }
  m_cachedLength = std::max<int64_t>(m_cachedLength, static_cast<int64_t>(offset + size));
  return true;
}

int32_t TPagedFile::ReadPage(int32_t page, void* buffer) {
  if (page < 0 || m_recordSize <= 0) return 0;
  const int64_t n = ReadBytes(PageOffset(page), buffer, static_cast<size_t>(m_recordSize));
  return n < 0 ? 0 : static_cast<int32_t>(n);
}

bool TPagedFile::WritePage(int32_t page, const void* buffer) {
  if (page < 0 || m_recordSize <= 0) {
    m_writeError = true;
    return false;
  }
  return WriteBytes(PageOffset(page), buffer, static_cast<size_t>(m_recordSize));
}

void TPagedFile::LoadHeader() {
  if (m_headerModified && !m_needLocks) WriteHeaderArea();
  std::fill(m_header.begin(), m_header.end(), 0);
  if (m_headerSize > 0)
    ReadBytes(static_cast<uint64_t>(m_headerOffset), m_header.data(), m_header.size());
  m_headerModified = false;
}

void TPagedFile::StoreHeader() {
  m_headerModified = true;
  if (m_needLocks) WriteHeaderArea();
}

void TPagedFile::WriteHeaderArea() {
  m_headerModified = false;
  if (m_header.empty()) return;
  WriteBytes(static_cast<uint64_t>(m_headerOffset), m_header.data(), m_header.size());
}

int64_t TPagedFile::FileLength() {
  if (!m_active) return 0;
  // Shared files ask every time, so records appended by another process become visible.
  if (m_needLocks && !IsMemory()) {
    const int64_t length = m_file.Length();
    if (length >= 0) m_cachedLength = length;
  }
  return m_cachedLength;
}

int32_t TPagedFile::PageCount() {
  if (m_pageSize <= 0) return 0;
  int64_t data = FileLength();
  if (m_pagesAfterHeader) data -= static_cast<int64_t>(m_headerOffset) + m_headerSize;
  if (data < 0) data = 0;
  const int64_t count = data / m_pageSize;
  m_cachedCount =
      static_cast<int32_t>(std::min<int64_t>(count, std::numeric_limits<int32_t>::max()));
  return m_cachedCount;
}

void TPagedFile::SetPageCount(int32_t count) {
  if (count < 0) count = 0;
  uint64_t length = static_cast<uint64_t>(count) * static_cast<uint64_t>(m_pageSize);
  if (m_pagesAfterHeader) length += static_cast<uint64_t>(m_headerOffset) + m_headerSize;
  bool ok = m_active && Writable();
  if (ok && IsMemory()) {
    m_memory.resize(length);
  } else if (ok) {
    ok = m_file.SetLength(length);
  }
  if (!ok) {
    m_writeError = true;
    return;
  }
  m_cachedLength = static_cast<int64_t>(length);
  m_cachedCount = count;
}

bool TPagedFile::IsRecordPresent(int32_t recordNo) {
  if (recordNo < 0) return false;
  if (!m_needLocks || recordNo > m_cachedCount) PageCount();
  return recordNo <= m_cachedCount;
}

void TPagedFile::LockBounds(int32_t page, uint64_t& offset, uint64_t& length) const {
  if (m_virtualLocks) {
    offset = kVirtualLockBase - static_cast<uint32_t>(page);
    length = 1;
  } else {
    offset = PageOffset(page);
    length = static_cast<uint64_t>(m_recordSize > 0 ? m_recordSize : 1);
  }
}

bool TPagedFile::PageLock(int32_t page, bool wait) {
  if (!m_needLocks || IsMemory()) return true;
  if (page < 0) return false;
  uint64_t offset;
  uint64_t length;
  LockBounds(page, offset, length);
  for (;;) {
    const LockResult result = m_file.LockRange(offset, length, true);
    if (result == LockResult::kLocked) return true;
    if (result != LockResult::kConflict || !wait) return false;
    platform::SleepMilliseconds(kLockRetryMs);
  }
}

void TPagedFile::PageUnlock(int32_t page) {
  if (!m_needLocks || IsMemory() || page < 0) return;
  uint64_t offset;
  uint64_t length;
  LockBounds(page, offset, length);
  m_file.UnlockRange(offset, length);
}

void TPagedFile::ReopenIn(TPagedFileMode mode) {
  ClosePagedFile();
  m_mode = mode;
  OpenPagedFile();
}

void TPagedFile::HoldExclusive() {
  if (!m_active || !m_needLocks || InExclusiveSpell()) return;
  m_temporaryMode = m_mode == TPagedFileMode::pfReadOnly ? TPagedFileMode::pfReadOnly
                                                         : TPagedFileMode::pfReadWriteOpen;
  try {
    ReopenIn(TPagedFileMode::pfExclusiveOpen);
  } catch (const platform::EFileOpenError&) {
    // Someone else has the file open: stay shared.
    m_active = false;
    ReleaseExclusive();
    return;
  }
  AfterHoldExclusive();
}

void TPagedFile::ReleaseExclusive() {
  if (!InExclusiveSpell()) return;
  const TPagedFileMode back = m_temporaryMode;
  if (m_active) BeforeReleaseExclusive();
  m_temporaryMode = TPagedFileMode::pfNone;
  ReopenIn(back);
}

bool TPagedFile::Flush() {
  if (!m_active) return false;
  if (m_headerModified) WriteHeaderArea();
  if (m_writeError) return false;
  return IsMemory() || m_file.Sync();
}

}  // namespace vorelia::dbf
