#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "dbf/dbf_common.h"
#include "dbf/dbf_field_def.h"
#include "dbf/paged_file.h"

namespace vorelia::dbf {

class TIndexSeam;
class TIndexFactory;
class TMemoFile;

// A dBase table file: header, field descriptors, fixed-length records with a deletion flag.
// Appends, record locks, edits, deletion flags, emptying and rewriting, keeping every attached
// index file in step. Records are record-size byte buffers, deletion flag first.
//
// Levels 3 and 4 header (32 bytes), then 32-byte descriptors, then 0x0D:
//   offset size  meaning
//        0    1  version byte
//        1    3  date of last update (year - 1900, month, day)
//        4    4  record count, including records flagged deleted
//        8    2  header size: 32 + 32n + 1
//       10    2  record size: 1 + sum of the field sizes
//       28    1  production index flag
//       29    1  language driver id
class TDbfFile : public TPagedFile {
 public:
  TDbfFile();
  ~TDbfFile() override;

  // Opens the table in the current mode (see TPagedFile). Returns false when the file holds no
  // table (header or record size 0) or the missing-index handler keeps the index link: the open
  // is then abandoned without a message and the file is closed. Raises EDbfError for invalid
  // files.
  bool OpenTable();
  // Creates the table file (current mode should be a create mode) from `defs`. Raises
  // EDbfError for unsupported types. A memo file is created when a field needs one.
  void CreateTableFile(const TDbfFieldDefs& defs, int memoBlockSize = 512);
  void CloseTable();

  // Level and language of a table to create; read from the file at open.
  int TableLevel() const { return m_tableLevel; }
  void SetTableLevel(int level) { m_tableLevel = level; }
  uint8_t LanguageId() const { return m_languageId; }
  void SetLanguageId(uint8_t id) { m_languageId = id; }
  // Code page of the text in the table; 0 means the platform's ANSI code page.
  int TableCodePage() const { return m_tableCodePage; }
  int UseCodePage() const;
  void SetUseCodePage(int codePage) { m_useCodePage = codePage; }

  const TDbfFieldDefs& FieldDefs() const { return m_fieldDefs; }
  int32_t RecordCount() { return PageCount(); }
  bool HasMemo() const { return m_hasMemo; }
  TMemoFile* MemoFile() { return m_memoFile.get(); }

  // Reads record n into `buffer`; false when n is not in the file.
  bool ReadRecord(int32_t recordNo, uint8_t* buffer);

  // Appends; returns the new record number. Raises EDbfError (key violation) or
  // EDbfWriteError after rolling back the count and the index keys.
  int32_t InsertRecord(uint8_t* buffer);
  // Raises EDbfError "Record locked." when someone else holds record n.
  void LockRecordForEdit(int32_t recordNo, uint8_t* buffer);
  // Writes an edited record and releases its lock. Raises EDbfError on a key violation and
  // EDbfWriteError when the write fails; either way the indexes are put back and the lock kept.
  void WriteEditedRecord(int32_t recordNo, uint8_t* buffer);
  void UnlockRecord(int32_t recordNo) { PageUnlock(recordNo); }
  void NoteRecordDeleted(int32_t recordNo, const uint8_t* buffer);
  void ZapRecords();
  // Packs (defs null, pack true) or restructures the table. Requires exclusive access. The
  // new table is written and flushed under a temporary name and then renamed over the old one,
  // so a crash leaves either the complete old or the complete new table.
  void RewriteTable(const TDbfFieldDefs* defs, bool pack);
  void FillDefaultRecord(uint8_t* buffer);

  // Conversion between the stored form and dataset values. Strings are raw table-code-page
  // bytes; an empty (all-space) value reads as null.
  TFieldValue ReadFieldValue(int fieldNo, const uint8_t* record) const;
  void WriteFieldValue(int fieldNo, const TFieldValue& value, uint8_t* record);

