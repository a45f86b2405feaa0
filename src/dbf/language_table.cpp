#include "dbf/language_table.h"

#include "platform/code_page.h"

namespace vorelia::dbf {
namespace {

struct Row {
  uint8_t id;
  int codePage;
  uint32_t locale;
};

// The ids that carry values; every other id has neither code page nor locale.
constexpr Row kRows[] = {
    {0x01, 437, 0x0409},   {0x02, 850, 0x0809},   {0x03, 1252, 0x0809}, {0x04, 10000, 0x0809},
    {0x08, 865, 0x0406},   {0x09, 437, 0x0413},   {0x0A, 850, 0x0413},  {0x0B, 437, 0x040B},
    {0x0C, 850, 0x040B},   {0x0D, 437, 0x040C},   {0x0E, 850, 0x040C},  {0x0F, 437, 0x0407},
    {0x10, 850, 0x0407},   {0x11, 437, 0x0410},   {0x12, 850, 0x0410},  {0x13, 932, 0x0411},
    {0x14, 850, 0x040A},   {0x15, 437, 0x041D},   {0x16, 850, 0x041D},  {0x17, 865, 0x0414},
    {0x18, 437, 0x040A},   {0x19, 437, 0x0809},   {0x1A, 850, 0x0809},  {0x1B, 437, 0x0409},
    {0x1C, 863, 0x0C0C},   {0x1D, 850, 0x0C0C},   {0x1F, 852, 0x0405},  {0x20, 867, 0x0405},
    {0x22, 852, 0x040E},   {0x23, 852, 0x0415},   {0x24, 860, 0x0416},  {0x25, 850, 0x0416},
    {0x26, 866, 0x0419},   {0x37, 850, 0x0409},   {0x4D, 936, 0x0804},  {0x4E, 949, 0x0412},
    {0x4F, 950, 0x0404},   {0x50, 874, 0x041E},   {0x56, 932, 0x0411},  {0x57, 1252, 0x0000},
    {0x58, 1252, 0x0809},  {0x59, 1252, 0x040A},  {0x5E, 437, 0x0407},  {0x5F, 437, 0x0414},
    {0x60, 850, 0x0414},   {0x61, 1252, 0x0407},  {0x62, 1252, 0x0414}, {0x64, 852, 0x0405},
    {0x65, 866, 0x0419},   {0x66, 865, 0x0414},   {0x67, 861, 0x040F},  {0x68, 895, 0x0405},
    {0x69, 620, 0x0415},   {0x6A, 737, 0x0408},   {0x6B, 857, 0x041F},  {0x78, 950, 0x0C04},
    {0x79, 949, 0x0412},   {0x7A, 936, 0x21004},  {0x7B, 932, 0x0411},  {0x7C, 874, 0x041E},
    {0x7D, 1255, 0x040D},  {0x7E, 1256, 0x0401},  {0x85, 862, 0x040D},  {0x86, 437, 0x0408},
    {0x87, 852, 0x041B},   {0x88, 857, 0x041F},   {0x8E, 868, 0x0402},  {0x96, 10007, 0x0419},
    {0x97, 10029, 0x0405}, {0x98, 10006, 0x0408}, {0x9B, 1250, 0x0405}, {0x9C, 850, 0x0405},
    {0xC8, 1250, 0x0405},  {0xC9, 1251, 0x0419},  {0xCA, 1254, 0x041F}, {0xCB, 1253, 0x0408},
};

constexpr uint32_t kNotFound = 0x10000;

bool IsDbaseId(int id) { return id >= 0x05 && id <= 0x5D; }

// Highest dBase id matching, else highest FoxPro id; 0 when none.
uint8_t Search(int codePage, uint16_t languageId, bool anyCodePage) {
  int best = 0;
  int bestFox = 0;
  for (const Row& row : kRows) {
    // A locale of 0 or above 0xFFFF never matches a language id.
    if (row.locale == 0 || row.locale > 0xFFFF || row.locale != languageId) continue;
    if (!anyCodePage && row.codePage != codePage) continue;
    if (IsDbaseId(row.id)) {
      if (row.id > best) best = row.id;
    } else if (row.id > bestFox) {
      bestFox = row.id;
    }
  }
  return static_cast<uint8_t>(best != 0 ? best : bestFox);
}

}  // namespace

TLanguageEntry LanguageEntry(uint8_t languageId) {
  if (languageId == 0) return {0, kNotFound};
  for (const Row& row : kRows) {
    if (row.id == languageId) return {row.codePage, row.locale};
  }
  return {0, 0};
}

int LanguageCodePage(uint8_t languageId) { return LanguageEntry(languageId).codePage; }

uint8_t ChooseLanguageId(int ansiCodePage, uint16_t userLanguageId) {
  uint8_t id = Search(ansiCodePage, userLanguageId, false);
  if (id == 0) id = Search(ansiCodePage, userLanguageId, true);
  return id;
}

uint8_t DefaultLanguageId() {
  static const uint8_t id = ChooseLanguageId(platform::AnsiCodePage(), platform::UserLanguageId());
  return id;
}

}  // namespace vorelia::dbf
