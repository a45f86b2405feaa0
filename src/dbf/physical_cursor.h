#pragma once

#include "dbf/virtual_cursor.h"

namespace vorelia::dbf {

class TDbfFile;

// Physical order: record numbers 1 .. record count. Position 0 is before the first record,
// record count + 1 after the last. Records appended by other processes become visible when
// the cursor reaches the end of those it knew about.
class TPhysicalCursor : public TVirtualCursor {
 public:
  explicit TPhysicalCursor(TDbfFile& file) : m_file(file) {}

  int32_t PhysicalRecNo() override { return m_recNo; }
  void SetPhysicalRecNo(int32_t recordNo) override { m_recNo = recordNo; }
  int32_t SequentialRecNo() override { return m_recNo; }
  void SetSequentialRecNo(int32_t recNo) override { m_recNo = recNo; }
  int32_t SequentialRecordCount() override;
  bool Next() override;
  bool Prev() override;
  void First() override { m_recNo = 0; }
  void Last() override;

 private:
  TDbfFile& m_file;
  int32_t m_recNo = 0;
};

}  // namespace vorelia::dbf
