#include "platform/code_page.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace vorelia::platform {
namespace {

std::string IconvName(int codePage) {
  if (codePage == 65001) return "UTF-8";
  return "CP" + std::to_string(codePage);
}

// Converts with iconv, putting '?' in place of every character the target cannot hold (glibc's
// //TRANSLIT depends on the locale, so the substitution is ours).
std::string Convert(std::string_view text, const std::string& from, const std::string& to) {
  if (text.empty()) return {};
  iconv_t cd = iconv_open(to.c_str(), from.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(text);
  std::string out;
  out.reserve(text.size() * 2);
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  std::array<char, 256> buffer;
  while (inLeft > 0) {
    char* outPtr = buffer.data();
    size_t outLeft = buffer.size();
    size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer.data(), buffer.size() - outLeft);
    if (rc == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: skip one input character. A UTF-8 source skips the whole sequence.
      size_t skip = 1;
      if (from == "UTF-8") {
        // Skip the lead byte and the continuation bytes that belong to it.
        while (skip < inLeft && skip < 4 && (static_cast<unsigned char>(in[skip]) & 0xC0) == 0x80) {
          ++skip;
        }
      }
      in += skip;
      inLeft -= skip;
      out.push_back('?');
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

struct LocaleId {
  const char* prefix;
  uint16_t id;
};

constexpr LocaleId kLocaleIds[] = {
    {"pt_BR", 0x0416}, {"pt_PT", 0x0816}, {"en_US", 0x0409}, {"en_GB", 0x0809},
    {"en_AU", 0x0C09}, {"en_CA", 0x1009}, {"de_DE", 0x0407}, {"de_AT", 0x0C07},
    {"de_CH", 0x0807}, {"es_ES", 0x0C0A}, {"es_MX", 0x080A}, {"fr_FR", 0x040C},
    {"fr_CA", 0x0C0C}, {"fr_BE", 0x080C}, {"fr_CH", 0x100C}, {"it_IT", 0x0410},
    {"nl_NL", 0x0413}, {"nl_BE", 0x0813}, {"da_DK", 0x0406}, {"sv_SE", 0x041D},
    {"fi_FI", 0x040B}, {"nb_NO", 0x0414}, {"no_NO", 0x0414}, {"is_IS", 0x040F},
    {"pl_PL", 0x0415}, {"cs_CZ", 0x0405}, {"hu_HU", 0x040E}, {"ru_RU", 0x0419},
    {"el_GR", 0x0408}, {"tr_TR", 0x041F}, {"sl_SI", 0x0424}, {"hr_HR", 0x041A},
    {"ja_JP", 0x0411}, {"zh_CN", 0x0804}, {"zh_TW", 0x0404}, {"ko_KR", 0x0412},
    {"pt", 0x0416},    {"en", 0x0409},    {"de", 0x0407},    {"es", 0x0C0A},
    {"fr", 0x040C},    {"it", 0x0410},    {"nl", 0x0413},
};

// Code page 1252's characters 0x80-0x9F; 0 marks the five unassigned bytes. The rest of the
// code page is Latin-1, so the conversions at the UTF-8 edge need no iconv (they run per grid
// cell and per exported value).
constexpr char16_t kAnsiHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

char AnsiFromCodePoint(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i) {
    if (kAnsiHigh[i] != 0 && kAnsiHigh[i] == c) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

char32_t AnsiCharToUnicode(unsigned char c) {
  if (c >= 0x80 && c < 0xA0) {
    char16_t u = kAnsiHigh[c - 0x80];
    return u != 0 ? u : c;  // unassigned bytes keep their value, as the platform maps them
  }
  return c;
}

int AnsiCodePage() { return kAnsiCodePage; }
int OemCodePage() { return kOemCodePage; }

uint16_t UserLanguageId() {
  const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  std::string locale;
  for (const char* name : names) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') {
      locale = value;
      break;
    }
  }
  if (locale.empty() || locale == "C" || locale == "POSIX" || locale.rfind("C.", 0) == 0) {
    return 0x0416;
  }
  for (const LocaleId& entry : kLocaleIds) {
    if (locale.rfind(entry.prefix, 0) == 0) return entry.id;
  }
  return 0x0416;
}

bool IsCodePageInstalled(int codePage) {
  static std::mutex mutex;
  static std::unordered_map<int, bool> known;
  std::scoped_lock lock(mutex);
  auto it = known.find(codePage);
  if (it != known.end()) return it->second;
  iconv_t cd = iconv_open("UTF-8", IconvName(codePage).c_str());
  bool ok = cd != reinterpret_cast<iconv_t>(-1);
  if (ok) iconv_close(cd);
  known[codePage] = ok;
  return ok;
}

std::string ConvertCodePage(std::string_view text, int fromCodePage, int toCodePage) {
  if (fromCodePage == toCodePage) return std::string(text);
  return Convert(text, IconvName(fromCodePage), IconvName(toCodePage));
}

std::string AnsiToUtf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size() + ansi.size() / 4);
  for (char c : ansi) AppendUtf8(out, AnsiCharToUnicode(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8ToAnsi(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    auto lead = static_cast<unsigned char>(utf8[i]);
    int extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2
                : (lead & 0xF8) == 0xF0 ? 3 : -1;
    char32_t c = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 0x07;
    bool valid = extra >= 0;
    size_t next = i + 1;
    for (int k = 0; valid && k < extra; ++k) {
      if (next >= utf8.size() || (static_cast<unsigned char>(utf8[next]) & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      c = (c << 6) | (static_cast<unsigned char>(utf8[next]) & 0x3F);
      ++next;
    }
    if (!valid) {
      // Skip the broken sequence: the lead byte and the continuation bytes after it.
      next = i + 1;
      while (next < utf8.size() && next < i + 4 &&
             (static_cast<unsigned char>(utf8[next]) & 0xC0) == 0x80) {
        ++next;
      }
      out.push_back('?');
    } else {
      out.push_back(AnsiFromCodePoint(c));
    }
    i = next;
  }
  return out;
}

unsigned char AnsiUpperChar(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A: return 0x8A;  // š
    case 0x9C: return 0x8C;  // œ
    case 0x9E: return 0x8E;  // ž
    case 0xFF: return 0x9F;  // ÿ
    default: return c;
  }
}

unsigned char AnsiLowerChar(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
  switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
  }
}

std::string AnsiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(AnsiUpperChar(static_cast<unsigned char>(c)));
  return out;
}

std::string AnsiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(AnsiLowerChar(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace vorelia::platform