  // Index files.
  void SetIndexFactory(TIndexFactory* factory) { m_indexFactory = factory; }
  // The table name index files record in their headers: the file's own stem unless set (a table
  // rewritten under a temporary name keeps the name it will have).
  std::string IndexedTableName() const {
    return m_indexedTableName.empty() ? FileName().stem().string() : m_indexedTableName;
  }
  void SetIndexedTableName(std::string name) { m_indexedTableName = std::move(name); }
  TIndexFactory* IndexFactory() const;
  // Attaches (and with `create`, creates and builds) an index tag or .ndx file.
  void AttachIndex(const std::string& indexName, const std::string& expression, bool create,
                   TIndexOptions options);
  const std::vector<std::unique_ptr<TIndexSeam>>& IndexFiles() const { return m_indexFiles; }
  // The index file that holds the tag or file `name` (case-insensitive), or null.
  TIndexSeam* IndexOf(const std::string& name) const;
  std::vector<std::string> IndexNames() const;
  TIndexSeam* ProductionIndex() const { return m_mdxFile; }
  std::filesystem::path ProductionIndexName() const;
  // Asked when the header points to a production index that is missing; return true to keep
  // the link (the open is then abandoned). By default the link is cleared.
  void SetOnIndexMissing(std::function<bool()> handler) { m_onIndexMissing = std::move(handler); }
  // Sets byte 28 and writes the header.
  void SetProductionIndexFlag(bool present);

  // Writes the header: today's date, the header area, and 0x1A after the last record.
  void WriteHeader();

  // Test seam: called at named points of a rewrite ("temp-written", "temp-flushed",
  // "replaced"), so a crash can be simulated by throwing from it.
  void SetRewriteProbe(std::function<void(const char*)> probe) {
    m_rewriteProbe = std::move(probe);
  }

 protected:
  void AfterHoldExclusive() override;
  void BeforeReleaseExclusive() override;

 private:
  void ReadHeaderArea();
  void ReadFieldDescriptors();
  void FindSpecialFields();
  std::filesystem::path SiblingFile(const char* extension) const;
  TPagedFileMode IndexMode(bool create) const;
  void OpenMemo();
  void OpenProductionIndex();
  void CloseIndexes();
  void NormaliseFieldSize(TDbfFieldDef& def) const;
  void WriteLevel7DriverName(uint8_t* at) const;
  // Writes the header; the end mark goes at `heldRecord` when the caller holds its lock.
  void WriteHeaderMarking(int32_t heldRecord);
  void BuildDefaultRecord();
  void FillLockInfo(uint8_t* buffer);
  void FillAutoIncrement(uint8_t* buffer);
  bool IsAbandonedSlot(int32_t recordNo);
  void RemoveKeysFromAll(int32_t recordNo, const uint8_t* buffer);
  void ChangeRecordCount(int delta, int32_t heldRecord);
  int ComputeVersionByte(const TDbfFieldDefs& defs) const;
  void CopyRecordsInto(TDbfFile& target, const TDbfFieldDefs* defs, bool pack);

  TDbfFieldDefs m_fieldDefs;
  int m_tableLevel = kLevel4;
  uint8_t m_languageId = 0;
  int m_tableCodePage = 0;
  int m_useCodePage = 0;
  bool m_hasMemo = false;
  std::unique_ptr<TMemoFile> m_memoFile;
  std::vector<std::unique_ptr<TIndexSeam>> m_indexFiles;
  TIndexSeam* m_mdxFile = nullptr;
  TIndexFactory* m_indexFactory = nullptr;
  std::string m_indexedTableName;
  std::vector<uint8_t> m_prevBuffer;
  std::vector<uint8_t> m_defaultBuffer;
  int32_t m_lastInserted = 0;  // a hint for the next append's number
  int m_lockFieldNo = -1;
  int m_nullFlagsFieldNo = -1;
  std::function<bool()> m_onIndexMissing;
  std::function<void(const char*)> m_rewriteProbe;
};

}  // namespace vorelia::dbf
