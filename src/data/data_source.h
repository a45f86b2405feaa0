#pragma once

#include <functional>
#include <vector>

#include "data/dataset.h"

namespace vorelia::data {

class TDataLink;
class TField;

// Connects a dataset with the data links of the controls that show it. Several links (editors,
// grids, a navigator, a report run) share one source; the source may change its dataset at
// any time and the links follow. Neither side owns the other; whichever dies first detaches.
class TDataSource {
 public:
  TDataSource() = default;
  explicit TDataSource(TDataSet* dataSet) { SetDataSet(dataSet); }
  ~TDataSource();
  TDataSource(const TDataSource&) = delete;
  TDataSource& operator=(const TDataSource&) = delete;

  TDataSet* DataSet() const { return m_dataSet; }
  void SetDataSet(TDataSet* dataSet);
  // Typing into a bound control puts the dataset into edit state when set.
  bool AutoEdit = true;
  // A disabled source tells its links the dataset is inactive.
  bool Enabled() const { return m_enabled; }
  void SetEnabled(bool enabled);
  // The dataset's state, Inactive without a dataset or while disabled.
  TDataSetState State() const;

  // Puts the dataset into edit state when AutoEdit allows and it is browsing.
  void Edit();

  std::function<void(TDataSource&)> OnStateChange;
  std::function<void(TDataSource&, TField* field)> OnDataChange;  // field null: whole record
  std::function<void(TDataSource&)> OnUpdateData;

  const std::vector<TDataLink*>& Links() const { return m_links; }

 private:
  friend class TDataSet;
  friend class TDataLink;
  void AddLink(TDataLink* link);
  void RemoveLink(TDataLink* link);

  TDataSet* m_dataSet = nullptr;
  bool m_enabled = true;
  std::vector<TDataLink*> m_links;
};

}  // namespace vorelia::data
