#include "dbf/dbf_dataset.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>

#include "data/data_error.h"
#include "dbf/dbf_errors.h"
#include "dbf/dbf_file.h"
#include "dbf/expression_parser.h"
#include "dbf/index_seam.h"
#include "dbf/language_table.h"
#include "dbf/physical_cursor.h"
#include "platform/code_page.h"
#include "platform/file_access.h"

namespace vorelia::dbf {
namespace {

namespace fs = std::filesystem;
using DataType = data::TFieldType;

DataType DataTypeOf(dbf::TFieldType type) {
  switch (type) {
    case dbf::TFieldType::ftString:
    case dbf::TFieldType::ftFixedChar:
    case dbf::TFieldType::ftWideString: return DataType::String;
    case dbf::TFieldType::ftSmallint: return DataType::SmallInt;
    case dbf::TFieldType::ftInteger:
    case dbf::TFieldType::ftWord: return DataType::Integer;
    case dbf::TFieldType::ftLargeint: return DataType::LargeInt;
    case dbf::TFieldType::ftFloat:
    case dbf::TFieldType::ftCurrency: return DataType::Float;
    case dbf::TFieldType::ftBCD: return DataType::BCD;
    case dbf::TFieldType::ftBoolean: return DataType::Boolean;
    case dbf::TFieldType::ftDate: return DataType::Date;
    case dbf::TFieldType::ftDateTime: return DataType::DateTime;
    case dbf::TFieldType::ftAutoInc: return DataType::AutoInc;
    case dbf::TFieldType::ftBlob:
    case dbf::TFieldType::ftDBaseOle: return DataType::Blob;
    case dbf::TFieldType::ftMemo: return DataType::Memo;
    case dbf::TFieldType::ftBytes: return DataType::Bytes;
    case dbf::TFieldType::ftUnknown: break;
  }
  return DataType::Unknown;
}

dbf::TFieldType EngineTypeOf(DataType type) {
  switch (type) {
    case DataType::String: return dbf::TFieldType::ftString;
    case DataType::SmallInt: return dbf::TFieldType::ftSmallint;
    case DataType::Integer: return dbf::TFieldType::ftInteger;
    case DataType::LargeInt: return dbf::TFieldType::ftLargeint;
    case DataType::AutoInc: return dbf::TFieldType::ftAutoInc;
    case DataType::Float: return dbf::TFieldType::ftFloat;
    case DataType::BCD: return dbf::TFieldType::ftBCD;
    case DataType::Boolean: return dbf::TFieldType::ftBoolean;
    case DataType::Date: return dbf::TFieldType::ftDate;
    case DataType::DateTime: return dbf::TFieldType::ftDateTime;
    case DataType::Memo: return dbf::TFieldType::ftMemo;
    case DataType::Blob: return dbf::TFieldType::ftBlob;
    case DataType::Bytes: return dbf::TFieldType::ftBytes;
    case DataType::Unknown: break;
  }
  return dbf::TFieldType::ftUnknown;
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool HasExtension(const std::string& name) { return fs::path(name).has_extension(); }

const uint8_t* Bytes(const data::TRecordBuffer& buffer) {
  return reinterpret_cast<const uint8_t*>(buffer.Data.data());
}
uint8_t* Bytes(data::TRecordBuffer& buffer) { return reinterpret_cast<uint8_t*>(buffer.Data.data()); }

}  // namespace

TDbfDataSet::TDbfDataSet() = default;

TDbfDataSet::~TDbfDataSet() {
  try {
    Close();
  } catch (...) {
    // Nothing can be reported from a destructor; the table file closes with its object.
  }
}

// --- Properties --------------------------------------------------------------------------------

void TDbfDataSet::SetFilePath(const std::string& path) {
  CheckInactive();
  m_filePath = path;
  if (!m_filePath.empty() && m_filePath.back() != '/') m_filePath += '/';
}

std::string TDbfDataSet::FilePathFull() const {
  std::string full = fs::absolute(m_filePath.empty() ? fs::path(".") : fs::path(m_filePath))
                         .lexically_normal()
                         .string();
  if (full.empty() || full.back() != '/') full += '/';
  return full;
}

void TDbfDataSet::SetTableName(const std::string& name) {
  const fs::path path(name);
  if (path.has_parent_path()) {
    m_filePath = path.parent_path().string() + '/';
    m_tableName = path.filename().string();
  } else {
    m_tableName = name;
  }
}

void TDbfDataSet::SetTableLevel(int level) {
  CheckInactive();
  if (level == kLevel3 || level == kLevel4 || level == kLevel7 || level == kLevelFoxPro)
    m_tableLevel = level;
}

void TDbfDataSet::SetShowDeleted(bool show) {
  if (show == m_showDeleted) return;
  if (Active()) CheckBrowseMode();
  m_showDeleted = show;
  if (Active()) Resync();
}

std::string TDbfDataSet::TablePath() const { return FilePathFull() + m_tableName; }

const TDbfFieldDefs* TDbfDataSet::NativeFieldDefs() const {
  return m_file ? &m_file->FieldDefs() : nullptr;
}

int32_t TDbfDataSet::PhysicalRecNo() const {
  const data::TRecordBuffer* buffer = Active() ? ActiveBuffer() : nullptr;
  return buffer && buffer->Bookmark > 0 ? static_cast<int32_t>(buffer->Bookmark) : 0;
}

bool TDbfDataSet::IsDeleted() const {
  const data::TRecordBuffer* buffer = Active() ? ActiveBuffer() : nullptr;
  return buffer && !buffer->Data.empty() && buffer->Data[0] == '*';
}

// --- Opening and closing -----------------------------------------------------------------------

void TDbfDataSet::InternalOpen() {
  m_file.reset();
  const std::string path = TablePath();
  if (!platform::FileExists(path) &&
      (OpenMode == TDbfOpenMode::omAutoCreate || OpenMode == TDbfOpenMode::omTemporary)) {
    bool allow = true;
    if (BeforeAutoCreate) BeforeAutoCreate(*this, allow);
    if (!allow) throw EAbort();
    CreateTable();
  }

  auto file = std::make_unique<TDbfFile>();
  file->SetFileName(path);
  file->SetMode(ReadOnly    ? TPagedFileMode::pfReadOnly
                : Exclusive ? TPagedFileMode::pfExclusiveOpen
                            : TPagedFileMode::pfReadWriteOpen);
  if (OnIndexMissing) {
    file->SetOnIndexMissing([this] {
      bool deleteLink = true;
      OnIndexMissing(*this, deleteLink);
      return !deleteLink;
    });
  }
  // A table that is not there, or whose index link must stay, is a silent cancellation.
  if (!file->OpenTable()) throw EAbort();
  m_file = std::move(file);
  try {
    m_tableLevel = m_file->TableLevel();
    m_languageId = m_file->LanguageId();
    InitFieldDefs();
    AddAutomaticIndexDefs();
    DecideTranslation();
    AttachIndexDefs();
    ParseFilter();
    m_scratch.assign(static_cast<size_t>(m_file->RecordSize()), ' ');
    m_cursor = std::make_unique<TPhysicalCursor>(*m_file);
    SelectIndex();
  } catch (...) {
    InternalClose();
    throw;
  }
}

void TDbfDataSet::InternalClose() {
  std::erase_if(m_indexDefs, [](const TDbfIndexDef& def) { return def.Automatic; });
  m_filterParser.reset();
  m_cursor.reset();
  m_editingRecNo = 0;
  if (m_file) {
    std::unique_ptr<TDbfFile> file = std::move(m_file);
    file->CloseTable();
  }
}

void TDbfDataSet::InitFieldDefs() {
  data::TFieldDefs& defs = FieldDefs();
  defs.Clear();
  for (const TDbfFieldDef& native : m_file->FieldDefs()) {
    // A repeated name gets the first free suffix 2, 3, ...
    std::string name = native.FieldName;
    for (int suffix = 2; defs.IndexOf(name) >= 0; ++suffix)
      name = native.FieldName + std::to_string(suffix);
    const DataType type = DataTypeOf(native.FieldType());
    const bool sized = type == DataType::String || type == DataType::BCD ||
                       type == DataType::Bytes;
    data::TFieldDef& def = defs.Add(name, type, sized ? native.Size : 0, native.Required);
    if (type == DataType::Float || type == DataType::BCD) def.Precision = native.Precision;
    def.ReadOnly = type == DataType::AutoInc;
  }
}

void TDbfDataSet::AddAutomaticIndexDefs() {
  const TIndexSeam* production = m_file->ProductionIndex();
  if (!production) return;
  for (const TIndexTagInfo& tag : production->Tags()) {
    const bool known = std::any_of(m_indexDefs.begin(), m_indexDefs.end(), [&](const auto& def) {
      return data::SameName(def.IndexFile, tag.name);
    });
    if (known) continue;
    TDbfIndexDef def;
    def.IndexFile = tag.name;
    def.SortField = tag.expression;
    def.Options = static_cast<TIndexOptions>(
        ixExpression | (tag.options & (ixDescending | ixUnique | ixPrimary)));
    def.Automatic = true;
    m_indexDefs.push_back(def);
  }
}

void TDbfDataSet::DecideTranslation() {
  auto decide = [this] {
    const int codePage = m_file->UseCodePage();
    if (codePage == platform::AnsiCodePage()) return TDbfTranslationMode::tmNoneNeeded;
    if (codePage == platform::OemCodePage()) return TDbfTranslationMode::tmSimple;
    if (platform::IsCodePageInstalled(codePage)) return TDbfTranslationMode::tmAdvanced;
    return TDbfTranslationMode::tmNoneAvailable;
  };
  m_translationMode = decide();
  if (m_translationMode == TDbfTranslationMode::tmNoneAvailable) {
    TDbfLanguageAction action = TDbfLanguageAction::laReadOnly;
    if (OnLanguageWarning) OnLanguageWarning(*this, action);
    switch (action) {
      case TDbfLanguageAction::laReadOnly:
        break;
      case TDbfLanguageAction::laForceOEM:
        m_file->SetUseCodePage(platform::OemCodePage());
        break;
      case TDbfLanguageAction::laForceANSI:
        m_file->SetUseCodePage(platform::AnsiCodePage());
        break;
      case TDbfLanguageAction::laDefault: {
        const int fallback = LanguageCodePage(DefaultLanguageId());
        m_file->SetUseCodePage(fallback != 0 ? fallback : platform::AnsiCodePage());
        break;
      }
    }
    if (action != TDbfLanguageAction::laReadOnly) m_translationMode = decide();
  }
  const int codePage = m_file->UseCodePage();
  const bool translate = m_translationMode == TDbfTranslationMode::tmSimple ||
                         m_translationMode == TDbfTranslationMode::tmAdvanced;
  m_toAnsi = translate ? TStringTranslator(codePage, platform::AnsiCodePage()) : TStringTranslator();
  m_toTable = translate ? TStringTranslator(platform::AnsiCodePage(), codePage) : TStringTranslator();
}

void TDbfDataSet::AttachIndexDefs() {
  for (const TDbfIndexDef& def : m_indexDefs) {
    if (def.Automatic) continue;
    // Only indexes that exist are attached; opening never creates one.
    if (HasExtension(def.IndexFile)) {
      if (!platform::FileExists(FilePathFull() + def.IndexFile)) continue;
    } else if (!m_file->IndexOf(def.IndexFile)) {
      continue;
    }
    m_file->AttachIndex(def.IndexFile, def.SortField, false, def.Options);
  }
}

void TDbfDataSet::ParseFilter() {
  m_filterParser.reset();
  if (Filter().empty()) return;
  try {
    auto parser = std::make_unique<TDbfParser>(
        m_file->FieldDefs(),
        [file = m_file.get()](int fieldNo, const uint8_t* record) {
          return file->ReadFieldValue(fieldNo, record);
        },
        m_file->UseCodePage(), false);
    parser->SetCaseInsensitive(FilterOptions.CaseInsensitive);
    parser->SetPartialMatch(!FilterOptions.NoPartialCompare);
    parser->ParseExpression(Filter());
    m_filterParser = std::move(parser);
  } catch (const EParserException&) {
    ClearFilterText();
  } catch (const EDbfError&) {
    ClearFilterText();
  }
}

void TDbfDataSet::FilterChanged() {
  if (m_file) ParseFilter();
}

bool TDbfDataSet::FilterAccepts(const data::TRecordBuffer& buffer) {
  return !m_filterParser || m_filterParser->Matches(Bytes(buffer));
}

// --- Index selection ---------------------------------------------------------------------------

void TDbfDataSet::SetIndexName(const std::string& name) {
  m_indexName = name;
  if (!Active()) return;
  CheckBrowseMode();
  SelectIndex();
  if (State() == data::TDataSetState::Browse) Resync();
}

void TDbfDataSet::SelectIndex() {
  const std::string name = Trimmed(m_indexName);
  std::unique_ptr<TVirtualCursor> cursor;
  if (!name.empty()) {
    const bool isFile = HasExtension(name);
    const std::string lookup = isFile ? fs::path(name).filename().string() : name;
    if (TIndexSeam* index = m_file->IndexOf(lookup)) {
      if (auto* source = dynamic_cast<TTagCursorSource*>(index)) {
        const std::string tag = isFile ? fs::path(name).stem().string() : name;
        cursor = source->CreateTagCursor(platform::AnsiUpper(tag));
      }
    }
  }
  if (!cursor) {
    // An unknown name is not an error: physical order, and the name is forgotten.
    cursor = std::make_unique<TPhysicalCursor>(*m_file);
    m_indexName.clear();
  }
  int32_t recNo = PhysicalRecNo();
  if (recNo <= 0) recNo = m_cursor ? m_cursor->PhysicalRecNo() : 1;
  if (recNo <= 0) recNo = 1;
  cursor->SetPhysicalRecNo(recNo);
  m_cursor = std::move(cursor);
}

// --- Record fetching ---------------------------------------------------------------------------

int TDbfDataSet::RecordSize() const { return m_file ? m_file->RecordSize() : 0; }

data::TGetResult TDbfDataSet::GetRecord(data::TRecordBuffer& buffer, data::TGetMode mode) {
  for (;;) {
    if (mode == data::TGetMode::Next && !m_cursor->Next()) return data::TGetResult::Eof;
    if (mode == data::TGetMode::Prior && !m_cursor->Prev()) return data::TGetResult::Bof;
    const int32_t recNo = m_cursor->PhysicalRecNo();
    if (recNo <= 0 || !m_file->ReadRecord(recNo, Bytes(buffer))) {
      buffer.Bookmark = -1;
      return data::TGetResult::Error;
    }
    if (m_showDeleted || buffer.Data[0] != '*') {
      buffer.Bookmark = recNo;
      buffer.SequenceNo = m_cursor->SequentialRecNo();
      return data::TGetResult::Ok;
    }
    if (mode == data::TGetMode::Current) return data::TGetResult::Error;
  }
}

void TDbfDataSet::InternalFirst() { m_cursor->First(); }

void TDbfDataSet::InternalLast() { m_cursor->Last(); }

void TDbfDataSet::InternalGotoBookmark(int64_t bookmark) {
  if (bookmark <= 0)
    m_cursor->First();
  else if (bookmark >= INT32_MAX)
    m_cursor->Last();
  else
    m_cursor->SetPhysicalRecNo(static_cast<int32_t>(bookmark));
}

bool TDbfDataSet::InternalBookmarkValid(int64_t bookmark) const {
  return m_file && bookmark > 0 && bookmark <= INT32_MAX &&
         m_file->IsRecordPresent(static_cast<int32_t>(bookmark));
}

int TDbfDataSet::GetRecordCount() const { return m_cursor ? m_cursor->SequentialRecordCount() : 0; }

bool TDbfDataSet::InternalCanModify() const {
  return !ReadOnly && m_translationMode != TDbfTranslationMode::tmNoneAvailable;
}

// --- Changes -----------------------------------------------------------------------------------

void TDbfDataSet::InternalInitRecord(data::TRecordBuffer& buffer) {
  m_file->FillDefaultRecord(Bytes(buffer));
}

void TDbfDataSet::InternalEdit() {
  data::TRecordBuffer& buffer = *ActiveBuffer();
  const auto recNo = static_cast<int32_t>(buffer.Bookmark);
  // The copy read under the lock replaces the buffered one: another process may have
  // changed the record since it was shown.
  m_file->LockRecordForEdit(recNo, Bytes(buffer));
  m_editingRecNo = recNo;
}

void TDbfDataSet::InternalPost() {
  data::TRecordBuffer& buffer = *ActiveBuffer();
  if (State() == data::TDataSetState::Insert) {
    const int32_t recNo = m_file->InsertRecord(Bytes(buffer));
    m_cursor->SetPhysicalRecNo(recNo);
    buffer.Bookmark = recNo;
    buffer.SequenceNo = m_cursor->SequentialRecNo();
  } else {
    m_file->WriteEditedRecord(m_editingRecNo, Bytes(buffer));
    m_editingRecNo = 0;
  }
}

void TDbfDataSet::InternalCancel() {
  if (m_editingRecNo > 0 && m_file) m_file->UnlockRecord(m_editingRecNo);
  m_editingRecNo = 0;
}

void TDbfDataSet::InternalDelete() {
  const auto recNo = static_cast<int32_t>(ActiveBuffer()->Bookmark);
  m_file->LockRecordForEdit(recNo, m_scratch.data());
  try {
    m_scratch[0] = kRecordDeleted;
    m_file->NoteRecordDeleted(recNo, m_scratch.data());
    m_file->WriteEditedRecord(recNo, m_scratch.data());
  } catch (...) {
    m_file->UnlockRecord(recNo);
    throw;
  }
}

// --- Field values ------------------------------------------------------------------------------

void TDbfDataSet::CallOnTranslate(std::string& text, bool toTable) const {
  std::string dest;
  const int length = OnTranslate(const_cast<TDbfDataSet&>(*this), text, dest, toTable);
  if (length >= 0 && static_cast<size_t>(length) < dest.size())
    dest.resize(static_cast<size_t>(length));
  text = std::move(dest);
}

void TDbfDataSet::ToAnsi(std::string& text) const {
  if (OnTranslate)
    CallOnTranslate(text, false);
  else
    m_toAnsi.TranslateInPlace(text);
}

void TDbfDataSet::ToTable(std::string& text) const {
  if (OnTranslate)
    CallOnTranslate(text, true);
  else
    m_toTable.TranslateInPlace(text);
}

const TDbfFieldDef* TDbfDataSet::PlainTextField(const data::TField& field) const {
  const int fieldNo = field.FieldNo() - 1;
  const TDbfFieldDefs& natives = m_file->FieldDefs();
  if (fieldNo < 0 || fieldNo >= natives.Count() || natives[fieldNo].NativeFieldType != 'C' ||
      field.DataType() != DataType::String)
    return nullptr;
  return &natives[fieldNo];
}

data::TFieldValue TDbfDataSet::GetFieldValue(const data::TField& field,
                                              const data::TRecordBuffer& buffer) const {
  if (const TDbfFieldDef* textDef = PlainTextField(field)) {
    // Text, the usual case, goes straight from the record into the value: the trimmed bytes,
    // translated in place.
    const TDbfFieldDef& def = *textDef;
    std::string_view text(buffer.Data.data() + def.Offset, static_cast<size_t>(def.Size));
    text = TrimTrailingSpaces(text);
    if (text.empty()) return {};
    data::TFieldValue value(std::in_place_type<std::string>, text);
    // Checked on the record rather than on the fresh copy, which is still being stored.
    if (OnTranslate || !m_toAnsi.LeavesUnchanged(text)) ToAnsi(*std::get_if<std::string>(&value));
    return value;
  }
  TFieldValue value = m_file->ReadFieldValue(field.FieldNo() - 1, Bytes(buffer));
  struct Convert {
    const TDbfDataSet& self;
    DataType type;
    data::TFieldValue operator()(std::monostate) const { return {}; }
    data::TFieldValue operator()(std::string& s) const {
      if (type == DataType::String || type == DataType::Memo) self.ToAnsi(s);
      return std::move(s);
    }
    data::TFieldValue operator()(int64_t i) const { return i; }
    data::TFieldValue operator()(double d) const { return d; }
    data::TFieldValue operator()(bool b) const { return b; }
    data::TFieldValue operator()(const TDbfDate& d) const {
      return data::TDate{d.year, d.month, d.day};
    }
    data::TFieldValue operator()(const TDbfDateTime& dt) const {
      return data::TDateTime{{dt.date.year, dt.date.month, dt.date.day}, dt.milliseconds};
    }
  };
  return std::visit(Convert{*this, field.DataType()}, value);
}

void TDbfDataSet::SetFieldValue(const data::TField& field, data::TRecordBuffer& buffer,
                                const data::TFieldValue& value) {
  const auto* given = std::get_if<std::string>(&value);
  const TDbfFieldDef* textDef =
      given && !OnTranslate && m_toTable.KeepsLength() ? PlainTextField(field) : nullptr;
  if (textDef) {
    // Text into a text field, the usual case: translated straight into its place in the
    // record, cut to the field and padded with spaces.
    const TDbfFieldDef& def = *textDef;
    size_t n = given->size();
    if (field.Size() > 0) n = std::min(n, static_cast<size_t>(field.Size()));
    n = std::min(n, static_cast<size_t>(def.Size));
    char* at = buffer.Data.data() + def.Offset;
    std::memset(at, ' ', static_cast<size_t>(def.Size));
    m_toTable.TranslateInto(std::string_view(*given).substr(0, n), at);
    return;
  }
  struct Convert {
    const TDbfDataSet& self;
    const data::TField& field;
    TFieldValue operator()(std::monostate) const { return {}; }
    TFieldValue operator()(const std::string& s) const {
      std::string text;
      if (field.DataType() == DataType::String && field.Size() > 0) {
        // Cut to the field first, so a translation cannot push the end of the text out.
        text.assign(s, 0, std::min(static_cast<size_t>(field.Size()), s.size()));
      } else {
        text = s;
      }
      if (field.DataType() == DataType::String || field.DataType() == DataType::Memo)
        self.ToTable(text);
      return text;
    }
    TFieldValue operator()(int64_t i) const { return i; }
    TFieldValue operator()(double d) const { return d; }
    TFieldValue operator()(bool b) const { return b; }
    TFieldValue operator()(const data::TDate& d) const { return TDbfDate{d.Year, d.Month, d.Day}; }
    TFieldValue operator()(const data::TDateTime& dt) const {
      return TDbfDateTime{{dt.Date.Year, dt.Date.Month, dt.Date.Day}, dt.Milliseconds};
    }
  };
  m_file->WriteFieldValue(field.FieldNo() - 1, std::visit(Convert{*this, field}, value),
                          Bytes(buffer));
}

// --- Table operations --------------------------------------------------------------------------

void TDbfDataSet::CreateTable() {
  CheckInactive();
  TDbfFieldDefs natives;
  auto addNative = [&](const std::string& name, DataType type, int size, int precision,
                       bool required) {
    const dbf::TFieldType engineType = EngineTypeOf(type);
    const char native = NativeTypeFor(engineType, m_tableLevel);
    if (native == 0)
      throw EDbfError(FieldTypeNotSupportedMessage(name, static_cast<int>(engineType)));
    TDbfFieldDef& def = natives.Add();
    def.FieldName = name;
    def.NativeFieldType = native;
    def.Size = DefaultFieldSize(native, m_tableLevel);
    def.Required = required;
    if (size > 0) {
      def.Size = size;
      def.Precision = precision;
    }
  };
  if (!FieldDefs().IsEmpty()) {
    for (const data::TFieldDef& def : FieldDefs())
      addNative(def.Name, def.DataType, def.Size, def.Precision, def.Required);
  } else {
    for (int i = 0; i < FieldCount(); ++i) {
      const data::TField& field = Fields(i);
      addNative(field.FieldName(), field.DataType(), field.Size(), 0, field.Required);
    }
  }

  const std::string path = TablePath();
  auto file = std::make_unique<TDbfFile>();
  file->SetFileName(path);
  file->SetMode(TPagedFileMode::pfExclusiveCreate);
  file->SetTableLevel(m_tableLevel == kLevel3 || m_tableLevel == kLevel7 ||
                              m_tableLevel == kLevelFoxPro
                          ? m_tableLevel
                          : kLevel4);
  file->SetLanguageId(m_languageId);
  // Only a file this call created may be removed on failure: a failed open of someone
  // else's table must not delete it.
  bool created = false;
  try {
    file->OpenPagedFile();
    created = true;
    file->CreateTableFile(natives, 512);
    for (const TDbfIndexDef& def : m_indexDefs)
      file->AttachIndex(def.IndexFile, def.SortField, true, def.Options);
    file->CloseTable();
  } catch (...) {
    try {
      file->CloseTable();
    } catch (...) {
      // The original error is the one to report.
    }
    file.reset();
    if (created) platform::RemoveFile(path);
    throw;
  }
}

void TDbfDataSet::RebuildTable(const TDbfFieldDefs* defs, bool pack) {
  CheckInactive();
  if (defs && m_tableLevel < kLevel7) {
    for (const TDbfFieldDef& def : *defs) {
      if (std::string_view("CDFLMN").find(def.NativeFieldType) == std::string_view::npos)
        throw EDbfError("Invalid field type '" + std::string(1, def.NativeFieldType) +
                        "' for field '" + def.FieldName + "'.");
    }
  }
  auto file = std::make_unique<TDbfFile>();
  file->SetFileName(TablePath());
  file->SetMode(TPagedFileMode::pfExclusiveOpen);
  if (!file->OpenTable()) return;
  file->RewriteTable(defs, pack);
  file->CloseTable();
}

void TDbfDataSet::ClearTable() {
  CheckActive();
  if (State() != data::TDataSetState::Browse) Cancel();
  m_file->ZapRecords();
  // The old rows would name records that no longer exist.
  Resync();
}

void TDbfDataSet::AddIndexTag(const std::string& indexName, const std::string& expression,
                              TIndexOptions options) {
  CheckActive();
  m_file->AttachIndex(indexName, expression, true, options);
  InitFieldDefs();
  AddAutomaticIndexDefs();
}

}  // namespace vorelia::dbf
