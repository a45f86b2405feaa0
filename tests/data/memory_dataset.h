#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "data/dataset.h"

namespace vorelia::test {

// A small dataset over rows kept in memory, for exercising the dataset model. Every field is
// kept as text in a fixed-width slot of the record buffer; rows flagged deleted are hidden.
class TMemoryDataSet : public data::TDataSet {
 public:
  struct Column {
    std::string Name;
    data::TFieldType Type;
    int Size;
  };
  struct Row {
    std::string Bytes;
    bool Deleted = false;
  };

  explicit TMemoryDataSet(std::vector<Column> columns) : m_columns(std::move(columns)) {
    for (const Column& c : m_columns) m_recordSize += c.Size;
  }
  ~TMemoryDataSet() override { Close(); }

  // Adds a row of texts (one per column) directly to the storage.
  void AddRow(const std::vector<std::string>& texts, bool deleted = false) {
    std::string bytes(static_cast<size_t>(m_recordSize), ' ');
    int offset = 0;
    for (size_t i = 0; i < m_columns.size(); ++i) {
      const std::string& t = i < texts.size() ? texts[i] : std::string();
      bytes.replace(static_cast<size_t>(offset), std::min<size_t>(t.size(), m_columns[i].Size),
                    t.substr(0, static_cast<size_t>(m_columns[i].Size)));
      offset += m_columns[i].Size;
    }
    m_rows.push_back({bytes, deleted});
  }

  std::vector<Row> m_rows;
  bool ReadOnlyStore = false;
  int Locks = 0;  // held edit locks
  std::vector<std::string> Calls;

 protected:
  void InternalOpen() override {
    Calls.push_back("open");
    FieldDefs().Clear();
    for (const Column& c : m_columns)
      FieldDefs().Add(c.Name, c.Type, c.Type == data::TFieldType::String ? c.Size : 0);
    m_cursor = 0;
  }
  void InternalClose() override { Calls.push_back("close"); }
  int RecordSize() const override { return m_recordSize; }

  data::TGetResult GetRecord(data::TRecordBuffer& buffer, data::TGetMode mode) override {
    const int count = static_cast<int>(m_rows.size());
    for (;;) {
      if (mode == data::TGetMode::Next) {
        if (m_cursor >= count) {
          m_cursor = count + 1;
          return data::TGetResult::Eof;
        }
        ++m_cursor;
      } else if (mode == data::TGetMode::Prior) {
        if (m_cursor <= 1) {
          m_cursor = 0;
          return data::TGetResult::Bof;
        }
        --m_cursor;
      } else if (m_cursor < 1 || m_cursor > count) {
        return data::TGetResult::Error;
      }
      const Row& row = m_rows[static_cast<size_t>(m_cursor - 1)];
      if (row.Deleted) {
        if (mode == data::TGetMode::Current) return data::TGetResult::Error;
        continue;
      }
      std::memcpy(buffer.Data.data(), row.Bytes.data(), row.Bytes.size());
      buffer.Bookmark = m_cursor;
      buffer.SequenceNo = m_cursor;
      return data::TGetResult::Ok;
    }
  }
  void InternalFirst() override { m_cursor = 0; }
  void InternalLast() override { m_cursor = static_cast<int>(m_rows.size()) + 1; }
  void InternalGotoBookmark(int64_t bookmark) override { m_cursor = static_cast<int>(bookmark); }
  void InternalInitRecord(data::TRecordBuffer& buffer) override {
    std::fill(buffer.Data.begin(), buffer.Data.end(), ' ');
  }
  void InternalEdit() override {
    Calls.push_back("lock " + std::to_string(ActiveBuffer()->Bookmark));
    ++Locks;
  }
  void InternalPost() override {
    data::TRecordBuffer& buffer = *ActiveBuffer();
    std::string bytes(buffer.Data.begin(), buffer.Data.end());
    if (State() == data::TDataSetState::Insert) {
      m_rows.push_back({bytes, false});
      buffer.Bookmark = static_cast<int64_t>(m_rows.size());
      Calls.push_back("insert " + std::to_string(buffer.Bookmark));
    } else {
      m_rows[static_cast<size_t>(buffer.Bookmark - 1)].Bytes = bytes;
      Calls.push_back("write " + std::to_string(buffer.Bookmark));
      --Locks;
    }
  }
  void InternalCancel() override {
    if (State() == data::TDataSetState::Edit) --Locks;
    Calls.push_back("cancel");
  }
  void InternalDelete() override {
    m_rows[static_cast<size_t>(ActiveBuffer()->Bookmark - 1)].Deleted = true;
    Calls.push_back("delete " + std::to_string(ActiveBuffer()->Bookmark));
  }
  int GetRecordCount() const override { return static_cast<int>(m_rows.size()); }
  bool InternalCanModify() const override { return !ReadOnlyStore; }

  data::TFieldValue GetFieldValue(const data::TField& field,
                                  const data::TRecordBuffer& buffer) const override {
    const auto [offset, column] = Slot(field);
    std::string text(buffer.Data.data() + offset, static_cast<size_t>(column->Size));
    while (!text.empty() && text.back() == ' ') text.pop_back();
    if (text.empty()) return {};
    return data::CoerceValue(text, column->Type);
  }
  void SetFieldValue(const data::TField& field, data::TRecordBuffer& buffer,
                     const data::TFieldValue& value) override {
    const auto [offset, column] = Slot(field);
    std::string text = data::ValueToText(value).substr(0, static_cast<size_t>(column->Size));
    text.resize(static_cast<size_t>(column->Size), ' ');
    std::memcpy(buffer.Data.data() + offset, text.data(), text.size());
  }

 private:
  std::pair<int, const Column*> Slot(const data::TField& field) const {
    int offset = 0;
    for (int i = 0; i < field.FieldNo() - 1; ++i) offset += m_columns[static_cast<size_t>(i)].Size;
    return {offset, &m_columns[static_cast<size_t>(field.FieldNo() - 1)]};
  }

  std::vector<Column> m_columns;
  int m_recordSize = 0;
  int m_cursor = 0;
};

}  // namespace vorelia::test
