#include "dbf/physical_cursor.h"

#include "dbf/dbf_file.h"

namespace vorelia::dbf {

int32_t TPhysicalCursor::SequentialRecordCount() { return m_file.RecordCount(); }

bool TPhysicalCursor::Next() {
  // The cached count answers for known records; the file length is asked only at the end.
  if (m_recNo >= 0 && m_file.IsRecordPresent(m_recNo + 1)) {
    ++m_recNo;
    return true;
  }
  m_recNo = m_file.RecordCount() + 1;
  return false;
}

bool TPhysicalCursor::Prev() {
  if (m_recNo > 1 && m_file.IsRecordPresent(m_recNo - 1)) {
    --m_recNo;
    return true;
  }
  // Past the end of a table that shrank: the last record is the one before.
  const int32_t count = m_file.RecordCount();
  if (m_recNo > count + 1 && count > 0) {
    m_recNo = count;
    return true;
  }
  m_recNo = 0;
  return false;
}

void TPhysicalCursor::Last() { m_recNo = m_file.RecordCount() + 1; }

}  // namespace vorelia::dbf
