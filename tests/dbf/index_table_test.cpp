#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "dbf/agency_schema.h"
#include "dbf/byte_order.h"
#include "dbf/dbf_errors.h"
#include "dbf/dbf_file.h"
#include "dbf/index_check.h"
#include "dbf/index_factory.h"
#include "support/temp_dir.h"

namespace vorelia::dbf {
namespace {

std::vector<uint8_t> ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The index engine behind a real table file: attaching, upkeep through the table's appends,
// edits and deletions, and a pack that rebuilds the index.
class IndexTableTest : public vorelia::test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    InstallIndexEngine();
    TDbfFile file;
    file.SetFileName(Table());
    file.SetMode(TPagedFileMode::pfExclusiveCreate);
    file.SetLanguageId(0x25);
    file.CreateTableFile(AgencyFieldDefs());
    file.CloseTable();
  }

  std::filesystem::path Table() const { return m_dir / "agencias.age"; }
  std::filesystem::path Mdx() const { return m_dir / "agencias.mdx"; }

  void Open(TDbfFile& file, TPagedFileMode mode) {
    file.SetFileName(Table());
    file.SetMode(mode);
    ASSERT_TRUE(file.OpenTable());
  }

  int32_t Append(TDbfFile& file, const std::string& name) {
    std::vector<uint8_t> record(235);
    file.FillDefaultRecord(record.data());
    file.WriteFieldValue(0, name, record.data());
    return file.InsertRecord(record.data());
  }

  // One agency, "Beta", sorted ascending.
  void SortOneAgency() {
    TDbfFile file;
    Open(file, TPagedFileMode::pfExclusiveOpen);
    Append(file, "Beta");
    file.AttachIndex("AGENCIA", "AGENCIA", true, 0);
  }

  static std::vector<std::string> Walk(TDbfFile& file, const std::string& tag) {
    auto* source = dynamic_cast<TTagCursorSource*>(file.IndexOf(tag));
    EXPECT_NE(source, nullptr);
    if (source == nullptr) return {};
    std::unique_ptr<TVirtualCursor> cursor = source->CreateTagCursor(tag);
    std::vector<std::string> names;
    std::vector<uint8_t> record(234);
    cursor->First();
    while (cursor->Next()) {
      file.ReadRecord(cursor->PhysicalRecNo(), record.data());
      const TFieldValue value = file.ReadFieldValue(0, record.data());
      names.push_back(std::holds_alternative<std::string>(value) ? std::get<std::string>(value)
                                                                 : "");
    }
    return names;
  }
};

TEST_F(IndexTableTest, SortingAnEmptyTableThenAppending) {
  TDbfFile file;
  Open(file, TPagedFileMode::pfExclusiveOpen);
  file.AttachIndex("AGENCIA", "AGENCIA", true, 0);
  EXPECT_EQ(file.IndexNames(), (std::vector<std::string>{"AGENCIA"}));
  file.CloseTable();
  EXPECT_EQ(ReadAll(Mdx()).size(), 5120u);
  EXPECT_EQ(ReadAll(Table())[28], 1);

  Open(file, TPagedFileMode::pfReadWriteOpen);
  ASSERT_NE(file.ProductionIndex(), nullptr);
  for (const char* n : {"TEMPO", "Agencia Sul", "emprego"}) Append(file, n);
  EXPECT_EQ(Walk(file, "AGENCIA"), (std::vector<std::string>{"Agencia Sul", "emprego", "TEMPO"}));
  file.CloseTable();
}

