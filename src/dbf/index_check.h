#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorelia::dbf {

class TIndexFile;
class TIndexTable;

// What a walk over one tag found.
struct TIndexCheckReport {
  std::vector<std::string> problems;  // empty when the tag is sound
  int64_t entries = 0;                // keys in the leaves
  int depth = 0;                      // levels, the root counted
  int blocks = 0;
  bool Sound() const { return problems.empty(); }
};

// Walks a tag of an index file: every block once (cycles and shared blocks are problems), key
// counts within the block limits, keys in order across the leaves, each inner key equal to the
// highest key under its child, leaves all at one depth, no record twice. With `table` also
// every record the tag should hold is there with its key (distinct tags leave out records
// flagged deleted) and no other. The walk never reads beyond the file's page count.
TIndexCheckReport CheckIndexTag(TIndexFile& file, int tag, TIndexTable* table = nullptr);

}  // namespace vorelia::dbf
