// Everything the program shows, compares and saves is code page 932 bytes: the
// literals (compiled from UTF-8 sources with -fexec-charset=CP932), the "A"
// functions of the system and the core's character rules must all agree on it.
// Under Wine the ANSI code page follows the Unix locale (ja_JP.UTF-8).
#include <gtest/gtest.h>

#include <cstring>

#include "tools/charrule.h"
#include "tools/platform.h"

namespace {

TEST(SystemCodePage, IsShiftJis) {
  EXPECT_EQ(932u, GetACP()) << "the ja_JP.UTF-8 locale is missing or LANG is not set; "
                               "run scripts/setup.sh";
  EXPECT_EQ(932u, GetOEMCP());
}

TEST(SystemCodePage, LiteralsAreTheBytesTheSystemReads) {
  struct Case {
    const char* pText;
    const wchar_t* pWide;
    size_t nBytes;
  };
  const Case cases[] = {
      {"あいう", L"\u3042\u3044\u3046", 6},
      {"無題.txt", L"\u7121\u984c.txt", 8},
      {"ﾌｧｲﾙ(&F)", L"\uff8c\uff67\uff72\uff99(&F)", 8},  // half-width katakana: one byte each
      {"　", L"\u3000", 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.nBytes, std::strlen(c.pText)) << c.pText;
    wchar_t wide[32] = {};
    int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, c.pText, -1, wide, 32);
    EXPECT_EQ(static_cast<int>(std::wcslen(c.pWide)) + 1, n) << c.pText;
    EXPECT_EQ(0, std::wcscmp(c.pWide, wide)) << c.pText;
  }
  const char* pHiragana = "あ";
  EXPECT_EQ(0x82, static_cast<unsigned char>(pHiragana[0]));
  EXPECT_EQ(0xA0, static_cast<unsigned char>(pHiragana[1]));
}

// The core decides lead bytes without asking the system; the two must never
// disagree, or caret movement and search would split characters the system joins.
TEST(SystemCodePage, LeadBytesMatchTheCoreRules) {
  for (int b = 0; b < 256; ++b) {
    bool bSystem = IsDBCSLeadByteEx(932, static_cast<BYTE>(b)) != FALSE;
    EXPECT_EQ(bSystem, Char_IsLeadByte(static_cast<unsigned char>(b))) << "byte 0x" << std::hex << b;
  }
}

}  // namespace
