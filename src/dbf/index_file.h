#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "dbf/dbf_common.h"
#include "dbf/dbf_field_def.h"
#include "dbf/index_key.h"
#include "dbf/index_page.h"
#include "dbf/index_seam.h"
#include "dbf/paged_file.h"
#include "dbf/virtual_cursor.h"

namespace vorelia::dbf {

class TDbfIndexParser;

// What an index file needs from its table: the fields for the key expressions, the records
// for building tags, and the facts the file header repeats.
class TIndexTable {
 public:
  virtual ~TIndexTable() = default;
  virtual const TDbfFieldDefs& FieldDefs() const = 0;
  virtual TFieldValue ReadFieldValue(int fieldNo, const uint8_t* record) const = 0;
  virtual int32_t RecordSize() const = 0;
  virtual int32_t RecordCount() = 0;
  virtual bool ReadRecord(int32_t recordNo, uint8_t* buffer) = 0;
  // Records first ... first + count - 1 one after the other into `buffer`; returns how many
  // were read. Tables that can read a run at once make building a tag cheaper.
  virtual int32_t ReadRecords(int32_t first, int32_t count, uint8_t* buffer);
  virtual std::vector<uint8_t> DefaultRecord() = 0;
  virtual uint8_t LanguageId() const = 0;
  virtual int TableLevel() const = 0;
  // The table file's name without folder and extension.
  virtual std::string TableName() const = 0;
  // Tag creation and deletion need the table to themselves.
  virtual bool HeldExclusively() = 0;
};

enum class TLocaleError : uint8_t { leNone, leUnknown, leTableIndexMismatch, leNotAvailable };
enum class TLocaleSolution : uint8_t { lsNotOpen, lsNoEdit, lsBinary };
// Decides what to do when an index's locale does not suit its table; the solution comes in
// preset to lsNotOpen.
using TLocaleErrorHandler = std::function<void(TLocaleError, TLocaleSolution&)>;

inline constexpr const char* kMsgInvalidIndexType =
    "Invalid index type: can only be string or float.";
inline constexpr const char* kMsgTooManyIndexes = "Can not create index: too many indexes in file.";
constexpr int kMaxTags = 47;

// A production index (.mdx: up to 47 tags, 1024-byte blocks) or a single-tag index (.ndx,
// 512-byte blocks), chosen by the file's extension. Keeps its tags in step with the table and
// walks the current tag in key order.
//
// In the exclusive modes blocks and tag headers are kept in memory and written when the file
// is flushed or closed. In the shared modes every operation re-reads the headers first, locks
// the blocks it changes and writes them before it returns.
class TIndexFile : public TIndexSeam, public TTagCursorSource {
 public:
  TIndexFile(TIndexTable& table, std::filesystem::path fileName);
  ~TIndexFile() override;

  // Opens the file in `mode`; a create mode makes a new, empty index. Memory modes read from
  // and write to `memory`. Returns false when the locale check refuses the file (it is then
  // closed). Raises EDbfError for damaged files.
  bool Open(TPagedFileMode mode, const TLocaleErrorHandler& onLocaleError = {},
            std::vector<uint8_t> memory = {});
  bool IsSingleTag() const { return m_singleTag; }
  // Memory modes: the bytes of the file (after a flush).
  const std::vector<uint8_t>& MemoryContents() const { return m_file.MemoryContents(); }
  TPagedFile& File() { return m_file; }

  // TIndexSeam
  const std::filesystem::path& IndexFileName() const override { return m_fileName; }
  bool IsProduction() const override { return !m_singleTag; }
  std::vector<TIndexTagInfo> Tags() const override;
  bool InsertKeys(int32_t recordNo, const uint8_t* record) override;
  void RemoveKeys(int32_t recordNo, const uint8_t* record) override;
  bool UpdateKeys(int32_t recordNo, const uint8_t* previous, const uint8_t* record) override;
  void RecordFlaggedDeleted(int32_t recordNo, const uint8_t* record) override;
  void ClearAllTags() override;
  std::string KeyViolation() const override { return m_keyViolation; }
  bool WriteError() const override { return m_file.WriteError(); }
  void ResetWriteError() override { m_file.ResetWriteError(); }
  void CreateTag(const std::string& expression, const std::string& tagName,
                 TIndexOptions options) override;
  void DeleteTag(const std::string& tagName) override;
  void BuildTag(const std::string& tagName) override;
  void HoldExclusive() override;
  void ReleaseExclusive() override;
  bool Flush() override;
  void Close() override;

  // TTagCursorSource: a TIndexCursor over the tag.
  std::unique_ptr<TVirtualCursor> CreateTagCursor(const std::string& tagName) override;

  // Tags.
  int TagCount() const { return static_cast<int>(m_tags.size()); }
  std::vector<std::string> TagNames() const;
  // Case-insensitive; an unknown name leaves the current tag as it is.
  void SelectTag(const std::string& tagName);
  std::string CurrentTagName() const;
  int CurrentTag() const { return m_current; }
  void ClearTag();
  // The current tag's key of a record (key length bytes).
  std::vector<uint8_t> ExtractKey(const uint8_t* record);
  // The key of a record in any tag.
  std::vector<uint8_t> TagKey(int tag, const uint8_t* record);
  // False when the locale check chose not to maintain the keys.
  bool CanUpdate() const { return m_canUpdate; }
  bool SharedAccess() const { return m_file.NeedLocks(); }

