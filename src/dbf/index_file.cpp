#include "dbf/index_file.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <limits>

#include "dbf/byte_order.h"
#include "dbf/dbf_errors.h"
#include "dbf/expression_parser.h"
#include "dbf/index_cursor.h"
#include "platform/code_page.h"

namespace vorelia::dbf {
namespace {

constexpr int kPageBytes = 512;
constexpr int kMdxHeaderBytes = 2048;
constexpr int kMdxBlockBytes = 1024;
constexpr int kMdxFirstBlockPage = 4;
constexpr int kTagTableHead = 512;
constexpr int kTagHeaderBytes = 1024;
constexpr int kNdxHeaderBytes = 512;
constexpr int kMaxKeyLength = 100;
constexpr int kMaxExpressionLength = 218;
constexpr int kMaxDepth = 32;
constexpr int64_t kPageCountSlack = 2048;
// Blocks kept in memory by an exclusive file before they are written out.
constexpr size_t kCacheLimit = 16384;

// Key flags of the tag header (byte 8).
constexpr uint8_t kFlagDescending = 0x08;
constexpr uint8_t kFlagCharacter = 0x10;
constexpr uint8_t kFlagUnique = 0x40;
constexpr uint8_t kFlagDistinct = 0x20;

int RoundUp4(int n) { return (n + 3) / 4 * 4; }

void PutDate(uint8_t* p) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  p[0] = static_cast<uint8_t>(local.tm_year % 256);
  p[1] = static_cast<uint8_t>(local.tm_mon + 1);
  p[2] = static_cast<uint8_t>(local.tm_mday);
}

// What a new multi-tag file and an emptied one both write into the file header: today's date,
// the table's name, the block geometry, the language and the first free page. The tag count
// and the tag table are left to the caller.
void PutMdxHeader(uint8_t* h, const TIndexTable& table) {
  PutDate(h + 1);
  const std::string name = table.TableName().substr(0, 15);
  std::memset(h + 4, 0, 15);
  std::memcpy(h + 4, name.data(), name.size());
  PutLe16(h + 20, 2);
  PutLe16(h + 22, kMdxBlockBytes);
  h[24] = 1;
  h[25] = 48;
  h[26] = 32;
  h[31] = table.LanguageId();
  PutLe32(h + 32, kMdxFirstBlockPage);
  PutDate(h + 44);
}

bool HasExtension(const std::filesystem::path& path, const char* ext) {
  return platform::AnsiUpper(path.extension().string()) == ext;
}

}  // namespace

int32_t TIndexTable::ReadRecords(int32_t first, int32_t count, uint8_t* buffer) {
  const size_t size = static_cast<size_t>(RecordSize());
  int32_t read = 0;
  while (read < count && ReadRecord(first + read, buffer + static_cast<size_t>(read) * size)) ++read;
  return read;
}

struct TIndexFile::TTag {
  std::string name;
  std::string expression;
  int32_t headerPage = 0;
  std::vector<uint8_t> header = std::vector<uint8_t>(kTagHeaderBytes, 0);
  bool headerDirty = false;
  std::unique_ptr<TDbfIndexParser> parser;
  TBlockGeometry geometry;
  TKeyComparator compare;
  char keyType = 'C';
  bool unique = false;
  bool distinct = false;
};

TIndexFile::TIndexFile(TIndexTable& table, std::filesystem::path fileName)
    : m_table(table), m_fileName(std::move(fileName)) {
  m_singleTag = HasExtension(m_fileName, ".NDX");
}

TIndexFile::~TIndexFile() {
  try {
    Close();
  } catch (...) {
    // Nothing to report to from a destructor; the write-error flag is lost with the object.
  }
}

void TIndexFile::Damaged(const std::string& problem) const {
  throw EDbfError(DamagedFileMessage(m_fileName.string(), problem));
}

bool TIndexFile::Open(TPagedFileMode mode, const TLocaleErrorHandler& onLocaleError,
                      std::vector<uint8_t> memory) {
  m_file.SetFileName(m_fileName);
  m_file.SetMode(mode);
  m_file.SetPageSize(kPageBytes);
  m_file.SetRecordSize(m_singleTag ? kPageBytes : kMdxBlockBytes);
  m_file.SetHeaderSize(m_singleTag ? kNdxHeaderBytes : kMdxHeaderBytes);
  if (mode == TPagedFileMode::pfMemoryOpen) m_file.SetMemoryContents(std::move(memory));
  m_file.OpenPagedFile();
  m_record.assign(static_cast<size_t>(std::max(m_table.RecordSize(), 1)), ' ');
  m_languageId = m_table.LanguageId();
  m_collation = ChooseCollation(m_table.LanguageId(), 0);

  const bool create = mode == TPagedFileMode::pfMemoryCreate ||
                      mode == TPagedFileMode::pfExclusiveCreate ||
                      mode == TPagedFileMode::pfReadWriteCreate;
  try {
    if (create) {
      CreateEmptyFile();
    } else {
      ReadFileHeader();
    }
  } catch (...) {
    m_tags.clear();
    m_file.ClosePagedFile();
    throw;
  }

  if (!m_singleTag && !create) {
    const uint8_t tableId = m_table.LanguageId();
    const uint8_t indexId = m_file.Header()[31];
    m_collation = ChooseCollation(tableId, indexId);
    if (tableId != 0 && indexId != 0 && indexId != tableId) {
      TLocaleSolution solution = TLocaleSolution::lsNotOpen;
      if (onLocaleError) onLocaleError(TLocaleError::leTableIndexMismatch, solution);
      if (solution == TLocaleSolution::lsNotOpen) {
        m_tags.clear();
        m_file.ClosePagedFile();
        return false;
      }
      if (solution == TLocaleSolution::lsNoEdit) m_canUpdate = false;
      if (solution == TLocaleSolution::lsBinary) m_collation = nullptr;
    }
    for (auto& tag : m_tags) ConfigureTag(*tag);
  }
  m_current = m_tags.empty() ? -1 : 0;
  m_updateAllTags = !m_singleTag && m_tags.size() >= 2;
  return true;
}

void TIndexFile::CreateEmptyFile() {
  uint8_t* h = m_file.Header();
  std::memset(h, 0, static_cast<size_t>(m_file.HeaderSize()));
  if (m_singleTag) {
    PutLe32(h + 4, 1);  // the next page after the header
  } else {
    h[0] = m_table.TableLevel() == kLevel7 ? 3 : 2;
    PutMdxHeader(h, m_table);
    PutLe16(h + 28, 0);  // no tags yet
    h[kTagTableHead + 17] = 1;
  }
  m_file.StoreHeader();
  if (!m_file.NeedLocks()) {
    // A new file holds its header at once, whatever happens later.
    m_file.WriteBytes(0, h, static_cast<size_t>(m_file.HeaderSize()));
  }
  m_tags.clear();
  m_cache.clear();
}