TEST_F(IndexTableTest, EditsDeletionsAndPack) {
  TDbfFile file;
  Open(file, TPagedFileMode::pfExclusiveOpen);
  for (const char* n : {"Delta", "Alfa", "Charlie", "Bravo", "Eco"}) Append(file, n);
  file.AttachIndex("AGENCIA", "AGENCIA", true, ixDescending);
  EXPECT_EQ(Walk(file, "AGENCIA"),
            (std::vector<std::string>{"Eco", "Delta", "Charlie", "Bravo", "Alfa"}));

  std::vector<uint8_t> record(234);
  file.LockRecordForEdit(2, record.data());
  file.WriteFieldValue(0, std::string("Foxtrot"), record.data());
  file.WriteEditedRecord(2, record.data());
  for (int32_t n : {4, 5}) {
    file.LockRecordForEdit(n, record.data());
    record[0] = '*';
    file.NoteRecordDeleted(n, record.data());
    file.WriteEditedRecord(n, record.data());
  }
  // A normal tag keeps the keys of records flagged deleted.
  EXPECT_EQ(Walk(file, "AGENCIA"),
            (std::vector<std::string>{"Foxtrot", "Eco", "Delta", "Charlie", "Bravo"}));

  file.RewriteTable(nullptr, true);
  ASSERT_NE(file.ProductionIndex(), nullptr);
  EXPECT_EQ(Walk(file, "AGENCIA"), (std::vector<std::string>{"Foxtrot", "Delta", "Charlie"}));
  auto* index = dynamic_cast<TIndexFile*>(file.ProductionIndex());
  ASSERT_NE(index, nullptr);
  EXPECT_EQ(index->TagFacts(0).keyFlags, 0x18);
  file.CloseTable();
  const std::vector<uint8_t> mdx = ReadAll(Mdx());
  EXPECT_EQ(mdx[544 + 15], 0x00);  // recreated by the rewrite with ixExpression
  // The header names the table, not the temporary file it was rebuilt beside.
  EXPECT_EQ(std::string(mdx.begin() + 4, mdx.begin() + 19),
            std::string("agencias") + std::string(7, '\0'));
}

TEST_F(IndexTableTest, DistinctTagTurnsDuplicatesIntoErrors) {
  TDbfFile file;
  Open(file, TPagedFileMode::pfExclusiveOpen);
  Append(file, "TEMPO");
  file.AttachIndex("AGENCIA", "AGENCIA", true, ixPrimary);
  try {
    Append(file, "TEMPO");
    FAIL();
  } catch (const EDbfError& e) {
    EXPECT_STREQ(
        e.what(),
        "Key violation. (Key already present in file).\r\nIndex: AGENCIA\r\nRecord=1 Key='TEMPO'.");
  }
  EXPECT_EQ(file.RecordCount(), 1);
  EXPECT_EQ(Append(file, "Outra"), 2);
  EXPECT_EQ(Walk(file, "AGENCIA"), (std::vector<std::string>{"Outra", "TEMPO"}));
}

TEST_F(IndexTableTest, FailedTagCreationLeavesNoIndexFile) {
  TDbfFile file;
  Open(file, TPagedFileMode::pfExclusiveOpen);
  EXPECT_THROW(file.AttachIndex("NOME", "NOME", true, 0), EVoreliaError);
  EXPECT_TRUE(file.IndexNames().empty());
  EXPECT_FALSE(std::filesystem::exists(Mdx()));
}

TEST_F(IndexTableTest, AnotherOpenSeesAppendsAtItsNextWalk) {
  SortOneAgency();
  TDbfFile walker;
  TDbfFile writer;
  Open(walker, TPagedFileMode::pfReadWriteOpen);
  Open(writer, TPagedFileMode::pfReadWriteOpen);
  EXPECT_EQ(Walk(walker, "AGENCIA"), (std::vector<std::string>{"Beta"}));
  for (int i = 0; i < 40; ++i) Append(writer, "Nome " + std::to_string(100 + i));
  Append(writer, "Alfa");
  const std::vector<std::string> names = Walk(walker, "AGENCIA");
  ASSERT_EQ(names.size(), 42u);
  EXPECT_EQ(names.front(), "Alfa");
  EXPECT_EQ(names[1], "Beta");
  auto* index = dynamic_cast<TIndexFile*>(walker.ProductionIndex());
  ASSERT_NE(index, nullptr);
  EXPECT_TRUE(CheckIndexTag(*index, 0).Sound());
}

TEST_F(IndexTableTest, AnotherProcessAppendsWhileWeWalk) {
  SortOneAgency();
  TDbfFile walker;
  Open(walker, TPagedFileMode::pfReadWriteOpen);
  EXPECT_EQ(Walk(walker, "AGENCIA"), (std::vector<std::string>{"Beta"}));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    int status = 0;
    try {
      TDbfFile writer;
      writer.SetFileName(Table());
      writer.SetMode(TPagedFileMode::pfReadWriteOpen);
      if (!writer.OpenTable()) status = 2;
      for (int i = 0; i < 40 && status == 0; ++i) Append(writer, "Nome " + std::to_string(100 + i));
      if (status == 0) Append(writer, "Alfa");
      writer.CloseTable();
    } catch (...) {
      status = 3;
    }
    _exit(status);
  }
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  const std::vector<std::string> names = Walk(walker, "AGENCIA");
  ASSERT_EQ(names.size(), 42u);
  EXPECT_EQ(names.front(), "Alfa");
  EXPECT_EQ(names.back(), "Nome 139");
}

}  // namespace
}  // namespace vorelia::dbf
