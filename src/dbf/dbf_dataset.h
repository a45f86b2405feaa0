#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/dataset.h"
#include "dbf/dbf_common.h"
#include "dbf/dbf_field_def.h"
#include "dbf/string_translator.h"

namespace vorelia::dbf {

class TDbfFile;
class TDbfParser;
class TVirtualCursor;

enum class TDbfOpenMode { omNormal, omAutoCreate, omTemporary };
enum class TDbfStorage { stoFile, stoMemory };
enum class TDbfTranslationMode { tmNoneNeeded, tmSimple, tmAdvanced, tmNoneAvailable };
enum class TDbfLanguageAction { laReadOnly, laForceOEM, laForceANSI, laDefault };
enum class TDateTimeHandling { dtTimeStamp, dtDateTime };

// An index the dataset attaches at open: a tag of the production index (IndexFile without
// extension) or an index file (with extension).
struct TDbfIndexDef {
  std::string IndexFile;
  std::string SortField;  // key expression
  TIndexOptions Options = 0;
  bool Automatic = false;  // added at open from the production index; removed at close
};

// A dBase table presented record by record (the dataset model of data/dataset.h over a
// TDbfFile). It opens FilePathFull() + TableName(), navigates in physical order or by an index
// tag, hides records flagged deleted unless ShowDeleted, translates text between the table's
// code page and the program's ANSI code page, and offers the table-level operations: create,
// rewrite (pack), empty, add an index tag.
//
// Text values are ANSI (code page 1252) bytes on the dataset side.
class TDbfDataSet : public data::TDataSet {
 public:
  TDbfDataSet();
  ~TDbfDataSet() override;

  // The folder; stored with a trailing separator when not empty. Requires: inactive.
  const std::string& FilePath() const { return m_filePath; }
  void SetFilePath(const std::string& path);
  // The absolute folder, with a trailing separator.
  std::string FilePathFull() const;
  // File name with extension; a name with a folder also sets FilePath. Effective at next open.
  const std::string& TableName() const { return m_tableName; }
  void SetTableName(const std::string& name);

  // 3, 4, 7 or 25; other values are ignored. Requires: inactive.
  int TableLevel() const { return m_tableLevel; }
  void SetTableLevel(int level);
  bool Exclusive = false;
  bool ReadOnly = false;
  bool ShowDeleted() const { return m_showDeleted; }
  // Refreshes an open dataset.
  void SetShowDeleted(bool show);
  TDbfOpenMode OpenMode = TDbfOpenMode::omNormal;
  // Memory storage is not offered: the dataset always works on a file.
  TDbfStorage Storage = TDbfStorage::stoFile;
  TDateTimeHandling DateTimeHandling = TDateTimeHandling::dtTimeStamp;

  // The tag (or index file) to navigate by; empty or unknown: physical order.
  const std::string& IndexName() const { return m_indexName; }
  void SetIndexName(const std::string& name);
  std::vector<TDbfIndexDef>& IndexDefs() { return m_indexDefs; }

  // 0 until a table is opened, then byte 29 of the table. Set before CreateTable to choose the
  // language of a new table (0: the engine's default).
  uint8_t LanguageId() const { return m_languageId; }
  void SetLanguageId(uint8_t id) { m_languageId = id; }
  TDbfTranslationMode TranslationMode() const { return m_translationMode; }

  // Requires: inactive. Creates the table file from FieldDefs() (or the persistent fields when
  // there are none); a half-created file is removed on failure.
  void CreateTable();
  // Requires: inactive. Rewrites the table alone and exclusively: with `defs` to that layout,
  // with `pack` without its deleted records.
  void RebuildTable(const TDbfFieldDefs* defs, bool pack);
  // Requires: active. Removes every record.
  void ClearTable();
  // Requires: active. Creates and builds an index tag (or index file when the name has an
  // extension); does not select it.
  void AddIndexTag(const std::string& indexName, const std::string& expression,
                   TIndexOptions options);
  // The open table's native definitions; null while closed.
  const TDbfFieldDefs* NativeFieldDefs() const;
  // The open table file; null while closed.
  TDbfFile* DbfFile() const { return m_file.get(); }

  // Physical record number of the current record (0 when none) and its deletion flag.
  int32_t PhysicalRecNo() const;
  bool IsDeleted() const;

  // Engine events.
  std::function<void(TDbfDataSet&, bool& allow)> BeforeAutoCreate;
  std::function<void(TDbfDataSet&, TDbfLanguageAction& action)> OnLanguageWarning;
  // Asked when the production index named in the table is missing; keep `deleteLink` true to
  // open without it, set it false to abandon the open.
  std::function<void(TDbfDataSet&, bool& deleteLink)> OnIndexMissing;
  // Replaces the code-page translation of text: converts `source` into `dest` (towards the
  // table when `toTable`) and returns the length to keep, or -1 for all of `dest`.
  std::function<int(TDbfDataSet&, const std::string& source, std::string& dest, bool toTable)>
      OnTranslate;

 protected:
  void InternalOpen() override;
  void InternalClose() override;
  int RecordSize() const override;
  data::TGetResult GetRecord(data::TRecordBuffer& buffer, data::TGetMode mode) override;
  void InternalFirst() override;
  void InternalLast() override;
  void InternalGotoBookmark(int64_t bookmark) override;
  bool InternalBookmarkValid(int64_t bookmark) const override;
  void InternalInitRecord(data::TRecordBuffer& buffer) override;
  void InternalEdit() override;
  void InternalPost() override;
  void InternalCancel() override;
  void InternalDelete() override;
  int GetRecordCount() const override;
  bool InternalCanModify() const override;
  bool FilterAccepts(const data::TRecordBuffer& buffer) override;
  void FilterChanged() override;
  data::TFieldValue GetFieldValue(const data::TField& field,
                                  const data::TRecordBuffer& buffer) const override;
  void SetFieldValue(const data::TField& field, data::TRecordBuffer& buffer,
                     const data::TFieldValue& value) override;

 private:
  // The stored definition of a text field presented as a string; null for any other field.
  const TDbfFieldDef* PlainTextField(const data::TField& field) const;
  std::string TablePath() const;
  void InitFieldDefs();
  void AddAutomaticIndexDefs();
  void DecideTranslation();
  void AttachIndexDefs();
  void ParseFilter();
  void SelectIndex();
  // Convert text in place between the ANSI and the table code page.
  void ToAnsi(std::string& text) const;
  void ToTable(std::string& text) const;
  void CallOnTranslate(std::string& text, bool toTable) const;

  std::string m_filePath;
  std::string m_tableName;
  int m_tableLevel = kLevel4;
  bool m_showDeleted = false;
  std::string m_indexName;
  std::vector<TDbfIndexDef> m_indexDefs;
  uint8_t m_languageId = 0;
  TDbfTranslationMode m_translationMode = TDbfTranslationMode::tmNoneNeeded;
  TStringTranslator m_toAnsi;
  TStringTranslator m_toTable;

  std::unique_ptr<TDbfFile> m_file;
  std::unique_ptr<TVirtualCursor> m_cursor;
  std::unique_ptr<TDbfParser> m_filterParser;
  int32_t m_editingRecNo = 0;  // record locked for the edit in progress
  std::vector<uint8_t> m_scratch;
};

}  // namespace vorelia::dbf