void TIndexFile::ReadFileHeader() {
  m_file.LoadHeader();
  if (m_file.FileLength() < m_file.HeaderSize()) Damaged("the file header is truncated");
  const uint8_t* h = m_file.Header();
  m_tags.clear();
  if (m_singleTag) {
    CheckPageCount();
    auto tag = std::make_unique<TTag>();
    tag->name = platform::AnsiUpper(m_fileName.stem().string());
    m_tags.push_back(std::move(tag));
    ReadTag(0);
    return;
  }
  if (GetLe16(h + 22) != kMdxBlockBytes) Damaged("the block size is not 1024 bytes");
  const int entryLength = h[26];
  const int count = GetLe16(h + 28);
  if (count > kMaxTags) Damaged("more than 47 tags");
  if (entryLength < 21 || kTagTableHead + entryLength * (count + 1) > kMdxHeaderBytes)
    Damaged("the tag table does not fit the header");
  if (GetLe32(h + 32) < static_cast<uint32_t>(kMdxFirstBlockPage)) Damaged("bad page count");
  CheckPageCount();
  for (int i = 0; i < count; ++i) {
    m_tags.push_back(std::make_unique<TTag>());
    ReadTag(i);
  }
}

void TIndexFile::CheckPageCount() const {
  // Blocks are allocated at the page count, so a count far beyond the end of the file would
  // make us write there; a little beyond is a block that was allocated but not yet written.
  const int64_t pages = (const_cast<TPagedFile&>(m_file).FileLength() + kPageBytes - 1) / kPageBytes;
  if (FilePageCount() > pages + kPageCountSlack) Damaged("the page count lies beyond the end");
}

uint8_t* TIndexFile::TagEntry(int slot) {
  const int entryLength = m_file.Header()[26] == 0 ? 32 : m_file.Header()[26];
  return m_file.Header() + kTagTableHead + entryLength + entryLength * slot;
}

void TIndexFile::ReadTag(int slot) {
  TTag& tag = *m_tags[slot];
  const int32_t pageCount = FilePageCount();
  int keyLength, maxKeys, entryLength;
  const uint8_t* th;
  if (m_singleTag) {
    th = m_file.Header();
    keyLength = GetLe16(th + 12);
    maxKeys = GetLe16(th + 14);
    entryLength = GetLe16(th + 18);
    tag.keyType = GetLe16(th + 16) == 1 ? 'N' : 'C';
  } else {
    const uint8_t* entry = TagEntry(slot);
    tag.headerPage = static_cast<int32_t>(GetLe32(entry));
    char name[12] = {};
    std::memcpy(name, entry + 4, 11);
    tag.name = name;
    if (tag.headerPage < kMdxFirstBlockPage || tag.headerPage > pageCount - 2)
      Damaged("the header of tag " + tag.name + " lies outside the file");
    const int64_t read = m_file.ReadBytes(static_cast<uint64_t>(tag.headerPage) * kPageBytes,
                                          tag.header.data(), kTagHeaderBytes);
    if (read != kTagHeaderBytes) Damaged("the header of tag " + tag.name + " is truncated");
    th = tag.header.data();
    keyLength = GetLe16(th + 12);
    maxKeys = GetLe16(th + 14);
    entryLength = GetLe16(th + 18);
    tag.keyType = static_cast<char>(th[9]);
    const uint8_t flags = th[8];
    tag.unique = (flags & kFlagUnique) != 0;
    tag.distinct = tag.unique && (flags & kFlagDistinct) != 0;
    tag.compare.descending = (flags & kFlagDescending) != 0;
    // Files written with a wrong key length: take it as the largest valid one.
    if (int64_t{maxKeys} * entryLength > kMdxBlockBytes) {
      if (keyLength > kMaxKeyLength) keyLength = kMaxKeyLength;
      entryLength = RoundUp4(keyLength + 4);
      maxKeys = (kMdxBlockBytes - 8) / entryLength;
    }
  }
  const int blockBytes = m_singleTag ? kPageBytes : kMdxBlockBytes;
  const int start = m_singleTag ? 4 : 8;
  const int keyOffset = m_singleTag ? 8 : 4;
  if (keyLength <= 0 || keyLength > kMaxKeyLength) Damaged("tag " + tag.name + ": bad key length");
  if (entryLength < keyLength + keyOffset || maxKeys < 4 ||
      start + int64_t{maxKeys} * entryLength > blockBytes)
    Damaged("tag " + tag.name + ": bad entry length or key count");
  if (tag.keyType != 'C' && tag.keyType != 'N') Damaged("tag " + tag.name + ": bad key type");
  const int numericLength = m_singleTag ? kDoubleKeyLength : kDecimalKeyLength;
  if (tag.keyType == 'N' && keyLength != numericLength)
    Damaged("tag " + tag.name + ": bad numeric key length");
  tag.geometry = m_singleTag ? TNdxPage::Geometry(keyLength, entryLength, maxKeys)
                             : TMdxPage::Geometry(keyLength, entryLength, maxKeys);

  const int expressionMax = m_singleTag ? kNdxHeaderBytes - 24 : 219;
  const char* text = reinterpret_cast<const char*>(th + 24);
  tag.expression.assign(text, strnlen(text, static_cast<size_t>(expressionMax)));
  try {
    tag.parser = MakeParser(tag.expression);
  } catch (const EVoreliaError& e) {
    Damaged("tag " + tag.name + ": " + e.what());
  }
  ConfigureTag(tag);
}

void TIndexFile::ConfigureTag(TTag& tag) {
  tag.compare.keyLength = tag.geometry.keyLength;
  tag.compare.weights = m_collation;
  if (tag.keyType == 'N') {
    tag.compare.kind = m_singleTag ? TKeyComparator::kDouble : TKeyComparator::kDecimal;
  } else {
    tag.compare.kind = TKeyComparator::kCollated;
    if (m_singleTag) tag.compare.weights = nullptr;
  }
}

std::unique_ptr<TDbfIndexParser> TIndexFile::MakeParser(const std::string& expression) {
  TIndexTable* table = &m_table;
  auto parser = std::make_unique<TDbfIndexParser>(
      m_table.FieldDefs(),
      [table](int fieldNo, const uint8_t* record) { return table->ReadFieldValue(fieldNo, record); },
      m_table.DefaultRecord());
  parser->ParseKeyExpression(expression);
  return parser;
}

int32_t TIndexFile::FilePageCount() const {
  const uint8_t* h = m_file.Header();
  const uint32_t count = GetLe32(h + (m_singleTag ? 4 : 32));
  return static_cast<int32_t>(std::min<uint32_t>(count, std::numeric_limits<int32_t>::max()));
}

// Tags ---------------------------------------------------------------------------------------

std::vector<std::string> TIndexFile::TagNames() const {
  std::vector<std::string> names;
  for (const auto& tag : m_tags) names.push_back(tag->name);
  return names;
}

std::vector<TIndexTagInfo> TIndexFile::Tags() const {
  std::vector<TIndexTagInfo> tags;
  for (const auto& tag : m_tags) {
    TIndexOptions options = 0;
    if (tag->compare.descending) options |= ixDescending;
    if (tag->distinct) options |= ixPrimary;
    else if (tag->unique) options |= ixUnique;
    tags.push_back({tag->name, tag->expression, options});
  }
  return tags;
}

void TIndexFile::SelectTag(const std::string& tagName) {
  const std::string upper = platform::AnsiUpper(tagName);
  for (size_t i = 0; i < m_tags.size(); ++i) {
    if (m_tags[i]->name == upper) {
      if (m_current != static_cast<int>(i)) {
        m_current = static_cast<int>(i);
        InvalidatePath();
        m_state = TCursorState::csBeforeFirst;
      }
      return;
    }
  }
}

