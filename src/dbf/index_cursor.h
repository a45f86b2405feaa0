#pragma once

#include <cstdint>
#include <string>

#include "dbf/virtual_cursor.h"

namespace vorelia::dbf {

class TIndexFile;

// Walks one tag of an index file in key order. Every operation selects the cursor's tag first
// and forwards to the index file.
class TIndexCursor : public TVirtualCursor {
 public:
  TIndexCursor(TIndexFile& file, std::string tagName);

  int32_t PhysicalRecNo() override;
  void SetPhysicalRecNo(int32_t recordNo) override;
  int32_t SequentialRecNo() override;
  void SetSequentialRecNo(int32_t recNo) override;
  int32_t SequentialRecordCount() override;
  bool Next() override;
  bool Prev() override;
  void First() override;
  void Last() override;

  const std::string& TagName() const { return m_tagName; }

 private:
  TIndexFile& Select();

  TIndexFile& m_file;
  std::string m_tagName;
};

}  // namespace vorelia::dbf
