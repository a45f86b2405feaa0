// The table keeps attached index files in step through the index seam, and rolls back both the
// keys and the record count when an append fails.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "dbf/agency_schema.h"
#include "dbf/dbf_errors.h"
#include "dbf/dbf_file.h"
#include "dbf/index_seam.h"
#include "support/temp_dir.h"

namespace vorelia::dbf {
namespace {

using Bytes = std::vector<uint8_t>;

// Records every call as text; refuses keys or fails writes on demand.
class FakeIndex : public TIndexSeam {
 public:
  FakeIndex(std::filesystem::path path, std::vector<std::string>& log, const char* name)
      : m_path(std::move(path)), m_log(log), m_name(name) {}

  bool refuse = false;
  bool failWrite = false;

  const std::filesystem::path& IndexFileName() const override { return m_path; }
  bool IsProduction() const override { return true; }
  std::vector<TIndexTagInfo> Tags() const override { return {{m_name, "AGENCIA", 0}}; }
  bool InsertKeys(int32_t recordNo, const uint8_t*) override {
    if (refuse) return Note("refuse insert", recordNo), false;
    m_writeError = failWrite;
    return Note("insert", recordNo), true;
  }
  void RemoveKeys(int32_t recordNo, const uint8_t*) override { Note("remove", recordNo); }
  bool UpdateKeys(int32_t recordNo, const uint8_t* previous, const uint8_t* record) override {
    if (refuse) return Note("refuse update", recordNo), false;
    Note(std::string("update ") + static_cast<char>(previous[1]) + ">" +
             static_cast<char>(record[1]),
         recordNo);
    return true;
  }
  void RecordFlaggedDeleted(int32_t recordNo, const uint8_t*) override {
    Note("deleted", recordNo);
  }
  void ClearAllTags() override { Note("clear", 0); }
  std::string KeyViolation() const override { return KeyViolationMessage(m_name, 7, "CHAVE"); }
  bool WriteError() const override { return m_writeError; }
  void ResetWriteError() override { m_writeError = false; }
  void CreateTag(const std::string&, const std::string&, TIndexOptions) override {}
  void DeleteTag(const std::string&) override {}
  void BuildTag(const std::string&) override {}
  void HoldExclusive() override {}
  void ReleaseExclusive() override {}
  bool Flush() override { return true; }
  void Close() override {}

 private:
  void Note(const std::string& what, int32_t recordNo) {
    m_log.push_back(m_name + " " + what + " " + std::to_string(recordNo));
  }

  std::filesystem::path m_path;
  std::vector<std::string>& m_log;
  std::string m_name;
  bool m_writeError = false;
};

// Opens every index file as a FakeIndex, in the order asked.
class FakeFactory : public TIndexFactory {
 public:
  explicit FakeFactory(std::vector<std::string>& log) : m_log(log) {}
  std::vector<FakeIndex*> made;

  std::unique_ptr<TIndexSeam> OpenIndexFile(TDbfFile&, const std::filesystem::path& path,
                                            TPagedFileMode) override {
    const char* names[] = {"PRIMEIRO", "SEGUNDO"};
    auto index = std::make_unique<FakeIndex>(path, m_log, names[made.size() % 2]);
    made.push_back(index.get());
    return index;
  }

 private:
  std::vector<std::string>& m_log;
};

class TableIndexHooksTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    TDbfFile create;
    create.SetFileName(m_dir / "agencias.age");
    create.SetMode(TPagedFileMode::pfExclusiveCreate);
    create.SetLanguageId(0x25);
    create.CreateTableFile(AgencyFieldDefs());
    create.CloseTable();
    m_file.SetFileName(m_dir / "agencias.age");
    m_file.SetMode(TPagedFileMode::pfReadWriteOpen);
    m_file.SetIndexFactory(&m_factory);
    ASSERT_TRUE(m_file.OpenTable());
    m_file.AttachIndex("primeiro.ndx", "AGENCIA", true, 0);
    m_file.AttachIndex("segundo.ndx", "AGENCIA", true, 0);
    ASSERT_EQ(m_factory.made.size(), 2u);
    m_log.clear();
  }

  Bytes Record(char first) {
    Bytes record(234);
    m_file.FillDefaultRecord(record.data());
    record[1] = static_cast<uint8_t>(first);
    return record;
  }

  uint32_t StoredCount() {
    std::ifstream in(m_dir / "agencias.age", std::ios::binary);
    const Bytes b((std::istreambuf_iterator<char>(in)), {});
    return b[4] | (b[5] << 8);
  }

  std::vector<std::string> m_log;
  FakeFactory m_factory{m_log};
  TDbfFile m_file;
};

TEST_F(TableIndexHooksTest, ChangesReachEveryIndexInOrder) {
  Bytes a = Record('A');
  EXPECT_EQ(m_file.InsertRecord(a.data()), 1);
  Bytes b = Record('B');
  m_file.LockRecordForEdit(1, b.data());
  b[1] = 'B';
  m_file.WriteEditedRecord(1, b.data());
  b[0] = '*';
  m_file.NoteRecordDeleted(1, b.data());
  m_file.ZapRecords();
  EXPECT_EQ(m_log, (std::vector<std::string>{"PRIMEIRO insert 1", "SEGUNDO insert 1",
                                             "PRIMEIRO update A>B 1", "SEGUNDO update A>B 1",
                                             "PRIMEIRO deleted 1", "SEGUNDO deleted 1",
                                             "PRIMEIRO clear 0", "SEGUNDO clear 0"}));
}

