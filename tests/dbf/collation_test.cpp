#include "dbf/collation.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vorelia::dbf {
namespace {

int Compare(uint8_t languageId, const std::string& a, const std::string& b) {
  return CompareCollated(CollationForLanguageId(languageId).weights,
                         reinterpret_cast<const uint8_t*>(a.data()), a.size(),
                         reinterpret_cast<const uint8_t*>(b.data()), b.size());
}

TEST(CollationTest, PortugueseWeightsAsPrinted) {
  const TCollation& pt = CollationForLanguageId(0x25);
  EXPECT_EQ(pt.name, "DB850PT0");
  ASSERT_NE(pt.weights, nullptr);
  // Row by row spot checks, including the cells where the table is the authority: 0xB6 (Â) 152
  // and 0xB7 (À) 154.
  EXPECT_EQ(pt.weights[0x00], 0);
  EXPECT_EQ(pt.weights[0x20], 1);
  EXPECT_EQ(pt.weights[0x01], 2);
  EXPECT_EQ(pt.weights[0x15], 23);
  EXPECT_EQ(pt.weights[0xF4], 22);
  EXPECT_EQ(pt.weights[0xF5], 24);
  EXPECT_EQ(pt.weights['0'], 141);
  EXPECT_EQ(pt.weights['9'], 150);
  EXPECT_EQ(pt.weights['A'], 151);
  EXPECT_EQ(pt.weights[0xB5], 153);
  EXPECT_EQ(pt.weights[0xB6], 152);
  EXPECT_EQ(pt.weights[0xB7], 154);
  EXPECT_EQ(pt.weights[0xC7], 155);
  EXPECT_EQ(pt.weights[0x8E], 156);
  EXPECT_EQ(pt.weights['a'], 158);
  EXPECT_EQ(pt.weights[0x83], 159);
  EXPECT_EQ(pt.weights[0xA0], 160);
  EXPECT_EQ(pt.weights[0x85], 161);
  EXPECT_EQ(pt.weights[0xC6], 162);
  EXPECT_EQ(pt.weights['B'], 165);
  EXPECT_EQ(pt.weights['b'], 166);
  EXPECT_EQ(pt.weights['C'], 167);
  EXPECT_EQ(pt.weights[0x80], 168);
  EXPECT_EQ(pt.weights['c'], 169);
  EXPECT_EQ(pt.weights[0x87], 170);
  EXPECT_EQ(pt.weights['Z'], 254);
  EXPECT_EQ(pt.weights['z'], 255);
  EXPECT_EQ(pt.weights[0xFF], 140);
  // A permutation: no two bytes weigh the same.
  std::set<int> seen;
  for (int i = 0; i < 256; ++i) seen.insert(pt.weights[i]);
  EXPECT_EQ(seen.size(), 256u);
}

TEST(CollationTest, PortugueseOrder) {
  // Small a before capital B, unlike byte order.
  EXPECT_LT(Compare(0x25, "abc", "Bcd"), 0);
  EXPECT_GT(Compare(0x00, "abc", "Bcd"), 0);
  // A, then Á (0xB5 in code page 850), then a.
  EXPECT_LT(Compare(0x25, "Ana", "\xB5gua"), 0);
  EXPECT_LT(Compare(0x25, "\xB5gua", "ana"), 0);
  // Space before punctuation before digits before letters.
  EXPECT_LT(Compare(0x25, " ", "!"), 0);
  EXPECT_LT(Compare(0x25, "!", "0"), 0);
  EXPECT_LT(Compare(0x25, "9", "A"), 0);
  // C, Ç, c, ç.
  EXPECT_LT(Compare(0x25, "C", "\x80"), 0);
  EXPECT_LT(Compare(0x25, "\x80", "c"), 0);
  EXPECT_LT(Compare(0x25, "c", "\x87"), 0);
}

TEST(CollationTest, IdentityAndUnregisteredSortByByte) {
  for (uint8_t id : {uint8_t{0x37}, uint8_t{0x1B}, uint8_t{0x26}, uint8_t{0x85}}) {
    const TCollation& c = CollationForLanguageId(id);
    ASSERT_NE(c.weights, nullptr);
    EXPECT_EQ(c.weights[0x41], 0x41);
    EXPECT_EQ(c.weights[0xB5], 0xB5);
    EXPECT_GT(Compare(id, "abc", "Bcd"), 0);
    EXPECT_LT(Compare(id, "\x7F", "\x80"), 0);
  }
  EXPECT_EQ(CollationForLanguageId(0x37).name, "DB850US0");
  EXPECT_EQ(CollationForLanguageId(0x85).name, "dbHebrew");
  EXPECT_EQ(CollationForLanguageId(0x03).name, "");
  EXPECT_EQ(CollationForLanguageId(0x03).weights, nullptr);
  EXPECT_GT(Compare(0x03, "\x80", "\x7F"), 0);
}

TEST(CollationTest, RegistryNamesAndSharedTables) {
  EXPECT_EQ(CollationForLanguageId(0x57).name, "DBWINUS0");
  EXPECT_EQ(CollationForLanguageId(0x57).weights, nullptr);
  EXPECT_EQ(CollationForLanguageId(0x86).name, "db437gr0");
  EXPECT_EQ(CollationForLanguageId(0x62).name, "FOXNOWIN");
  EXPECT_EQ(CollationForLanguageId(0x13).name, "DB932JP0");
  EXPECT_EQ(CollationForLanguageId(0x59).weights, CollationForLanguageId(0x58).weights);
  EXPECT_EQ(CollationForLanguageId(0x14).weights, CollationForLanguageId(0x1A).weights);
  EXPECT_EQ(CollationForLanguageId(0x08).weights, CollationForLanguageId(0x17).weights);
  EXPECT_EQ(CollationForLanguageId(0x4D).weights, CollationForLanguageId(0x4F).weights);
}

TEST(CollationTest, LengthsAndTrailingSpaces) {
  // Space-padded field bytes of equal length compare equal.
  EXPECT_EQ(Compare(0x25, "TEMPO     ", "TEMPO     "), 0);
  // No difference in the common part: the shorter key is the smaller.
  EXPECT_LT(Compare(0x25, "TEMPO", "TEMPO "), 0);
  EXPECT_GT(Compare(0x00, "TEMPO ", "TEMPO"), 0);
  EXPECT_EQ(Compare(0x00, "", ""), 0);
}

TEST(CollationTest, ChoosingTheCollation) {
  EXPECT_EQ(ChooseCollation(0x25, 0x37), CollationForLanguageId(0x25).weights);
  EXPECT_EQ(ChooseCollation(0x00, 0x25), CollationForLanguageId(0x25).weights);
  EXPECT_EQ(ChooseCollation(0x00, 0x00), nullptr);
  EXPECT_EQ(ChooseCollation(0x03, 0x25), nullptr);
}

}  // namespace
}  // namespace vorelia::dbf
