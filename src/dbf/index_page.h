#pragma once

#include <cstdint>
#include <cstring>

#include "dbf/byte_order.h"

namespace vorelia::dbf {

// The layout of the tree blocks of one tag.
struct TBlockGeometry {
  int blockBytes = 1024;
  int pagesPerBlock = 2;
  int entriesStart = 8;  // entries follow the key count (and a reserved word in .mdx)
  int childOffset = 0;   // inner blocks: the child's page number within an entry
  int recordOffset = 0;  // leaves: the record number within an entry
  int keyOffset = 4;
  int entryLength = 32;
  int keyLength = 25;
  int maxKeys = 31;
  bool singleTag = false;  // .ndx: a block is inner when its first entry has a child
};

// A view over one tree block: a key count, then entries 0 ... n. A leaf's entry k holds a record
// number and a key; an inner block's entry k holds a child page and the highest key under that
// child, and entry n the last child without a key.
class TIndexPage {
 public:
  TIndexPage(const TBlockGeometry& geometry, uint8_t* bytes) : m_g(&geometry), m_bytes(bytes) {}

  uint8_t* Bytes() const { return m_bytes; }
  int KeyCount() const { return static_cast<int>(GetLe32(m_bytes)); }
  void SetKeyCount(int n) { PutLe32(m_bytes, static_cast<uint32_t>(n)); }

  bool IsInner() const {
    const int n = KeyCount();
    if (m_g->singleTag) return n >= 0 && n < m_g->maxKeys && EntryFits(0) && Child(0) != 0;
    return n >= 0 && n < m_g->maxKeys && FieldFits(n, m_g->childOffset) && Child(n) != 0;
  }
  // Highest entry in use: n - 1 in a leaf, n in an inner block.
  int High() const { return IsInner() ? KeyCount() : KeyCount() - 1; }

  int32_t Child(int k) const {
    return static_cast<int32_t>(GetLe32(Entry(k) + m_g->childOffset));
  }
  void SetChild(int k, int32_t page) {
    PutLe32(Entry(k) + m_g->childOffset, static_cast<uint32_t>(page));
  }
  int32_t RecordNo(int k) const {
    return static_cast<int32_t>(GetLe32(Entry(k) + m_g->recordOffset));
  }
  void SetRecordNo(int k, int32_t recordNo) {
    PutLe32(Entry(k) + m_g->recordOffset, static_cast<uint32_t>(recordNo));
  }
  // Clears the number fields of entry k where they fit in the block (a full leaf's entry n may
  // lie partly beyond it).
  void ClearNumbers(int k) {
    if (FieldFits(k, m_g->childOffset)) PutLe32(Entry(k) + m_g->childOffset, 0);
    if (FieldFits(k, m_g->recordOffset)) PutLe32(Entry(k) + m_g->recordOffset, 0);
  }
  const uint8_t* Key(int k) const { return Entry(k) + m_g->keyOffset; }
  void SetKey(int k, const uint8_t* key) {
    std::memcpy(Entry(k) + m_g->keyOffset, key, static_cast<size_t>(m_g->keyLength));
  }

  uint8_t* Entry(int k) const {
    return m_bytes + m_g->entriesStart + static_cast<ptrdiff_t>(k) * m_g->entryLength;
  }
  bool EntryFits(int k) const {
    return k >= 0 && m_g->entriesStart + (k + 1) * m_g->entryLength <= m_g->blockBytes;
  }
  bool FieldFits(int k, int offset) const {
    return k >= 0 && m_g->entriesStart + k * m_g->entryLength + offset + 4 <= m_g->blockBytes;
  }
  // Moves `count` whole entries from `from` to `to` (ranges may overlap).
  void MoveEntries(int from, int to, int count) {
    if (count > 0)
      std::memmove(Entry(to), Entry(from), static_cast<size_t>(count) * m_g->entryLength);
  }

 private:
  const TBlockGeometry* m_g;
  uint8_t* m_bytes;
};

// Blocks of multiple-index files: 1024 bytes (2 pages), entries from offset 8, each a 4-byte
// number (record or child) followed by the key.
class TMdxPage : public TIndexPage {
 public:
  using TIndexPage::TIndexPage;
  static TBlockGeometry Geometry(int keyLength, int entryLength, int maxKeys) {
    TBlockGeometry g;
    g.keyLength = keyLength;
    g.entryLength = entryLength;
    g.maxKeys = maxKeys;
    return g;
  }
};

// Blocks of single-tag files: 512 bytes (1 page), entries from offset 4, each a child page,
// a record number and the key.
class TNdxPage : public TIndexPage {
 public:
  using TIndexPage::TIndexPage;
  static TBlockGeometry Geometry(int keyLength, int entryLength, int maxKeys) {
    TBlockGeometry g;
    g.blockBytes = 512;
    g.pagesPerBlock = 1;
    g.entriesStart = 4;
    g.childOffset = 0;
    g.recordOffset = 4;
    g.keyOffset = 8;
    g.keyLength = keyLength;
    g.entryLength = entryLength;
    g.maxKeys = maxKeys;
    g.singleTag = true;
    return g;
  }
};

}  // namespace vorelia::dbf
