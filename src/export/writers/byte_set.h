#pragma once

#include <array>
#include <string_view>

namespace vorelia::exporter {

// A set of byte values for scanning texts that rarely hold any of them; a table lookup per byte
// is several times faster here than searching the set for every byte.
class ByteSet {
 public:
  constexpr explicit ByteSet(std::string_view members) {
    for (char c : members) m_has[static_cast<unsigned char>(c)] = true;
  }
  constexpr bool Has(char c) const { return m_has[static_cast<unsigned char>(c)]; }
  // Position of the first member at or after `from`, or npos.
  constexpr size_t FindIn(std::string_view text, size_t from = 0) const {
    for (size_t i = from; i < text.size(); ++i) {
      if (Has(text[i])) return i;
    }
    return std::string_view::npos;
  }

 private:
  std::array<bool, 256> m_has{};
};

inline constexpr ByteSet kLineBreaks("\r\n");

}  // namespace vorelia::exporter
