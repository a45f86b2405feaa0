#include "dbf/index_check.h"

#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "dbf/dbf_common.h"
#include "dbf/index_file.h"
#include "platform/errors.h"

namespace vorelia::dbf {
namespace {

constexpr size_t kMaxProblems = 20;

struct TTagWalk {
  TTagWalk(TIndexFile& file, int tag, TIndexCheckReport& report)
      : m_file(file),
        m_tag(tag),
        m_report(report),
        m_geometry(file.Geometry(tag)),
        m_compare(file.Comparator(tag)) {}

  void Run(int32_t root) {
    std::vector<uint8_t> highest;
    Visit(root, 1, highest);
  }

  std::unordered_map<int32_t, std::vector<uint8_t>> records;
  bool m_unique = false;
  int m_leafDepth = 0;

  void Problem(const std::string& text) {
    if (m_report.problems.size() < kMaxProblems) m_report.problems.push_back(text);
  }

  // Returns false when the walk must stop. `highest` receives the block's highest key (empty
  // for an empty block).
  bool Visit(int32_t page, int depth, std::vector<uint8_t>& highest) {
    highest.clear();
    if (depth > 64) {
      Problem("the tree is deeper than 64 levels");
      return false;
    }
    if (!m_visited.insert(page).second) {
      Problem("block " + std::to_string(page) + " is reached twice");
      return false;
    }
    std::vector<uint8_t> bytes;
    try {
      bytes = m_file.ReadBlock(m_tag, page);
    } catch (const EVoreliaError& e) {
      Problem(e.what());
      return false;
    }
    ++m_report.blocks;
    const TIndexPage block(m_geometry, bytes.data());
    const int n = block.KeyCount();
    const size_t keyLength = static_cast<size_t>(m_geometry.keyLength);
    if (!block.IsInner()) {
      if (m_leafDepth == 0) m_leafDepth = depth;
      if (depth != m_leafDepth) Problem("leaf " + std::to_string(page) + " at another depth");
      if (n == 0 && depth > 1 && m_report.entries > 0)
        Problem("empty leaf " + std::to_string(page) + " inside the tree");
      for (int k = 0; k < n; ++k) {
        const uint8_t* key = block.Key(k);
        if (!m_previous.empty()) {
          const int rc = m_compare(m_previous.data(), key);
          if (rc > 0) Problem("keys out of order in block " + std::to_string(page));
          if (rc == 0 && m_unique) Problem("a key twice in a unique tag, block " + std::to_string(page));
        }
        m_previous.assign(key, key + keyLength);
        const int32_t recordNo = block.RecordNo(k);
        if (!records.emplace(recordNo, m_previous).second)
          Problem("record " + std::to_string(recordNo) + " appears twice");
        ++m_report.entries;
      }
      if (n > 0) highest.assign(block.Key(n - 1), block.Key(n - 1) + keyLength);
      return true;
    }
    std::vector<uint8_t> childHighest;
    for (int k = 0; k <= n; ++k) {
      if (!Visit(block.Child(k), depth + 1, childHighest)) return false;
      if (k < n) {
        if (childHighest.empty()) {
          Problem("child " + std::to_string(k) + " of block " + std::to_string(page) + " is empty");
        } else if (m_compare(childHighest.data(), block.Key(k)) != 0 &&
                   std::memcmp(childHighest.data(), block.Key(k), keyLength) != 0) {
          Problem("key " + std::to_string(k) + " of block " + std::to_string(page) +
                  " is not the highest key of its child");
        }
      }
      if (!childHighest.empty()) highest = childHighest;
    }
    return true;
  }

  TIndexFile& m_file;
  int m_tag;
  TIndexCheckReport& m_report;
  const TBlockGeometry& m_geometry;
  const TKeyComparator& m_compare;
  std::unordered_set<int32_t> m_visited;
  std::vector<uint8_t> m_previous;
};

}  // namespace

TIndexCheckReport CheckIndexTag(TIndexFile& file, int tag, TIndexTable* table) {
  TIndexCheckReport report;
  if (tag < 0 || tag >= file.TagCount()) {
    report.problems.push_back("no tag " + std::to_string(tag));
    return report;
  }
  const TIndexFile::TTagFacts facts = file.TagFacts(tag);
  TTagWalk walk(file, tag, report);
  walk.m_unique = facts.unique;
  walk.Run(facts.rootPage);
  report.depth = walk.m_leafDepth;
  if (table == nullptr || !report.Sound()) return report;

  const int32_t count = table->RecordCount();
  std::vector<uint8_t> record(static_cast<size_t>(std::max(table->RecordSize(), 1)));
  int64_t expected = 0;
  for (int32_t r = 1; r <= count; ++r) {
    if (!table->ReadRecord(r, record.data())) continue;
    const bool deleted = record[0] == kRecordDeleted;
    const std::vector<uint8_t> key = file.TagKey(tag, record.data());
    auto it = walk.records.find(r);
    if (facts.distinct && deleted) {
      if (it != walk.records.end()) report.problems.push_back("deleted record " + std::to_string(r) + " still has its key");
      continue;
    }
    if (it == walk.records.end()) {
      if (!facts.unique) report.problems.push_back("record " + std::to_string(r) + " has no key");
      continue;
    }
    ++expected;
    if (file.Comparator(tag)(it->second.data(), key.data()) != 0)
      report.problems.push_back("record " + std::to_string(r) + " is under another key");
    if (report.problems.size() >= kMaxProblems) break;
  }
  for (const auto& [recordNo, key] : walk.records) {
    if (recordNo < 1 || recordNo > count) {
      report.problems.push_back("entry for record " + std::to_string(recordNo) + ", not in the table");
      break;
    }
  }
  if (!facts.unique && report.Sound() && expected != report.entries)
    report.problems.push_back("the tag holds " + std::to_string(report.entries) + " keys, not " +
                              std::to_string(expected));
  return report;
}

}  // namespace vorelia::dbf
