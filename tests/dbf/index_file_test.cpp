#include "dbf/index_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "dbf/byte_order.h"
#include "dbf/dbf_errors.h"
#include "dbf/expression_support.h"
#include "dbf/index_check.h"
#include "dbf/index_test_table.h"
#include "support/temp_dir.h"

namespace vorelia::dbf {
namespace {

using test::TMemoryTable;

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string Trimmed(const uint8_t* key, size_t length) {
  std::string s(reinterpret_cast<const char*>(key), length);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

class IndexFileTest : public vorelia::test::TempDirTest {
 protected:
  std::filesystem::path MdxPath() const { return m_dir / "agencias.mdx"; }

  std::unique_ptr<TIndexFile> CreateIndex(TIndexOptions options = 0) {
    auto index = std::make_unique<TIndexFile>(m_table, MdxPath());
    index->Open(TPagedFileMode::pfExclusiveCreate);
    index->CreateTag("AGENCIA", "AGENCIA", options);
    index->BuildTag("AGENCIA");
    return index;
  }

  std::unique_ptr<TIndexFile> Reopen(TPagedFileMode mode = TPagedFileMode::pfExclusiveOpen) {
    auto index = std::make_unique<TIndexFile>(m_table, MdxPath());
    EXPECT_TRUE(index->Open(mode));
    return index;
  }

  int32_t Append(TIndexFile& index, const std::string& name) {
    const int32_t r = m_table.Append(name);
    EXPECT_TRUE(index.InsertKeys(r, m_table.Bytes(r)));
    return r;
  }

  static std::vector<int32_t> Walk(TIndexFile& index) {
    std::vector<int32_t> order;
    index.First();
    while (index.Next()) order.push_back(index.PhysicalRecNo());
    return order;
  }

  std::vector<std::string> Names(TIndexFile& index) {
    std::vector<std::string> names;
    for (int32_t r : Walk(index)) names.push_back(Trimmed(m_table.Bytes(r) + 1, 25));
    return names;
  }

  TMemoryTable m_table;
};

TEST_F(IndexFileTest, NewFileAndFirstTagSizes) {
  {
    TIndexFile index(m_table, MdxPath());
    ASSERT_TRUE(index.Open(TPagedFileMode::pfExclusiveCreate));
    index.Close();
  }
  std::vector<uint8_t> bytes = ReadFile(MdxPath());
  ASSERT_EQ(bytes.size(), 2048u);
  EXPECT_EQ(bytes[0], 2);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[4])), "agencias");
  EXPECT_EQ(GetLe16(&bytes[20]), 2);
  EXPECT_EQ(GetLe16(&bytes[22]), 1024);
  EXPECT_EQ(bytes[24], 1);
  EXPECT_EQ(bytes[25], 48);
  EXPECT_EQ(bytes[26], 32);
  EXPECT_EQ(GetLe16(&bytes[28]), 0);
  EXPECT_EQ(bytes[31], 0x25);
  EXPECT_EQ(GetLe32(&bytes[32]), 4u);
  EXPECT_EQ(bytes[529], 1);
  EXPECT_EQ(bytes[1], bytes[44]);
  EXPECT_EQ(bytes[2], bytes[45]);

  CreateIndex()->Close();
  bytes = ReadFile(MdxPath());
  ASSERT_EQ(bytes.size(), 5120u);
  EXPECT_EQ(GetLe32(&bytes[32]), 10u);
  EXPECT_EQ(GetLe16(&bytes[28]), 1);
  // Tag entry 0 at 544.
  EXPECT_EQ(GetLe32(&bytes[544]), 4u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[548])), "AGENCIA");
  EXPECT_EQ(bytes[559], 0x10);
  EXPECT_EQ(bytes[563], 2);
  EXPECT_EQ(bytes[564], 'C');
  // The tag header at page 4: the agency tag's values.
  const uint8_t* th = &bytes[2048];
  EXPECT_EQ(GetLe32(th), 8u);
  EXPECT_EQ(GetLe32(th + 4), 6u);
  EXPECT_EQ(th[8], 0x10);
  EXPECT_EQ(th[9], 'C');
  EXPECT_EQ(GetLe16(th + 12), 25);
  EXPECT_EQ(GetLe16(th + 14), 31);
  EXPECT_EQ(GetLe16(th + 18), 32);
  EXPECT_EQ(GetLe16(th + 20), 2);
  EXPECT_EQ(th[23], 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(th + 24)), "AGENCIA");
  EXPECT_EQ(th[246], 1);
  // The root at page 8 is an empty leaf.
  EXPECT_EQ(GetLe32(&bytes[8 * 512]), 0u);
}

