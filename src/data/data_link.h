#pragma once

#include "data/dataset.h"

namespace vorelia::data {

class TDataSource;
class TField;

// A control's view of a dataset through a data source. Derive and override the events you
// need. A link sees its own window of BufferCount() records inside the dataset's buffer window
// (the dataset buffers as many as the largest link asks for); ActiveRecord() is the current
// record's row in that window.
//
// Events, in the order operations send them:
//   ActiveChanged      open or close (also when the source or its dataset changes)
//   DataSetChanged     the whole window was re-read (First, Last, Refresh, Post, Cancel, ...)
//   DataSetScrolled    Next/Prior/MoveBy; distance is how many rows this link's window moved
//   RecordChanged      a field (or with nullptr the whole current record) changed
//   EditingChanged     the dataset entered or left edit/insert
//   UpdateData         before a post: hand pending text to the fields now
//   LayoutChanged      the fields changed (bound, unbound)
class TDataLink {
 public:
  TDataLink() = default;
  virtual ~TDataLink();
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;

  TDataSource* DataSource() const { return m_dataSource; }
  void SetDataSource(TDataSource* dataSource);
  TDataSet* DataSet() const;

  // True when the source is enabled and its dataset open.
  bool Active() const;
  // True when the dataset is in edit or insert state and the link is not read-only.
  bool Editing() const;
  // Asks the source to start editing (AutoEdit); returns Editing().
  bool Edit();
  bool ReadOnly = false;

  // How many records the control shows; the dataset buffers at least this many.
  int BufferCount() const { return m_bufferCount; }
  void SetBufferCount(int count);
  // Rows of this link's window that hold a record (0 when empty or inactive).
  int RecordCount() const;
  // Row of the current record within this link's window.
  int ActiveRecord() const;
  // Makes row `row` of this link's window the record that fields read (grid painting); set it
  // back to the previous ActiveRecord() when done (TLinkRowScope does). Ignored out of range.
  void SetActiveRecord(int row);

 protected:
  virtual void ActiveChanged() {}
  virtual void DataSetChanged() { RecordChanged(nullptr); }
  virtual void DataSetScrolled(int /*distance*/) { DataSetChanged(); }
  virtual void RecordChanged(TField* /*field*/) {}
  virtual void EditingChanged() {}
  virtual void UpdateData() {}
  virtual void LayoutChanged() { DataSetChanged(); }

 private:
  friend class TDataSet;
  friend class TDataSource;

  TDataSource* m_dataSource = nullptr;
  int m_bufferCount = 1;
  int m_firstRecord = 0;  // first row of this link's window within the dataset's window
};

// Points the dataset's fields at one row of a link's window for a scope (grid painting).
class TLinkRowScope {
 public:
  TLinkRowScope(TDataLink& link, int row) : m_link(link), m_saved(link.ActiveRecord()) {
    link.SetActiveRecord(row);
  }
  ~TLinkRowScope() { m_link.SetActiveRecord(m_saved); }
  TLinkRowScope(const TLinkRowScope&) = delete;
  TLinkRowScope& operator=(const TLinkRowScope&) = delete;

 private:
  TDataLink& m_link;
  int m_saved;
};

}  // namespace vorelia::data
