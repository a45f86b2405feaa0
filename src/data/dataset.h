#pragma once

// The dataset model: a table presented one record at a time.
//
//   TDataSet& ds = ...;                     // an engine's dataset, e.g. dbf::TDbfDataSet
//   ds.Open();                               // browse state, first record current
//   for (ds.First(); !ds.Eof(); ds.Next())
//     use(ds.FieldByName("AGENCIA").AsString());
//   ds.Edit();                               // or Append() / Insert()
//   ds.FieldByName("UF").SetAsString("SP");
//   ds.Post();                               // or Cancel()
//   TBookmark mark = ds.GetBookmark(); ...; ds.GotoBookmark(mark);
//
// Controls follow a dataset through a TDataSource and their own TDataLink (data_link.h); the
// dataset keeps a window of record buffers around the current record, as many as the largest
// BufferCount any link asks for, so a grid shows its rows without re-reading them.
//
// Engines derive from TDataSet and implement the protected primitives below; the base class
// owns states, buffers, fields, events and notifications. An engine calls Close() in its own
// destructor, while its primitives still exist.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/field.h"
#include "data/field_def.h"
#include "data/record_buffer.h"

namespace vorelia::data {

class TDataSource;
class TDataLink;

enum class TDataSetState { Inactive, Browse, Edit, Insert, CalcFields, Filter };

struct TFilterOptions {
  bool CaseInsensitive = false;
  bool NoPartialCompare = false;
};

struct TLocateOptions {
  bool CaseInsensitive = false;
  bool PartialKey = false;
};

class TDataSet {
 public:
  using TDataSetEvent = std::function<void(TDataSet&)>;
  using TFilterRecordEvent = std::function<void(TDataSet&, bool& accept)>;

  TDataSet();
  virtual ~TDataSet();
  TDataSet(const TDataSet&) = delete;
  TDataSet& operator=(const TDataSet&) = delete;

  // The component name that expressions use to say which dataset a field is from
  // ("Tabela.AGENCIA"); empty for an unnamed one.
  const std::string& Name() const { return m_name; }
  void SetName(std::string name) { m_name = std::move(name); }

  // --- Opening and state -----------------------------------------------------------------
  void Open();
  // Discards an unposted edit or insert.
  void Close();
  bool Active() const { return m_state != TDataSetState::Inactive; }
  void SetActive(bool active) { active ? Open() : Close(); }
  TDataSetState State() const { return m_state; }
  // True unless the dataset (or the engine under it) refuses changes.
  bool CanModify() const { return Active() && InternalCanModify(); }

  // --- Navigation --------------------------------------------------------------------------
  void First();
  void Last();
  void Next() { MoveBy(1); }
  void Prior() { MoveBy(-1); }
  // Moves up to `distance` visible records; returns how far it moved (negative backwards).
  int MoveBy(int distance);
  bool Bof() const { return m_bof; }
  bool Eof() const { return m_eof; }
  // Re-reads the records around the current one, applying deletion and the filter anew.
  void Refresh();
  // True when no record is visible.
  bool IsEmpty() const { return m_bufferRecords == 0; }
  int RecordCount() const;
  // Sequential number of the active record (0 when there is none).
  int RecNo() const;

  // --- Editing -------------------------------------------------------------------------------
  void Append();
  void Insert();
  void Edit();
  void Post();
  void Cancel();
  void Delete();
  // True after a field of the edited or inserted record was written.
  bool Modified() const { return m_modified; }
  // Posts a pending edit or insert; a no-op in browse state. Requires: active.
  void CheckBrowseMode();
  // Lets every data link hand its pending text to the fields (called before each post).
  void UpdateRecord();

  // --- Bookmarks -----------------------------------------------------------------------------
  // The active record's position; empty when there is none.
  TBookmark GetBookmark() const;
  void GotoBookmark(const TBookmark& bookmark);
  void FreeBookmark(TBookmark& bookmark) { bookmark = TBookmark(); }
  bool BookmarkValid(const TBookmark& bookmark) const;

  // --- Searching -----------------------------------------------------------------------------
  // Moves to the first visible record whose fields (names separated by ';') equal the values.
  // Returns false and stays put when there is none. Text compares by its trimmed value.
  bool Locate(std::string_view fieldNames, const std::vector<TFieldValue>& values,
              TLocateOptions options = {});

  // --- Filtering -----------------------------------------------------------------------------
  bool Filtered() const { return m_filtered; }
  // Refreshes an open dataset.
  void SetFiltered(bool filtered);
  const std::string& Filter() const { return m_filter; }
  void SetFilter(std::string filter);
  TFilterOptions FilterOptions;

  // --- Fields --------------------------------------------------------------------------------
  TFieldDefs& FieldDefs() { return m_fieldDefs; }
  const TFieldDefs& FieldDefs() const { return m_fieldDefs; }
  int FieldCount() const { return static_cast<int>(m_fields.size()); }
  TField& Fields(int index) const { return *m_fields.at(static_cast<size_t>(index)); }
  // nullptr when there is no such field (case-insensitive).
  TField* FindField(std::string_view name) const;
  // Raises "Field '%s' not found".
  TField& FieldByName(std::string_view name) const;
  // Adds a persistent field; the dataset owns it. Requires: inactive.
  TField& AddField(std::unique_ptr<TField> field);
  template <typename F, typename... Args>
  F& AddField(Args&&... args) {
    return static_cast<F&>(AddField(std::make_unique<F>(std::forward<Args>(args)...)));
  }
  // Removes every persistent field. Requires: inactive.
  void ClearFields();