TEST_F(IndexFileTest, DescendingUniqueAndDistinctHeaders) {
  auto index = CreateIndex(ixDescending);
  EXPECT_EQ(index->TagFacts(0).keyFlags, 0x18);
  index->CreateTag("AGENCIA", "UNICO", ixUnique);
  index->CreateTag("UPPER(AGENCIA)", "DISTINTO", ixPrimary | ixExpression);
  index->CreateTag("AGENCIA+UF", "DUPLA", 0);
  index->Close();
  const std::vector<uint8_t> bytes = ReadFile(MdxPath());
  EXPECT_EQ(GetLe16(&bytes[28]), 4);
  auto header = [&](int slot) { return &bytes[GetLe32(&bytes[544 + 32 * slot]) * 512]; };
  EXPECT_EQ(header(1)[8], 0x50);
  EXPECT_EQ(header(1)[23], 1);
  EXPECT_EQ(header(2)[8], 0x70);
  EXPECT_EQ(header(2)[23], 0x21);
  EXPECT_EQ(bytes[544 + 64 + 15], 0x00);  // created with ixExpression
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(header(2) + 24)), "UPPER(AGENCIA)");
  EXPECT_EQ(GetLe16(header(3) + 12), 27);
  EXPECT_EQ(GetLe16(header(3) + 18), 32);

  auto again = Reopen();
  ASSERT_EQ(again->TagNames(), (std::vector<std::string>{"AGENCIA", "UNICO", "DISTINTO", "DUPLA"}));
  const std::vector<TIndexTagInfo> tags = again->Tags();
  EXPECT_EQ(tags[0].options, ixDescending);
  EXPECT_EQ(tags[1].options, ixUnique);
  EXPECT_EQ(tags[2].options, ixPrimary);
  EXPECT_EQ(tags[2].expression, "UPPER(AGENCIA)");
}

TEST_F(IndexFileTest, OneLeafOf31ThenSplitOnThe32nd) {
  struct Case {
    std::string key32;
    int left;
    int right;
  };
  // Keys B00 ... B30; the 32nd goes at the end, in the middle (position 15) or first.
  for (const Case& c : {Case{"B99", 16, 16}, Case{"B14X", 15, 17}, Case{"A", 16, 16}}) {
    SCOPED_TRACE(c.key32);
    m_table.records.clear();
    auto index = CreateIndex();
    for (int i = 0; i < 31; ++i) Append(*index, "B" + std::string(i < 10 ? "0" : "") + std::to_string(i));
    int32_t root = index->TagFacts(0).rootPage;
    EXPECT_EQ(GetLe32(index->ReadBlock(0, root).data()), 31u);
    EXPECT_EQ(index->SequentialRecordCount(), 31);

    Append(*index, c.key32);
    root = index->TagFacts(0).rootPage;
    const std::vector<uint8_t> rootBlock = index->ReadBlock(0, root);
    const TIndexPage rootPage(index->Geometry(0), const_cast<uint8_t*>(rootBlock.data()));
    ASSERT_TRUE(rootPage.IsInner());
    EXPECT_EQ(rootPage.KeyCount(), 1);
    const std::vector<uint8_t> left = index->ReadBlock(0, rootPage.Child(0));
    const std::vector<uint8_t> right = index->ReadBlock(0, rootPage.Child(1));
    EXPECT_EQ(static_cast<int>(GetLe32(left.data())), c.left);
    EXPECT_EQ(static_cast<int>(GetLe32(right.data())), c.right);
    // The root's key is the left leaf's highest key.
    const TIndexPage leftPage(index->Geometry(0), const_cast<uint8_t*>(left.data()));
    EXPECT_EQ(std::memcmp(rootPage.Key(0), leftPage.Key(c.left - 1), 25), 0);
    EXPECT_EQ(index->SequentialRecordCount(), 62);
    EXPECT_EQ(Walk(*index).size(), 32u);
    EXPECT_TRUE(CheckIndexTag(*index, 0, &m_table).Sound());
    index->Close();
  }
}

