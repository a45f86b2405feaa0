#pragma once

#include <cstdint>

namespace vorelia::dbf {

// The language table: each language driver id maps to a code page and a locale (a 16-bit
// language id). Ids 0x05-0x5D are dBase drivers, 0x01-0x04 and 0x5E and above FoxPro ones.
struct TLanguageEntry {
  int codePage;    // 0: none
  uint32_t locale;  // 0: none; id 0 carries the not-found marker 0x10000
};

TLanguageEntry LanguageEntry(uint8_t languageId);
int LanguageCodePage(uint8_t languageId);

// The driver id for new tables from an ANSI code page and a user language id; 0 when none.
uint8_t ChooseLanguageId(int ansiCodePage, uint16_t userLanguageId);
// The same from the platform, taken once per process.
uint8_t DefaultLanguageId();

}  // namespace vorelia::dbf