std::string TIndexFile::CurrentTagName() const {
  return m_current < 0 ? std::string() : m_tags[m_current]->name;
}

TIndexFile::TTagFacts TIndexFile::TagFacts(int t) const {
  const TTag& tag = *m_tags.at(static_cast<size_t>(t));
  TTagFacts facts;
  facts.name = tag.name;
  facts.expression = tag.expression;
  facts.headerPage = tag.headerPage;
  facts.rootPage = static_cast<int32_t>(
      GetLe32(m_singleTag ? m_file.Header() : tag.header.data()));
  facts.keyLength = tag.geometry.keyLength;
  facts.entryLength = tag.geometry.entryLength;
  facts.maxKeys = tag.geometry.maxKeys;
  facts.keyFlags = m_singleTag ? 0 : tag.header[8];
  facts.keyType = tag.keyType;
  facts.descending = tag.compare.descending;
  facts.unique = tag.unique;
  facts.distinct = tag.distinct;
  return facts;
}

const TBlockGeometry& TIndexFile::Geometry(int tag) const { return m_tags.at(tag)->geometry; }
const TKeyComparator& TIndexFile::Comparator(int tag) const { return m_tags.at(tag)->compare; }

void TIndexFile::FillTagHeader(TTag& tag, const std::string& expression, TIndexOptions options,
                               bool numeric) {
  const int keyLength = numeric ? (m_singleTag ? kDoubleKeyLength : kDecimalKeyLength)
                                : tag.parser->ResultLength();
  int entryLength, maxKeys;
  if (m_singleTag) {
    entryLength = RoundUp4(keyLength + 8);
    maxKeys = (kPageBytes - 4) / entryLength;
    uint8_t* h = m_file.Header();
    PutLe16(h + 12, static_cast<uint16_t>(keyLength));
    PutLe16(h + 14, static_cast<uint16_t>(maxKeys));
    PutLe16(h + 16, numeric ? 1 : 0);
    PutLe16(h + 18, static_cast<uint16_t>(entryLength));
    std::memset(h + 24, 0, kNdxHeaderBytes - 24);
    std::memcpy(h + 24, expression.data(), expression.size());
    m_file.StoreHeader();
  } else {
    entryLength = RoundUp4(keyLength + 4);
    maxKeys = (kMdxBlockBytes - 8) / entryLength;
    uint8_t* h = tag.header.data();
    uint8_t flags = 0;
    if (options & ixDescending) flags |= kFlagDescending;
    if (!numeric) flags |= kFlagCharacter;
    if (options & ixPrimary) flags |= kFlagUnique | kFlagDistinct;
    else if (options & ixUnique) flags |= kFlagUnique;
    h[8] = flags;
    h[9] = static_cast<uint8_t>(numeric ? 'N' : 'C');
    PutLe16(h + 12, static_cast<uint16_t>(keyLength));
    PutLe16(h + 14, static_cast<uint16_t>(maxKeys));
    PutLe16(h + 18, static_cast<uint16_t>(entryLength));
    PutLe16(h + 20, 2);
    h[23] = (options & ixPrimary) ? 0x21 : (options & ixUnique) ? 1 : 0;
    std::memset(h + 24, 0, 219);
    std::memcpy(h + 24, expression.data(), expression.size());
    h[246] = 1;
    tag.unique = (flags & kFlagUnique) != 0;
    tag.distinct = (options & ixPrimary) != 0;
    tag.compare.descending = (options & ixDescending) != 0;
  }
  tag.keyType = numeric ? 'N' : 'C';
  tag.expression = expression;
  tag.geometry = m_singleTag ? TNdxPage::Geometry(keyLength, entryLength, maxKeys)
                             : TMdxPage::Geometry(keyLength, entryLength, maxKeys);
  ConfigureTag(tag);
}

void TIndexFile::CreateTag(const std::string& expression, const std::string& tagName,
                           TIndexOptions options) {
  InvalidatePath();  // before the tree changes under the cursor
  if (!m_table.HeldExclusively()) throw EDbfError(kMsgNeedExclusive);
  const std::string upperExpression = platform::AnsiUpper(expression);
  std::unique_ptr<TDbfIndexParser> parser = MakeParser(upperExpression);
  const bool numeric = parser->IsNumericKey();
  if (!numeric && !parser->IsStringKey()) throw EDbfError(kMsgInvalidIndexType);
  if (upperExpression.size() > static_cast<size_t>(kMaxExpressionLength))
    throw EDbfError("Key expression longer than 218 characters: \"" + upperExpression + "\".");

  std::string name = platform::AnsiUpper(tagName).substr(0, 10);
  if (m_singleTag) {
    if (!m_tags.empty()) throw EDbfError(kMsgTooManyIndexes);
    name = platform::AnsiUpper(m_fileName.stem().string());
  } else {
    for (const auto& tag : m_tags) {
      if (tag->name == name) {
        DeleteTag(name);
        break;
      }
    }
    if (static_cast<int>(m_tags.size()) >= kMaxTags) throw EDbfError(kMsgTooManyIndexes);
  }

  auto tag = std::make_unique<TTag>();
  tag->name = name;
  tag->parser = std::move(parser);
  const int slot = static_cast<int>(m_tags.size());
  if (!m_singleTag) {
    uint8_t* entry = TagEntry(slot);
    std::memset(entry, 0, 32);
    std::memcpy(entry + 4, name.data(), name.size());
    entry[15] = (options & ixExpression) ? 0x00 : 0x10;
    entry[19] = 2;
    entry[20] = static_cast<uint8_t>(numeric ? 'N' : 'C');
    tag->headerPage = AllocateBlock(-1);
    PutLe32(TagEntry(slot), static_cast<uint32_t>(tag->headerPage));
    PutLe16(m_file.Header() + 28, static_cast<uint16_t>(slot + 1));
    m_file.StoreHeader();
  }
  TTag& created = *tag;
  m_tags.push_back(std::move(tag));
  m_current = slot;
  m_updateAllTags = !m_singleTag && m_tags.size() >= 2;
  // The key's shape first, so the tree is cleared with the right geometry.
  FillTagHeader(created, upperExpression, options, numeric);
  ClearTagTree(slot);
  WriteTagHeader(created);
  EndChange();
}

void TIndexFile::DeleteTag(const std::string& tagName) {
  if (!m_table.HeldExclusively()) throw EDbfError(kMsgNeedExclusive);
  const std::string upper = platform::AnsiUpper(tagName);
  for (size_t i = 0; i < m_tags.size(); ++i) {
    if (m_tags[i]->name != upper) continue;
    if (!m_singleTag) {
      const int count = static_cast<int>(m_tags.size());
      for (int k = static_cast<int>(i); k + 1 < count; ++k) std::memcpy(TagEntry(k), TagEntry(k + 1), 32);
      std::memset(TagEntry(count - 1), 0, 32);
      PutLe16(m_file.Header() + 28, static_cast<uint16_t>(count - 1));
      m_file.StoreHeader();
    }
    m_tags.erase(m_tags.begin() + static_cast<ptrdiff_t>(i));
    if (m_current == static_cast<int>(i)) m_current = m_tags.empty() ? -1 : 0;
    else if (m_current > static_cast<int>(i)) --m_current;
    m_updateAllTags = !m_singleTag && m_tags.size() >= 2;
    InvalidatePath();
    m_state = TCursorState::csBeforeFirst;
    return;
  }
}

