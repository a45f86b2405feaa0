#include "dbf/collation.h"

#include <array>
#include <cstring>

namespace vorelia::dbf {
namespace {

// Portuguese on code page 850: space first, then control characters and punctuation, digits,
// and each letter as capital, accented capitals, small letter, accented small letters.
constexpr uint8_t kDb850Pt0[256] = {
    0,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,  15,  16,   // 0x00
    17,  18,  19,  20,  21,  23,  25,  26,  27,  28,  29,  30,  31,  32,  33,  34,   // 0x10
    1,   35,  36,  37,  38,  39,  40,  41,  42,  43,  44,  45,  46,  47,  48,  49,   // 0x20
    141, 142, 143, 144, 145, 146, 147, 148, 149, 150, 50,  51,  52,  53,  54,  55,   // 0x30
    56,  151, 165, 167, 171, 173, 183, 185, 187, 189, 199, 201, 203, 205, 207, 211,  // 0x40
    223, 225, 227, 229, 231, 233, 243, 245, 247, 249, 254, 57,  58,  59,  60,  61,   // 0x50
    62,  158, 166, 169, 172, 178, 184, 186, 188, 194, 200, 202, 204, 206, 208, 217,  // 0x60
    224, 226, 228, 230, 232, 238, 244, 246, 248, 251, 255, 63,  64,  65,  66,  67,   // 0x70
    168, 240, 180, 159, 163, 161, 164, 170, 179, 182, 181, 198, 196, 197, 156, 157,  // 0x80
    176, 68,  69,  218, 222, 221, 242, 241, 253, 216, 235, 70,  71,  72,  73,  74,   // 0x90
    160, 195, 219, 239, 210, 209, 75,  76,  77,  78,  79,  80,  81,  82,  83,  84,   // 0xA0
    85,  86,  87,  88,  89,  153, 152, 154, 90,  91,  92,  93,  94,  95,  96,  97,   // 0xB0
    98,  99,  100, 101, 102, 103, 162, 155, 104, 105, 106, 107, 108, 109, 110, 111,  // 0xC0
    112, 113, 174, 177, 175, 114, 190, 191, 193, 115, 116, 117, 118, 119, 192, 120,  // 0xD0
    213, 121, 212, 214, 220, 215, 122, 123, 124, 234, 237, 236, 252, 250, 125, 126,  // 0xE0
    127, 128, 129, 130, 22,  24,  131, 132, 133, 134, 135, 136, 137, 138, 139, 140,  // 0xF0
};

constexpr std::array<uint8_t, 256> MakeIdentity() {
  std::array<uint8_t, 256> table{};
  for (int i = 0; i < 256; ++i) table[i] = static_cast<uint8_t>(i);
  return table;
}

constexpr std::array<uint8_t, 256> kIdentity = MakeIdentity();

struct TRegistration {
  uint8_t id;
  std::string_view name;
  TCollationTable weights;
};

// Drivers whose weights we do not carry sort in byte order under their own name; drivers that
// share a table share the same pointer, so they always agree.
constexpr TCollationTable kBinary = nullptr;
constexpr TCollationTable kWinWestern = kBinary;   // DBWINES0, DBWINWE0
constexpr TCollationTable k437Latin = kBinary;     // DB437FR0, DB437IT0, DB437NL0, DB437UK0
constexpr TCollationTable k850Latin = kBinary;     // DB850ES0, DB850FR0, DB850IT1, DB850NL0, DB850UK0
constexpr TCollationTable k865Nordic = kBinary;    // DB865DA0, DB865NO0
constexpr TCollationTable kEastAsian = kBinary;    // DB936CN0, DB949KO0, DB950TW0

const TRegistration kRegistrations[] = {
    {0x59, "DBWINES0", kWinWestern},     {0x57, "DBWINUS0", kBinary},
    {0x58, "DBWINWE0", kWinWestern},     {0x0F, "DB437DE0", kBinary},
    {0x18, "DB437ES1", kBinary},         {0x0B, "DB437FI0", kBinary},
    {0x0D, "DB437FR0", k437Latin},       {0x86, "db437gr0", kBinary},
    {0x11, "DB437IT0", k437Latin},       {0x09, "DB437NL0", k437Latin},
    {0x15, "DB437SV0", kBinary},         {0x19, "DB437UK0", k437Latin},
    {0x1B, "DB437US0", kIdentity.data()}, {0x1D, "DB850CF0", kBinary},
    {0x10, "DB850DE0", kBinary},         {0x14, "DB850ES0", k850Latin},
    {0x0E, "DB850FR0", k850Latin},       {0x12, "DB850IT1", k850Latin},
    {0x0A, "DB850NL0", k850Latin},       {0x25, "DB850PT0", kDb850Pt0},
    {0x16, "DB850SV1", kBinary},         {0x1A, "DB850UK0", k850Latin},
    {0x37, "DB850US0", kIdentity.data()}, {0x1F, "DB852CZ0", kBinary},
    {0x22, "db852hdc", kBinary},         {0x23, "db852po0", kBinary},
    {0x87, "db852sl0", kBinary},         {0x88, "DB857TR0", kBinary},
    {0x24, "DB860PT0", kBinary},         {0x1C, "DB863CF1", kBinary},
    {0x08, "DB865DA0", k865Nordic},      {0x17, "DB865NO0", k865Nordic},
    {0x26, "db866ru0", kIdentity.data()}, {0x20, "DB867CZ0", kBinary},
    {0x50, "db874th0", kBinary},         {0x13, "DB932JP0", kBinary},
    {0x56, "DB932JP1", kBinary},         {0x4D, "DB936CN0", kEastAsian},
    {0x4E, "DB949KO0", kEastAsian},      {0x4F, "DB950TW0", kEastAsian},
    {0x85, "dbHebrew", kIdentity.data()}, {0x68, "FOXCZ895", kBinary},
    {0x9B, "FOXCZWIN", kBinary},         {0x5E, "FOXDE437", kBinary},
    {0x61, "FOXDEWIN", kBinary},         {0x5F, "FOXNO437", kBinary},
    {0x60, "FOXNO850", kBinary},         {0x62, "FOXNOWIN", kBinary},
};

struct TRegistry {
  std::array<TCollation, 256> slots{};
  TRegistry() {
    for (const TRegistration& r : kRegistrations) slots[r.id] = TCollation{r.weights, r.name};
  }
};

const TRegistry& Registry() {
  static const TRegistry registry;
  return registry;
}

}  // namespace

const TCollation& CollationForLanguageId(uint8_t languageId) {
  return Registry().slots[languageId];
}

TCollationTable ChooseCollation(uint8_t tableLanguageId, uint8_t indexLanguageId) {
  if (tableLanguageId != 0) return CollationForLanguageId(tableLanguageId).weights;
  if (indexLanguageId != 0) return CollationForLanguageId(indexLanguageId).weights;
  return kBinary;
}

int CompareCollated(TCollationTable weights, const uint8_t* a, size_t lengthA, const uint8_t* b,
                    size_t lengthB) {
  const size_t common = lengthA < lengthB ? lengthA : lengthB;
  if (weights == nullptr) {
    const int rc = common == 0 ? 0 : std::memcmp(a, b, common);
    if (rc != 0) return rc < 0 ? -1 : 1;
  } else {
    for (size_t i = 0; i < common; ++i) {
      const uint8_t wa = weights[a[i]];
      const uint8_t wb = weights[b[i]];
      if (wa != wb) return wa < wb ? -1 : 1;
    }
  }
  if (lengthA == lengthB) return 0;
  return lengthA < lengthB ? -1 : 1;
}

}  // namespace vorelia::dbf
