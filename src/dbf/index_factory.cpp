#include "dbf/index_factory.h"

#include "dbf/dbf_file.h"

#include <algorithm>

namespace vorelia::dbf {
namespace {

// A table file seen through what its index files need.
class TTableLink : public TIndexTable {
 public:
  explicit TTableLink(TDbfFile& table) : m_table(table) {}

  const TDbfFieldDefs& FieldDefs() const override { return m_table.FieldDefs(); }
  TFieldValue ReadFieldValue(int fieldNo, const uint8_t* record) const override {
    return m_table.ReadFieldValue(fieldNo, record);
  }
  int32_t RecordSize() const override { return m_table.RecordSize(); }
  int32_t RecordCount() override { return m_table.RecordCount(); }
  bool ReadRecord(int32_t recordNo, uint8_t* buffer) override {
    return m_table.ReadRecord(recordNo, buffer);
  }
  int32_t ReadRecords(int32_t first, int32_t count, uint8_t* buffer) override {
    const int32_t present = std::min(count, m_table.RecordCount() - first + 1);
    if (first < 1 || present <= 0) return 0;
    const uint64_t size = static_cast<uint64_t>(m_table.RecordSize());
    const uint64_t offset = static_cast<uint64_t>(m_table.HeaderOffset()) +
                            static_cast<uint64_t>(m_table.HeaderSize()) +
                            static_cast<uint64_t>(first - 1) * size;
    const int64_t read = m_table.ReadBytes(offset, buffer, static_cast<size_t>(present) * size);
    return read <= 0 ? 0 : static_cast<int32_t>(static_cast<uint64_t>(read) / size);
  }
  std::vector<uint8_t> DefaultRecord() override {
    std::vector<uint8_t> record(static_cast<size_t>(m_table.RecordSize()) + 1, ' ');
    m_table.FillDefaultRecord(record.data());
    record.resize(static_cast<size_t>(m_table.RecordSize()));
    return record;
  }
  uint8_t LanguageId() const override { return m_table.LanguageId(); }
  int TableLevel() const override { return m_table.TableLevel(); }
  std::string TableName() const override { return m_table.IndexedTableName(); }
  bool HeldExclusively() override { return !m_table.NeedLocks(); }

 private:
  TDbfFile& m_table;
};

// The link lives as long as the index file that uses it.
struct TLinkHolder {
  explicit TLinkHolder(TDbfFile& table) : link(table) {}
  TTableLink link;
};

class TTableIndexFile : private TLinkHolder, public TIndexFile {
 public:
  TTableIndexFile(TDbfFile& table, const std::filesystem::path& path)
      : TLinkHolder(table), TIndexFile(link, path) {}
};

}  // namespace

std::unique_ptr<TIndexSeam> TIndexFileFactory::OpenIndexFile(TDbfFile& table,
                                                             const std::filesystem::path& path,
                                                             TPagedFileMode mode) {
  auto index = std::make_unique<TTableIndexFile>(table, path);
  if (!index->Open(mode, m_onLocaleError)) return nullptr;
  return index;
}

TIndexFileFactory& InstallIndexEngine() {
  static TIndexFileFactory factory;
  SetDefaultIndexFactory(&factory);
  return factory;
}

}  // namespace vorelia::dbf
