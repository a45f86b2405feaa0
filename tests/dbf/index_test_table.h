#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "dbf/agency_schema.h"
#include "dbf/dbf_common.h"
#include "dbf/index_file.h"

namespace vorelia::dbf::test {

// An agency table held in memory, for driving index files without a table file.
class TMemoryTable : public TIndexTable {
 public:
  explicit TMemoryTable(bool withLogicalField = false) {
    m_defs = AgencyFieldDefs();
    int offset = 1;
    for (TDbfFieldDef& def : m_defs) {
      def.Offset = offset;
      offset += def.Size;
    }
    if (withLogicalField) {
      TDbfFieldDef& def = m_defs.Add();
      def.FieldName = "ATIVO";
      def.NativeFieldType = 'L';
      def.Size = 1;
      def.Offset = offset;
      offset += 1;
    }
    m_recordSize = offset;
  }

  // A live record whose agency name is `name` and whose address is `address`.
  std::string MakeRecord(const std::string& name, const std::string& address = "") const {
    std::string r(static_cast<size_t>(m_recordSize), ' ');
    r.replace(1, std::min<size_t>(name.size(), 25), name.substr(0, 25));
    r.replace(26, std::min<size_t>(address.size(), 100), address.substr(0, 100));
    return r;
  }
  int32_t Append(const std::string& name, const std::string& address = "") {
    records.push_back(MakeRecord(name, address));
    return static_cast<int32_t>(records.size());
  }
  const uint8_t* Bytes(int32_t recordNo) const {
    return reinterpret_cast<const uint8_t*>(records[static_cast<size_t>(recordNo - 1)].data());
  }

  const TDbfFieldDefs& FieldDefs() const override { return m_defs; }
  TFieldValue ReadFieldValue(int fieldNo, const uint8_t* record) const override {
    const TDbfFieldDef& def = m_defs[fieldNo];
    if (def.NativeFieldType == 'L') return record[def.Offset] == 'T';
    return std::string(reinterpret_cast<const char*>(record) + def.Offset,
                       static_cast<size_t>(def.Size));
  }
  int32_t RecordSize() const override { return m_recordSize; }
  int32_t RecordCount() override { return static_cast<int32_t>(records.size()); }
  bool ReadRecord(int32_t recordNo, uint8_t* buffer) override {
    if (recordNo < 1 || recordNo > RecordCount()) return false;
    std::memcpy(buffer, Bytes(recordNo), static_cast<size_t>(m_recordSize));
    return true;
  }
  std::vector<uint8_t> DefaultRecord() override {
    return std::vector<uint8_t>(static_cast<size_t>(m_recordSize), ' ');
  }
  uint8_t LanguageId() const override { return languageId; }
  int TableLevel() const override { return 4; }
  std::string TableName() const override { return tableName; }
  bool HeldExclusively() override { return exclusive; }

  std::vector<std::string> records;
  uint8_t languageId = 0x25;
  bool exclusive = true;
  std::string tableName = "agencias";

 private:
  TDbfFieldDefs m_defs;
  int m_recordSize = 0;
};

}  // namespace vorelia::dbf::test
