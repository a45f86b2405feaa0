// The word-at-a-time paths for text fields agree with the plain byte-by-byte rules at every
// length around their 8-byte steps.
#include <gtest/gtest.h>

#include <string>

#include "dbf/dbf_common.h"
#include "dbf/string_translator.h"

namespace vorelia::dbf {
namespace {

std::string SlowTrim(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

TEST(TextFastPathsTest, TrimmingMatchesTheByteRuleAtEveryLength) {
  for (size_t body = 0; body <= 20; ++body) {
    for (size_t spaces = 0; spaces <= 20; ++spaces) {
      // A body of letters with a space inside, so only trailing ones go.
      std::string text(body, 'a');
      if (body > 2) text[body / 2] = ' ';
      text += std::string(spaces, ' ');
      EXPECT_EQ(std::string(TrimTrailingSpaces(text)), SlowTrim(text))
          << "body " << body << " spaces " << spaces;
    }
  }
  EXPECT_EQ(TrimTrailingSpaces(std::string(16, ' ')), "");
  EXPECT_EQ(TrimTrailingSpaces(std::string("\0       ", 8)), std::string("\0", 1));
}

TEST(TextFastPathsTest, TranslatingIntoAPlaceMatchesTranslatingACopy) {
  const TStringTranslator toAnsi(850, 1252);
  const TStringTranslator toTable(1252, 850);
  ASSERT_TRUE(toAnsi.KeepsLength());
  ASSERT_TRUE(toTable.KeepsLength());
  // "São José" in code page 850 (ã = 0xC6, é = 0x82), placed at every offset of a 16-byte run
  // so a high byte falls on each position of an 8-byte word.
  const std::string word = "S\xC6o Jos\x82";
  for (size_t at = 0; at + word.size() <= 16; ++at) {
    std::string text(16, 'x');
    text.replace(at, word.size(), word);
    EXPECT_FALSE(toAnsi.LeavesUnchanged(text)) << at;
    std::string placed(text.size(), '\0');
    toAnsi.TranslateInto(text, placed.data());
    EXPECT_EQ(placed, toAnsi.Translate(text)) << at;
    EXPECT_NE(placed.find("S\xE3o Jos\xE9"), std::string::npos) << at;
    std::string back(placed.size(), '\0');
    toTable.TranslateInto(placed, back.data());
    EXPECT_EQ(back, text) << at;
  }
  EXPECT_TRUE(toAnsi.LeavesUnchanged("Recife - PE 50000-000"));
  EXPECT_TRUE(toAnsi.LeavesUnchanged(""));
}

}  // namespace
}  // namespace vorelia::dbf