TEST_F(IndexFileTest, EqualNamesKeepInsertionOrder) {
  for (TIndexOptions options : {TIndexOptions{0}, TIndexOptions{ixDescending}}) {
    SCOPED_TRACE(options);
    m_table.records.clear();
    const char* names[] = {"Delta", "Alfa", "Igual", "Zulu", "Beta", "Gama", "Igual", "Eco"};
    for (const char* n : names) m_table.Append(n);
    auto index = CreateIndex(options);  // built from the table: records 1 ... 8
    EXPECT_EQ(Append(*index, "Igual"), 9);
    std::vector<int32_t> equal;
    for (int32_t r : Walk(*index)) {
      if (Trimmed(m_table.Bytes(r) + 1, 25) == "Igual") equal.push_back(r);
    }
    EXPECT_EQ(equal, (std::vector<int32_t>{3, 7, 9}));
    const std::vector<std::string> expected =
        options ? std::vector<std::string>{"Zulu", "Igual", "Igual", "Igual", "Gama", "Eco", "Delta",
                                           "Beta", "Alfa"}
                : std::vector<std::string>{"Alfa", "Beta", "Delta", "Eco", "Gama", "Igual", "Igual",
                                           "Igual", "Zulu"};
    EXPECT_EQ(Names(*index), expected);
  }
}

TEST_F(IndexFileTest, PortugueseOrderInTheTree) {
  // Code page 850 bytes: 0xB5 is Á, 0x80 is Ç.
  for (const char* n : {"banco", "\xB5gua", "Cia", "agora", "\x80\x65u", "Ana", "Bar"}) m_table.Append(n);
  auto index = CreateIndex();
  EXPECT_EQ(Names(*index), (std::vector<std::string>{"Ana", "\xB5gua", "agora", "Bar", "banco", "Cia",
                                                     "\x80\x65u"}));
}

TEST_F(IndexFileTest, EditsMoveOnlyChangedKeys) {
  for (const char* n : {"Alfa", "Beta", "Gama"}) m_table.Append(n);
  auto index = CreateIndex();
  index->Flush();
  const std::vector<uint8_t> before = ReadFile(MdxPath());

  // Same name, new address: nothing in the index changes.
  const std::string edited = m_table.MakeRecord("Beta", "Rua Nova 1");
  EXPECT_TRUE(index->UpdateKeys(2, m_table.Bytes(2), reinterpret_cast<const uint8_t*>(edited.data())));
  m_table.records[1] = edited;
  index->Flush();
  EXPECT_EQ(ReadFile(MdxPath()), before);

  const std::string renamed = m_table.MakeRecord("Zeta");
  EXPECT_TRUE(index->UpdateKeys(2, m_table.Bytes(2), reinterpret_cast<const uint8_t*>(renamed.data())));
  m_table.records[1] = renamed;
  EXPECT_EQ(Walk(*index), (std::vector<int32_t>{1, 3, 2}));
  EXPECT_TRUE(CheckIndexTag(*index, 0, &m_table).Sound());
}

TEST_F(IndexFileTest, UniqueDistinctAndDeletedRecords) {
  m_table.Append("TEMPO");
  auto index = CreateIndex();
  index->CreateTag("AGENCIA", "UNICO", ixUnique);
  index->BuildTag("UNICO");
  index->CreateTag("AGENCIA", "DISTINTO", ixPrimary);
  index->BuildTag("DISTINTO");

  // A unique tag skips the duplicate and succeeds; a distinct one refuses, and the key leaves
  // the tags already done.
  const int32_t r = m_table.Append("TEMPO");
  EXPECT_FALSE(index->InsertKeys(r, m_table.Bytes(r)));
  EXPECT_EQ(index->KeyViolation(),
            "Key violation. (Key already present in file).\r\nIndex: DISTINTO\r\nRecord=1 Key='TEMPO'.");
  m_table.records.pop_back();
  for (int t = 0; t < 3; ++t) {
    index->SelectTag(index->TagNames()[t]);
    EXPECT_EQ(Walk(*index), (std::vector<int32_t>{1}));
  }

  // Flagging deleted: only the distinct tag drops the key.
  m_table.records[0][0] = '*';
  index->RecordFlaggedDeleted(1, m_table.Bytes(1));
  index->SelectTag("agencia");
  EXPECT_EQ(Walk(*index), (std::vector<int32_t>{1}));
  index->SelectTag("DISTINTO");
  EXPECT_TRUE(Walk(*index).empty());
  for (int t = 0; t < 3; ++t) EXPECT_TRUE(CheckIndexTag(*index, t, &m_table).Sound()) << t;
}

