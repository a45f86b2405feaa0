#include "dbf/string_translator.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <utility>

#include "platform/code_page.h"

namespace vorelia::dbf {
namespace {

// Code pages whose characters may take two bytes: no byte table for them.
bool MultiByte(int codePage) {
  return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 ||
         codePage == 1361 || codePage == 65001;
}

// Byte tables per pair of code pages, built on first use; empty when either side is not a
// single-byte code page.
const std::string& CachedTable(int from, int to) {
  static std::mutex mutex;
  static std::map<std::pair<int, int>, std::string> tables;
  std::scoped_lock lock(mutex);
  auto it = tables.find({from, to});
  if (it != tables.end()) return it->second;
  std::string all(256, '\0');
  for (int b = 0; b < 256; ++b) all[static_cast<size_t>(b)] = static_cast<char>(b);
  std::string table = platform::ConvertCodePage(all, from, to);
  // A multi-byte side shows as a different length: no table then.
  if (table.size() != 256) table.clear();
  return tables.emplace(std::make_pair(from, to), std::move(table)).first->second;
}

}  // namespace

TStringTranslator::TStringTranslator(int fromCodePage, int toCodePage)
    : m_from(fromCodePage), m_to(toCodePage), m_identity(fromCodePage == toCodePage) {
  if (m_identity || MultiByte(fromCodePage) || MultiByte(toCodePage)) return;
  const std::string& table = CachedTable(fromCodePage, toCodePage);
  if (table.size() == 256) {
    m_asciiUnchanged = true;
    for (size_t i = 0; i < 256; ++i) {
      m_table[i] = static_cast<unsigned char>(table[i]);
      if (i < 0x80 && m_table[i] != i) m_asciiUnchanged = false;
    }
    m_hasTable = true;
  }
}

void TStringTranslator::TranslateInPlace(std::string& text) const {
  if (m_identity) return;
  if (!m_hasTable) {
    text = platform::ConvertCodePage(text, m_from, m_to);
    return;
  }
  size_t first = 0;
  // Most text is plain ASCII, which the usual code pages share: skip it quickly, eight bytes
  // at a time.
  if (m_asciiUnchanged) {
    constexpr uint64_t kHighBits = 0x8080808080808080ull;
    for (; first + 8 <= text.size(); first += 8) {
      uint64_t word;
      std::memcpy(&word, text.data() + first, sizeof(word));
      if ((word & kHighBits) != 0) break;
    }
    while (first < text.size() && (text[first] & 0x80) == 0) ++first;
  }
  for (size_t i = first; i < text.size(); ++i)
    text[i] = static_cast<char>(m_table[static_cast<unsigned char>(text[i])]);
}

bool TStringTranslator::LeavesUnchanged(std::string_view text) const {
  if (m_identity) return true;
  if (!m_asciiUnchanged) return false;
  constexpr uint64_t kHighBits = 0x8080808080808080ull;
  size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + i, sizeof(word));
    if ((word & kHighBits) != 0) return false;
  }
  for (; i < text.size(); ++i)
    if ((text[i] & 0x80) != 0) return false;
  return true;
}

void TStringTranslator::TranslateInto(std::string_view text, char* out) const {
  if (m_identity || !m_hasTable || LeavesUnchanged(text)) {
    std::memcpy(out, text.data(), text.size());
    return;
  }
  for (size_t i = 0; i < text.size(); ++i)
    out[i] = static_cast<char>(m_table[static_cast<unsigned char>(text[i])]);
}

std::string TStringTranslator::Translate(std::string_view text) const {
  if (m_identity) return std::string(text);
  if (!m_hasTable) return platform::ConvertCodePage(text, m_from, m_to);
  std::string out(text.size(), '\0');
  for (size_t i = 0; i < text.size(); ++i)
    out[i] = static_cast<char>(m_table[static_cast<unsigned char>(text[i])]);
  return out;
}

}  // namespace vorelia::dbf