void TIndexFile::ClearTag() {
  InvalidatePath();  // before the tree changes under the cursor
  if (m_current < 0) return;
  Resynchronise();
  ClearTagTree(m_current);
  EndChange();
}

void TIndexFile::ClearTagTree(int t) {
  TTag& tag = *m_tags[t];
  if (!m_singleTag) PutLe32(tag.header.data() + 4, 4);
  const int32_t root = AllocateBlock(t);
  PutLe32(m_singleTag ? m_file.Header() : tag.header.data(), static_cast<uint32_t>(root));
  if (m_singleTag) m_file.StoreHeader();
  WriteTagHeader(tag);
  InvalidatePath();
  m_state = TCursorState::csBeforeFirst;
}

void TIndexFile::ClearAllTags() {
  InvalidatePath();  // before the tree changes under the cursor
  if (!m_file.Active()) return;
  Resynchronise();
  for (auto& [page, block] : m_cache) block.dirty = false;
  m_cache.clear();
  uint8_t* h = m_file.Header();
  if (m_singleTag) {
    PutLe32(h + 4, 1);
  } else {
    PutMdxHeader(h, m_table);
  }
  m_file.StoreHeader();
  if (!m_file.NeedLocks()) m_file.SetPageCount(m_singleTag ? 1 : kMdxFirstBlockPage);
  // Every tag first gets its new header block, then every tag its new root.
  for (size_t i = 0; i < m_tags.size() && !m_singleTag; ++i) {
    m_tags[i]->headerPage = AllocateBlock(-1);
    PutLe32(TagEntry(static_cast<int>(i)), static_cast<uint32_t>(m_tags[i]->headerPage));
    m_file.StoreHeader();
  }
  for (size_t i = 0; i < m_tags.size(); ++i) ClearTagTree(static_cast<int>(i));
  EndChange();
}

void TIndexFile::BuildTag(const std::string& tagName) {
  InvalidatePath();  // before the tree changes under the cursor
  const int32_t count = m_table.RecordCount();
  if (tagName.empty()) {
    ClearAllTags();
    for (int32_t r = 1; r <= count; ++r) {
      if (!m_table.ReadRecord(r, m_record.data())) continue;
      if (!InsertKeys(r, m_record.data())) throw EDbfError(m_keyViolation);
    }
    FlushBlocks();
    return;
  }
  const int previous = m_current;
  const std::string previousName = CurrentTagName();
  SelectTag(tagName);
  if (m_current < 0 || m_tags[m_current]->name != platform::AnsiUpper(tagName))
    throw EDbfError("Index tag \"" + tagName + "\" not found.");
  const int t = m_current;
  try {
    Resynchronise();
    ClearTagTree(t);
    // Records are read in runs; the tree takes them one by one.
    constexpr int32_t kRun = 256;
    const size_t size = static_cast<size_t>(std::max(m_table.RecordSize(), 1));
    std::vector<uint8_t> run(size * kRun);
    const bool maintained = m_canUpdate && m_tags[t]->geometry.keyLength > 0;
    for (int32_t first = 1; maintained && first <= count; first += kRun) {
      const int32_t read = m_table.ReadRecords(first, std::min(kRun, count - first + 1), run.data());
      for (int32_t i = 0; i < read; ++i) {
        const uint8_t* record = run.data() + static_cast<size_t>(i) * size;
        if (m_tags[t]->distinct && record[0] == kRecordDeleted) continue;
        KeyOf(*m_tags[t], record, nullptr);
        if (!InsertKey(t, first + i, m_keyBuffer.data())) throw EDbfError(m_keyViolation);
      }
      if (m_cache.size() > kCacheLimit && !m_file.NeedLocks()) {
        FlushBlocks();
        m_cache.clear();
      }
      if (read < std::min(kRun, count - first + 1)) break;
    }
    EndChange();
    FlushBlocks();
  } catch (const EVoreliaError&) {
    EndChange();
    try {
      DeleteTag(m_tags[t]->name);
    } catch (const EVoreliaError&) {
      // The build's own failure is the one to report.
    }
    throw;
  }
  if (previous >= 0 && !previousName.empty()) SelectTag(previousName);
}

// Blocks -------------------------------------------------------------------------------------

int32_t TIndexFile::AllocateBlock(int tagForCounter) {
  const bool shared = m_file.NeedLocks();
  if (shared) {
    m_file.PageLock(0, true);
    m_file.LoadHeader();
  }
  uint8_t* h = m_file.Header();
  const int offset = m_singleTag ? 4 : 32;
  const int step = m_singleTag ? 1 : 2;
  const uint32_t page = GetLe32(h + offset);
  const uint32_t first = m_singleTag ? 1 : kMdxFirstBlockPage;
  if (page < first || page > static_cast<uint32_t>(std::numeric_limits<int32_t>::max() - step)) {
    if (shared) m_file.PageUnlock(0);
    Damaged("bad page count");
  }
  PutLe32(h + offset, page + static_cast<uint32_t>(step));
  m_file.StoreHeader();
  if (shared) m_file.PageUnlock(0);
  if (!m_singleTag && tagForCounter >= 0) {
    uint8_t* th = m_tags[tagForCounter]->header.data();
    PutLe32(th + 4, GetLe32(th + 4) + 2);
    m_tags[tagForCounter]->headerDirty = true;
  }
  const int32_t p = static_cast<int32_t>(page);
  TBlock& block = m_cache[p];
  block.bytes.assign(static_cast<size_t>(m_singleTag ? kPageBytes : kMdxBlockBytes), 0);
  block.dirty = true;
  if (shared && m_lockedBlocks.insert(p).second) m_file.PageLock(p, true);
  return p;
}

TIndexFile::TBlock& TIndexFile::LoadBlock(const TTag& tag, int32_t page) {
  auto it = m_cache.find(page);
  if (it != m_cache.end()) {
    // A damaged file may point two tags at one block; the tag now asking may have longer
    // keys than the one that read it, so the block is checked against this tag's shape too.
    CheckBlockShape(tag, page, it->second);
    return it->second;
  }
  const int first = m_singleTag ? 1 : kMdxFirstBlockPage;
  const int step = tag.geometry.pagesPerBlock;
  if (page < first || page > FilePageCount() - step)
    Damaged("tag " + tag.name + ": block pointer " + std::to_string(page) + " out of range");
  TBlock block;
  block.bytes.resize(static_cast<size_t>(tag.geometry.blockBytes));
  const int64_t read = m_file.ReadBytes(static_cast<uint64_t>(page) * kPageBytes,
                                        block.bytes.data(), block.bytes.size());
  if (read != static_cast<int64_t>(block.bytes.size()))
    Damaged("tag " + tag.name + ": block " + std::to_string(page) + " is truncated");
  CheckBlockShape(tag, page, block);
  return m_cache.emplace(page, std::move(block)).first->second;
}

