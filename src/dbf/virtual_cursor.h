#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace vorelia::dbf {

// The table dataset moves through a cursor: physical order over the table file, or the key
// order of an index tag. Positions are physical record numbers; a cursor stands before the
// first record after First() and after the last one after Last().
class TVirtualCursor {
 public:
  virtual ~TVirtualCursor() = default;

  // Physical record number of the current position (0 or less: none).
  virtual int32_t PhysicalRecNo() = 0;
  virtual void SetPhysicalRecNo(int32_t recordNo) = 0;
  // 1-based position in the cursor's own order, and the number of positions.
  virtual int32_t SequentialRecNo() = 0;
  virtual void SetSequentialRecNo(int32_t recNo) = 0;
  virtual int32_t SequentialRecordCount() = 0;
  // Move one position; false (and the cursor past the end / before the start) when there is
  // none.
  virtual bool Next() = 0;
  virtual bool Prev() = 0;
  virtual void First() = 0;
  virtual void Last() = 0;
};

// Implemented by index files that can walk one of their tags in key order. The table dataset
// asks the index file that holds a tag for its cursor when the tag is selected.
class TTagCursorSource {
 public:
  virtual ~TTagCursorSource() = default;
  // A cursor over tag `tagName`, or null when the file has no such tag.
  virtual std::unique_ptr<TVirtualCursor> CreateTagCursor(const std::string& tagName) = 0;
};

}  // namespace vorelia::dbf
