#pragma once

#include <cstdint>
#include <vector>

namespace vorelia::data {

// A remembered record position. Engines decide what the value means (a physical record number
// for tables); an empty bookmark names no record. Cheap to copy.
class TBookmark {
 public:
  TBookmark() = default;
  explicit TBookmark(int64_t value) : m_value(value), m_valid(true) {}
  bool IsEmpty() const { return !m_valid; }
  int64_t Value() const { return m_value; }
  friend bool operator==(const TBookmark&, const TBookmark&) = default;

 private:
  int64_t m_value = 0;
  bool m_valid = false;
};

enum class TBookmarkFlag { Current, Bof, Eof, Inserted };

// Where a record fetch should go, and what came of it.
enum class TGetMode { Current, Next, Prior };
enum class TGetResult { Ok, Bof, Eof, Error };

// One buffered record: the engine's record bytes and the position facts that the dataset keeps
// with it.
struct TRecordBuffer {
  std::vector<char> Data;     // RecordSize() bytes, laid out by the engine
  int64_t Bookmark = -1;      // engine position of the record; -1 when not fetched
  TBookmarkFlag Flag = TBookmarkFlag::Current;
  int32_t SequenceNo = 0;     // the record's RecNo
};

}  // namespace vorelia::data
