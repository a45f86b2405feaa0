// The index engine over an agency table of 100 000 records: building the tag (the sort
// command), walking it in key order and appending with the index kept up to date. Each sits
// beside a reference in the same run: std::sort of the same keys with the same collation, and the
// same inserts into a plain in-memory B+-tree of the same fan-out (31 keys a block).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "dbf/agency_schema.h"
#include "dbf/collation.h"
#include "dbf/dbf_file.h"
#include "dbf/index_factory.h"
#include "dbf/index_file.h"

namespace {

using namespace vorelia::dbf;
namespace fs = std::filesystem;

constexpr int kRecords = 100000;
constexpr int kKeyLength = 25;
using TKey = std::array<uint8_t, kKeyLength>;

const TCollationTable kWeights = CollationForLanguageId(0x25).weights;

int Compare(const TKey& a, const TKey& b) {
  return CompareCollated(kWeights, a.data(), kKeyLength, b.data(), kKeyLength);
}

std::vector<TKey> MakeKeys(int count, uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> letter(0, 25);
  std::uniform_int_distribution<int> upper(0, 3);
  std::vector<TKey> keys(static_cast<size_t>(count));
  for (TKey& key : keys) {
    key.fill(' ');
    const int length = 8 + letter(random) % 14;
    for (int i = 0; i < length; ++i)
      key[static_cast<size_t>(i)] = static_cast<uint8_t>((upper(random) == 0 ? 'A' : 'a') + letter(random));
  }
  return keys;
}

// A table file of `count` agencies named by `keys`, made once per process.
class TBenchTable {
 public:
  TBenchTable() {
    InstallIndexEngine();
    m_dir = fs::temp_directory_path() / ("vorelia_index_bench_" + std::to_string(::getpid()));
    fs::create_directories(m_dir);
    keys = MakeKeys(kRecords, 1);
    TDbfFile file;
    file.SetFileName(TablePath());
    file.SetMode(TPagedFileMode::pfExclusiveCreate);
    file.SetLanguageId(0x25);
    file.CreateTableFile(AgencyFieldDefs());
    std::vector<uint8_t> record(kAgencyRecordSize + 1);
    for (const TKey& key : keys) {
      file.FillDefaultRecord(record.data());
      std::memcpy(record.data() + 1, key.data(), kKeyLength);
      file.InsertRecord(record.data());
    }
    file.CloseTable();
  }
  ~TBenchTable() {
    std::error_code ignored;
    fs::remove_all(m_dir, ignored);
  }
  fs::path TablePath() const { return m_dir / "agencias.age"; }
  fs::path IndexPath() const { return m_dir / "agencias.mdx"; }
  fs::path Folder() const { return m_dir; }

  std::vector<TKey> keys;

 private:
  fs::path m_dir;
};

TBenchTable& Table() {
  static TBenchTable table;
  return table;
}

// The reference tree: blocks of at most 31 keys, split in half when full, everything in memory.
class TMemoryBPlusTree {
 public:
  static constexpr int kFanOut = 31;

  void Insert(const TKey& key, int32_t recordNo) {
    if (!m_root) m_root = std::make_unique<TNode>();
    std::unique_ptr<TNode> sibling;
    TKey separator;
    if (InsertInto(*m_root, key, recordNo, sibling, separator)) {
      auto root = std::make_unique<TNode>();
      root->leaf = false;
      root->keys.push_back(separator);
      root->children.push_back(std::move(m_root));
      root->children.push_back(std::move(sibling));
      m_root = std::move(root);
    }
  }
  int64_t Walk() const {
    int64_t sum = 0;
    Walk(m_root.get(), sum);
    return sum;
  }

 private:
  struct TNode {
    bool leaf = true;
    std::vector<TKey> keys;
    std::vector<int32_t> records;
    std::vector<std::unique_ptr<TNode>> children;
  };

  static size_t UpperBound(const std::vector<TKey>& keys, const TKey& key) {
    return static_cast<size_t>(
        std::upper_bound(keys.begin(), keys.end(), key,
                         [](const TKey& a, const TKey& b) { return Compare(a, b) < 0; }) -
        keys.begin());
  }

  // True when the node split: `sibling` takes the upper half, `separator` the highest key of the
  // lower half.
  bool InsertInto(TNode& node, const TKey& key, int32_t recordNo, std::unique_ptr<TNode>& sibling,
                  TKey& separator) {
    const size_t at = UpperBound(node.keys, key);
    if (node.leaf) {
      node.keys.insert(node.keys.begin() + static_cast<ptrdiff_t>(at), key);
      node.records.insert(node.records.begin() + static_cast<ptrdiff_t>(at), recordNo);
    } else {
      std::unique_ptr<TNode> childSibling;
      TKey childSeparator;
      if (InsertInto(*node.children[at], key, recordNo, childSibling, childSeparator)) {
        node.keys.insert(node.keys.begin() + static_cast<ptrdiff_t>(at), childSeparator);
        node.children.insert(node.children.begin() + static_cast<ptrdiff_t>(at) + 1,
                             std::move(childSibling));
      }
    }
    if (static_cast<int>(node.keys.size()) <= kFanOut) return false;
    const size_t half = node.keys.size() / 2;
    sibling = std::make_unique<TNode>();
    sibling->leaf = node.leaf;
    if (node.leaf) {
      sibling->keys.assign(node.keys.begin() + static_cast<ptrdiff_t>(half), node.keys.end());
      sibling->records.assign(node.records.begin() + static_cast<ptrdiff_t>(half), node.records.end());
      node.keys.resize(half);
      node.records.resize(half);
      separator = node.keys.back();
    } else {
      separator = node.keys[half];
      sibling->keys.assign(node.keys.begin() + static_cast<ptrdiff_t>(half) + 1, node.keys.end());
      for (size_t i = half + 1; i < node.children.size(); ++i)
        sibling->children.push_back(std::move(node.children[i]));
      node.keys.resize(half);
      node.children.resize(half + 1);
    }
    return true;
  }

