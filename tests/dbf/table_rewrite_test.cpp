// A pack killed at any step must leave the table's name holding the complete old table or the
// complete new one.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "dbf/agency_schema.h"
#include "dbf/dbf_errors.h"
#include "dbf/dbf_file.h"
#include "support/temp_dir.h"

namespace vorelia::dbf {
namespace {

using Bytes = std::vector<uint8_t>;

class TableRewriteTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    m_table = m_dir / "agencias.age";
  }

  // Five records, 2 and 4 flagged deleted.
  void MakeTable() {
    std::filesystem::remove(m_table);
    TDbfFile file;
    file.SetFileName(m_table);
    file.SetMode(TPagedFileMode::pfExclusiveCreate);
    file.SetLanguageId(0x25);
    file.CreateTableFile(AgencyFieldDefs());
    Bytes record(234);
    for (const char* name : {"um", "dois", "tres", "quatro", "cinco"}) {
      file.FillDefaultRecord(record.data());
      file.WriteFieldValue(0, std::string(name), record.data());
      file.InsertRecord(record.data());
    }
    for (int n : {2, 4}) {
      file.LockRecordForEdit(n, record.data());
      record[0] = '*';
      file.WriteEditedRecord(n, record.data());
    }
  }

  // The records under the table's name, deleted ones starred; empty when it cannot be opened.
  std::vector<std::string> Contents() {
    TDbfFile file;
    file.SetFileName(m_table);
    file.SetMode(TPagedFileMode::pfReadOnly);
    std::vector<std::string> names;
    try {
      if (!file.OpenTable()) return names;
    } catch (const std::exception&) {
      return names;
    }
    Bytes record(234);
    for (int n = 1; n <= file.RecordCount(); ++n) {
      file.ReadRecord(n, record.data());
      const TFieldValue value = file.ReadFieldValue(0, record.data());
      names.push_back((record[0] == '*' ? "*" : "") + std::get<std::string>(value));
    }
    return names;
  }

  std::filesystem::path m_table;
};

TEST_F(TableRewriteTest, CrashAtAnyStepLeavesOldOrNewTable) {
  const std::vector<std::string> before = {"um", "*dois", "tres", "*quatro", "cinco"};
  const std::vector<std::string> after = {"um", "tres", "cinco"};
  const struct {
    const char* step;
    bool expectNew;
  } steps[] = {{"temp-written", false},
               {"temp-flushed", false},
               {"table-replaced", true},
               {"replaced", true}};
  for (const auto& s : steps) {
    SCOPED_TRACE(s.step);
    MakeTable();
    ASSERT_EQ(Contents(), before);
    const pid_t child = fork();
    if (child == 0) {
      TDbfFile file;
      file.SetFileName(m_table);
      file.SetMode(TPagedFileMode::pfExclusiveOpen);
      file.OpenTable();
      file.SetRewriteProbe([&](const char* step) {
        if (std::strcmp(step, s.step) == 0) _exit(0);  // the power goes out here
      });
      file.RewriteTable(nullptr, true);
      _exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Contents(), s.expectNew ? after : before);

    // A leftover temporary file does not stop the next pack.
    TDbfFile file;
    file.SetFileName(m_table);
    file.SetMode(TPagedFileMode::pfExclusiveOpen);
    ASSERT_TRUE(file.OpenTable());
    file.RewriteTable(nullptr, true);
    file.CloseTable();
    EXPECT_EQ(Contents(), after);
    for (const auto& entry : std::filesystem::directory_iterator(m_dir)) {
      std::filesystem::remove(entry.path());
    }
  }
}

// Stands in for a failing disk: the probe throws like a failed write would.
TEST_F(TableRewriteTest, FailureBeforeReplacingKeepsTheOldTableAndRemovesTheTemporary) {
  MakeTable();
  TDbfFile file;
  file.SetFileName(m_table);
  file.SetMode(TPagedFileMode::pfExclusiveOpen);
  ASSERT_TRUE(file.OpenTable());
  file.SetRewriteProbe([](const char* step) {
    if (std::strcmp(step, "temp-written") == 0) throw EDbfWriteError(kMsgWriteError);
  });
  EXPECT_THROW(file.RewriteTable(nullptr, true), EDbfWriteError);
  EXPECT_TRUE(file.Active());
  EXPECT_EQ(file.RecordCount(), 5);
  file.CloseTable();
  EXPECT_FALSE(std::filesystem::exists(m_dir / "agencias_1.age"));
  EXPECT_EQ(Contents().size(), 5u);
}

}  // namespace
}  // namespace vorelia::dbf
