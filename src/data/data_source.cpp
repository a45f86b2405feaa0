#include "data/data_source.h"

#include <algorithm>

#include "data/data_link.h"

namespace vorelia::data {

TDataSource::~TDataSource() {
  SetDataSet(nullptr);
  for (TDataLink* link : std::vector<TDataLink*>(m_links)) link->m_dataSource = nullptr;
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
  if (dataSet == m_dataSet) return;
  if (m_dataSet) {
    auto& sources = m_dataSet->m_dataSources;
    sources.erase(std::remove(sources.begin(), sources.end(), this), sources.end());
    m_dataSet->UpdateBufferCount();
  }
  m_dataSet = dataSet;
  if (m_dataSet) {
    m_dataSet->m_dataSources.push_back(this);
    m_dataSet->UpdateBufferCount();
  }
  for (TDataLink* link : std::vector<TDataLink*>(m_links)) {
    link->m_firstRecord = 0;
    if (m_dataSet) m_dataSet->FitLinkWindow(*link);
    link->ActiveChanged();
  }
  if (OnStateChange) OnStateChange(*this);
}

void TDataSource::SetEnabled(bool enabled) {
  if (enabled == m_enabled) return;
  m_enabled = enabled;
  for (TDataLink* link : std::vector<TDataLink*>(m_links)) link->ActiveChanged();
  if (OnStateChange) OnStateChange(*this);
}

TDataSetState TDataSource::State() const {
  return m_dataSet && m_enabled ? m_dataSet->State() : TDataSetState::Inactive;
}

void TDataSource::Edit() {
  if (AutoEdit && State() == TDataSetState::Browse) m_dataSet->Edit();
}

void TDataSource::AddLink(TDataLink* link) {
  m_links.push_back(link);
  if (m_dataSet) {
    m_dataSet->UpdateBufferCount();
    m_dataSet->FitLinkWindow(*link);
  }
}

void TDataSource::RemoveLink(TDataLink* link) {
  m_links.erase(std::remove(m_links.begin(), m_links.end(), link), m_links.end());
  if (m_dataSet) m_dataSet->UpdateBufferCount();
}

}  // namespace vorelia::data