TEST_F(TableIndexHooksTest, KeyViolationTakesBackKeysAndLeavesNoRecord) {
  m_factory.made[1]->refuse = true;
  Bytes a = Record('A');
  try {
    m_file.InsertRecord(a.data());
    ADD_FAILURE();
  } catch (const EDbfError& e) {
    EXPECT_STREQ(e.what(),
                 "Key violation. (Key already present in file).\r\nIndex: SEGUNDO\r\nRecord=7 "
                 "Key='CHAVE'.");
  }
  EXPECT_EQ(m_log, (std::vector<std::string>{"PRIMEIRO insert 1", "SEGUNDO refuse insert 1",
                                             "PRIMEIRO remove 1"}));
  EXPECT_EQ(m_file.RecordCount(), 0);
  EXPECT_EQ(StoredCount(), 0u);
  // The number was released: the next append takes it.
  m_factory.made[1]->refuse = false;
  EXPECT_EQ(m_file.InsertRecord(a.data()), 1);
}

TEST_F(TableIndexHooksTest, RefusedEditPutsTheOtherIndexesBack) {
  Bytes a = Record('A');
  m_file.InsertRecord(a.data());
  m_log.clear();
  m_factory.made[1]->refuse = true;
  Bytes b(234);
  m_file.LockRecordForEdit(1, b.data());
  b[1] = 'B';
  EXPECT_THROW(m_file.WriteEditedRecord(1, b.data()), EDbfError);
  EXPECT_EQ(m_log, (std::vector<std::string>{"PRIMEIRO update A>B 1", "SEGUNDO refuse update 1",
                                             "PRIMEIRO update B>A 1"}));
  ASSERT_TRUE(m_file.ReadRecord(1, b.data()));
  EXPECT_EQ(b[1], 'A');
}

TEST_F(TableIndexHooksTest, WriteFailuresRollBackCountAndKeys) {
  // An index that fails to write.
  m_factory.made[0]->failWrite = true;
  Bytes a = Record('A');
  try {
    m_file.InsertRecord(a.data());
    ADD_FAILURE();
  } catch (const EDbfWriteError& e) {
    EXPECT_STREQ(e.what(),
                 "Error while writing occurred; indexes probably corrupted. (Disk full?)");
  }
  EXPECT_EQ(m_log, (std::vector<std::string>{"PRIMEIRO insert 1", "PRIMEIRO remove 1"}));
  m_factory.made[0]->failWrite = false;
  m_log.clear();

  // An earlier write of the table that failed is reported by the next append.
  m_file.SetWriteError();
  EXPECT_THROW(m_file.InsertRecord(a.data()), EDbfWriteError);
  EXPECT_EQ(m_log, (std::vector<std::string>{"PRIMEIRO insert 1", "SEGUNDO insert 1",
                                             "PRIMEIRO remove 1", "SEGUNDO remove 1"}));
  EXPECT_EQ(StoredCount(), 0u);
  EXPECT_FALSE(m_file.WriteError());
  EXPECT_EQ(m_file.InsertRecord(a.data()), 1);
  EXPECT_EQ(StoredCount(), 1u);
}

TEST_F(TableIndexHooksTest, AnEditThatCannotBeWrittenIsReportedAndTheKeysGoBack) {
  Bytes a = Record('A');
  m_file.InsertRecord(a.data());
  m_file.CloseTable();
  // Read-only, so the record write fails.
  TDbfFile file;
  file.SetFileName(m_dir / "agencias.age");
  file.SetMode(TPagedFileMode::pfReadOnly);
  file.SetIndexFactory(&m_factory);
  ASSERT_TRUE(file.OpenTable());
  file.AttachIndex("primeiro.ndx", "AGENCIA", true, 0);
  file.AttachIndex("segundo.ndx", "AGENCIA", true, 0);
  m_log.clear();
  Bytes b = Record('A');
  b[1] = 'B';
  try {
    file.WriteEditedRecord(1, b.data());
    ADD_FAILURE() << "a failed write was reported as success";
  } catch (const EDbfWriteError& e) {
    EXPECT_STREQ(e.what(), "Error while writing occurred. (Disk full?)");
  }
  EXPECT_EQ(m_log, (std::vector<std::string>{"PRIMEIRO update A>B 1", "SEGUNDO update A>B 1",
                                             "PRIMEIRO update B>A 1", "SEGUNDO update B>A 1"}));
  EXPECT_FALSE(file.WriteError());
  ASSERT_TRUE(file.ReadRecord(1, b.data()));
  EXPECT_EQ(b[1], 'A');
}

TEST(TableWithoutIndexTest, WritingARecordThatCannotBeWrittenRollsBackTheCount) {
  const std::filesystem::path path =
      std::filesystem::path(::testing::TempDir()) / "vorelia_readonly_append.age";
  {
    TDbfFile create;
    create.SetFileName(path);
    create.SetMode(TPagedFileMode::pfExclusiveCreate);
    create.CreateTableFile(AgencyFieldDefs());
  }
  TDbfFile file;
  file.SetFileName(path);
  file.SetMode(TPagedFileMode::pfReadOnly);
  ASSERT_TRUE(file.OpenTable());
  Bytes record(234, ' ');
  try {
    file.InsertRecord(record.data());
    ADD_FAILURE();
  } catch (const EDbfWriteError& e) {
    EXPECT_STREQ(e.what(), "Error while writing occurred. (Disk full?)");
  }
  EXPECT_EQ(file.RecordCount(), 0);
  file.CloseTable();
  EXPECT_EQ(std::filesystem::file_size(path), 322u);
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace vorelia::dbf