TEST_F(IndexFileTest, TagCreationRules) {
  auto index = CreateIndex();
  for (int i = 2; i <= 47; ++i) index->CreateTag("AGENCIA", "T" + std::to_string(i), 0);
  EXPECT_EQ(index->TagCount(), 47);
  try {
    index->CreateTag("AGENCIA", "T48", 0);
    FAIL();
  } catch (const EDbfError& e) {
    EXPECT_STREQ(e.what(), "Can not create index: too many indexes in file.");
  }
  index->DeleteTag("T2");
  EXPECT_EQ(index->TagCount(), 46);
  EXPECT_EQ(index->TagNames()[1], "T3");
  index->Close();
  const std::vector<uint8_t> bytes = ReadFile(MdxPath());
  EXPECT_EQ(GetLe16(&bytes[28]), 46);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[544 + 32 + 4])), "T3");
  EXPECT_EQ(GetLe32(&bytes[544 + 32 * 46]), 0u);

  TMemoryTable withLogical(true);
  TIndexFile other(withLogical, m_dir / "outra.mdx");
  other.Open(TPagedFileMode::pfExclusiveCreate);
  try {
    other.CreateTag("ATIVO", "ATIVO", 0);
    FAIL();
  } catch (const EDbfError& e) {
    EXPECT_STREQ(e.what(), "Invalid index type: can only be string or float.");
  }
  try {
    other.CreateTag("NOME", "NOME", 0);
    FAIL();
  } catch (const EParserException& e) {
    EXPECT_STREQ(e.what(), "Index based on unknown field \"NOME\".");
  }
  withLogical.exclusive = false;
  try {
    other.CreateTag("AGENCIA", "AGENCIA", 0);
    FAIL();
  } catch (const EDbfError& e) {
    EXPECT_STREQ(e.what(), "Exclusive access is required for this operation.");
  }
}

TEST_F(IndexFileTest, ReopenedFileWalksTheSameAndClearsAll) {
  for (int i = 0; i < 100; ++i) m_table.Append("Agencia " + std::to_string((i * 37) % 100));
  CreateIndex(ixDescending)->Close();
  auto index = Reopen();
  const std::vector<int32_t> order = Walk(*index);
  ASSERT_EQ(order.size(), 100u);
  EXPECT_EQ(Trimmed(m_table.Bytes(order.front()) + 1, 25), "Agencia 99");
  EXPECT_EQ(Trimmed(m_table.Bytes(order.back()) + 1, 25), "Agencia 0");
  EXPECT_TRUE(CheckIndexTag(*index, 0, &m_table).Sound());
  // Backwards too.
  index->Last();
  std::vector<int32_t> backwards;
  while (index->Prior()) backwards.insert(backwards.begin(), index->PhysicalRecNo());
  EXPECT_EQ(backwards, order);

  m_table.records.clear();
  index->ClearAllTags();
  EXPECT_TRUE(Walk(*index).empty());
  EXPECT_EQ(index->FilePageCount(), 8);  // tag header at 4, empty root at 6
  index->Close();
  EXPECT_EQ(ReadFile(MdxPath()).size(), 4096u);
}

TEST_F(IndexFileTest, ClearingAllTagsPlacesTheHeadersBeforeTheRoots) {
  for (int i = 0; i < 40; ++i) m_table.Append("Agencia " + std::to_string(i));
  auto index = CreateIndex();
  index->CreateTag("AGENCIA", "OUTRA", ixDescending);
  index->BuildTag("OUTRA");
  m_table.records.clear();
  index->ClearAllTags();
  EXPECT_EQ(index->FilePageCount(), 12);
  EXPECT_EQ(index->TagFacts(0).headerPage, 4);
  EXPECT_EQ(index->TagFacts(1).headerPage, 6);
  EXPECT_EQ(index->TagFacts(0).rootPage, 8);
  EXPECT_EQ(index->TagFacts(1).rootPage, 10);
  index->Close();
  auto again = Reopen();
  EXPECT_TRUE(Walk(*again).empty());
  Append(*again, "Agencia Nova");
  again->SelectTag("OUTRA");
  EXPECT_EQ(Names(*again), (std::vector<std::string>{"Agencia Nova"}));
  EXPECT_TRUE(CheckIndexTag(*again, 1, &m_table).Sound());
}

