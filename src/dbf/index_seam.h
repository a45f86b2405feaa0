#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "dbf/dbf_common.h"

namespace vorelia::dbf {

class TDbfFile;

// A tag as its header describes it: what a rewrite needs to create the same tag again.
struct TIndexTagInfo {
  std::string name;        // upper case
  std::string expression;  // the key expression
  TIndexOptions options = 0;
};

// An index file as the table file sees it. The table keeps every attached index in step with
// each change of its records through these calls; a table with no index attached makes none.
// Records are passed as the table's record bytes, deletion flag first.
class TIndexSeam {
 public:
  virtual ~TIndexSeam() = default;

  virtual const std::filesystem::path& IndexFileName() const = 0;
  // True for the table's production (.mdx) file.
  virtual bool IsProduction() const = 0;
  virtual std::vector<TIndexTagInfo> Tags() const = 0;

  // Key upkeep, over the current tag or all tags as the file decides. InsertKeys and
  // UpdateKeys return false when a distinct tag refuses the key; nothing has changed then and
  // KeyViolation() holds the message. Failed writes set WriteError() instead of raising.
  virtual bool InsertKeys(int32_t recordNo, const uint8_t* record) = 0;
  virtual void RemoveKeys(int32_t recordNo, const uint8_t* record) = 0;
  virtual bool UpdateKeys(int32_t recordNo, const uint8_t* previous, const uint8_t* record) = 0;
  virtual void RecordFlaggedDeleted(int32_t recordNo, const uint8_t* record) = 0;
  // Every tag becomes empty (the table was emptied).
  virtual void ClearAllTags() = 0;
  virtual std::string KeyViolation() const = 0;
  virtual bool WriteError() const = 0;
  virtual void ResetWriteError() = 0;

  // Tag management. Requires: the table is held exclusively. Raise EDbfError on failure.
  virtual void CreateTag(const std::string& expression, const std::string& tagName,
                         TIndexOptions options) = 0;
  virtual void DeleteTag(const std::string& tagName) = 0;
  // Clears the tag and inserts every record of the table (empty name: all tags).
  virtual void BuildTag(const std::string& tagName) = 0;

  // Follow the table into and out of an exclusive spell.
  virtual void HoldExclusive() = 0;
  virtual void ReleaseExclusive() = 0;
  // Makes everything written so far durable (before a rewrite renames the file into place).
  virtual bool Flush() = 0;
  virtual void Close() = 0;
};

// Makes index file objects for a table; the index engine provides the real one. Without a
// factory a table opens without its production index and refuses to create one.
class TIndexFactory {
 public:
  virtual ~TIndexFactory() = default;
  // Opens the index file at `path` for `table` in `mode` (a create mode makes a new empty
  // file). Returns null when the file is refused (its locale cannot be honoured).
  virtual std::unique_ptr<TIndexSeam> OpenIndexFile(TDbfFile& table,
                                                    const std::filesystem::path& path,
                                                    TPagedFileMode mode) = 0;
};

// The factory tables use unless one is set on the table itself. Not owned.
void SetDefaultIndexFactory(TIndexFactory* factory);
TIndexFactory* DefaultIndexFactory();

}  // namespace vorelia::dbf
