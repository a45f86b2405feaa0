#pragma once

#include <cstdint>
#include <string>

#include "dbf/paged_file.h"

namespace vorelia::dbf {

// The memo file beside a table with memo fields (.dbt, FoxPro .fpt). Blocks of a fixed size;
// block 0 is the header:
//   offset size  meaning
//        0    4  next free block
//        4    4  block size (little-endian; also kept at 20 as 16-bit for older readers)
// A memo is stored from its first block on as its length (4 bytes) and its bytes.
class TMemoFile : public TPagedFile {
 public:
  // Creates a new memo file with `blockSize` (at least 64) in the current (create) mode.
  void CreateMemo(int32_t blockSize);
  // Opens an existing memo file. Raises EDbfError when its header is damaged.
  void OpenMemo();
  int32_t BlockSize() const { return m_blockSize; }

  // The memo at `block`; empty for block 0 or anything out of the file.
  std::string ReadMemo(int32_t block);
  // Appends a memo and returns its first block (0 for an empty memo).
  int32_t WriteMemo(const std::string& data);

 private:
  int32_t m_blockSize = 512;
};

}  // namespace vorelia::dbf