TEST_F(IndexFileTest, CursorPositions) {
  for (int i = 0; i < 80; ++i) m_table.Append("N" + std::to_string(1000 + i));
  auto index = CreateIndex();
  // Keys added in order leave 16 in each split leaf: five leaves under the root, and the count
  // is the estimate 31 x children.
  EXPECT_EQ(index->SequentialRecordCount(), 31 * 5);
  index->First();
  EXPECT_EQ(index->SequentialRecNo(), 0);
  EXPECT_EQ(index->PhysicalRecNo(), -1);
  int32_t previous = 0;
  while (index->Next()) {
    EXPECT_GT(index->SequentialRecNo(), previous);
    previous = index->SequentialRecNo();
  }
  EXPECT_EQ(index->SequentialRecNo(), 2147483647);
  EXPECT_TRUE(index->SetPhysicalRecNo(40));
  EXPECT_EQ(index->PhysicalRecNo(), 40);
  ASSERT_TRUE(index->Next());
  EXPECT_EQ(index->PhysicalRecNo(), 41);
  const int32_t s = index->SequentialRecNo();
  index->First();
  index->SetSequentialRecNo(s);
  EXPECT_EQ(index->PhysicalRecNo(), 41);
  index->SetSequentialRecNo(1);
  EXPECT_EQ(index->PhysicalRecNo(), 1);
  EXPECT_FALSE(index->SetPhysicalRecNo(81));

  // The cursor keeps its entry while keys come and go around it.
  ASSERT_TRUE(index->SetPhysicalRecNo(40));
  Append(*index, "N1000a");
  EXPECT_EQ(index->PhysicalRecNo(), 40);
  index->RemoveKeys(41, m_table.Bytes(41));
  ASSERT_TRUE(index->Next());
  EXPECT_EQ(index->PhysicalRecNo(), 42);
  ASSERT_TRUE(index->Prior());
  EXPECT_EQ(index->PhysicalRecNo(), 40);
  // Its own entry removed: it goes on from where the entry was.
  index->RemoveKeys(40, m_table.Bytes(40));
  ASSERT_TRUE(index->Next());
  EXPECT_EQ(index->PhysicalRecNo(), 42);
}