void TIndexFile::CheckBlockShape(const TTag& tag, int32_t page, const TBlock& block) const {
  if (block.bytes.size() != static_cast<size_t>(tag.geometry.blockBytes))
    Damaged("tag " + tag.name + ": block " + std::to_string(page) + " has the wrong size");
  const uint32_t n = GetLe32(block.bytes.data());
  if (n > static_cast<uint32_t>(tag.geometry.maxKeys))
    Damaged("tag " + tag.name + ": block " + std::to_string(page) + " holds too many keys");
  const TIndexPage view(tag.geometry, const_cast<uint8_t*>(block.bytes.data()));
  if (view.IsInner() && !view.EntryFits(view.KeyCount()))
    Damaged("tag " + tag.name + ": block " + std::to_string(page) + " overflows");
}

TIndexPage TIndexFile::Page(const TTag& tag, int32_t page) {
  return TIndexPage(tag.geometry, LoadBlock(tag, page).bytes.data());
}

TIndexPage TIndexFile::DirtyPage(const TTag& tag, int32_t page) {
  TBlock& block = LoadBlock(tag, page);
  if (!block.dirty) {
    block.dirty = true;
    if (m_file.NeedLocks() && m_lockedBlocks.insert(page).second) m_file.PageLock(page, true);
  }
  return TIndexPage(tag.geometry, block.bytes.data());
}

std::vector<uint8_t> TIndexFile::ReadBlock(int t, int32_t page) {
  return LoadBlock(*m_tags.at(static_cast<size_t>(t)), page).bytes;
}

void TIndexFile::WriteTagHeader(TTag& tag) {
  tag.headerDirty = true;
  if (m_file.NeedLocks()) {
    if (!m_singleTag)
      m_file.WriteBytes(static_cast<uint64_t>(tag.headerPage) * kPageBytes, tag.header.data(),
                        tag.header.size());
    tag.headerDirty = false;
  }
}

void TIndexFile::FlushBlocks() {
  if (!m_file.Active()) return;
  std::vector<int32_t> pages;
  for (auto& [page, block] : m_cache) {
    if (block.dirty) pages.push_back(page);
  }
  std::sort(pages.begin(), pages.end());
  for (int32_t page : pages) {
    TBlock& block = m_cache[page];
    m_file.WriteBytes(static_cast<uint64_t>(page) * kPageBytes, block.bytes.data(),
                      block.bytes.size());
    block.dirty = false;
  }
  for (auto& tag : m_tags) {
    if (tag->headerDirty && !m_singleTag)
      m_file.WriteBytes(static_cast<uint64_t>(tag->headerPage) * kPageBytes, tag->header.data(),
                        tag->header.size());
    tag->headerDirty = false;
  }
}

void TIndexFile::EndChange() {
  InvalidatePath();
  if (!m_file.NeedLocks()) {
    if (m_cache.size() > kCacheLimit) {
      FlushBlocks();
      m_cache.clear();
    }
    return;
  }
  FlushBlocks();
  for (int32_t page : m_lockedBlocks) m_file.PageUnlock(page);
  m_lockedBlocks.clear();
}

void TIndexFile::Resynchronise() {
  if (!m_file.Active() || !m_file.NeedLocks()) return;
  InvalidatePath();
  FlushBlocks();
  m_cache.clear();
  m_file.LoadHeader();
  for (auto& tag : m_tags) {
    if (m_singleTag) continue;
    const int64_t read = m_file.ReadBytes(static_cast<uint64_t>(tag->headerPage) * kPageBytes,
                                          tag->header.data(), tag->header.size());
    if (read != static_cast<int64_t>(tag->header.size()))
      Damaged("the header of tag " + tag->name + " is truncated");
  }
  InvalidatePath();
}

bool TIndexFile::Flush() {
  if (!m_file.Active()) return true;
  FlushBlocks();
  return m_file.Flush();
}

void TIndexFile::Close() {
  if (!m_file.Active()) return;
  InvalidatePath();
  FlushBlocks();
  for (int32_t page : m_lockedBlocks) m_file.PageUnlock(page);
  m_lockedBlocks.clear();
  m_cache.clear();
  m_file.ClosePagedFile();
}

void TIndexFile::HoldExclusive() {
  InvalidatePath();
  FlushBlocks();
  m_cache.clear();
  m_file.HoldExclusive();
}

void TIndexFile::ReleaseExclusive() {
  InvalidatePath();
  FlushBlocks();
  m_cache.clear();
  m_file.ReleaseExclusive();
}

// Keys ---------------------------------------------------------------------------------------

void TIndexFile::KeyOf(TTag& tag, const uint8_t* record, uint8_t* out) {
  const int length = tag.geometry.keyLength;
  if (m_keyBuffer.size() < static_cast<size_t>(length)) m_keyBuffer.resize(static_cast<size_t>(length));
  uint8_t* key = out ? out : m_keyBuffer.data();
  if (tag.keyType == 'N') {
    const double value = tag.parser->NumericKey(record);
    if (m_singleTag) EncodeDoubleKey(value, key);
    else EncodeDecimalKey(value, key);
    return;
  }
  const uint8_t* text = tag.parser->StringKey(record);
  const int resultLength = tag.parser->ResultLength();
  const int copied = std::min(resultLength, length);
  std::memcpy(key, text, static_cast<size_t>(copied));
  if (copied < length) std::memset(key + copied, ' ', static_cast<size_t>(length - copied));
}

std::vector<uint8_t> TIndexFile::ExtractKey(const uint8_t* record) {
  if (m_current < 0) return {};
  return TagKey(m_current, record);
}

std::vector<uint8_t> TIndexFile::TagKey(int t, const uint8_t* record) {
  TTag& tag = *m_tags.at(static_cast<size_t>(t));
  std::vector<uint8_t> key(static_cast<size_t>(tag.geometry.keyLength));
  KeyOf(tag, record, key.data());
  return key;
}

int TIndexFile::SearchBlock(const TTag& tag, const TIndexPage& page, const uint8_t* key,
                            TSearch mode) const {
  int low = 0;
  int high = page.KeyCount();  // the answer lies in [low, high]
  while (low < high) {
    const int middle = (low + high) / 2;
    const int rc = tag.compare(page.Key(middle), key);
    if (rc > 0 || (rc == 0 && mode == TSearch::sFirstEqual)) high = middle;
    else low = middle + 1;
  }
  return low;
}

std::vector<int> TIndexFile::TagsToUpdate() const {
  std::vector<int> tags;
  if (m_updateAllTags) {
    for (size_t i = 0; i < m_tags.size(); ++i) tags.push_back(static_cast<int>(i));
  } else if (m_current >= 0) {
    tags.push_back(m_current);
  }
  return tags;
}

