#pragma once

#include <string>
#include <string_view>

namespace vorelia::data {
class TDataSet;
}

namespace vorelia::records {

// The search page's test: does the record's chosen field contain the text, ignoring case?
// Both texts are upper-cased with code page 1252's own mapping (accented letters keep their
// accents), and an empty text is contained nowhere.
class TAgencyFilter {
 public:
  // The fields the search page offers, by position: AGENCIA, ENDERECO, MUNICIPIO, UF.
  static constexpr int kFieldCount = 4;
  static const char* FieldAt(int position);
  // The position of a field name (case-insensitive), or -1.
  static int PositionOf(std::string_view fieldName);

  TAgencyFilter(int position, std::string text) : m_position(position), m_text(std::move(text)) {}

  // True when the value contains the text (ANSI bytes).
  static bool Contains(std::string_view value, std::string_view text);
  // The test on the dataset's current record; no position selected tests an empty value.
  bool Accepts(const data::TDataSet& dataSet) const;

 private:
  int m_position;
  std::string m_text;
};

}  // namespace vorelia::records
