#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace vorelia::platform {
namespace {

TEST(CodePageTest, ConvertsBetweenAnsiOemAndUtf8) {
  // "São José" in code page 1252 and in code page 850.
  const std::string ansi = "S\xE3o Jos\xE9";
  const std::string oem = "S\xC6o Jos\x82";
  EXPECT_EQ(ConvertCodePage(ansi, 1252, 850), oem);
  EXPECT_EQ(ConvertCodePage(oem, 850, 1252), ansi);
  EXPECT_EQ(AnsiToUtf8(ansi), "São José");
  EXPECT_EQ(Utf8ToAnsi("São José"), ansi);
  EXPECT_EQ(AnsiToUtf8("\x80\x96\x9F\xFF"), "\u20AC\u2013\u0178\u00FF");
  EXPECT_EQ(Utf8ToAnsi("\u20AC\u2013\u0178\u00FF"), "\x80\x96\x9F\xFF");
}

TEST(CodePageTest, UnmappableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToAnsi("a\xE2\x82\xAC" "b"), "a\x80" "b");  // the euro sign exists in 1252
  EXPECT_EQ(Utf8ToAnsi("a\xE4\xB8\xAD" "b"), "a?b");          // a CJK character does not
  EXPECT_EQ(ConvertCodePage("\x80", 1252, 850), "?");          // nor the euro sign in 850
  EXPECT_EQ(Utf8ToAnsi("a\xFF" "b"), "a?b");                   // broken UTF-8
}

TEST(CodePageTest, AnsiUpperCaseFollowsCodePage1252) {
  EXPECT_EQ(AnsiUpper("s\xE3o paulo \xE7\xE9\xFF\x9A"), "S\xC3O PAULO \xC7\xC9\x9F\x8A");
  EXPECT_EQ(AnsiUpper("\xF7\xB5\xDF"), "\xF7\xB5\xDF");  // division sign, micro, sharp s stay
  EXPECT_EQ(AnsiLower("S\xC3O \xD7"), "s\xE3o \xD7");
}

TEST(CodePageTest, LanguageIdComesFromTheLocale) {
  struct Case {
    const char* lang;
    uint16_t id;
  } cases[] = {{"pt_BR.UTF-8", 0x0416}, {"en_US.UTF-8", 0x0409}, {"en_GB", 0x0809},
               {"de_DE.UTF-8", 0x0407}, {"C", 0x0416},           {"POSIX", 0x0416},
               {"C.UTF-8", 0x0416},     {"", 0x0416}};
  const char* savedAll = std::getenv("LC_ALL");
  const char* savedLang = std::getenv("LANG");
  std::string keepAll = savedAll ? savedAll : "";
  std::string keepLang = savedLang ? savedLang : "";
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lang);
    setenv("LANG", c.lang, 1);
    EXPECT_EQ(UserLanguageId(), c.id);
  }
  if (savedAll) setenv("LC_ALL", keepAll.c_str(), 1);
  if (savedLang) setenv("LANG", keepLang.c_str(), 1); else unsetenv("LANG");
}

}  // namespace
}  // namespace vorelia::platform
