#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vorelia::dbf {

// Converts text from one code page to another. Between two single-byte code pages it maps
// byte by byte through a table built once; otherwise it goes through the platform conversion
// for every text. Unmappable characters become '?'.
class TStringTranslator {
 public:
  TStringTranslator() = default;
  TStringTranslator(int fromCodePage, int toCodePage);

  // True when text passes unchanged.
  bool Identity() const { return m_identity; }
  std::string Translate(std::string_view text) const;
  void TranslateInPlace(std::string& text) const;
  // True when this text would come out unchanged (plain ASCII between the usual code pages).
  bool LeavesUnchanged(std::string_view text) const;
  // True when every character keeps its length, so text can be translated into a fixed place.
  bool KeepsLength() const { return m_identity || m_hasTable; }
  // Writes the translation of `text` to `out` (text.size() bytes). Requires: KeepsLength().
  void TranslateInto(std::string_view text, char* out) const;

 private:
  int m_from = 0;
  int m_to = 0;
  bool m_identity = true;
  bool m_hasTable = false;
  bool m_asciiUnchanged = false;  // bytes below 0x80 map to themselves
  std::array<unsigned char, 256> m_table{};
};

}  // namespace vorelia::dbf