namespace {

std::string KeyText(const TKeyComparator& compare, const uint8_t* key) {
  if (compare.kind == TKeyComparator::kDecimal) return std::to_string(DecodeDecimalKey(key));
  if (compare.kind == TKeyComparator::kDouble) {
    double value;
    std::memcpy(&value, key, sizeof value);
    return std::to_string(value);
  }
  std::string text(reinterpret_cast<const char*>(key), static_cast<size_t>(compare.keyLength));
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

bool TIndexFile::InsertKey(int t, int32_t recordNo, const uint8_t* key) {
  TTag& tag = *m_tags[t];
  const TBlockGeometry& g = tag.geometry;
  const bool unique = tag.unique || tag.distinct;
  std::vector<TLevel> path;
  int32_t page = static_cast<int32_t>(GetLe32(m_singleTag ? m_file.Header() : tag.header.data()));
  for (int depth = 0;; ++depth) {
    if (depth > kMaxDepth) Damaged("tag " + tag.name + ": the tree is too deep or has a cycle");
    TIndexPage block = Page(tag, page);
    int position = SearchBlock(tag, block, key, unique ? TSearch::sFirstEqual : TSearch::sInsert);
    const bool inner = block.IsInner();
    const int n = block.KeyCount();
    if (inner ? n >= g.maxKeys - 1 : n >= g.maxKeys) SplitBlock(t, path, page, position);
    path.push_back({page, position});
    block = Page(tag, page);
    if (!block.IsInner()) break;
    page = block.Child(position);
  }
  const int position = path.back().entry;
  TIndexPage leaf = Page(tag, page);
  const int n = leaf.KeyCount();
  if (n >= g.maxKeys || position > n)
    Damaged("tag " + tag.name + ": block " + std::to_string(page) + " has no room after a split");
  if (unique && position < n && tag.compare(key, leaf.Key(position)) == 0) {
    if (!tag.distinct) return true;
    m_keyViolation = KeyViolationMessage(tag.name, leaf.RecordNo(position), KeyText(tag.compare, key));
    return false;
  }
  leaf = DirtyPage(tag, page);
  leaf.MoveEntries(position, position + 1, n - position);
  std::memset(leaf.Entry(position), 0, static_cast<size_t>(g.entryLength));
  leaf.SetRecordNo(position, recordNo);
  leaf.SetKey(position, key);
  leaf.SetKeyCount(n + 1);
  leaf.ClearNumbers(n + 1);
  if (position == n) RepairParentKeys(tag, path, path.size() - 1);
  return true;
}

void TIndexFile::SplitBlock(int t, std::vector<TLevel>& path, int32_t& page, int& position) {
  TTag& tag = *m_tags[t];
  const TBlockGeometry& g = tag.geometry;
  if (path.empty()) {
    const int32_t rootPage = AllocateBlock(t);
    TIndexPage root = DirtyPage(tag, rootPage);
    root.SetKeyCount(0);
    root.SetChild(0, page);
    PutLe32(m_singleTag ? m_file.Header() : tag.header.data(), static_cast<uint32_t>(rootPage));
    if (m_singleTag) m_file.StoreHeader();
    WriteTagHeader(tag);
    path.push_back({rootPage, 0});
  }
  TIndexPage old = DirtyPage(tag, page);
  const int n = old.KeyCount();
  const bool inner = old.IsInner();
  {
    const TIndexPage parent = Page(tag, path.back().page);
    if (n < 3 || !parent.IsInner() || parent.KeyCount() + 1 > g.maxKeys - 1 ||
        path.back().entry > parent.KeyCount())
      Damaged("tag " + tag.name + ": block " + std::to_string(page) + " cannot be split");
  }
  int b = n / 2 + ((inner && n % 2 == 1) ? 1 : 0);
  int c = n - b;
  if (b < c && position > b) {
    ++b;
    --c;
  } else if (c < b && position < b) {
    --b;
    ++c;
  }
  const int32_t newPage = AllocateBlock(t);
  TIndexPage fresh = DirtyPage(tag, newPage);
  old = DirtyPage(tag, page);
  std::memcpy(fresh.Entry(0), old.Entry(b),
              static_cast<size_t>(inner ? c + 1 : c) * static_cast<size_t>(g.entryLength));
  fresh.SetKeyCount(c);
  if (!inner) old.ClearNumbers(b);
  old.SetKeyCount(inner ? n - c - 1 : n - c);

  TLevel& parentLevel = path.back();
  TIndexPage parent = DirtyPage(tag, parentLevel.page);
  const int q = parentLevel.entry;
  const int pn = parent.KeyCount();
  parent.MoveEntries(q, q + 1, pn - q + 1);
  parent.SetChild(q, page);
  parent.SetKey(q, old.Key(b - 1));
  parent.SetChild(q + 1, newPage);
  parent.SetKeyCount(pn + 1);
  if (position >= b) {
    page = newPage;
    position -= b;
    parentLevel.entry = q + 1;
  }
}

void TIndexFile::RepairParentKeys(TTag& tag, const std::vector<TLevel>& path, size_t level) {
  const TIndexPage block = Page(tag, path[level].page);
  const int high = block.High();
  if (high < 0) return;
  std::vector<uint8_t> key(block.Key(high), block.Key(high) + tag.geometry.keyLength);
  for (size_t l = level; l-- > 0;) {
    TIndexPage parent = DirtyPage(tag, path[l].page);
    parent.SetKey(path[l].entry, key.data());
    if (path[l].entry != parent.High()) break;
  }
}

bool TIndexFile::FindExact(TTag& tag, const uint8_t* key, int32_t recordNo,
                           std::vector<TLevel>& path) {
  path.clear();
  int32_t page = static_cast<int32_t>(GetLe32(m_singleTag ? m_file.Header() : tag.header.data()));
  for (int depth = 0;; ++depth) {
    if (depth > kMaxDepth) Damaged("tag " + tag.name + ": the tree is too deep or has a cycle");
    const TIndexPage block = Page(tag, page);
    const int position = SearchBlock(tag, block, key, TSearch::sFirstEqual);
    path.push_back({page, position});
    if (!block.IsInner()) break;
    page = block.Child(position);
  }
  for (;;) {
    const TIndexPage leaf = Page(tag, path.back().page);
    for (int k = path.back().entry; k < leaf.KeyCount(); ++k) {
      if (tag.compare(key, leaf.Key(k)) != 0) return false;
      if (leaf.RecordNo(k) == recordNo) {
        path.back().entry = k;
        return true;
      }
    }
    if (!StepToNeighbourLeaf(tag, path, true)) return false;
  }
}

bool TIndexFile::RemoveKey(int t, int32_t recordNo, const uint8_t* key) {
  TTag& tag = *m_tags[t];
  std::vector<TLevel> path;
  if (!FindExact(tag, key, recordNo, path)) return false;
  RemoveEntry(tag, path, path.size() - 1);
  return true;
}

void TIndexFile::RemoveEntry(TTag& tag, std::vector<TLevel>& path, size_t level) {
  TIndexPage block = DirtyPage(tag, path[level].page);
  const int k = path[level].entry;
  const int n = block.KeyCount();
  const bool inner = block.IsInner();
  const int high = inner ? n : n - 1;
  bool empty;
  if (inner) {
    block.MoveEntries(k + 1, k, n - k);
    block.ClearNumbers(n);
    empty = n == 0;
    if (!empty) block.SetKeyCount(n - 1);
  } else {
    block.MoveEntries(k + 1, k, n - k - 1);
    block.SetKeyCount(n - 1);
    block.ClearNumbers(n - 1);
    empty = n == 1;
  }
  if (empty) {
    bool ancestorWithMore = false;
    for (size_t l = 0; l < level; ++l) ancestorWithMore |= Page(tag, path[l].page).High() >= 1;
    if (ancestorWithMore) {
      RemoveEntry(tag, path, level - 1);
      return;
    }
    if (inner) {
      // The last pointer of a lone chain: keep the block as an empty leaf.
      block.SetKeyCount(0);
    }
    return;
  }
  if (k == high) RepairParentKeys(tag, path, level);
}

// Key upkeep ---------------------------------------------------------------------------------

bool TIndexFile::InsertKeys(int32_t recordNo, const uint8_t* record) {
  InvalidatePath();  // before the tree changes under the cursor
  if (!m_file.Active()) return true;
  m_keyViolation.clear();
  Resynchronise();
  const std::vector<int> tags = TagsToUpdate();
  std::vector<int> done;
  bool ok = true;
  try {
    for (int t : tags) {
      TTag& tag = *m_tags[t];
      if (!m_canUpdate || tag.geometry.keyLength == 0) continue;
      if (tag.distinct && record[0] == kRecordDeleted && !m_deletingRecord) continue;
      KeyOf(tag, record, nullptr);
      if (!InsertKey(t, recordNo, m_keyBuffer.data())) {
        ok = false;
        break;
      }
      done.push_back(t);
    }
    if (!ok) {
      for (int t : done) {
        KeyOf(*m_tags[t], record, nullptr);
        RemoveKey(t, recordNo, m_keyBuffer.data());
      }
    }
  } catch (...) {
    EndChange();
    throw;
  }
  EndChange();
  return ok;
}

void TIndexFile::RemoveKeys(int32_t recordNo, const uint8_t* record) {
  InvalidatePath();  // before the tree changes under the cursor
  if (!m_file.Active()) return;
  Resynchronise();
  try {
    for (int t : TagsToUpdate()) {
      TTag& tag = *m_tags[t];
      if (!m_canUpdate || tag.geometry.keyLength == 0) continue;
      if (m_deletingRecord && !tag.distinct) continue;
      KeyOf(tag, record, nullptr);
      RemoveKey(t, recordNo, m_keyBuffer.data());
    }
  } catch (...) {
    EndChange();
    throw;
  }
  EndChange();
}

void TIndexFile::RecordFlaggedDeleted(int32_t recordNo, const uint8_t* record) {
  m_deletingRecord = true;
  try {
    RemoveKeys(recordNo, record);
  } catch (...) {
    m_deletingRecord = false;
    throw;
  }
  m_deletingRecord = false;
}

bool TIndexFile::UpdateKeys(int32_t recordNo, const uint8_t* previous, const uint8_t* record) {
  InvalidatePath();  // before the tree changes under the cursor
  if (!m_file.Active()) return true;
  m_keyViolation.clear();
  Resynchronise();
  struct TChange {
    int tag;
    std::vector<uint8_t> before;
    std::vector<uint8_t> after;
  };
  std::vector<TChange> done;
  bool ok = true;
  try {
    for (int t : TagsToUpdate()) {
      TTag& tag = *m_tags[t];
      const size_t length = static_cast<size_t>(tag.geometry.keyLength);
      if (!m_canUpdate || length == 0) continue;
      TChange change{t, std::vector<uint8_t>(length), std::vector<uint8_t>(length)};
      KeyOf(tag, previous, change.before.data());
      KeyOf(tag, record, change.after.data());
      if (tag.compare(change.before.data(), change.after.data()) == 0) continue;
      RemoveKey(t, recordNo, change.before.data());
      if (!InsertKey(t, recordNo, change.after.data())) {
        InsertKey(t, recordNo, change.before.data());
        ok = false;
        break;
      }
      done.push_back(std::move(change));
    }
    if (!ok) {
      for (auto it = done.rbegin(); it != done.rend(); ++it) {
        RemoveKey(it->tag, recordNo, it->after.data());
        InsertKey(it->tag, recordNo, it->before.data());
      }
    }
  } catch (...) {
    EndChange();
    throw;
  }
  EndChange();
  return ok;
}

// Cursor -------------------------------------------------------------------------------------

std::unique_ptr<TVirtualCursor> TIndexFile::CreateTagCursor(const std::string& tagName) {
  const std::string upper = platform::AnsiUpper(tagName);
  for (const auto& tag : m_tags) {
    if (tag->name == upper) return std::make_unique<TIndexCursor>(*this, upper);
  }
  return nullptr;
}

void TIndexFile::DescendToEdge(const TTag& tag, std::vector<TLevel>& path, bool forward) {
  for (int depth = static_cast<int>(path.size());; ++depth) {
    if (depth > kMaxDepth) Damaged("tag " + tag.name + ": the tree is too deep or has a cycle");
    const TIndexPage block = Page(tag, path.back().page);
    if (!block.IsInner()) {
      path.back().entry = forward ? 0 : block.KeyCount() - 1;
      return;
    }
    const int32_t child = block.Child(path.back().entry);
    const TIndexPage childBlock = Page(tag, child);
    path.push_back({child, forward ? 0 : childBlock.High()});
  }
}

bool TIndexFile::StepToNeighbourLeaf(const TTag& tag, std::vector<TLevel>& path, bool forward) {
  for (size_t l = path.size() - 1; l-- > 0;) {
    const TIndexPage block = Page(tag, path[l].page);
    const bool canMove = forward ? path[l].entry < block.High() : path[l].entry > 0;
    if (!canMove) continue;
    path[l].entry += forward ? 1 : -1;
    path.resize(l + 1);
    DescendToEdge(tag, path, forward);
    return true;
  }
  return false;
}

void TIndexFile::RememberCursor() {
  const TIndexPage leaf = Page(*m_tags[m_current], m_path.back().page);
  m_cursorRecNo = leaf.RecordNo(m_path.back().entry);
  m_cursorKeyKept = false;
  m_state = TCursorState::csOnEntry;
}

void TIndexFile::InvalidatePath() {
  // The key is taken only now, while the leaf is still at hand: walking stays cheap.
  if (m_pathValid && m_state == TCursorState::csOnEntry && !m_cursorKeyKept && m_current >= 0 &&
      !m_path.empty()) {
    const TTag& tag = *m_tags[m_current];
    auto it = m_cache.find(m_path.back().page);
    const int entry = m_path.back().entry;
    if (it != m_cache.end() && entry >= 0 &&
        entry < TIndexPage(tag.geometry, it->second.bytes.data()).KeyCount()) {
      const TIndexPage leaf(tag.geometry, it->second.bytes.data());
      m_cursorKey.assign(leaf.Key(m_path.back().entry),
                         leaf.Key(m_path.back().entry) + tag.geometry.keyLength);
      m_cursorKeyKept = true;
    }
  }
  m_pathValid = false;
}

bool TIndexFile::EnsureCursor() {
  if (m_current < 0 || !m_file.Active()) return false;
  if (m_pathValid) return true;
  TTag& tag = *m_tags[m_current];
  const int32_t root =
      static_cast<int32_t>(GetLe32(m_singleTag ? m_file.Header() : tag.header.data()));
  if (m_state == TCursorState::csOnEntry && !m_cursorKeyKept) m_state = TCursorState::csBeforeFirst;
  if (m_state == TCursorState::csOnEntry) {
    if (FindExact(tag, m_cursorKey.data(), m_cursorRecNo, m_path)) {
      m_pathValid = true;
      return true;
    }
    // The entry went away: stand just before where it was.
    m_path.clear();
    int32_t page = root;
    for (int depth = 0;; ++depth) {
      if (depth > kMaxDepth) Damaged("tag " + tag.name + ": the tree is too deep or has a cycle");
      const TIndexPage block = Page(tag, page);
      const int position = SearchBlock(tag, block, m_cursorKey.data(), TSearch::sFirstEqual);
      m_path.push_back({page, position});
      if (!block.IsInner()) break;
      page = block.Child(position);
    }
    m_path.back().entry -= 1;
    m_pathValid = true;
    if (m_path.back().entry >= 0) RememberCursor();
    else m_state = TCursorState::csBeforeFirst;
    return true;
  }
  m_path.assign(1, TLevel{root, 0});
  const bool forward = m_state == TCursorState::csBeforeFirst;
  if (!forward) m_path.back().entry = Page(tag, root).High();
  DescendToEdge(tag, m_path, forward);
  m_path.back().entry = forward ? -1 : Page(tag, m_path.back().page).KeyCount();
  m_pathValid = true;
  return true;
}

bool TIndexFile::MoveToEnd(bool first) {
  if (m_current < 0) return false;
  Resynchronise();
  InvalidatePath();
  m_state = first ? TCursorState::csBeforeFirst : TCursorState::csAfterLast;
  return EnsureCursor();
}

bool TIndexFile::First() { return MoveToEnd(true); }
bool TIndexFile::Last() { return MoveToEnd(false); }

bool TIndexFile::Next() {
  if (!EnsureCursor() || m_state == TCursorState::csAfterLast) return false;
  const TTag& tag = *m_tags[m_current];
  m_path.back().entry += 1;
  for (;;) {
    const TIndexPage leaf = Page(tag, m_path.back().page);
    if (m_path.back().entry < leaf.KeyCount()) {
      m_cursorRecNo = leaf.RecordNo(m_path.back().entry);
      m_cursorKeyKept = false;
      m_state = TCursorState::csOnEntry;
      return true;
    }
    if (!StepToNeighbourLeaf(tag, m_path, true)) {
      m_path.back().entry = Page(tag, m_path.back().page).KeyCount();
      m_state = TCursorState::csAfterLast;
      return false;
    }
  }
}

bool TIndexFile::Prior() {
  if (!EnsureCursor() || m_state == TCursorState::csBeforeFirst) return false;
  const TTag& tag = *m_tags[m_current];
  m_path.back().entry -= 1;
  for (;;) {
    if (m_path.back().entry >= 0) {
      RememberCursor();
      return true;
    }
    if (!StepToNeighbourLeaf(tag, m_path, false)) {
      m_path.back().entry = -1;
      m_state = TCursorState::csBeforeFirst;
      return false;
    }
  }
}

int32_t TIndexFile::PhysicalRecNo() {
  return m_state == TCursorState::csOnEntry ? m_cursorRecNo : -1;
}

bool TIndexFile::SetPhysicalRecNo(int32_t recordNo) {
  if (m_current < 0) return false;
  if (m_state == TCursorState::csOnEntry && m_cursorRecNo == recordNo) return true;
  if (recordNo < 1 || recordNo > m_table.RecordCount()) return false;
  if (!m_table.ReadRecord(recordNo, m_record.data())) return false;
  Resynchronise();
  InvalidatePath();
  TTag& tag = *m_tags[m_current];
  std::vector<uint8_t> key(static_cast<size_t>(tag.geometry.keyLength));
  KeyOf(tag, m_record.data(), key.data());
  if (!FindExact(tag, key.data(), recordNo, m_path)) {
    InvalidatePath();
    return false;
  }
  m_pathValid = true;
  RememberCursor();
  return true;
}

namespace {

int64_t SaturatingMultiply(int64_t a, int64_t b) {
  constexpr int64_t kLimit = std::numeric_limits<int32_t>::max();
  if (a == 0 || b == 0) return 0;
  if (a > kLimit / b) return kLimit;
  return a * b;
}

}  // namespace

int32_t TIndexFile::SequentialRecNo() {
  if (!EnsureCursor() || m_state == TCursorState::csBeforeFirst) return 0;
  if (m_state == TCursorState::csAfterLast) return std::numeric_limits<int32_t>::max();
  const int64_t maxKeys = m_tags[m_current]->geometry.maxKeys;
  int64_t number = 1;
  int64_t weight = 1;
  for (size_t l = m_path.size(); l-- > 0;) {
    number += SaturatingMultiply(m_path[l].entry, weight);
    weight = SaturatingMultiply(weight, maxKeys);
  }
  return static_cast<int32_t>(std::min<int64_t>(number, std::numeric_limits<int32_t>::max()));
}

int32_t TIndexFile::SequentialRecordCount() {
  if (m_current < 0 || !m_file.Active()) return 0;
  Resynchronise();
  const TTag& tag = *m_tags[m_current];
  int32_t page = static_cast<int32_t>(GetLe32(m_singleTag ? m_file.Header() : tag.header.data()));
  const TIndexPage root = Page(tag, page);
  int64_t weight = 1;
  TIndexPage block = root;
  for (int depth = 0; block.IsInner(); ++depth) {
    if (depth > kMaxDepth) Damaged("tag " + tag.name + ": the tree is too deep or has a cycle");
    weight = SaturatingMultiply(weight, tag.geometry.maxKeys);
    page = block.Child(0);
    block = Page(tag, page);
  }
  return static_cast<int32_t>(SaturatingMultiply(weight, root.High() + 1));
}

void TIndexFile::SetSequentialRecNo(int32_t number) {
  if (m_current < 0) return;
  if (number <= 0) {
    First();
    return;
  }
  Resynchronise();
  const TTag& tag = *m_tags[m_current];
  // The weights per level, from the depth of the leftmost path.
  std::vector<int32_t> pages;
  int32_t page = static_cast<int32_t>(GetLe32(m_singleTag ? m_file.Header() : tag.header.data()));
  int depth = 1;
  for (TIndexPage block = Page(tag, page); block.IsInner(); block = Page(tag, block.Child(0))) {
    if (++depth > kMaxDepth) Damaged("tag " + tag.name + ": the tree is too deep or has a cycle");
  }
  int64_t weight = 1;
  for (int i = 1; i < depth; ++i) weight = SaturatingMultiply(weight, tag.geometry.maxKeys);
  int64_t rest = number - 1;
  m_path.clear();
  for (int level = 0;; ++level) {
    if (level > kMaxDepth) Damaged("tag " + tag.name + ": the tree is too deep or has a cycle");
    const TIndexPage block = Page(tag, page);
    const int high = block.High();
    int entry = static_cast<int>(std::min<int64_t>(weight > 0 ? rest / weight : 0, high));
    if (entry < 0) entry = 0;
    rest -= entry * weight;
    m_path.push_back({page, entry});
    if (!block.IsInner()) break;
    page = block.Child(entry);
    weight = std::max<int64_t>(weight / tag.geometry.maxKeys, 1);
  }
  m_pathValid = true;
  const TIndexPage leaf = Page(tag, m_path.back().page);
  if (leaf.KeyCount() == 0) {
    m_state = TCursorState::csBeforeFirst;
    m_path.back().entry = -1;
    Next();
    return;
  }
  RememberCursor();
}

}  // namespace vorelia::dbf
