#include "data/dataset.h"

#include <algorithm>
#include <exception>

#include "data/data_error.h"
#include "data/data_link.h"
#include "data/data_source.h"
#include "platform/code_page.h"

namespace vorelia::data {
namespace {

[[noreturn]] void Fail(std::string_view message) { throw EDatabaseError(std::string(message)); }

bool Editing(TDataSetState state) {
  return state == TDataSetState::Edit || state == TDataSetState::Insert;
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// Runs a callback on scope exit, exceptions included.
template <typename F>
class OnExit {
 public:
  explicit OnExit(F f) : m_f(std::move(f)) {}
  ~OnExit() { m_f(); }
  OnExit(const OnExit&) = delete;
  OnExit& operator=(const OnExit&) = delete;

 private:
  F m_f;
};

void Fire(const TDataSet::TDataSetEvent& event, TDataSet& dataSet) {
  if (event) event(dataSet);
}

}  // namespace

TDataSet::TDataSet() = default;

TDataSet::~TDataSet() {
  for (TDataSource* source : std::vector<TDataSource*>(m_dataSources)) source->m_dataSet = nullptr;
}

// --- Opening and state -------------------------------------------------------------------------

void TDataSet::Open() {
  if (Active()) return;
  Fire(BeforeOpen, *this);
  InternalOpen();
  try {
    BindFields();
    m_buffers.assign(static_cast<size_t>(BufferCount()) + 1, TRecordBuffer{});
    for (TRecordBuffer& buffer : m_buffers) buffer.Data.assign(static_cast<size_t>(RecordSize()), 0);
    m_bufferRecords = 0;
    m_activeRecord = 0;
    m_modified = false;
    m_state = TDataSetState::Browse;
    InternalFirst();
    while (m_bufferRecords < BufferCount() && GetNextRecord()) {
    }
    m_bof = true;
    m_eof = m_bufferRecords == 0;
  } catch (...) {
    m_state = TDataSetState::Inactive;
    m_bufferRecords = 0;
    UnbindFields();
    InternalClose();
    throw;
  }
  Notify(LinkEvent::Active);
  Fire(AfterOpen, *this);
}

void TDataSet::Close() {
  if (!Active()) return;
  Fire(BeforeClose, *this);
  const bool wasEditing = Editing(m_state);
  m_state = TDataSetState::Inactive;
  m_tempBuffer = nullptr;
  // The table must close even when releasing an edit lock fails; the first failure is
  // reported once everything is released.
  std::exception_ptr failure;
  try {
    if (wasEditing) InternalCancel();
  } catch (...) {
    failure = std::current_exception();
  }
  try {
    InternalClose();
  } catch (...) {
    if (!failure) failure = std::current_exception();
  }
  UnbindFields();
  m_buffers.clear();
  m_anchor = TRecordBuffer{};
  m_bufferRecords = 0;
  m_activeRecord = 0;
  m_bof = m_eof = true;
  m_modified = false;
  Notify(LinkEvent::Active);
  if (failure) std::rethrow_exception(failure);
  Fire(AfterClose, *this);
}

void TDataSet::CheckActive() const {
  if (!Active()) Fail(msg::kDataSetClosed);
}

void TDataSet::CheckInactive() const {
  if (Active()) Fail(msg::kDataSetOpen);
}

void TDataSet::CheckCanModify() const {
  if (!CanModify()) Fail(msg::kDataSetReadOnly);
}

void TDataSet::SetState(TDataSetState state) {
  if (m_state == state) return;
  const bool editingChanged = Editing(m_state) != Editing(state);
  m_state = state;
  if (editingChanged) Notify(LinkEvent::Editing);
}

// --- Buffer window -----------------------------------------------------------------------------

TGetResult TDataSet::FetchRecord(TRecordBuffer& buffer, TGetMode mode) {
  for (;;) {
    const TGetResult result = GetRecord(buffer, mode);
    if (result != TGetResult::Ok) return result;
    buffer.Flag = TBookmarkFlag::Current;
    if (!m_filtered || AcceptRecord(buffer)) return TGetResult::Ok;
    if (mode == TGetMode::Current) return TGetResult::Error;
  }
}

bool TDataSet::AcceptRecord(TRecordBuffer& buffer) {
  const TDataSetState saved = m_state;
  TRecordBuffer* savedTemp = m_tempBuffer;
  m_state = TDataSetState::Filter;
  m_tempBuffer = &buffer;
  OnExit restore([&] {
    m_state = saved;
    m_tempBuffer = savedTemp;
  });
  bool accept = FilterAccepts(buffer);
  if (accept && OnFilterRecord) OnFilterRecord(*this, accept);
  return accept;
}

TRecordBuffer& TDataSet::Scratch() { return m_buffers.back(); }

bool TDataSet::GetNextRecord() {
  if (m_bufferRecords > 0) InternalSetToRecord(m_buffers[static_cast<size_t>(m_bufferRecords - 1)]);
  if (FetchRecord(Scratch(), TGetMode::Next) != TGetResult::Ok) return false;
  if (m_bufferRecords < BufferCount()) {
    std::swap(m_buffers[static_cast<size_t>(m_bufferRecords)], Scratch());
    ++m_bufferRecords;
  } else {
    // Full window: the first row falls out and every row moves up.
    std::swap(m_buffers.front(), Scratch());
    std::rotate(m_buffers.begin(), m_buffers.begin() + 1, m_buffers.begin() + m_bufferRecords);
    --m_activeRecord;
    ++m_windowShift;
  }
  return true;
}

bool TDataSet::GetPriorRecord() {
  if (m_bufferRecords > 0) InternalSetToRecord(m_buffers.front());
  if (FetchRecord(Scratch(), TGetMode::Prior) != TGetResult::Ok) return false;
  if (m_bufferRecords < BufferCount()) {
    ++m_bufferRecords;
  } else {
    --m_windowShift;
  }
  // The last row (a free one, or the one falling out) goes to the top.
  std::swap(m_buffers[static_cast<size_t>(m_bufferRecords - 1)], Scratch());
  std::rotate(m_buffers.begin(), m_buffers.begin() + (m_bufferRecords - 1),
              m_buffers.begin() + m_bufferRecords);
  ++m_activeRecord;
  return true;
}

void TDataSet::ClearBuffers() {
  m_bufferRecords = 0;
  m_activeRecord = 0;
}

void TDataSet::FillAround(TRecordBuffer& anchor, int desiredRow) {
  ClearBuffers();
  std::swap(m_buffers.front(), anchor);
  m_bufferRecords = 1;
  desiredRow = std::clamp(desiredRow, 0, BufferCount() - 1);
  for (int i = 0; i < BufferCount() - 1 - desiredRow; ++i)
    if (!GetNextRecord()) break;
  while (m_bufferRecords < BufferCount() && GetPriorRecord()) {
  }
  while (m_bufferRecords < BufferCount() && GetNextRecord()) {
  }
}

void TDataSet::ResyncFrom(bool fromActive, int desiredRow) {
  // A fresh buffer each time, in memory kept from the last resync.
  TRecordBuffer anchor = std::move(m_anchor);
  anchor.Data.assign(static_cast<size_t>(RecordSize()), 0);
  anchor.Bookmark = -1;
  anchor.Flag = TBookmarkFlag::Current;
  anchor.SequenceNo = 0;
  OnExit keep([&] { m_anchor = std::move(anchor); });
  const TRecordBuffer* active =
      fromActive && m_bufferRecords > 0 ? &m_buffers[static_cast<size_t>(m_activeRecord)] : nullptr;
  if (active && (active->Flag == TBookmarkFlag::Inserted || active->Bookmark < 0)) active = nullptr;
  if (active) InternalSetToRecord(*active);
  // A record that vanished (deleted, filtered out) gives way to the next one, or at the end to
  // the one before.
  bool found = FetchRecord(anchor, TGetMode::Current) == TGetResult::Ok ||
               FetchRecord(anchor, TGetMode::Next) == TGetResult::Ok ||
               FetchRecord(anchor, TGetMode::Prior) == TGetResult::Ok;
  if (!found) {
    ClearBuffers();
    m_bof = m_eof = true;
    return;
  }
  FillAround(anchor, desiredRow);
  m_bof = m_eof = false;
}

void TDataSet::Resync() {
  if (!Active()) return;
  ResyncFrom(true, m_activeRecord);
  Notify(LinkEvent::Changed);
}

void TDataSet::ResyncAtCursor() {
  if (!Active()) return;
  ResyncFrom(false, m_activeRecord);
  Notify(LinkEvent::Changed);
}

void TDataSet::SetBufferCount(int count) {
  count = std::max(count, 1);
  if (!Active()) {
    m_bufferCount = count;
    return;
  }
  if (count == m_bufferCount) return;
  const int old = m_bufferCount;
  TRecordBuffer scratch = std::move(Scratch());
  m_buffers.pop_back();
  if (count < old) {
    // Keep the active record; drop rows after it first, then before it.
    const int drop = std::max(0, m_bufferRecords - count);
    // An empty window has no active row to keep, so nothing lies after it.
    const int dropAfter = std::clamp(m_bufferRecords - 1 - m_activeRecord, 0, drop);
    const int dropBefore = drop - dropAfter;
    m_buffers.erase(m_buffers.begin() + (m_bufferRecords - dropAfter),
                    m_buffers.begin() + m_bufferRecords);
    m_buffers.erase(m_buffers.begin(), m_buffers.begin() + dropBefore);
    m_bufferRecords -= drop;
    m_activeRecord -= dropBefore;
    m_buffers.resize(static_cast<size_t>(count));
  } else {
    m_buffers.resize(static_cast<size_t>(count));
    for (size_t i = static_cast<size_t>(old); i < m_buffers.size(); ++i)
      m_buffers[i].Data.assign(static_cast<size_t>(RecordSize()), 0);
  }
  m_buffers.push_back(std::move(scratch));
  m_bufferCount = count;
  // Only a browsing dataset reads more records; an edit keeps its buffer untouched.
  if (count > old && m_state == TDataSetState::Browse && m_bufferRecords > 0) {
    m_windowShift = 0;
    while (m_bufferRecords < count && GetNextRecord()) {
    }
    while (m_bufferRecords < count && GetPriorRecord()) {
    }
  }
  Notify(LinkEvent::Changed);
}

void TDataSet::UpdateBufferCount() {
  int count = 1;
  for (const TDataSource* source : m_dataSources)
    for (const TDataLink* link : source->m_links) count = std::max(count, link->m_bufferCount);
  SetBufferCount(count);
}

// --- Navigation --------------------------------------------------------------------------------

void TDataSet::First() {
  CheckBrowseMode();
  Fire(BeforeScroll, *this);
  ClearBuffers();
  InternalFirst();
  while (m_bufferRecords < BufferCount() && GetNextRecord()) {
  }
  m_activeRecord = 0;
  m_bof = true;
  m_eof = m_bufferRecords == 0;
  Notify(LinkEvent::Changed);
  Fire(AfterScroll, *this);
}

void TDataSet::Last() {
  CheckBrowseMode();
  Fire(BeforeScroll, *this);
  ClearBuffers();
  InternalLast();
  while (m_bufferRecords < BufferCount() && GetPriorRecord()) {
  }
  m_activeRecord = std::max(0, m_bufferRecords - 1);
  m_eof = true;
  m_bof = m_bufferRecords == 0;
  Notify(LinkEvent::Changed);
  Fire(AfterScroll, *this);
}

int TDataSet::MoveBy(int distance) {
  CheckBrowseMode();
  if (distance == 0) return 0;
  if (m_bufferRecords == 0) {
    m_bof = m_eof = true;
    return 0;
  }
  if ((distance > 0 && m_eof) || (distance < 0 && m_bof)) return 0;
  Fire(BeforeScroll, *this);
  m_windowShift = 0;
  int moved = 0;
  if (distance > 0) {
    m_bof = false;
    for (; moved < distance; ++moved) {
      if (m_activeRecord < m_bufferRecords - 1) {
        ++m_activeRecord;
      } else if (GetNextRecord()) {
        m_activeRecord = m_bufferRecords - 1;
      } else {
        m_eof = true;
        break;
      }
    }
  } else {
    m_eof = false;
    for (; moved > distance; --moved) {
      if (m_activeRecord > 0) {
        --m_activeRecord;
      } else if (GetPriorRecord()) {
        m_activeRecord = 0;
      } else {
        m_bof = true;
        break;
      }
    }
  }
  if (moved != 0) {
    Notify(LinkEvent::Scrolled);
    Fire(AfterScroll, *this);
  }
  return moved;
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  Fire(BeforeRefresh, *this);
  InternalRefresh();
  Resync();
  Fire(AfterRefresh, *this);
}

int TDataSet::RecordCount() const { return Active() ? GetRecordCount() : 0; }

int TDataSet::RecNo() const { return Active() ? GetRecNo() : 0; }

int TDataSet::GetRecNo() const {
  const TRecordBuffer* buffer = ActiveBuffer();
  return buffer ? buffer->SequenceNo : 0;
}

// --- Editing -----------------------------------------------------------------------------------

void TDataSet::StartInsert(bool append) {
  CheckBrowseMode();
  CheckCanModify();
  Fire(BeforeInsert, *this);
  Fire(BeforeScroll, *this);
  const TRecordBuffer* current = ActiveBuffer();
  m_insertReturn = !append && current ? current->Bookmark : -1;
  if (append) {
    // The new record shows after the last one, with as many earlier records as fit.
    ClearBuffers();
    if (BufferCount() > 1) {
      InternalLast();
      while (m_bufferRecords < BufferCount() - 1 && GetPriorRecord()) {
      }
    }
    m_activeRecord = m_bufferRecords;
    ++m_bufferRecords;
    m_bof = false;
    m_eof = true;
  } else {
    int row = m_bufferRecords == 0 ? 0 : m_activeRecord;
    if (m_bufferRecords == BufferCount() && row > 0 && row == m_bufferRecords - 1) {
      // Inserting before the last row of a full window: the first row makes way, so the
      // current record stays in view under the new one.
      std::rotate(m_buffers.begin(), m_buffers.begin() + 1, m_buffers.begin() + m_bufferRecords);
      --m_bufferRecords;
      --row;
    }
    // The spare buffer becomes the new row; a full window drops its last row.
    if (m_bufferRecords < BufferCount()) ++m_bufferRecords;
    std::swap(m_buffers[static_cast<size_t>(m_bufferRecords - 1)], Scratch());
    std::rotate(m_buffers.begin() + row, m_buffers.begin() + (m_bufferRecords - 1),
                m_buffers.begin() + m_bufferRecords);
    m_activeRecord = row;
    m_bof = m_eof = false;
  }
  TRecordBuffer& buffer = m_buffers[static_cast<size_t>(m_activeRecord)];
  InternalInitRecord(buffer);
  buffer.Flag = TBookmarkFlag::Inserted;
  buffer.Bookmark = -1;
  buffer.SequenceNo = 0;
  m_modified = false;
  SetState(TDataSetState::Insert);
  Fire(OnNewRecord, *this);
  m_modified = false;
  Notify(LinkEvent::Changed);
  Fire(AfterInsert, *this);
  Fire(AfterScroll, *this);
}

void TDataSet::Append() { StartInsert(true); }

void TDataSet::Insert() { StartInsert(false); }

void TDataSet::Edit() {
  CheckActive();
  if (Editing(m_state)) return;
  if (m_bufferRecords == 0) {
    Insert();
    return;
  }
  CheckCanModify();
  Fire(BeforeEdit, *this);
  InternalEdit();
  m_modified = false;
  SetState(TDataSetState::Edit);
  Notify(LinkEvent::Record);
  Fire(AfterEdit, *this);
}

void TDataSet::Post() {
  CheckActive();
  if (!Editing(m_state)) return;
  UpdateRecord();
  Fire(BeforePost, *this);
  for (const auto& field : m_fields)
    if (field->Required && field->FieldNo() > 0 && field->IsNull())
      throw EDatabaseError(FormatMessage(msg::kFieldRequired, {field->FieldName()}));
  InternalPost();
  // The stored record is an ordinary one now; the window is re-read around it.
  if (TRecordBuffer* buffer = ActiveBuffer(); buffer && buffer->Bookmark >= 0)
    buffer->Flag = TBookmarkFlag::Current;
  m_modified = false;
  SetState(TDataSetState::Browse);
  Resync();
  Fire(AfterPost, *this);
}

void TDataSet::Cancel() {
  CheckActive();
  if (!Editing(m_state)) return;
  Fire(BeforeCancel, *this);
  const bool wasInsert = m_state == TDataSetState::Insert;
  InternalCancel();
  m_modified = false;
  if (wasInsert) {
    // The unposted row leaves the window; its neighbour becomes current.
    auto row = m_buffers.begin() + m_activeRecord;
    std::rotate(row, row + 1, m_buffers.begin() + m_bufferRecords);
    --m_bufferRecords;
    m_activeRecord = std::clamp(m_activeRecord, 0, std::max(0, m_bufferRecords - 1));
  }
  SetState(TDataSetState::Browse);
  if (m_bufferRecords > 0) {
    Resync();
  } else {
    // The window held only the new row: return to the record the insert started from, or
    // after an append to the last record.
    if (wasInsert && m_insertReturn >= 0)
      InternalGotoBookmark(m_insertReturn);
    else
      InternalLast();
    ResyncFrom(false, 0);
    Notify(LinkEvent::Changed);
  }
  Fire(AfterCancel, *this);
}

void TDataSet::Delete() {
  CheckActive();
  if (m_state == TDataSetState::Insert) {
    Cancel();
    return;
  }
  if (m_bufferRecords == 0) Fail(msg::kDataSetEmpty);
  CheckCanModify();
  Fire(BeforeDelete, *this);
  Fire(BeforeScroll, *this);
  if (m_state == TDataSetState::Edit) {
    // Pending changes of a record about to be deleted are dropped, with its lock.
    InternalCancel();
    m_modified = false;
    SetState(TDataSetState::Browse);
  }
  InternalDelete();
  SetState(TDataSetState::Browse);
  Resync();
  Fire(AfterDelete, *this);
  Fire(AfterScroll, *this);
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  if (!Editing(m_state)) return;
  UpdateRecord();
  if (m_modified)
    Post();
  else
    Cancel();
}

void TDataSet::UpdateRecord() {
  if (!Editing(m_state)) Fail(msg::kNotEditing);
  for (TDataSource* source : std::vector<TDataSource*>(m_dataSources)) {
    for (TDataLink* link : std::vector<TDataLink*>(source->m_links)) link->UpdateData();
    if (source->OnUpdateData) source->OnUpdateData(*source);
  }
}

// --- Bookmarks and searching -------------------------------------------------------------------

TBookmark TDataSet::GetBookmark() const {
  const TRecordBuffer* buffer = Active() ? ActiveBuffer() : nullptr;
  if (!buffer || buffer->Flag == TBookmarkFlag::Inserted || buffer->Bookmark < 0) return {};
  return TBookmark(buffer->Bookmark);
}

bool TDataSet::BookmarkValid(const TBookmark& bookmark) const {
  return Active() && !bookmark.IsEmpty() && InternalBookmarkValid(bookmark.Value());
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
  CheckBrowseMode();
  if (bookmark.IsEmpty()) return;
  Fire(BeforeScroll, *this);
  InternalGotoBookmark(bookmark.Value());
  ResyncFrom(false, BufferCount() / 2);
  Notify(LinkEvent::Changed);
  Fire(AfterScroll, *this);
}

bool TDataSet::Locate(std::string_view fieldNames, const std::vector<TFieldValue>& values,
                      TLocateOptions options) {
  CheckBrowseMode();
  std::vector<TField*> fields;
  for (size_t start = 0; start <= fieldNames.size();) {
    size_t end = fieldNames.find(';', start);
    if (end == std::string_view::npos) end = fieldNames.size();
    std::string_view name = fieldNames.substr(start, end - start);
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    name = TrimRight(name);
    if (!name.empty()) fields.push_back(&FieldByName(name));
    start = end + 1;
  }
  if (fields.empty() || fields.size() != values.size()) return false;

  std::vector<std::string> wanted;
  for (size_t i = 0; i < fields.size(); ++i) {
    std::string text(TrimRight(ValueToText(CoerceValue(values[i], fields[i]->DataType()))));
    wanted.push_back(options.CaseInsensitive ? platform::AnsiUpper(text) : text);
  }
  auto matches = [&] {
    for (size_t i = 0; i < fields.size(); ++i) {
      std::string text(TrimRight(fields[i]->AsString()));
      if (options.CaseInsensitive) text = platform::AnsiUpper(text);
      const bool partial = options.PartialKey && fields[i]->DataType() == TFieldType::String;
      if (partial ? text.compare(0, wanted[i].size(), wanted[i]) != 0 : text != wanted[i])
        return false;
    }
    return true;
  };

  // The scan reads records into the spare buffer, so the window and the controls stay put
  // until a match is found.
  TRecordBuffer candidate;
  candidate.Data.assign(static_cast<size_t>(RecordSize()), 0);
  bool found = false;
  {
    TRecordBuffer* savedTemp = m_tempBuffer;
    OnExit restore([&] { m_tempBuffer = savedTemp; });
    m_tempBuffer = &candidate;
    InternalFirst();
    while (!found && FetchRecord(candidate, TGetMode::Next) == TGetResult::Ok) found = matches();
  }
  if (!found) {
    // Put the cursor back on the current record for the next fetch.
    if (m_bufferRecords > 0) InternalSetToRecord(m_buffers[static_cast<size_t>(m_activeRecord)]);
    return false;
  }
  Fire(BeforeScroll, *this);
  FillAround(candidate, BufferCount() / 2);
  m_bof = m_eof = false;
  Notify(LinkEvent::Changed);
  Fire(AfterScroll, *this);
  return true;
}

// --- Filtering ---------------------------------------------------------------------------------

void TDataSet::SetFiltered(bool filtered) {
  if (filtered == m_filtered) return;
  if (Active()) CheckBrowseMode();
  m_filtered = filtered;
  if (Active()) Resync();
}

void TDataSet::SetFilter(std::string filter) {
  if (Active()) CheckBrowseMode();
  m_filter = std::move(filter);
  FilterChanged();
  if (Active() && m_filtered) Resync();
}

// --- Fields ------------------------------------------------------------------------------------

TField* TDataSet::FindField(std::string_view name) const {
  for (const auto& field : m_fields)
    if (SameName(field->FieldName(), name)) return field.get();
  return nullptr;
}

TField& TDataSet::FieldByName(std::string_view name) const {
  TField* field = FindField(name);
  if (!field) throw EDatabaseError(FormatMessage(msg::kFieldNotFound, {name}));
  return *field;
}

TField& TDataSet::AddField(std::unique_ptr<TField> field) {
  CheckInactive();
  if (FindField(field->FieldName()))
    throw EDatabaseError(FormatMessage(msg::kDuplicateFieldName, {field->FieldName()}));
  field->Bind(this, 0);
  m_fields.push_back(std::move(field));
  m_persistentFields = static_cast<int>(m_fields.size());
  return *m_fields.back();
}

void TDataSet::ClearFields() {
  CheckInactive();
  m_fields.clear();
  m_persistentFields = 0;
}

void TDataSet::BindFields() {
  if (m_persistentFields == 0) {
    m_fields.clear();
    for (const TFieldDef& def : m_fieldDefs) {
      m_fields.push_back(CreateField(def));
      m_fields.back()->Bind(this, def.FieldNo);
    }
  } else {
    for (const auto& field : m_fields) {
      const TFieldDef* def = m_fieldDefs.Find(field->FieldName());
      if (!def) throw EDatabaseError(FormatMessage(msg::kFieldNotFound, {field->FieldName()}));
      if (def->DataType != field->DataType())
        throw EDatabaseError(FormatMessage(
            msg::kFieldTypeMismatch,
            {field->FieldName(), FieldTypeName(field->DataType()), FieldTypeName(def->DataType)}));
      field->Bind(this, def->FieldNo);
    }
  }
}

void TDataSet::UnbindFields() {
  m_fields.resize(static_cast<size_t>(m_persistentFields));
  for (const auto& field : m_fields) field->Bind(this, 0);
}

TRecordBuffer* TDataSet::ActiveBuffer() const {
  if (m_tempBuffer) return m_tempBuffer;
  if (!Active() || m_bufferRecords == 0) return nullptr;
  return const_cast<TRecordBuffer*>(&m_buffers[static_cast<size_t>(m_activeRecord)]);
}

TFieldValue TDataSet::ReadFieldValue(const TField& field) const {
  const TRecordBuffer* buffer = field.FieldNo() > 0 ? ActiveBuffer() : nullptr;
  return buffer ? GetFieldValue(field, *buffer) : TFieldValue{};
}

void TDataSet::WriteFieldValue(TField& field, const TFieldValue& value) {
  CheckActive();
  const bool internal = m_state == TDataSetState::CalcFields || m_state == TDataSetState::Filter;
  if (!Editing(m_state) && !internal) Fail(msg::kNotEditing);
  if (field.ReadOnly && !internal)
    throw EDatabaseError(FormatMessage(msg::kFieldReadOnly, {field.FieldName()}));
  TRecordBuffer* buffer = ActiveBuffer();
  if (!buffer || field.FieldNo() <= 0) Fail(msg::kDataSetEmpty);
  SetFieldValue(field, *buffer, value);
  if (internal) return;
  m_modified = true;
  Notify(LinkEvent::Record, &field);
}

// --- Controls and notifications ----------------------------------------------------------------

void TDataSet::DisableControls() {
  if (m_disableCount++ == 0) {
    m_stateAtDisable = m_state;
    m_pendingChange = m_pendingActiveChange = false;
  }
}

void TDataSet::EnableControls() {
  if (m_disableCount == 0 || --m_disableCount > 0) return;
  if (m_pendingActiveChange || Active() != (m_stateAtDisable != TDataSetState::Inactive)) {
    Notify(LinkEvent::Active);
  } else if (m_pendingChange) {
    if (Editing(m_state) != Editing(m_stateAtDisable)) Notify(LinkEvent::Editing);
    Notify(LinkEvent::Changed);
  }
}

void TDataSet::NotifyDataSetChanged() { Notify(LinkEvent::Changed); }
void TDataSet::NotifyLayoutChanged() { Notify(LinkEvent::Layout); }

void TDataSet::FitLinkWindow(TDataLink& link) const {
  const int count = link.m_bufferCount;
  int first = link.m_firstRecord;
  if (m_activeRecord < first) first = m_activeRecord;
  if (m_activeRecord >= first + count) first = m_activeRecord - count + 1;
  first = std::min(first, std::max(0, m_bufferRecords - count));
  link.m_firstRecord = std::max(0, first);
}

void TDataSet::Notify(LinkEvent event, TField* field) {
  const bool disabled = m_disableCount > 0;
  if (disabled) {
    if (event == LinkEvent::Active) m_pendingActiveChange = true;
    m_pendingChange = true;
  }
  for (TDataSource* source : std::vector<TDataSource*>(m_dataSources)) {
    for (TDataLink* link : std::vector<TDataLink*>(source->m_links)) {
      const int oldFirst = link->m_firstRecord;
      if (event == LinkEvent::Active) link->m_firstRecord = 0;
      if (event == LinkEvent::Scrolled) link->m_firstRecord -= m_windowShift;
      FitLinkWindow(*link);
      if (disabled || !source->Enabled()) continue;
      switch (event) {
        case LinkEvent::Active: link->ActiveChanged(); break;
        case LinkEvent::Changed: link->DataSetChanged(); break;
        case LinkEvent::Scrolled:
          link->DataSetScrolled(link->m_firstRecord + m_windowShift - oldFirst);
          break;
        case LinkEvent::Record: link->RecordChanged(field); break;
        case LinkEvent::Editing: link->EditingChanged(); break;
        case LinkEvent::Layout: link->LayoutChanged(); break;
      }
    }
    if (disabled || !source->Enabled()) continue;
    if (event == LinkEvent::Active || event == LinkEvent::Editing) {
      if (source->OnStateChange) source->OnStateChange(*source);
    }
    if (event != LinkEvent::Editing && event != LinkEvent::Active && source->OnDataChange)
      source->OnDataChange(*source, event == LinkEvent::Record ? field : nullptr);
  }
  m_windowShift = 0;
}

}  // namespace vorelia::data
