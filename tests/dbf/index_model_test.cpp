#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "dbf/collation.h"
#include "dbf/index_check.h"
#include "dbf/index_file.h"
#include "dbf/index_test_table.h"
#include "support/temp_dir.h"

namespace vorelia::dbf {
namespace {

using test::TMemoryTable;

// Random appends, edits, deletion flags and packs on a table with an ascending and a descending
// tag over the agency name, compared after every step with a sorted model: key order by the
// Portuguese collation, equal keys in the order their keys were inserted.
// The short key is the 25-byte agency name (31 keys a block); the long one is the first 100
// bytes of the record, name and address (9 keys a block, so deeper trees).
class IndexModelTest : public vorelia::test::TempDirTest,
                       public ::testing::WithParamInterface<int> {
 protected:
  size_t KeyLength() const { return static_cast<size_t>(GetParam()); }
  const char* Expression() const {
    return GetParam() == 25 ? "AGENCIA" : "AGENCIA+SUBSTR(ENDERECO,1,75)";
  }

  std::string RandomName() {
    // Few distinct names, so equal keys are common and runs of them cross leaves.
    static const char* const kParts[] = {"A", "a", "\xB5", "B", "b", "C", "\x80", "c", " ", "Z"};
    std::uniform_int_distribution<int> length(1, 3);
    std::uniform_int_distribution<int> part(0, 9);
    std::string name;
    for (int i = length(m_random); i > 0; --i) name += kParts[part(m_random)];
    return name;
  }

  std::vector<int32_t> Expected(bool descending) const {
    const TCollationTable weights = CollationForLanguageId(0x25).weights;
    std::vector<int32_t> order;
    for (int32_t r = 1; r <= static_cast<int32_t>(m_table.records.size()); ++r) order.push_back(r);
    std::stable_sort(order.begin(), order.end(), [&](int32_t x, int32_t y) {
      int rc = CompareCollated(weights, m_table.Bytes(x) + 1, KeyLength(), m_table.Bytes(y) + 1,
                               KeyLength());
      if (descending) rc = -rc;
      if (rc != 0) return rc < 0;
      return m_stamps[x - 1] < m_stamps[y - 1];
    });
    return order;
  }

  static std::vector<int32_t> Walk(TIndexFile& index, const char* tag) {
    index.SelectTag(tag);
    std::vector<int32_t> order;
    index.First();
    while (index.Next()) order.push_back(index.PhysicalRecNo());
    return order;
  }

  void Rebuild(TIndexFile& index) {
    index.BuildTag("");
    m_stamps.clear();
    for (size_t i = 0; i < m_table.records.size(); ++i) m_stamps.push_back(++m_clock);
  }

  std::mt19937 m_random{20261209};
  TMemoryTable m_table;
  std::vector<uint64_t> m_stamps;
  uint64_t m_clock = 0;
};

TEST_P(IndexModelTest, RandomChangesMatchTheModel) {
  auto index = std::make_unique<TIndexFile>(m_table, m_dir / "agencias.mdx");
  ASSERT_TRUE(index->Open(TPagedFileMode::pfExclusiveCreate));
  index->CreateTag(Expression(), "ASC", 0);
  index->BuildTag("ASC");
  index->CreateTag(Expression(), "DESC", ixDescending);
  index->BuildTag("DESC");

  std::uniform_int_distribution<int> action(0, 99);
  for (int step = 0; step < 2500; ++step) {
    const int a = action(m_random);
    const int32_t count = static_cast<int32_t>(m_table.records.size());
    std::uniform_int_distribution<int32_t> pick(1, std::max(count, 1));
    if (a < 50 || count == 0) {
      const int32_t r = m_table.Append(RandomName());
      ASSERT_TRUE(index->InsertKeys(r, m_table.Bytes(r)));
      m_stamps.push_back(++m_clock);
    } else if (a < 75) {
      const int32_t r = pick(m_random);
      std::string edited = m_table.records[r - 1];
      const bool rename = a < 65;
      if (rename) edited.replace(1, 25, m_table.MakeRecord(RandomName()).substr(1, 25));
      else edited.replace(26, 5, "Rua " + std::to_string(step % 10));
      const bool changed =
          edited.compare(1, KeyLength(), m_table.records[r - 1], 1, KeyLength()) != 0;
      ASSERT_TRUE(index->UpdateKeys(r, m_table.Bytes(r),
                                    reinterpret_cast<const uint8_t*>(edited.data())));
      m_table.records[r - 1] = edited;
      if (changed) m_stamps[r - 1] = ++m_clock;
    } else if (a < 97) {
      const int32_t r = pick(m_random);
      m_table.records[r - 1][0] = '*';
      index->RecordFlaggedDeleted(r, m_table.Bytes(r));
    } else if (a < 99) {
      std::erase_if(m_table.records, [](const std::string& rec) { return rec[0] == '*'; });
      Rebuild(*index);
    } else {
      // Written out and read back.
      index.reset();
      index = std::make_unique<TIndexFile>(m_table, m_dir / "agencias.mdx");
      ASSERT_TRUE(index->Open(TPagedFileMode::pfExclusiveOpen));
    }
    ASSERT_EQ(Walk(*index, "ASC"), Expected(false)) << "step " << step;
    ASSERT_EQ(Walk(*index, "DESC"), Expected(true)) << "step " << step;
    if (step % 25 == 0) {
      for (int t = 0; t < 2; ++t) {
        const TIndexCheckReport report = CheckIndexTag(*index, t, &m_table);
        ASSERT_TRUE(report.Sound()) << "step " << step << ": " << report.problems.front();
        ASSERT_EQ(report.entries, static_cast<int64_t>(m_table.records.size()));
      }
    }
  }
  EXPECT_GT(m_table.records.size(), 200u);
}

INSTANTIATE_TEST_SUITE_P(KeyLengths, IndexModelTest, ::testing::Values(25, 100));

}  // namespace
}  // namespace vorelia::dbf
