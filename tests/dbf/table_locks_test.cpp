// Record and header locks between processes: each test forks children that open the same table.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>

#include "dbf/agency_schema.h"
#include "dbf/dbf_errors.h"
#include "dbf/dbf_file.h"
#include "support/temp_dir.h"

namespace vorelia::dbf {
namespace {

using Bytes = std::vector<uint8_t>;

// A one-way signal between processes.
class Pipe {
 public:
  Pipe() { EXPECT_EQ(pipe(m_fds), 0); }
  ~Pipe() {
    close(m_fds[0]);
    close(m_fds[1]);
  }
  void Signal() { EXPECT_EQ(write(m_fds[1], "x", 1), 1); }
  bool Wait() {
    char c;
    return read(m_fds[0], &c, 1) == 1;
  }

 private:
  int m_fds[2] = {-1, -1};
};

int WaitChild(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

class TableLocksTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    m_table = m_dir / "agencias.age";
    TDbfFile file;
    file.SetFileName(m_table);
    file.SetMode(TPagedFileMode::pfExclusiveCreate);
    file.SetLanguageId(0x25);
    file.CreateTableFile(AgencyFieldDefs());
  }

  // Shared read-write, as the program opens its tables; false when the open was abandoned.
  bool OpenShared(TDbfFile& file) {
    file.SetFileName(m_table);
    file.SetMode(TPagedFileMode::pfReadWriteOpen);
    return file.OpenTable();
  }
  void Open(TDbfFile& file) { ASSERT_TRUE(OpenShared(file)); }

  static int32_t AppendNamed(TDbfFile& file, const std::string& name) {
    Bytes record(234);
    file.FillDefaultRecord(record.data());
    file.WriteFieldValue(0, name, record.data());
    return file.InsertRecord(record.data());
  }

