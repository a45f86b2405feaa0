#include "dbf/dbf_file.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <limits>

#include "dbf/byte_order.h"
#include "dbf/collation.h"
#include "dbf/dbf_errors.h"
#include "dbf/index_seam.h"
#include "dbf/language_table.h"
#include "dbf/memo_file.h"
#include "platform/code_page.h"

namespace vorelia::dbf {
namespace {

constexpr int kFoxProHeaderExtra = 263;

struct Layout {
  int base;      // bytes of the table header before the first descriptor
  int descSize;  // bytes per field descriptor
  int nameSize;  // name bytes, terminating zero included
};

Layout LayoutFor(int level) {
  if (level == kLevel7) return {68, 48, 32};
  return {32, 32, 11};
}

// The level a version byte stands for, or 0 when the byte is not recognised.
int LevelFromVersion(uint8_t version, uint8_t languageId) {
  switch (version & 0x07) {
    case 3:
      return languageId != 0 ? kLevel4 : kLevel3;
    case 4:
      return kLevel7;
    case 2:
    case 5:
      return kLevelFoxPro;
    default:
      return version == 0x30 || version == 0x31 ? kLevelFoxPro : 0;
  }
}

bool IsKnownType(char type) { return std::strchr("CNFDLMBGI+O@TY0", type) != nullptr && type != 0; }

bool IsExclusiveMode(TPagedFileMode mode) {
  return mode == TPagedFileMode::pfExclusiveCreate || mode == TPagedFileMode::pfExclusiveOpen;
}

std::string UpperName(const std::string& name) { return platform::AnsiUpper(name); }

// The local date and time; converted once per second, since every append writes the date.
std::tm LocalNow() {
  thread_local std::time_t cachedAt = -1;
  thread_local std::tm cached{};
  const std::time_t now = std::time(nullptr);
  if (now != cachedAt) {
    localtime_r(&now, &cached);
    cachedAt = now;
  }
  return cached;
}

}  // namespace

TDbfFile::TDbfFile() {
  SetPagesStartAfterHeader(true);
  SetVirtualLocks(true);
}

TDbfFile::~TDbfFile() {
  try {
    CloseTable();
  } catch (...) {
    // Nothing can be reported from a destructor.
  }
}

int TDbfFile::UseCodePage() const {
  if (m_useCodePage != 0) return m_useCodePage;
  return m_tableCodePage != 0 ? m_tableCodePage : platform::AnsiCodePage();
}

TIndexFactory* TDbfFile::IndexFactory() const {
  return m_indexFactory != nullptr ? m_indexFactory : DefaultIndexFactory();
}

// ---- Opening ---------------------------------------------------------------------------------

bool TDbfFile::OpenTable() {
  OpenPagedFile();
  try {
    ReadHeaderArea();
    if (RecordSize() == 0 || HeaderSize() == 0) {
      ClosePagedFile();
      return false;
    }
    ReadFieldDescriptors();
  } catch (...) {
    // A damaged file is left exactly as it was.
    DiscardHeaderChanges();
    ClosePagedFile();
    throw;
  }

  const int32_t count = PageCount();
  const bool countCorrected = GetLe32(Header() + 4) != static_cast<uint32_t>(count);
  PutLe32(Header() + 4, static_cast<uint32_t>(count));

  m_languageId = Header()[29];
  m_tableCodePage = LanguageCodePage(m_languageId);
  m_useCodePage = 0;
  m_hasMemo = std::any_of(m_fieldDefs.begin(), m_fieldDefs.end(),
                          [](const TDbfFieldDef& def) { return def.IsBlob(); });
  try {
    if (m_hasMemo) OpenMemo();
    if (m_tableLevel != kLevelFoxPro && Header()[28] != 0) {
      OpenProductionIndex();
      if (Header()[28] != 0 && m_mdxFile == nullptr && IndexFactory() != nullptr &&
          !platform::FileExists(ProductionIndexName())) {
        if (m_onIndexMissing && m_onIndexMissing()) {
          CloseTable();
          return false;
        }
        Header()[28] = 0;
      }
    }
    // Other levels get their memo bit and date refreshed at every open; a FoxPro header is
    // only written back when its record count had to be corrected.
    if (m_tableLevel != kLevelFoxPro) {
      Header()[0] = static_cast<uint8_t>(m_hasMemo ? (Header()[0] | 0x80) : (Header()[0] & 0x7F));
    }
    if (Writable() && (m_tableLevel != kLevelFoxPro || countCorrected)) WriteHeader();
  } catch (...) {
    CloseTable();
    throw;
  }
  return true;
}

void TDbfFile::ReadHeaderArea() {
  const std::string name = FileName().string();
  uint8_t first[32] = {};
  ReadBytes(0, first, sizeof(first));
  m_tableLevel = LevelFromVersion(first[0], first[29]);
  if (m_tableLevel == 0) throw EDbfError(kMsgInvalidDbfFile);
  const int32_t headerSize = GetLe16(first + 8);
  const int32_t recordSize = GetLe16(first + 10);
  SetHeaderSize(0);
  SetRecordSize(recordSize);
  if (headerSize == 0 || recordSize == 0) return;

  const Layout layout = LayoutFor(m_tableLevel);
  if (headerSize < layout.base + 1) {
    throw EDbfError(
        DamagedFileMessage(name, "header size " + std::to_string(headerSize) + " is too small"));
  }
  const int64_t length = FileLength();
  if (headerSize > length) {
    throw EDbfError(DamagedFileMessage(
        name, "header size " + std::to_string(headerSize) + " is beyond the end of the file"));
  }
  SetHeaderSize(headerSize);
  SetRecordSize(recordSize);
  LoadHeader();
}

void TDbfFile::ReadFieldDescriptors() {
  const std::string fileName = FileName().string();
  const Layout layout = LayoutFor(m_tableLevel);
  const int32_t headerSize = HeaderSize();
  const uint8_t* header = Header();
  const int maxFields = (headerSize - layout.base) / layout.descSize;

  int n = 0;
  while (n < maxFields && header[layout.base + n * layout.descSize] != kHeaderTerminator) ++n;
  if (n > kMaxFieldCount || n < 1) throw EDbfError(InvalidFieldCountMessage(n));
  const int terminatorAt = layout.base + n * layout.descSize;
  if (terminatorAt >= headerSize || header[terminatorAt] != kHeaderTerminator) {
    throw EDbfError(DamagedFileMessage(fileName, "the field descriptors have no terminator"));
  }

  m_fieldDefs.Clear();
  int32_t offset = 1;
  for (int i = 0; i < n; ++i) {
    const uint8_t* desc = header + layout.base + i * layout.descSize;
    const void* zero = std::memchr(desc, 0, static_cast<size_t>(layout.nameSize));
    if (zero == nullptr) {
      throw EDbfError(DamagedFileMessage(
          fileName, "the name of field " + std::to_string(i + 1) + " has no terminating zero"));
    }
    TDbfFieldDef def;
    def.FieldName.assign(reinterpret_cast<const char*>(desc),
                         static_cast<const uint8_t*>(zero) - desc);
    if (def.FieldName.empty()) throw EDbfError(kMsgInvalidDbfFile);
    if (m_tableLevel == kLevel7) {
      def.NativeFieldType = static_cast<char>(platform::AnsiUpperChar(desc[32]));
      def.Size = desc[33];
      def.Precision = desc[34];
      def.AutoIncNext = static_cast<int32_t>(GetLe32(desc + 42));
    } else {
      def.NativeFieldType = static_cast<char>(platform::AnsiUpperChar(desc[11]));
      def.Size = desc[16];
      def.Precision = desc[17];
      if (m_tableLevel == kLevelFoxPro && def.NativeFieldType == 'C') {
        def.Size = desc[16] | (desc[17] << 8);
        def.Precision = 0;
      }
    }
    if (!IsKnownType(def.NativeFieldType)) throw EDbfError(kMsgInvalidDbfFile);
    if (def.Size == 0) {
      throw EDbfError(DamagedFileMessage(fileName, "field " + def.FieldName + " has size 0"));
    }
    if (m_tableLevel == kLevelFoxPro) {
      def.Offset = static_cast<int32_t>(GetLe32(desc + 12));
      if (def.Offset < 1) def.Offset = offset;
    } else {
      def.Offset = offset;
    }
    if (static_cast<int64_t>(def.Offset) + def.Size > RecordSize()) {
      throw EDbfError(DamagedFileMessage(fileName, "field " + def.FieldName +
                                                       " lies beyond the record size " +
                                                       std::to_string(RecordSize())));
    }
    offset += def.Size;
    m_fieldDefs.Add(def);
  }
  if (m_tableLevel != kLevelFoxPro && offset != RecordSize()) {
    throw EDbfError(DamagedFileMessage(fileName, "record size " + std::to_string(RecordSize()) +
                                                     " does not match the field sizes (" +
                                                     std::to_string(offset) + ")"));
  }
  FindSpecialFields();
}

void TDbfFile::FindSpecialFields() {
  m_lockFieldNo = -1;
  m_nullFlagsFieldNo = -1;
  for (int i = 0; i < m_fieldDefs.Count(); ++i) {
    const std::string name = UpperName(m_fieldDefs[i].FieldName);
    if (name == "_DBASELOCK" && m_fieldDefs[i].Size >= 8) m_lockFieldNo = i;
    if (name == "_NULLFLAGS" && m_fieldDefs[i].NativeFieldType == '0') m_nullFlagsFieldNo = i;
  }
}

std::filesystem::path TDbfFile::SiblingFile(const char* extension) const {
  std::filesystem::path path = FileName();
  path.replace_extension(extension);
  return path;
}

void TDbfFile::OpenMemo() {
  const std::filesystem::path path = SiblingFile(m_tableLevel == kLevelFoxPro ? ".fpt" : ".dbt");
  if (IsMemory() || !platform::FileExists(path)) return;  // memo fields read as empty
  auto memo = std::make_unique<TMemoFile>();
  memo->SetFileName(path);
  memo->SetMode(Mode() == TPagedFileMode::pfReadOnly ? TPagedFileMode::pfReadOnly
                : IsExclusiveMode(Mode())            ? TPagedFileMode::pfExclusiveOpen
                                                     : TPagedFileMode::pfReadWriteOpen);
  memo->OpenMemo();
  m_memoFile = std::move(memo);
}

std::filesystem::path TDbfFile::ProductionIndexName() const { return SiblingFile(".mdx"); }

TPagedFileMode TDbfFile::IndexMode(bool create) const {
  switch (Mode()) {
    case TPagedFileMode::pfExclusiveCreate:
    case TPagedFileMode::pfExclusiveOpen:
      return create ? TPagedFileMode::pfExclusiveCreate : TPagedFileMode::pfExclusiveOpen;
    case TPagedFileMode::pfReadOnly:
      return create ? TPagedFileMode::pfReadWriteCreate : TPagedFileMode::pfReadOnly;
    default:
      return create ? TPagedFileMode::pfReadWriteCreate : TPagedFileMode::pfReadWriteOpen;
  }
}

void TDbfFile::OpenProductionIndex() {
  TIndexFactory* factory = IndexFactory();
  const std::filesystem::path path = ProductionIndexName();
  if (factory == nullptr || IsMemory() || !platform::FileExists(path)) return;
  std::unique_ptr<TIndexSeam> index = factory->OpenIndexFile(*this, path, IndexMode(false));
  if (index == nullptr) return;
  m_mdxFile = index.get();
  m_indexFiles.push_back(std::move(index));
}

void TDbfFile::CloseIndexes() {
  for (auto& index : m_indexFiles) index->Close();
  m_indexFiles.clear();
  m_mdxFile = nullptr;
}

void TDbfFile::CloseTable() {
  CloseIndexes();
  if (m_memoFile) {
    m_memoFile->ClosePagedFile();
    m_memoFile.reset();
  }
  ClosePagedFile();
  m_prevBuffer.clear();
  m_defaultBuffer.clear();
  m_lastInserted = 0;
}

// ---- Creating --------------------------------------------------------------------------------

int TDbfFile::ComputeVersionByte(const TDbfFieldDefs& defs) const {
  int version = 0x03;
  if (m_tableLevel == kLevelFoxPro) version = 0x02;
  if (m_tableLevel == kLevel7) version = 0x04;
  bool memo = false;
  for (const TDbfFieldDef& def : defs) {
    const char type = def.NativeFieldType;
    if (m_tableLevel == kLevelFoxPro) {
      if (version == 0x02 && std::strchr("+0OTY", type) != nullptr) version = 0x30;
      if (version == 0x30 && type == '+') version = 0x31;
    }
    memo = memo || def.IsBlob();
  }
  if (memo) {
    if (m_tableLevel == kLevel3) {
      version |= 0x80;
    } else if (m_tableLevel == kLevelFoxPro) {
      if (version == 0x02) version = 0xF5;
    } else {
      version |= 0x88;
    }
  }
  return version;
}

void TDbfFile::CreateTableFile(const TDbfFieldDefs& defs, int memoBlockSize) {
  if (m_tableLevel != kLevel3 && m_tableLevel != kLevel7 && m_tableLevel != kLevelFoxPro)
    m_tableLevel = kLevel4;
  const int n = defs.Count();
  if (n < 1 || n > kMaxFieldCount) throw EDbfError(InvalidFieldCountMessage(n));
  const Layout layout = LayoutFor(m_tableLevel);
  const int64_t headerSize = layout.base + static_cast<int64_t>(layout.descSize) * n + 1 +
                             (m_tableLevel == kLevelFoxPro ? kFoxProHeaderExtra : 0);

  TDbfFieldDefs fields;
  int64_t recordSize = 1;
  for (const TDbfFieldDef& given : defs) {
    TDbfFieldDef def = given;
    def.FieldName = UpperName(def.FieldName).substr(0, layout.nameSize - 1);
    def.NativeFieldType = static_cast<char>(platform::AnsiUpperChar(def.NativeFieldType));
    if (def.FieldName.empty() || !IsKnownType(def.NativeFieldType)) {
      throw EDbfError(FieldTypeNotSupportedMessage(given.FieldName, def.NativeFieldType));
    }
    NormaliseFieldSize(def);
    def.Offset = static_cast<int32_t>(recordSize);
    recordSize += def.Size;
    fields.Add(def);
  }
  if (headerSize > 0xFFFF || recordSize > 0xFFFF) {
    throw EDbfError("Cannot create table \"" + FileName().string() +
                    "\": the header or the record is larger than 65535 bytes.");
  }

  if (m_languageId == 0) m_languageId = DefaultLanguageId();
  m_tableCodePage = m_tableLevel == kLevel3 ? 0 : LanguageCodePage(m_languageId);
  m_useCodePage = 0;

  if (!Active()) OpenPagedFile();
  SetPageCount(0);
  SetHeaderSize(static_cast<int32_t>(headerSize));
  SetRecordSize(static_cast<int32_t>(recordSize));
  uint8_t* header = Header();
  std::fill(header, header + headerSize, 0);
  header[0] = static_cast<uint8_t>(ComputeVersionByte(fields));
  PutLe16(header + 8, static_cast<uint16_t>(headerSize));
  PutLe16(header + 10, static_cast<uint16_t>(recordSize));
  header[29] = m_tableLevel == kLevel3 ? 0 : m_languageId;
  if (m_tableLevel == kLevel7) WriteLevel7DriverName(header + 32);

  for (int i = 0; i < n; ++i) {
    const TDbfFieldDef& def = fields[i];
    uint8_t* desc = header + layout.base + i * layout.descSize;
    std::memcpy(desc, def.FieldName.data(), def.FieldName.size());
    if (m_tableLevel == kLevel7) {
      desc[32] = static_cast<uint8_t>(def.NativeFieldType);
      desc[33] = static_cast<uint8_t>(def.Size);
      desc[34] = static_cast<uint8_t>(def.Precision);
      if (def.NativeFieldType == '+') PutLe32(desc + 42, 1);
    } else {
      desc[11] = static_cast<uint8_t>(def.NativeFieldType);
      if (m_tableLevel == kLevelFoxPro) PutLe32(desc + 12, static_cast<uint32_t>(def.Offset));
      desc[16] = static_cast<uint8_t>(def.Size);
      desc[17] = static_cast<uint8_t>(def.NativeFieldType == 'C' && m_tableLevel == kLevelFoxPro
                                          ? def.Size >> 8
                                          : def.Precision);
    }
  }
  header[layout.base + n * layout.descSize] = kHeaderTerminator;
  if (m_tableLevel == kLevel7) {
    for (TDbfFieldDef& def : fields) {
      if (def.NativeFieldType == '+') def.AutoIncNext = 1;
    }
  }
  m_fieldDefs = fields;
  FindSpecialFields();
  m_hasMemo = std::any_of(fields.begin(), fields.end(),
                          [](const TDbfFieldDef& def) { return def.IsBlob(); });
  m_defaultBuffer.clear();
  WriteHeader();

  if (m_hasMemo && !IsMemory()) {
    auto memo = std::make_unique<TMemoFile>();
    memo->SetFileName(SiblingFile(m_tableLevel == kLevelFoxPro ? ".fpt" : ".dbt"));
    memo->SetMode(IsExclusiveMode(Mode()) ? TPagedFileMode::pfExclusiveCreate
                                          : TPagedFileMode::pfReadWriteCreate);
    memo->CreateMemo(memoBlockSize);
    m_memoFile = std::move(memo);
  }
}

void TDbfFile::NormaliseFieldSize(TDbfFieldDef& def) const {
  const int32_t fixed = DefaultFieldSize(def.NativeFieldType, m_tableLevel);
  switch (def.NativeFieldType) {
    case 'C': {
      const int32_t limit = m_tableLevel == kLevelFoxPro ? 65535 : 255;
      if (def.Size <= 0) def.Size = fixed;
      def.Size = std::min(def.Size, limit);
      def.Precision = 0;
      break;
    }
    case 'N':
    case 'F':
      if (def.Size <= 0) def.Size = fixed;
      def.Size = std::clamp(def.Size, 1, 20);
      def.Precision = std::clamp(def.Precision, 0, std::max(0, def.Size - 2));
      break;
    case 'M':
    case 'G':
      if (def.Size != 4 || m_tableLevel != kLevelFoxPro) def.Size = 10;
      def.Precision = 0;
      break;
    case '0':
      if (def.Size <= 0) def.Size = 1;
      break;
    case 'Y':
      def.Size = fixed;
      def.Precision = 4;
      break;
    default:
      def.Size = fixed;
      def.Precision = 0;
      break;
  }
}

void TDbfFile::WriteLevel7DriverName(uint8_t* at) const {
  const int codePage = m_tableCodePage != 0 ? m_tableCodePage : platform::AnsiCodePage();
  // The suffix is the last three letters of the driver's registered name (DB850PT0: PT0).
  const std::string_view driver = CollationForLanguageId(m_languageId).name;
  const std::string suffix =
      driver.size() >= 3 ? std::string(driver.substr(driver.size() - 3)) : std::string("US0");
  const std::string name =
      "DB" + (codePage == 1252 ? std::string("WIN") : std::to_string(codePage)) + suffix;
  std::memcpy(at, name.data(), std::min<size_t>(name.size(), 31));
}

// ---- Header ----------------------------------------------------------------------------------

void TDbfFile::WriteHeader() { WriteHeaderMarking(-1); }

void TDbfFile::WriteHeaderMarking(int32_t heldRecord) {
  if (!Active() || !Writable()) return;
  const std::tm local = LocalNow();
  Header()[1] = static_cast<uint8_t>(local.tm_year % 256);
  Header()[2] = static_cast<uint8_t>(local.tm_mon + 1);
  Header()[3] = static_cast<uint8_t>(local.tm_mday);
  StoreHeader();
  if (RecordSize() <= 0) return;
  // The mark goes where the next record will be; in a shared file another process may be
  // placing a record there right now, in which case it overwrites the mark anyway.
  const int32_t next = heldRecord > 0 ? heldRecord : PageCount() + 1;
  const bool locked = heldRecord > 0 || PageLock(next, false);
  if (!locked) return;
  // Between counting and locking, another process may have placed that record and let it go:
  // the mark would overwrite its first byte.
  if (heldRecord <= 0 && PageCount() >= next) {
    PageUnlock(next);
    return;
  }
  const uint8_t mark = kEndOfFile;
  const uint64_t at = static_cast<uint64_t>(HeaderSize()) +
                      static_cast<uint64_t>(next - 1) * static_cast<uint64_t>(RecordSize());
  WriteBytes(at, &mark, 1);
  if (heldRecord <= 0) PageUnlock(next);
}

void TDbfFile::SetProductionIndexFlag(bool present) {
  Header()[28] = present ? 1 : 0;
  WriteHeader();
}

// ---- Records ---------------------------------------------------------------------------------

bool TDbfFile::ReadRecord(int32_t recordNo, uint8_t* buffer) {
  if (recordNo < 1 || !IsRecordPresent(recordNo)) return false;
  return ReadPage(recordNo, buffer) == RecordSize();
}

void TDbfFile::BuildDefaultRecord() {
  m_defaultBuffer.assign(static_cast<size_t>(RecordSize()) + 1, ' ');
  m_defaultBuffer[static_cast<size_t>(RecordSize())] = 0;
  for (const TDbfFieldDef& def : m_fieldDefs) {
    uint8_t* at = m_defaultBuffer.data() + def.Offset;
    if (def.NativeFieldType == '0' && UpperName(def.FieldName) == "_NULLFLAGS") {
      std::memset(at, 0xFF, static_cast<size_t>(def.Size));
    } else if (def.IsBinary(m_tableLevel)) {
      std::memset(at, 0, static_cast<size_t>(def.Size));
    }
    if (def.HasDefault) {
      const size_t n = std::min(def.DefaultValue.size(), static_cast<size_t>(def.Size));
      std::memcpy(at, def.DefaultValue.data(), n);
    }
  }
}

void TDbfFile::FillDefaultRecord(uint8_t* buffer) {
  if (m_defaultBuffer.empty()) BuildDefaultRecord();
  std::memcpy(buffer, m_defaultBuffer.data(), static_cast<size_t>(RecordSize()));
}

void TDbfFile::FillLockInfo(uint8_t* buffer) {
  if (m_lockFieldNo < 0) return;
  const TDbfFieldDef& def = m_fieldDefs[m_lockFieldNo];
  uint8_t* at = buffer + def.Offset;
  PutLe16(at, static_cast<uint16_t>(GetLe16(at) + 1));
  const std::tm local = LocalNow();
  at[2] = static_cast<uint8_t>(local.tm_hour);
  at[3] = static_cast<uint8_t>(local.tm_min);
  at[4] = static_cast<uint8_t>(local.tm_sec);
  at[5] = static_cast<uint8_t>(local.tm_year % 256);
  at[6] = static_cast<uint8_t>(local.tm_mon + 1);
  at[7] = static_cast<uint8_t>(local.tm_mday);
  const size_t room = static_cast<size_t>(def.Size) - 8;
  std::memset(at + 8, ' ', room);
  const std::string computer = platform::ComputerName().substr(0, 16);
  std::memcpy(at + 8, computer.data(), std::min(room, computer.size()));
}

void TDbfFile::FillAutoIncrement(uint8_t* buffer) {
  if (m_tableLevel != kLevel7) return;
  bool any = false;
  for (const TDbfFieldDef& def : m_fieldDefs) any = any || def.NativeFieldType == '+';
  if (!any) return;
  PageLock(0, true);
  LoadHeader();
  const Layout layout = LayoutFor(m_tableLevel);
  for (int i = 0; i < m_fieldDefs.Count(); ++i) {
    TDbfFieldDef& def = m_fieldDefs[i];
    if (def.NativeFieldType != '+') continue;
    uint8_t* desc = Header() + layout.base + i * layout.descSize;
    const uint32_t next = GetLe32(desc + 42);
    PutBe32(buffer + def.Offset, next ^ 0x80000000u);
    PutLe32(desc + 42, next + 1);
    def.AutoIncNext = static_cast<int32_t>(next + 1);
  }
  StoreHeader();
  PageUnlock(0);
}

void TDbfFile::RemoveKeysFromAll(int32_t recordNo, const uint8_t* buffer) {
  for (auto& index : m_indexFiles) index->RemoveKeys(recordNo, buffer);
}

void TDbfFile::ChangeRecordCount(int delta, int32_t heldRecord) {
  PageLock(0, true);
  LoadHeader();
  const int64_t stored = GetLe32(Header() + 4);
  // Appends of other processes may reach the header before or after ours, and a record may be
  // placed beyond a number still being written: the count is the highest number placed.
  int64_t count = stored;
  if (delta > 0) count = std::max<int64_t>(stored, heldRecord);
  if (delta < 0 && stored == heldRecord) count = stored - 1;
  PutLe32(Header() + 4, static_cast<uint32_t>(std::max<int64_t>(count, 0)));
  WriteHeaderMarking(delta > 0 ? heldRecord : -1);
  PageUnlock(0);
}

int32_t TDbfFile::InsertRecord(uint8_t* buffer) {
  // Start from the count last seen and check it under the lock: one length query per append.
  // A number is ours when it lies beyond the records and every number from the first free one
  // up to it is being placed by someone else (their locks refused us); a lock won after another
  // process finished its record there must not overwrite it.
  int32_t start = std::max(CachedPageCount(), m_lastInserted) + 1;
  int32_t recordNo = start;
  for (;;) {
    if (PageLock(recordNo, false)) {
      const int32_t count = RecordCount();
      if (recordNo > count && start <= count + 1) break;
      // A slot inside the file that nobody filled: another appender skipped it while it was
      // held by someone who then took another number. Whoever places a record holds its lock
      // until it is written, so with the lock ours, the slot is free to take.
      if (recordNo <= count && IsAbandonedSlot(recordNo)) break;
      PageUnlock(recordNo);
      recordNo = start = count + 1;
      continue;
    }
    if (recordNo == std::numeric_limits<int32_t>::max()) throw EDbfWriteError(kMsgWriteError);
    ++recordNo;
  }
  try {
    FillAutoIncrement(buffer);
  } catch (...) {
    PageUnlock(recordNo);
    throw;
  }

  for (size_t i = 0; i < m_indexFiles.size(); ++i) {
    TIndexSeam& index = *m_indexFiles[i];
    const bool accepted = index.InsertKeys(recordNo, buffer);
    if (!accepted || index.WriteError()) {
      // Keys already inserted must come out again, or the other tags would point at a record
      // that was never written.
      for (size_t j = 0; j < i; ++j) m_indexFiles[j]->RemoveKeys(recordNo, buffer);
      if (accepted) index.RemoveKeys(recordNo, buffer);
      index.ResetWriteError();
      PageUnlock(recordNo);
      if (!accepted) throw EDbfError(index.KeyViolation());
      throw EDbfWriteError(kMsgWriteIndexError);
    }
  }

  ChangeRecordCount(+1, recordNo);
  if (WriteError()) {
    ChangeRecordCount(-1, recordNo);
    RemoveKeysFromAll(recordNo, buffer);
    PageUnlock(recordNo);
    ResetWriteError();
    throw EDbfWriteError(kMsgWriteError);
  }

  FillLockInfo(buffer);
  WritePage(recordNo, buffer);
  PageUnlock(recordNo);
  m_lastInserted = recordNo;
  if (WriteError()) {
    ChangeRecordCount(-1, recordNo);
    RemoveKeysFromAll(recordNo, buffer);
    ResetWriteError();
    throw EDbfWriteError(kMsgWriteError);
  }
  return recordNo;
}

bool TDbfFile::IsAbandonedSlot(int32_t recordNo) {
  std::vector<uint8_t> slot(static_cast<size_t>(RecordSize()));
  if (slot.empty() || ReadPage(recordNo, slot.data()) != RecordSize()) return false;
  // Zeros, or the end mark a placement left before its write failed.
  if (slot[0] != 0 && slot[0] != kEndOfFile) return false;
  return std::all_of(slot.begin() + 1, slot.end(), [](uint8_t b) { return b == 0; });
}

void TDbfFile::LockRecordForEdit(int32_t recordNo, uint8_t* buffer) {
  if (recordNo < 1 || !IsRecordPresent(recordNo)) {
    throw EDbfError("Record " + std::to_string(recordNo) + " is not in the table \"" +
                    FileName().string() + "\".");
  }
  if (!PageLock(recordNo, false)) throw EDbfError(kMsgRecordLocked);
  if (!ReadRecord(recordNo, buffer)) {
    PageUnlock(recordNo);
    throw EDbfError(DamagedFileMessage(FileName().string(),
                                       "record " + std::to_string(recordNo) + " is cut short"));
  }
  m_prevBuffer.assign(buffer, buffer + RecordSize());
  if (m_lockFieldNo >= 0) {
    FillLockInfo(buffer);
    WritePage(recordNo, buffer);
  }
}

void TDbfFile::WriteEditedRecord(int32_t recordNo, uint8_t* buffer) {
  if (m_prevBuffer.size() != static_cast<size_t>(RecordSize())) {
    m_prevBuffer.assign(static_cast<size_t>(RecordSize()), ' ');
    ReadRecord(recordNo, m_prevBuffer.data());
  }
  for (size_t i = 0; i < m_indexFiles.size(); ++i) {
    TIndexSeam& index = *m_indexFiles[i];
    if (!index.UpdateKeys(recordNo, m_prevBuffer.data(), buffer)) {
      for (size_t j = 0; j < i; ++j)
        m_indexFiles[j]->UpdateKeys(recordNo, buffer, m_prevBuffer.data());
      throw EDbfError(index.KeyViolation());
    }
  }
  if (!WritePage(recordNo, buffer)) {
    // The change never reached the file: the indexes go back to the stored record and the
    // caller hears of it, keeping the record locked and its edit open so nothing typed is lost.
    for (auto& index : m_indexFiles) index->UpdateKeys(recordNo, buffer, m_prevBuffer.data());
    ResetWriteError();
    throw EDbfWriteError(kMsgWriteError);
  }
  PageUnlock(recordNo);
  m_prevBuffer.clear();
}

void TDbfFile::NoteRecordDeleted(int32_t recordNo, const uint8_t* buffer) {
  for (auto& index : m_indexFiles) index->RecordFlaggedDeleted(recordNo, buffer);
}

void TDbfFile::ZapRecords() {
  PageLock(0, true);
  SetPageCount(0);
  PutLe32(Header() + 4, 0);
  WriteHeader();
  PageUnlock(0);
  for (auto& index : m_indexFiles) index->ClearAllTags();
}

// ---- Indexes ---------------------------------------------------------------------------------

TIndexSeam* TDbfFile::IndexOf(const std::string& name) const {
  const std::string wanted = UpperName(name);
  for (const auto& index : m_indexFiles) {
    if (UpperName(index->IndexFileName().filename().string()) == wanted) return index.get();
    for (const TIndexTagInfo& tag : index->Tags()) {
      if (UpperName(tag.name) == wanted) return index.get();
    }
  }
  return nullptr;
}

std::vector<std::string> TDbfFile::IndexNames() const {
  std::vector<std::string> names;
  for (const auto& index : m_indexFiles) {
    for (const TIndexTagInfo& tag : index->Tags()) names.push_back(tag.name);
  }
  return names;
}

void TDbfFile::AttachIndex(const std::string& indexName, const std::string& expression, bool create,
                           TIndexOptions options) {
  TIndexFactory* factory = IndexFactory();
  if (factory == nullptr) {
    throw EDbfError("Cannot attach index \"" + indexName + "\": no index engine is available.");
  }
  const bool isFile = std::filesystem::path(indexName).has_extension();
  TIndexSeam* target =
      isFile ? IndexOf(std::filesystem::path(indexName).filename().string()) : m_mdxFile;
  bool openedHere = false;
  if (target == nullptr) {
    const std::filesystem::path path =
        isFile ? FileName().parent_path() / indexName : ProductionIndexName();
    const bool exists = platform::FileExists(path);
    if (!exists && !create && expression.empty()) return;
    std::unique_ptr<TIndexSeam> index = factory->OpenIndexFile(*this, path, IndexMode(!exists));
    if (index == nullptr) return;
    target = index.get();
    m_indexFiles.push_back(std::move(index));
    if (!isFile) m_mdxFile = target;
    openedHere = true;
  }
  const std::string tagName =
      UpperName(isFile ? std::filesystem::path(indexName).stem().string() : indexName);
  bool hasTag = false;
  for (const TIndexTagInfo& tag : target->Tags()) hasTag = hasTag || UpperName(tag.name) == tagName;
  if (hasTag && !create) return;

  const bool held = NeedLocks();
  if (held) HoldExclusive();
  try {
    if (hasTag) target->DeleteTag(tagName);
    target->CreateTag(UpperName(expression), tagName, options);
    target->BuildTag(tagName);
    if (target == m_mdxFile) SetProductionIndexFlag(true);
  } catch (...) {
    if (openedHere) {
      const std::filesystem::path path = target->IndexFileName();
      target->Close();
      if (m_mdxFile == target) m_mdxFile = nullptr;
      std::erase_if(m_indexFiles, [target](const auto& index) { return index.get() == target; });
      platform::RemoveFile(path);
    }
    if (held) ReleaseExclusive();
    throw;
  }
  if (held) ReleaseExclusive();
}

void TDbfFile::AfterHoldExclusive() {
  for (auto& index : m_indexFiles) index->HoldExclusive();
  if (m_memoFile) m_memoFile->HoldExclusive();
}

void TDbfFile::BeforeReleaseExclusive() {
  for (auto& index : m_indexFiles) index->ReleaseExclusive();
  if (m_memoFile) m_memoFile->ReleaseExclusive();
}

}  // namespace vorelia::dbf