TEST_F(IndexFileTest, KeyLengthRepairAndDamagedFiles) {
  for (int i = 0; i < 40; ++i) m_table.Append("X" + std::to_string(i));
  CreateIndex()->Close();
  const std::vector<uint8_t> good = ReadFile(MdxPath());
  const size_t th = 2048;
  const uint32_t root = GetLe32(&good[th]);

  auto opens = [&](std::vector<uint8_t> bytes) -> std::string {
    WriteFile(MdxPath(), bytes);
    try {
      TIndexFile index(m_table, MdxPath());
      index.Open(TPagedFileMode::pfExclusiveOpen);
      Walk(index);
      const TIndexCheckReport report = CheckIndexTag(index, 0, &m_table);
      return report.Sound() ? "ok" : report.problems.front();
    } catch (const EDbfError& e) {
      return std::string("error: ") + e.what();
    }
  };
  EXPECT_EQ(opens(good), "ok");

  // A key length above 100 with a maximum that cannot fit: taken as 100 (entry 104, 9 keys).
  std::vector<uint8_t> bytes = good;
  PutLe16(&bytes[th + 12], 120);
  PutLe16(&bytes[th + 18], 124);
  {
    WriteFile(MdxPath(), bytes);
    TIndexFile index(m_table, MdxPath());
    index.Open(TPagedFileMode::pfExclusiveOpen);
    EXPECT_EQ(index.TagFacts(0).keyLength, 100);
    EXPECT_EQ(index.TagFacts(0).entryLength, 104);
    EXPECT_EQ(index.TagFacts(0).maxKeys, 9);
  }
  // Without the repair condition a key length above 100 is refused.
  bytes = good;
  PutLe16(&bytes[th + 12], 101);
  EXPECT_NE(opens(bytes).find("error: "), std::string::npos);

  bytes = good;
  PutLe16(&bytes[28], 48);
  EXPECT_NE(opens(bytes).find("more than 47 tags"), std::string::npos);

  bytes = good;
  PutLe32(&bytes[th], 4000);  // root beyond the page count
  EXPECT_NE(opens(bytes).find("out of range"), std::string::npos);

  bytes = good;
  PutLe32(&bytes[root * 512 + 8], root);  // the root's first child is the root itself
  EXPECT_NE(opens(bytes).find("error: "), std::string::npos);

  bytes = good;
  PutLe32(&bytes[root * 512], 40);  // more keys than a block holds
  EXPECT_NE(opens(bytes).find("too many keys"), std::string::npos);

  bytes = good;
  bytes.resize(bytes.size() - 700);  // the last block cut short
  EXPECT_NE(opens(bytes).find("error: "), std::string::npos);

  bytes = good;
  bytes.resize(1000);
  EXPECT_NE(opens(bytes).find("truncated"), std::string::npos);
  // An empty file is refused, not written to.
  EXPECT_NE(opens({}).find("truncated"), std::string::npos);
  EXPECT_EQ(ReadFile(MdxPath()).size(), 0u);

  // A leaf key changed behind the index's back: the check finds it.
  bytes = good;
  const uint32_t leaf = GetLe32(&good[root * 512 + 8]);
  bytes[leaf * 512 + 8 + 4] = 'Z';
  EXPECT_NE(opens(bytes), "ok");
}

TEST_F(IndexFileTest, LocaleCheck) {
  m_table.Append("Alfa");
  m_table.Append("beta");
  CreateIndex()->Close();
  std::vector<uint8_t> bytes = ReadFile(MdxPath());
  bytes[31] = 0x37;
  WriteFile(MdxPath(), bytes);

  std::vector<TLocaleError> seen;
  auto handler = [&](TLocaleSolution chosen) {
    return [&seen, chosen](TLocaleError error, TLocaleSolution& solution) {
      seen.push_back(error);
      EXPECT_EQ(solution, TLocaleSolution::lsNotOpen);
      solution = chosen;
    };
  };
  {
    TIndexFile index(m_table, MdxPath());
    EXPECT_FALSE(index.Open(TPagedFileMode::pfExclusiveOpen, handler(TLocaleSolution::lsNotOpen)));
  }
  EXPECT_EQ(seen, (std::vector<TLocaleError>{TLocaleError::leTableIndexMismatch}));
  {
    TIndexFile index(m_table, MdxPath());
    ASSERT_TRUE(index.Open(TPagedFileMode::pfExclusiveOpen, handler(TLocaleSolution::lsNoEdit)));
    EXPECT_FALSE(index.CanUpdate());
    const int32_t r = m_table.Append("Gama");
    EXPECT_TRUE(index.InsertKeys(r, m_table.Bytes(r)));
    EXPECT_EQ(Walk(index).size(), 2u);
    m_table.records.pop_back();
  }
  {
    TIndexFile index(m_table, MdxPath());
    ASSERT_TRUE(index.Open(TPagedFileMode::pfExclusiveOpen, handler(TLocaleSolution::lsBinary)));
    const int32_t r = m_table.Append("Zeta");
    EXPECT_TRUE(index.InsertKeys(r, m_table.Bytes(r)));
    // Binary order puts "Zeta" before "beta".
    EXPECT_EQ(Names(index), (std::vector<std::string>{"Alfa", "Zeta", "beta"}));
  }
  // A table without a language id takes the index's own.
  m_table.languageId = 0;
  TIndexFile index(m_table, MdxPath());
  EXPECT_TRUE(index.Open(TPagedFileMode::pfExclusiveOpen));
  EXPECT_EQ(index.Comparator(0).weights, CollationForLanguageId(0x37).weights);
}

