#include "dbf/index_cursor.h"

#include "dbf/index_file.h"

namespace vorelia::dbf {

TIndexCursor::TIndexCursor(TIndexFile& file, std::string tagName)
    : m_file(file), m_tagName(std::move(tagName)) {}

TIndexFile& TIndexCursor::Select() {
  if (m_file.CurrentTagName() != m_tagName) m_file.SelectTag(m_tagName);
  return m_file;
}

int32_t TIndexCursor::PhysicalRecNo() { return Select().PhysicalRecNo(); }
void TIndexCursor::SetPhysicalRecNo(int32_t recordNo) { Select().SetPhysicalRecNo(recordNo); }
int32_t TIndexCursor::SequentialRecNo() { return Select().SequentialRecNo(); }
void TIndexCursor::SetSequentialRecNo(int32_t recNo) { Select().SetSequentialRecNo(recNo); }
int32_t TIndexCursor::SequentialRecordCount() { return Select().SequentialRecordCount(); }
bool TIndexCursor::Next() { return Select().Next(); }
bool TIndexCursor::Prev() { return Select().Prior(); }
void TIndexCursor::First() { Select().First(); }
void TIndexCursor::Last() { Select().Last(); }

}  // namespace vorelia::dbf
