// Rewriting a table: pack (without its deleted records) and restructure (new field layout).
//
// The new table and its index are written and flushed under a temporary name, then renamed over
// the old files. A rename replaces a file in one step, so at every instant the table's name holds
// either the complete old table or the complete new one.

#include <cstring>

#include "dbf/byte_order.h"
#include "dbf/dbf_errors.h"
#include "dbf/dbf_file.h"
#include "dbf/index_seam.h"
#include "dbf/memo_file.h"
#include "platform/file_access.h"

namespace vorelia::dbf {
namespace {

namespace fs = std::filesystem;

// <folder>/<name>_<k><ext> for the first k whose file does not exist.
fs::path FreeSiblingName(const fs::path& table) {
  const fs::path folder = table.parent_path();
  const std::string stem = table.stem().string();
  const std::string ext = table.extension().string();
  for (int k = 1;; ++k) {
    fs::path candidate = folder / (stem + "_" + std::to_string(k) + ext);
    if (!platform::FileExists(candidate)) return candidate;
  }
}

fs::path WithExtension(fs::path path, const char* extension) {
  path.replace_extension(extension);
  return path;
}

// Keeps the old file under a backup name without ever leaving the original name empty.
void KeepBackup(const fs::path& original) {
  if (!platform::FileExists(original)) return;
  const fs::path backup = FreeSiblingName(original);
  std::error_code error;
  fs::create_hard_link(original, backup, error);
  if (error) fs::copy_file(original, backup, error);
  if (error) {
    throw EDbfWriteError("Cannot keep a backup of \"" + original.string() +
                         "\": " + error.message() + ".");
  }
}

void Replace(const fs::path& from, const fs::path& to) {
  if (!platform::ReplaceFile(from, to)) {
    throw EDbfWriteError("Cannot rename \"" + from.string() + "\" to \"" + to.string() + "\".");
  }
}

}  // namespace

void TDbfFile::CopyRecordsInto(TDbfFile& target, const TDbfFieldDefs* defs, bool pack) {
  const auto recordSize = static_cast<size_t>(RecordSize());
  std::vector<uint8_t> record(recordSize);
  std::vector<uint8_t> copy(static_cast<size_t>(target.RecordSize()));
  const bool convert = defs != nullptr || m_hasMemo;
  const int32_t count = RecordCount();
  int32_t written = 0;
  for (int32_t n = 1; n <= count; ++n) {
    if (ReadPage(n, record.data()) != RecordSize()) {
      throw EDbfError(DamagedFileMessage(FileName().string(),
                                         "record " + std::to_string(n) + " cannot be read"));
    }
    if (pack && record[0] == kRecordDeleted) continue;
    if (!convert) {
      std::memcpy(copy.data(), record.data(), recordSize);
    } else {
      target.FillDefaultRecord(copy.data());
      copy[0] = record[0];
      for (int i = 0; i < target.m_fieldDefs.Count(); ++i) {
        const int from = m_fieldDefs.IndexOf(target.m_fieldDefs[i].FieldName);
        if (from >= 0) target.WriteFieldValue(i, ReadFieldValue(from, record.data()), copy.data());
      }
    }
    ++written;
    target.WritePage(written, copy.data());
    for (auto& index : target.m_indexFiles) {
      if (!index->InsertKeys(written, copy.data())) throw EDbfError(index->KeyViolation());
    }
  }
  PutLe32(target.Header() + 4, static_cast<uint32_t>(written));
  target.WriteHeader();
  bool failed = target.WriteError();
  for (auto& index : target.m_indexFiles) failed = failed || index->WriteError();
  if (failed) throw EDbfWriteError(kMsgWriteError);
}

void TDbfFile::RewriteTable(const TDbfFieldDefs* defs, bool pack) {
  if (RecordSize() == 0 || (defs == nullptr && !pack)) return;
  if (NeedLocks() || IsMemory()) throw EDbfError(kMsgNeedExclusive);
  auto probe = [this](const char* step) {
    if (m_rewriteProbe) m_rewriteProbe(step);
  };

  const fs::path tablePath = FileName();
  const fs::path tempPath = FreeSiblingName(tablePath);
  const char* memoExt = m_tableLevel == kLevelFoxPro ? ".fpt" : ".dbt";

  TDbfFile temp;
  temp.SetFileName(tempPath);
  temp.SetMode(TPagedFileMode::pfExclusiveCreate);
  temp.SetTableLevel(m_tableLevel);
  temp.SetLanguageId(m_languageId);
  temp.SetIndexFactory(m_indexFactory);
  temp.SetIndexedTableName(IndexedTableName());
  try {
    temp.CreateTableFile(defs != nullptr ? *defs : m_fieldDefs,
                         m_memoFile ? m_memoFile->BlockSize() : 512);
    for (const auto& index : m_indexFiles) {
      for (const TIndexTagInfo& tag : index->Tags()) {
        const TIndexOptions kept = tag.options & (ixDescending | ixUnique | ixPrimary);
        temp.AttachIndex(tag.name, tag.expression, true,
                         static_cast<TIndexOptions>(ixExpression | kept));
      }
    }
    CopyRecordsInto(temp, defs, pack);
    probe("temp-written");
    bool durable = temp.Flush();
    if (temp.m_memoFile) durable = temp.m_memoFile->Flush() && durable;
    for (auto& index : temp.m_indexFiles) durable = index->Flush() && durable;
    if (!durable) throw EDbfWriteError(kMsgWriteError);
    temp.CloseTable();
    probe("temp-flushed");
  } catch (...) {
    const bool hadMemo = temp.HasMemo();
    const bool hadIndex = temp.ProductionIndex() != nullptr;
    temp.CloseTable();
    platform::RemoveFile(tempPath);
    if (hadMemo) platform::RemoveFile(WithExtension(tempPath, memoExt));
    if (hadIndex) platform::RemoveFile(WithExtension(tempPath, ".mdx"));
    throw;
  }

  std::vector<fs::path> oldIndexes;
  for (const auto& index : m_indexFiles) oldIndexes.push_back(index->IndexFileName());
  const bool newMemo = temp.HasMemo();
  const bool newIndex = platform::FileExists(WithExtension(tempPath, ".mdx"));
  // Reopening must not truncate the new table.
  const TPagedFileMode mode =
      Mode() == TPagedFileMode::pfExclusiveCreate ? TPagedFileMode::pfExclusiveOpen : Mode();
  CloseTable();

  if (defs != nullptr) {
    KeepBackup(tablePath);
    KeepBackup(WithExtension(tablePath, memoExt));
  }
  if (newMemo) Replace(WithExtension(tempPath, memoExt), WithExtension(tablePath, memoExt));
  Replace(tempPath, tablePath);
  probe("table-replaced");
  if (!newMemo) platform::RemoveFile(WithExtension(tablePath, memoExt));
  const fs::path production = WithExtension(tablePath, ".mdx");
  for (const fs::path& old : oldIndexes) {
    if (!(newIndex && old == production)) platform::RemoveFile(old);
  }
  if (newIndex) Replace(WithExtension(tempPath, ".mdx"), production);
  platform::SyncFolder(tablePath.parent_path());
  probe("replaced");

  SetMode(mode);
  if (!OpenTable()) return;
  const int32_t count = RecordCount();
  SetPageCount(count);
  PutLe32(Header() + 4, static_cast<uint32_t>(count));
  WriteHeader();
}

}  // namespace vorelia::dbf