TEST_F(IndexFileTest, NumericKeys) {
  uint8_t key[12];
  EncodeDecimalKey(1, key);
  EXPECT_EQ(key[0], 53);
  EXPECT_EQ(key[1], 9);
  EXPECT_EQ(key[2], 0x10);
  EncodeDecimalKey(12.5, key);
  EXPECT_EQ(key[0], 54);
  EXPECT_EQ(key[1], 17);
  EXPECT_EQ(key[2], 0x12);
  EXPECT_EQ(key[3], 0x50);
  EncodeDecimalKey(-3, key);
  EXPECT_EQ(key[0], 53);
  EXPECT_EQ(key[1], 0x89);
  EXPECT_EQ(key[2], 0x30);
  EncodeDecimalKey(0.05, key);
  EXPECT_EQ(key[0], 51);
  EXPECT_EQ(key[2], 0x50);
  EXPECT_EQ(DecodeDecimalKey(key), 0.05);

  const double values[] = {-120, -3, -0.5, 0, 0.05, 1, 12.5, 100, 1e6};
  for (size_t i = 0; i + 1 < std::size(values); ++i) {
    uint8_t a[12], b[12];
    EncodeDecimalKey(values[i], a);
    EncodeDecimalKey(values[i + 1], b);
    EXPECT_EQ(CompareDecimalKeys(a, b), -1) << values[i];
    EXPECT_EQ(CompareDecimalKeys(b, a), 1) << values[i];
    EXPECT_EQ(CompareDecimalKeys(a, a), 0) << values[i];
  }
}

TEST_F(IndexFileTest, SingleTagFile) {
  for (int i = 0; i < 60; ++i) m_table.Append("Nome " + std::to_string((i * 7) % 60 + 100));
  const std::filesystem::path path = m_dir / "NOMES.NDX";
  {
    TIndexFile index(m_table, path);
    index.Open(TPagedFileMode::pfExclusiveCreate);
    EXPECT_TRUE(index.IsSingleTag());
    index.CreateTag("agencia", "ignored", 0);
    index.BuildTag("NOMES");
    EXPECT_EQ(index.TagNames(), (std::vector<std::string>{"NOMES"}));
    EXPECT_THROW(index.CreateTag("UF", "UF", 0), EDbfError);
    index.Close();
  }
  const std::vector<uint8_t> bytes = ReadFile(path);
  EXPECT_EQ(GetLe16(&bytes[12]), 25);
  EXPECT_EQ(GetLe16(&bytes[14]), 14);  // (512 - 4) / 36
  EXPECT_EQ(GetLe16(&bytes[16]), 0);
  EXPECT_EQ(GetLe16(&bytes[18]), 36);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[24])), "AGENCIA");
  EXPECT_EQ(bytes.size(), GetLe32(&bytes[4]) * 512u);

  TIndexFile index(m_table, path);
  ASSERT_TRUE(index.Open(TPagedFileMode::pfExclusiveOpen));
  std::vector<std::string> names = Names(index);
  ASSERT_EQ(names.size(), 60u);
  EXPECT_EQ(names.front(), "Nome 100");
  EXPECT_EQ(names.back(), "Nome 159");
  EXPECT_TRUE(CheckIndexTag(index, 0, &m_table).Sound());
  const int32_t r = m_table.Append("Nome 1");
  EXPECT_TRUE(index.InsertKeys(r, m_table.Bytes(r)));
  EXPECT_EQ(Names(index).front(), "Nome 1");
}

TEST_F(IndexFileTest, SharedOpensSeeEachOthersKeys) {
  m_table.Append("Beta");
  CreateIndex()->Close();
  TIndexFile writer(m_table, MdxPath());
  TIndexFile reader(m_table, MdxPath());
  ASSERT_TRUE(writer.Open(TPagedFileMode::pfReadWriteOpen));
  ASSERT_TRUE(reader.Open(TPagedFileMode::pfReadWriteOpen));
  EXPECT_EQ(Walk(reader), (std::vector<int32_t>{1}));
  for (int i = 0; i < 40; ++i) Append(writer, "Nome " + std::to_string(i));
  // The reader sees the new keys at its next resynchronisation (First).
  EXPECT_EQ(Walk(reader).size(), 41u);
  EXPECT_TRUE(CheckIndexTag(reader, 0, &m_table).Sound());
}

}  // namespace
}  // namespace vorelia::dbf