  std::filesystem::path m_table;
};

TEST_F(TableLocksTest, RecordLockedElsewhereFailsAtOnce) {
  {
    TDbfFile file;
    Open(file);
    AppendNamed(file, "um");
    AppendNamed(file, "dois");
  }
  Pipe locked;
  Pipe release;
  const pid_t child = fork();
  if (child == 0) {
    TDbfFile file;
    Bytes record(234);
    OpenShared(file);
    file.LockRecordForEdit(1, record.data());
    locked.Signal();
    release.Wait();
    _exit(0);
  }
  ASSERT_TRUE(locked.Wait());
  TDbfFile file;
  Open(file);
  Bytes record(234);
  try {
    file.LockRecordForEdit(1, record.data());
    ADD_FAILURE() << "record 1 was not locked";
  } catch (const EDbfError& e) {
    EXPECT_STREQ(e.what(), "Record locked.");
  }
  file.LockRecordForEdit(2, record.data());  // other records stay free
  file.WriteEditedRecord(2, record.data());
  release.Signal();
  EXPECT_EQ(WaitChild(child), 0);
  file.LockRecordForEdit(1, record.data());  // the lock went with the process
  file.UnlockRecord(1);
}

TEST_F(TableLocksTest, AppendSkipsANumberLockedElsewhere) {
  {
    TDbfFile file;
    Open(file);
    AppendNamed(file, "um");
  }
  Pipe locked;
  Pipe release;
  const pid_t child = fork();
  if (child == 0) {
    TDbfFile file;
    OpenShared(file);
    file.PageLock(2, false);  // another process is placing record 2
    locked.Signal();
    release.Wait();
    _exit(0);
  }
  ASSERT_TRUE(locked.Wait());
  TDbfFile file;
  Open(file);
  EXPECT_EQ(AppendNamed(file, "tres"), 3);
  release.Signal();
  EXPECT_EQ(WaitChild(child), 0);
  file.CloseTable();

  std::ifstream in(m_table, std::ios::binary);
  const Bytes b((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(b[4], 3);
  ASSERT_EQ(b.size(), 321u + 3 * 234);  // the new record covers the end mark
  EXPECT_EQ(b[321 + 2 * 234], ' ');
  EXPECT_EQ(std::string(b.begin() + 321 + 2 * 234 + 1, b.begin() + 321 + 2 * 234 + 5), "tres");
}

TEST_F(TableLocksTest, AnAppendTakesASlotLeftUnfilled) {
  {
    TDbfFile file;
    Open(file);
    AppendNamed(file, "um");
    AppendNamed(file, "dois");
  }
  // Opened while two records exist, so its next try is number 3.
  TDbfFile late;
  Open(late);
  ASSERT_EQ(late.RecordCount(), 2);
  {
    // Number 3 is held for a moment, so another append takes 4; then 3 is let go unfilled.
    TDbfFile holder;
    Open(holder);
    ASSERT_TRUE(holder.PageLock(3, false));
    TDbfFile other;
    Open(other);
    EXPECT_EQ(AppendNamed(other, "quatro"), 4);
    holder.PageUnlock(3);
  }
  EXPECT_EQ(AppendNamed(late, "tres"), 3);
  EXPECT_EQ(late.RecordCount(), 4);
  Bytes record(234);
  ASSERT_TRUE(late.ReadRecord(3, record.data()));
  EXPECT_EQ(record[0], ' ');
  EXPECT_EQ(std::string(record.begin() + 1, record.begin() + 5), "tres");
  ASSERT_TRUE(late.ReadRecord(4, record.data()));
  EXPECT_EQ(std::string(record.begin() + 1, record.begin() + 7), "quatro");
  // A slot holding a record is never taken.
  EXPECT_EQ(AppendNamed(late, "cinco"), 5);
}

TEST_F(TableLocksTest, ConcurrentAppendsGetDistinctNumbers) {
  constexpr int kPerProcess = 150;
  constexpr int kProcesses = 3;
  std::vector<pid_t> children;
  Pipe start;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t child = fork();
    if (child == 0) {
      start.Wait();
      TDbfFile file;
      if (!OpenShared(file)) _exit(3);
      std::set<int32_t> mine;
      for (int i = 0; i < kPerProcess; ++i) {
        const int32_t n = AppendNamed(file, "P" + std::to_string(p) + "-" + std::to_string(i));
        if (!mine.insert(n).second) _exit(4);
      }
      _exit(0);
    }
    children.push_back(child);
  }
  for (int p = 0; p < kProcesses; ++p) start.Signal();
  for (pid_t child : children) EXPECT_EQ(WaitChild(child), 0);

  TDbfFile file;
  Open(file);
  // Every record written is there exactly once, with no unused slot between them.
  ASSERT_EQ(file.RecordCount(), kPerProcess * kProcesses);
  std::set<std::string> names;
  Bytes record(234);
  for (int n = 1; n <= file.RecordCount(); ++n) {
    ASSERT_TRUE(file.ReadRecord(n, record.data()));
    EXPECT_EQ(record[0], ' ') << "record " << n;
    const TFieldValue value = file.ReadFieldValue(0, record.data());
    ASSERT_TRUE(std::holds_alternative<std::string>(value)) << "record " << n;
    names.insert(std::get<std::string>(value));
  }
  EXPECT_EQ(names.size(), static_cast<size_t>(kPerProcess * kProcesses));
  EXPECT_TRUE(names.count("P0-0") && names.count("P2-149"));
  const int count = file.RecordCount();
  file.CloseTable();
  std::ifstream in(m_table, std::ios::binary);
  const Bytes b((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(b[4] | (b[5] << 8), count);  // the header agrees with the slots placed
}

TEST_F(TableLocksTest, ExclusiveOpensShutOutSharedOnes) {
  TDbfFile shared;
  Open(shared);
  TDbfFile exclusive;
  exclusive.SetFileName(m_table);
  exclusive.SetMode(TPagedFileMode::pfExclusiveOpen);
  EXPECT_THROW(exclusive.OpenTable(), platform::EFileOpenError);

  // Holding a shared file exclusively fails quietly while someone else has it open...
  TDbfFile second;
  Open(second);
  shared.HoldExclusive();
  EXPECT_TRUE(shared.Active());
  EXPECT_TRUE(shared.IsSharedAccess());
  // ...and works once it is alone.
  second.CloseTable();
  shared.HoldExclusive();
  EXPECT_FALSE(shared.IsSharedAccess());
  TDbfFile third;
  third.SetFileName(m_table);
  third.SetMode(TPagedFileMode::pfReadOnly);
  EXPECT_THROW(third.OpenTable(), platform::EFileOpenError);
  shared.ReleaseExclusive();
  EXPECT_TRUE(shared.IsSharedAccess());
  EXPECT_TRUE(third.OpenTable());
}

}  // namespace
}  // namespace vorelia::dbf
