#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorelia::platform {

// Code pages of the desktop the program was written for: text in the engine and the dataset is
// "ANSI" (code page 1252) bytes; "OEM" is code page 850.
constexpr int kAnsiCodePage = 1252;
constexpr int kOemCodePage = 850;

int AnsiCodePage();
int OemCodePage();

// The user's language id (for example 0x0416 for Brazilian Portuguese) from LC_ALL/LANG;
// unset, "C" or "POSIX" count as Brazilian Portuguese.
uint16_t UserLanguageId();

// True when glibc can convert the code page.
bool IsCodePageInstalled(int codePage);

// Converts bytes between two code pages; unmappable characters become '?'.
std::string ConvertCodePage(std::string_view text, int fromCodePage, int toCodePage);

// The Unicode character of one code page 1252 byte.
char32_t AnsiCharToUnicode(unsigned char c);

// UTF-8 edge of the program: the Qt layers and the command line speak UTF-8.
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);

// Code page 1252's own upper-case mapping of one byte and of a whole text.
unsigned char AnsiUpperChar(unsigned char c);
std::string AnsiUpper(std::string_view text);
unsigned char AnsiLowerChar(unsigned char c);
std::string AnsiLower(std::string_view text);

}  // namespace vorelia::platform
