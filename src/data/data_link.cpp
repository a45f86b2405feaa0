#include "data/data_link.h"

#include <algorithm>

#include "data/data_source.h"

namespace vorelia::data {

TDataLink::~TDataLink() {
  if (m_dataSource) m_dataSource->RemoveLink(this);
}

void TDataLink::SetDataSource(TDataSource* dataSource) {
  if (dataSource == m_dataSource) return;
  if (m_dataSource) m_dataSource->RemoveLink(this);
  m_dataSource = dataSource;
  m_firstRecord = 0;
  if (m_dataSource) m_dataSource->AddLink(this);
  ActiveChanged();
}

TDataSet* TDataLink::DataSet() const { return m_dataSource ? m_dataSource->DataSet() : nullptr; }

bool TDataLink::Active() const {
  return m_dataSource && m_dataSource->Enabled() && DataSet() && DataSet()->Active();
}

bool TDataLink::Editing() const {
  if (ReadOnly || !Active()) return false;
  const TDataSetState state = DataSet()->State();
  return state == TDataSetState::Edit || state == TDataSetState::Insert;
}

bool TDataLink::Edit() {
  if (!ReadOnly && Active()) m_dataSource->Edit();
  return Editing();
}

void TDataLink::SetBufferCount(int count) {
  count = std::max(count, 1);
  if (count == m_bufferCount) return;
  m_bufferCount = count;
  if (TDataSet* dataSet = DataSet()) {
    dataSet->UpdateBufferCount();
    dataSet->FitLinkWindow(*this);
  }
}

int TDataLink::RecordCount() const {
  if (!Active()) return 0;
  return std::clamp(DataSet()->m_bufferRecords - m_firstRecord, 0, m_bufferCount);
}

int TDataLink::ActiveRecord() const {
  if (!Active()) return 0;
  return std::max(0, DataSet()->m_activeRecord - m_firstRecord);
}

void TDataLink::SetActiveRecord(int row) {
  if (!Active() || row < 0 || row >= RecordCount()) return;
  DataSet()->m_activeRecord = m_firstRecord + row;
}

}  // namespace vorelia::data
