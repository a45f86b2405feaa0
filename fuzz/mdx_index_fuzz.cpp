// Opens an index file made of the fuzzer's bytes over a fixed agency table and walks it: the
// integrity check, both directions of the cursor, positioning, and one insert and removal.
// Byte 0 chooses the format (even: multiple-tag .mdx, odd: single-tag .ndx); the rest is the
// file. Damaged files must end in EDbfError, never in a crash or an endless walk.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "dbf/agency_schema.h"
#include "dbf/index_check.h"
#include "dbf/index_file.h"
#include "platform/errors.h"

namespace {

using namespace vorelia;
using namespace vorelia::dbf;

class TFuzzTable : public TIndexTable {
 public:
  TFuzzTable() {
    m_defs = AgencyFieldDefs();
    int offset = 1;
    for (TDbfFieldDef& def : m_defs) {
      def.Offset = offset;
      offset += def.Size;
    }
    for (int i = 0; i < 64; ++i) {
      std::string r(kAgencyRecordSize, ' ');
      const std::string name = "Agencia " + std::to_string((i * 37) % 64);
      r.replace(1, name.size(), name);
      if (i % 9 == 0) r[0] = '*';
      m_records.push_back(r);
    }
  }
  const TDbfFieldDefs& FieldDefs() const override { return m_defs; }
  TFieldValue ReadFieldValue(int fieldNo, const uint8_t* record) const override {
    const TDbfFieldDef& def = m_defs[fieldNo];
    return std::string(reinterpret_cast<const char*>(record) + def.Offset,
                       static_cast<size_t>(def.Size));
  }
  int32_t RecordSize() const override { return kAgencyRecordSize; }
  int32_t RecordCount() override { return static_cast<int32_t>(m_records.size()); }
  bool ReadRecord(int32_t recordNo, uint8_t* buffer) override {
    if (recordNo < 1 || recordNo > RecordCount()) return false;
    std::memcpy(buffer, m_records[static_cast<size_t>(recordNo - 1)].data(), kAgencyRecordSize);
    return true;
  }
  std::vector<uint8_t> DefaultRecord() override {
    return std::vector<uint8_t>(kAgencyRecordSize, ' ');
  }
  uint8_t LanguageId() const override { return 0x25; }
  int TableLevel() const override { return 4; }
  std::string TableName() const override { return "agencias"; }
  bool HeldExclusively() override { return true; }
  const uint8_t* Record(int i) const { return reinterpret_cast<const uint8_t*>(m_records[i].data()); }

 private:
  TDbfFieldDefs m_defs;
  std::vector<std::string> m_records;
};

void Walk(TIndexFile& index) {
  index.First();
  for (int steps = 0; steps < 100000 && index.Next(); ++steps) index.SequentialRecNo();
  index.Last();
  for (int steps = 0; steps < 100000 && index.Prior(); ++steps) index.PhysicalRecNo();
  index.SequentialRecordCount();
  index.SetSequentialRecNo(7);
  index.SetPhysicalRecNo(5);
  index.Next();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static TFuzzTable table;
  const bool singleTag = (data[0] & 1) != 0;
  std::vector<uint8_t> bytes(data + 1, data + size);
  TIndexFile index(table, singleTag ? "agencias.ndx" : "agencias.mdx");
  try {
    if (!index.Open(TPagedFileMode::pfMemoryOpen, {}, std::move(bytes))) return 0;
  } catch (const EVoreliaError&) {
    return 0;
  }
  for (int t = 0; t < index.TagCount(); ++t) {
    try {
      CheckIndexTag(index, t, &table);
      index.SelectTag(index.TagNames()[static_cast<size_t>(t)]);
      Walk(index);
      index.InsertKeys(3, table.Record(2));
      index.RemoveKeys(5, table.Record(4));
      CheckIndexTag(index, t, &table);
      Walk(index);
    } catch (const EVoreliaError&) {
      // A damaged file: refused with a message, which is all we ask.
    }
  }
  return 0;
}