  // --- Controls ------------------------------------------------------------------------------
  // Suspends notifications to data links; nests. EnableControls sends one refresh at the end.
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return m_disableCount > 0; }
  // The buffer window: how many records are buffered and which one is active.
  int BufferRecordCount() const { return m_bufferRecords; }
  int ActiveRecord() const { return m_activeRecord; }

  // --- Events --------------------------------------------------------------------------------
  TDataSetEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  TDataSetEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
  TDataSetEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
  TDataSetEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll, BeforeRefresh, AfterRefresh;
  TDataSetEvent OnNewRecord;
  TFilterRecordEvent OnFilterRecord;

 protected:
  // --- Engine primitives ---------------------------------------------------------------------
  // Opens the cursor and fills FieldDefs(). Throwing leaves the dataset inactive.
  virtual void InternalOpen() = 0;
  virtual void InternalClose() = 0;
  virtual int RecordSize() const = 0;
  // Fetches the next, prior or current record of the cursor into `buffer`, setting its
  // Data, Bookmark and SequenceNo. Skips records the engine hides (deleted ones); the dataset
  // applies the filter on top.
  virtual TGetResult GetRecord(TRecordBuffer& buffer, TGetMode mode) = 0;
  // Cursor before the first record / after the last one.
  virtual void InternalFirst() = 0;
  virtual void InternalLast() = 0;
  // Cursor on a record.
  virtual void InternalGotoBookmark(int64_t bookmark) = 0;
  virtual void InternalSetToRecord(const TRecordBuffer& buffer) {
    InternalGotoBookmark(buffer.Bookmark);
  }
  virtual bool InternalBookmarkValid(int64_t bookmark) const { return bookmark > 0; }
  // Fills a fresh buffer with an empty record for insert.
  virtual void InternalInitRecord(TRecordBuffer& buffer) = 0;
  // Prepares the active record for editing (lock, re-read into the buffer).
  virtual void InternalEdit() {}
  // Stores the active buffer (insert or edit state). After an insert the buffer's Bookmark
  // must name the new record.
  virtual void InternalPost() = 0;
  virtual void InternalCancel() {}
  // Removes (or flags) the active record.
  virtual void InternalDelete() = 0;
  virtual void InternalRefresh() {}
  virtual int GetRecordCount() const = 0;
  virtual int GetRecNo() const;
  virtual bool InternalCanModify() const { return true; }
  // Extra acceptance test before OnFilterRecord (an engine's filter expression).
  virtual bool FilterAccepts(const TRecordBuffer&) { return true; }
  virtual void FilterChanged() {}
  // Field values on a buffer.
  virtual TFieldValue GetFieldValue(const TField& field, const TRecordBuffer& buffer) const = 0;
  virtual void SetFieldValue(const TField& field, TRecordBuffer& buffer,
                             const TFieldValue& value) = 0;

  // --- Helpers for engines -------------------------------------------------------------------
  // The buffer the fields read: the active record, or the record being filtered.
  TRecordBuffer* ActiveBuffer() const;
  void CheckActive() const;
  void CheckInactive() const;
  // Creates default fields when there are no persistent ones and binds all fields by name.
  void BindFields();
  // Re-reads the window around the active record (the cursor when there is none).
  void Resync();
  // Re-reads the window around the record the cursor is on.
  void ResyncAtCursor();
  void NotifyDataSetChanged();
  void NotifyLayoutChanged();
  // Forgets the filter text without refreshing (an engine that cannot parse it).
  void ClearFilterText() { m_filter.clear(); }

 private:
  friend class TField;
  friend class TDataSource;
  friend class TDataLink;

  enum class LinkEvent { Active, Changed, Scrolled, Record, Editing, Layout };

  int BufferCount() const { return m_bufferCount; }
  void SetBufferCount(int count);
  void UpdateBufferCount();
  TRecordBuffer& Scratch();
  TGetResult FetchRecord(TRecordBuffer& buffer, TGetMode mode);
  bool AcceptRecord(TRecordBuffer& buffer);
  bool GetNextRecord();
  bool GetPriorRecord();
  void ClearBuffers();
  void FillAround(TRecordBuffer& anchor, int desiredRow);
  void ResyncFrom(bool fromActive, int desiredRow);
  void StartInsert(bool append);
  void CheckCanModify() const;
  void SetState(TDataSetState state);
  void UnbindFields();
  void FitLinkWindow(TDataLink& link) const;
  void Notify(LinkEvent event, TField* field = nullptr);

  // Field access for TField: the active buffer through the engine.
  TFieldValue ReadFieldValue(const TField& field) const;
  void WriteFieldValue(TField& field, const TFieldValue& value);

  std::string m_name;
  TDataSetState m_state = TDataSetState::Inactive;
  TFieldDefs m_fieldDefs;
  std::vector<std::unique_ptr<TField>> m_fields;
  int m_persistentFields = 0;
  std::vector<TRecordBuffer> m_buffers;  // the window plus one spare; m_bufferRecords are valid
  TRecordBuffer m_anchor;  // reused by every resync, so re-reading the window allocates nothing
  int m_bufferCount = 1;
  int m_windowShift = 0;
  int64_t m_insertReturn = -1;  // record current when an insert began  // rows the window moved forward during the current operation
  int m_bufferRecords = 0;
  int m_activeRecord = 0;
  TRecordBuffer* m_tempBuffer = nullptr;  // set while filtering or while a grid reads a row
  bool m_bof = true;
  bool m_eof = true;
  bool m_modified = false;
  bool m_filtered = false;
  std::string m_filter;
  int m_disableCount = 0;
  TDataSetState m_stateAtDisable = TDataSetState::Inactive;
  bool m_pendingChange = false;
  bool m_pendingActiveChange = false;
  std::vector<TDataSource*> m_dataSources;
};

}  // namespace vorelia::data
