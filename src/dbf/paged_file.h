#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "dbf/dbf_common.h"
#include "platform/file_access.h"

namespace vorelia::dbf {

// A file seen as a header followed by fixed-size pages, read and written by page number, with
// an open mode that decides sharing and locking. Tables, index files and memo files build on
// it. In the shared modes (5, 6, 7) locks are byte-range locks; in the exclusive and memory
// modes every lock request succeeds.
//
// Table files use virtual locks: page p locks the one byte at 0xEFFFFFFE - p, so locks never
// cover data. Other files lock the real bytes of the page.
class TPagedFile {
 public:
  TPagedFile();
  virtual ~TPagedFile();
  TPagedFile(const TPagedFile&) = delete;
  TPagedFile& operator=(const TPagedFile&) = delete;

  void SetFileName(const std::filesystem::path& fileName) { m_fileName = fileName; }
  const std::filesystem::path& FileName() const { return m_fileName; }
  // Effective at the next open; a new file starts in mode 7.
  void SetMode(TPagedFileMode mode);
  TPagedFileMode Mode() const { return m_mode; }
  void SetAutoCreate(bool autoCreate) { m_autoCreate = autoCreate; }
  bool AutoCreate() const { return m_autoCreate; }

  // Raises EDbfError "Open: file not found" or the platform's EFileOpenError.
  void OpenPagedFile();
  // Stores a modified header, then closes.
  void ClosePagedFile();
  bool Active() const { return m_active; }

  // Memory modes: the bytes the file starts with (mode 2) and ends with.
  void SetMemoryContents(std::vector<uint8_t> bytes) { m_memory = std::move(bytes); }
  const std::vector<uint8_t>& MemoryContents() const { return m_memory; }

  int32_t HeaderOffset() const { return m_headerOffset; }
  void SetHeaderOffset(int32_t offset) { m_headerOffset = offset; }
  int32_t HeaderSize() const { return m_headerSize; }
  // Resizes the in-memory header copy (new bytes are zero); a modified header of an exclusive
  // file is stored first.
  void SetHeaderSize(int32_t size);
  int32_t RecordSize() const { return m_recordSize; }
  void SetRecordSize(int32_t size);
  int32_t PageSize() const { return m_pageSize; }
  void SetPageSize(int32_t size);
  // True for tables: page 1 starts right after the header, page 0 is the header.
  void SetPagesStartAfterHeader(bool value) { m_pagesAfterHeader = value; }
  // True for tables: locks are the virtual one-byte locks.
  void SetVirtualLocks(bool value) { m_virtualLocks = value; }

  uint8_t* Header() { return m_header.data(); }
  const uint8_t* Header() const { return m_header.data(); }

  // One record (record-size bytes) at page n; returns the bytes read, short at the end.
  int32_t ReadPage(int32_t page, void* buffer);
  // A failed or short write sets the write-error flag.
  // False when the write failed (the write-error flag is set as well).
  bool WritePage(int32_t page, const void* buffer);
  // Reads or writes raw bytes at a file offset (the same rules as pages).
  int64_t ReadBytes(uint64_t offset, void* buffer, size_t size);
  bool WriteBytes(uint64_t offset, const void* buffer, size_t size);

  // Loads the header area; bytes beyond the end of the file read as 0.
  void LoadHeader();
  // Marks the header modified; a shared file stores it at once.
  void StoreHeader();
  bool HeaderModified() const { return m_headerModified; }
  // Forgets changes to the in-memory header copy, so closing writes nothing.
  void DiscardHeaderChanges() { m_headerModified = false; }

  // Pages derived from the file length (tables: the record count), never below 0.
  int32_t PageCount();
  // The count as last derived, without asking the file system.
  int32_t CachedPageCount() const { return m_cachedCount; }
  void SetPageCount(int32_t count);
  bool IsRecordPresent(int32_t recordNo);
  int64_t FileLength();

  bool PageLock(int32_t page, bool wait);
  void PageUnlock(int32_t page);

  void HoldExclusive();
  void ReleaseExclusive();
  bool InExclusiveSpell() const { return m_temporaryMode != TPagedFileMode::pfNone; }

  bool NeedLocks() const { return m_needLocks; }
  bool IsSharedAccess() const { return m_needLocks; }
  bool IsMemory() const;
  bool Writable() const;
  bool WriteError() const { return m_writeError; }
  void SetWriteError() { m_writeError = true; }
  void ResetWriteError() { m_writeError = false; }

  // Forces written data to the disk (no-op in memory). False on failure.
  bool Flush();

 protected:
  // Called inside HoldExclusive/ReleaseExclusive once this file has changed mode, so a table
  // can take its index and memo files along.
  virtual void AfterHoldExclusive() {}
  virtual void BeforeReleaseExclusive() {}
  // Writes the header copy now (offset header offset, header-size bytes).
  void WriteHeaderArea();

 private:
  uint64_t PageOffset(int32_t page) const;
  void LockBounds(int32_t page, uint64_t& offset, uint64_t& length) const;
  void ReopenIn(TPagedFileMode mode);

  std::filesystem::path m_fileName;
  platform::FileAccess m_file;
  std::vector<uint8_t> m_memory;
  std::vector<uint8_t> m_header;
  bool m_headerModified = false;
  int64_t m_cachedLength = 0;
  int32_t m_cachedCount = 0;
  int32_t m_headerOffset = 0;
  int32_t m_headerSize = 0;
  int32_t m_recordSize = 0;
  int32_t m_pageSize = 0;
  bool m_active = false;
  TPagedFileMode m_mode = TPagedFileMode::pfReadOnly;
  TPagedFileMode m_userMode = TPagedFileMode::pfReadOnly;
  TPagedFileMode m_temporaryMode = TPagedFileMode::pfNone;
  bool m_autoCreate = false;
  bool m_needLocks = false;
  bool m_virtualLocks = false;
  bool m_writeError = false;
  bool m_pagesAfterHeader = false;
};

}  // namespace vorelia::dbf