  // Facts of a tag for checks and tests.
  struct TTagFacts {
    std::string name;
    std::string expression;
    int32_t headerPage = 0;
    int32_t rootPage = 0;
    int keyLength = 0;
    int entryLength = 0;
    int maxKeys = 0;
    uint8_t keyFlags = 0;
    char keyType = 'C';
    bool descending = false;
    bool unique = false;
    bool distinct = false;
  };
  TTagFacts TagFacts(int tag) const;
  int32_t FilePageCount() const;
  // A copy of one tree block of a tag (bounds and shape checked; raises EDbfError otherwise).
  std::vector<uint8_t> ReadBlock(int tag, int32_t page);
  const TBlockGeometry& Geometry(int tag) const;
  const TKeyComparator& Comparator(int tag) const;
  // Re-reads what other processes may have changed (shared modes only).
  void Resynchronise();

  // The cursor over the current tag (see TIndexCursor).
  bool First();
  bool Last();
  bool Next();
  bool Prior();
  // The record number of the current entry; -1 before the first and after the last.
  int32_t PhysicalRecNo();
  // Moves to the entry of record n (its key taken from the table); false when not found.
  bool SetPhysicalRecNo(int32_t recordNo);
  int32_t SequentialRecNo();
  void SetSequentialRecNo(int32_t number);
  int32_t SequentialRecordCount();

 private:
  struct TTag;
  struct TBlock {
    std::vector<uint8_t> bytes;
    bool dirty = false;
  };
  struct TLevel {
    int32_t page;
    int entry;
  };
  enum class TSearch : uint8_t { sInsert, sFirstEqual };

  void CreateEmptyFile();
  void ReadFileHeader();
  void CheckPageCount() const;
  void ReadTag(int slot);
  void ConfigureTag(TTag& tag);
  std::unique_ptr<TDbfIndexParser> MakeParser(const std::string& expression);
  [[noreturn]] void Damaged(const std::string& problem) const;

  uint8_t* TagEntry(int slot);
  int32_t AllocateBlock(int tagForCounter);
  TBlock& LoadBlock(const TTag& tag, int32_t page);
  void CheckBlockShape(const TTag& tag, int32_t page, const TBlock& block) const;
  TIndexPage Page(const TTag& tag, int32_t page);
  TIndexPage DirtyPage(const TTag& tag, int32_t page);
  void WriteTagHeader(TTag& tag);
  void FlushBlocks();
  void EndChange();
  void BeginOperation(int tag);
  void ClearTagTree(int tag);
  void FillTagHeader(TTag& tag, const std::string& expression, TIndexOptions options,
                     bool numeric);
  std::vector<int> TagsToUpdate() const;

  void KeyOf(TTag& tag, const uint8_t* record, uint8_t* key);
  int SearchBlock(const TTag& tag, const TIndexPage& page, const uint8_t* key, TSearch mode) const;
  bool InsertKey(int tag, int32_t recordNo, const uint8_t* key);
  void SplitBlock(int tag, std::vector<TLevel>& path, int32_t& page, int& position);
  bool FindExact(TTag& tag, const uint8_t* key, int32_t recordNo, std::vector<TLevel>& path);
  bool RemoveKey(int tag, int32_t recordNo, const uint8_t* key);
  void RemoveEntry(TTag& tag, std::vector<TLevel>& path, size_t level);
  void RepairParentKeys(TTag& tag, const std::vector<TLevel>& path, size_t level);
  bool StepToNeighbourLeaf(const TTag& tag, std::vector<TLevel>& path, bool forward);
  void DescendToEdge(const TTag& tag, std::vector<TLevel>& path, bool forward);
  bool EnsureCursor();
  bool MoveToEnd(bool first);
  void RememberCursor();
  void InvalidatePath();

  TIndexTable& m_table;
  std::filesystem::path m_fileName;
  TPagedFile m_file;
  bool m_singleTag = false;
  std::vector<std::unique_ptr<TTag>> m_tags;
  int m_current = -1;
  bool m_updateAllTags = false;
  bool m_canUpdate = true;
  bool m_deletingRecord = false;
  std::string m_keyViolation;
  TCollationTable m_collation = nullptr;
  uint8_t m_languageId = 0;

  std::unordered_map<int32_t, TBlock> m_cache;
  std::unordered_set<int32_t> m_lockedBlocks;
  std::vector<uint8_t> m_record;
  std::vector<uint8_t> m_keyBuffer;

  // The cursor: the path of the current tag, and the entry it stands on so the path can be
  // found again after the tree has changed.
  std::vector<TLevel> m_path;
  bool m_pathValid = false;
  enum class TCursorState : uint8_t { csBeforeFirst, csAfterLast, csOnEntry } m_state =
      TCursorState::csBeforeFirst;
  std::vector<uint8_t> m_cursorKey;
  bool m_cursorKeyKept = false;
  int32_t m_cursorRecNo = -1;
};

}  // namespace vorelia::dbf