  static void Walk(const TNode* node, int64_t& sum) {
    if (node == nullptr) return;
    if (node->leaf) {
      for (int32_t r : node->records) sum += r;
      return;
    }
    for (const auto& child : node->children) Walk(child.get(), sum);
  }

  std::unique_ptr<TNode> m_root;
};

void OpenTable(TDbfFile& file) {
  file.SetFileName(Table().TablePath());
  file.SetMode(TPagedFileMode::pfExclusiveOpen);
  file.OpenTable();
}

// Building the agency tag over the whole table file, as sorting does.
void BM_IndexBuildTag(benchmark::State& state) {
  TBenchTable& table = Table();
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove(table.IndexPath());
    {
      TDbfFile file;
      OpenTable(file);
      state.ResumeTiming();
      file.AttachIndex("AGENCIA", "AGENCIA", true, 0);
      file.CloseTable();
      state.PauseTiming();
    }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_IndexBuildTag)->Unit(benchmark::kMillisecond);

void BM_ReferenceSortKeys(benchmark::State& state) {
  const std::vector<TKey>& keys = Table().keys;
  for (auto _ : state) {
    std::vector<TKey> sorted = keys;
    std::sort(sorted.begin(), sorted.end(), [](const TKey& a, const TKey& b) { return Compare(a, b) < 0; });
    benchmark::DoNotOptimize(sorted.data());
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_ReferenceSortKeys)->Unit(benchmark::kMillisecond);

void BM_ReferenceMemoryBPlusTreeInsert(benchmark::State& state) {
  const std::vector<TKey>& keys = Table().keys;
  for (auto _ : state) {
    TMemoryBPlusTree tree;
    for (size_t i = 0; i < keys.size(); ++i) tree.Insert(keys[i], static_cast<int32_t>(i + 1));
    benchmark::DoNotOptimize(tree.Walk());
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_ReferenceMemoryBPlusTreeInsert)->Unit(benchmark::kMillisecond);

// Walking the built tag in key order.
void BM_IndexWalkInOrder(benchmark::State& state) {
  TBenchTable& table = Table();
  fs::remove(table.IndexPath());
  TDbfFile file;
  OpenTable(file);
  file.AttachIndex("AGENCIA", "AGENCIA", true, 0);
  auto* index = dynamic_cast<TIndexFile*>(file.ProductionIndex());
  for (auto _ : state) {
    int64_t sum = 0;
    index->First();
    while (index->Next()) sum += index->PhysicalRecNo();
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_IndexWalkInOrder)->Unit(benchmark::kMillisecond);

void BM_ReferenceMemoryBPlusTreeWalk(benchmark::State& state) {
  const std::vector<TKey>& keys = Table().keys;
  TMemoryBPlusTree tree;
  for (size_t i = 0; i < keys.size(); ++i) tree.Insert(keys[i], static_cast<int32_t>(i + 1));
  for (auto _ : state) benchmark::DoNotOptimize(tree.Walk());
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_ReferenceMemoryBPlusTreeWalk)->Unit(benchmark::kMillisecond);

// Appending 10 000 records to a copy of the table, with the tag kept up to date, and without an
// index (the table file's own cost).
void AppendRecords(benchmark::State& state, bool withIndex) {
  TBenchTable& table = Table();
  const std::vector<TKey> keys = MakeKeys(10000, 2);
  const fs::path copy = table.Folder() / "copia.age";
  const fs::path copyIndex = table.Folder() / "copia.mdx";
  std::vector<uint8_t> record(kAgencyRecordSize + 1);
  for (auto _ : state) {
    state.PauseTiming();
    fs::copy_file(table.TablePath(), copy, fs::copy_options::overwrite_existing);
    fs::remove(copyIndex);
    {
      TDbfFile file;
      file.SetFileName(copy);
      file.SetMode(TPagedFileMode::pfExclusiveOpen);
      file.OpenTable();
      if (withIndex) file.AttachIndex("AGENCIA", "AGENCIA", true, 0);
      state.ResumeTiming();
      for (const TKey& key : keys) {
        file.FillDefaultRecord(record.data());
        std::memcpy(record.data() + 1, key.data(), kKeyLength);
        file.InsertRecord(record.data());
      }
      file.CloseTable();
      state.PauseTiming();
    }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys.size()));
}

void BM_IndexAppendMaintained(benchmark::State& state) { AppendRecords(state, true); }
BENCHMARK(BM_IndexAppendMaintained)->Unit(benchmark::kMillisecond);

void BM_ReferenceAppendWithoutIndex(benchmark::State& state) { AppendRecords(state, false); }
BENCHMARK(BM_ReferenceAppendWithoutIndex)->Unit(benchmark::kMillisecond);

}  // namespace
