#include "tools/toolbase.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "tools/charrule.h"

namespace {

SYSTEMTIME Time(int year, int month, int day, int hour, int minute, int second, int dayOfWeek) {
  SYSTEMTIME t = {};
  t.wYear = static_cast<WORD>(year);
  t.wMonth = static_cast<WORD>(month);
  t.wDay = static_cast<WORD>(day);
  t.wHour = static_cast<WORD>(hour);
  t.wMinute = static_cast<WORD>(minute);
  t.wSecond = static_cast<WORD>(second);
  t.wDayOfWeek = static_cast<WORD>(dayOfWeek);
  return t;
}

// 7 March 2004, a Sunday, 09:05:03.
const SYSTEMTIME kMarch7 = Time(2004, 3, 7, 9, 5, 3, 0);

std::string Fmt(const char* format, const SYSTEMTIME& t = kMarch7, int32_t capacity = kDateFormatCapacity) {
  char out[kDateFormatCapacity];
  int32_t n = DateFormat_Expand(format, out, capacity, &t);
  EXPECT_EQ(std::strlen(out), static_cast<size_t>(n)) << format;
  return std::string(out, static_cast<size_t>(n));
}

TEST(DateFormat, ExamplesOfTheLanguage) {
  EXPECT_EQ("09:05:03 2004/03/07", Fmt(kDefaultDateFormat));
  EXPECT_EQ("16", Fmt("%{-1988}Y"));
  EXPECT_EQ("04", Fmt("%.2Y"));
  EXPECT_EQ("二〇〇四", Fmt("%!Y"));
  EXPECT_EQ("０７", Fmt("%*02d"));
  EXPECT_EQ("7  ", Fmt("%-3d"));
  EXPECT_EQ("0", Fmt("%I", Time(2004, 3, 7, 12, 30, 0, 0)));
  EXPECT_EQ("0", Fmt("%I", Time(2004, 3, 7, 0, 30, 0, 0)));
  EXPECT_EQ("午後3", Fmt("%O%I", Time(2004, 3, 7, 15, 0, 0, 0)));
  EXPECT_EQ("6", Fmt("%W"));
  EXPECT_EQ("0", Fmt("%w"));
  EXPECT_EQ("0", Fmt("%W", Time(2004, 3, 8, 0, 0, 0, 1)));
  EXPECT_EQ("%", Fmt("%%"));
  EXPECT_EQ("", Fmt("%c"));
  EXPECT_EQ("545 32703 0 0", Fmt("%N %n %U %u"));
  EXPECT_EQ("4", Fmt("%.0Y"));  // at least one digit
  EXPECT_EQ("996", Fmt("%{-3000}Y"));  // the sign is dropped
}

TEST(DateFormat, TwoHourPeriods) {
  EXPECT_EQ("子", Fmt("%k", Time(2004, 3, 7, 23, 30, 0, 0)));
  EXPECT_EQ("子", Fmt("%k", Time(2004, 3, 7, 0, 59, 0, 0)));
  EXPECT_EQ("丑", Fmt("%k", Time(2004, 3, 7, 1, 0, 0, 0)));
  EXPECT_EQ("午", Fmt("%k", Time(2004, 3, 7, 12, 0, 0, 0)));
  EXPECT_EQ("亥", Fmt("%k", Time(2004, 3, 7, 22, 59, 0, 0)));
}

TEST(DateFormat, DayOfTheYearAndLeapYears) {
  EXPECT_EQ("1", Fmt("%j", Time(2004, 1, 1, 0, 0, 0, 4)));
  EXPECT_EQ("366", Fmt("%j", Time(2004, 12, 31, 0, 0, 0, 5)));
  EXPECT_EQ("365", Fmt("%j", Time(2003, 12, 31, 0, 0, 0, 3)));
  EXPECT_EQ("61", Fmt("%j", Time(2000, 3, 1, 0, 0, 0, 3)));  // divisible by 400
  EXPECT_EQ("60", Fmt("%j", Time(1900, 3, 1, 0, 0, 0, 4)));  // by 100 only
  EXPECT_EQ("60", Fmt("%j", Time(2100, 3, 1, 0, 0, 0, 1)));
  EXPECT_EQ("59", Fmt("%j", Time(2004, 2, 28, 0, 0, 0, 6)));
  EXPECT_EQ("060", Fmt("%03j", Time(2004, 2, 29, 0, 0, 0, 0)));
}

TEST(DateFormat, EveryFlagWithEveryDigitSet) {
  // Right-aligned: blank, zero or full-width padding in front.
  EXPECT_EQ("    7", Fmt("%5d"));
  EXPECT_EQ("00007", Fmt("%05d"));
  EXPECT_EQ("　　　　７", Fmt("%*5d"));
  EXPECT_EQ("００００７", Fmt("%0*5d"));
  EXPECT_EQ("　　　　七", Fmt("%!5d"));
  EXPECT_EQ("〇〇〇〇七", Fmt("%!05d"));
  // Left-aligned: never zeros, the blank of the digit set behind.
  EXPECT_EQ("7    ", Fmt("%-05d"));
  EXPECT_EQ("７　　　　", Fmt("%-*5d"));
  EXPECT_EQ("七　　　　", Fmt("%-0!5d"));
  // Kanji wins over full width; flags in any order; "+" before the width.
  EXPECT_EQ("二〇〇四", Fmt("%*!Y"));
  EXPECT_EQ("〇〇〇七", Fmt("%!*04d"));
  EXPECT_EQ("   7", Fmt("%+4d"));
  // A width below the digit count pads nothing; the digit limit keeps the last digits.
  EXPECT_EQ("2004", Fmt("%2Y"));
  EXPECT_EQ("〇四", Fmt("%!.2Y"));
  EXPECT_EQ("  04", Fmt("%4.2Y"));
  EXPECT_EQ("平成16年", Fmt("平成%{-1988}Y年"));
}

TEST(DateFormat, NamesWithWidthAndAlignment) {
  EXPECT_EQ("Mar. March 弥生 Sun. Sunday 日", Fmt("%b %B %T %a %A %x"));
  EXPECT_EQ("Ｍａｒ． Ｍａｒｃｈ 弥生 Ｓｕｎ． Ｓｕｎｄａｙ 日", Fmt("%*b %*B %*T %*a %*A %*x"));
  EXPECT_EQ("    Mar.", Fmt("%8b"));
  EXPECT_EQ("Mar.    |", Fmt("%-8b|"));
  EXPECT_EQ("　　Ｍａｒ．", Fmt("%*6b"));
  EXPECT_EQ("Ｍａｒ．　　|", Fmt("%-*6b|"));
  EXPECT_EQ("　　Mar.", Fmt("%!6b"));   // "!" only changes the padding of names
  EXPECT_EQ(" 水無月", Fmt("%4T", Time(2004, 6, 1, 0, 0, 0, 2)));  // width counts characters
  EXPECT_EQ("   Sunday", Fmt("%09A"));  // no zeros for names
  EXPECT_EQ("Mar.", Fmt("%.1{5}b"));    // nor offsets and digit limits
  EXPECT_EQ("January Jan. Ｊａｎｕａｒｙ Ｊａｎ．", Fmt("%B %b %*B %*b", Time(2004, 1, 1, 0, 0, 0, 4)));
  EXPECT_EQ("June Jun. December Dec. 師走", Fmt("%B %b", Time(2004, 6, 1, 0, 0, 0, 2)) + " " +
                                                Fmt("%B %b %T", Time(2004, 12, 1, 0, 0, 0, 3)));
}

TEST(DateFormat, MorningAndAfternoonWords) {
  SYSTEMTIME am = Time(2004, 3, 7, 11, 59, 0, 0);
  SYSTEMTIME pm = Time(2004, 3, 7, 12, 0, 0, 0);
  EXPECT_EQ("午前 a.m. A.M. am AM", Fmt("%O %p %P %q %Q", am));
  EXPECT_EQ("午後 p.m. P.M. pm PM", Fmt("%O %p %P %q %Q", pm));
  EXPECT_EQ("午後 ｐ．ｍ． Ｐ．Ｍ． ｐｍ ＰＭ", Fmt("%*O %*p %*P %*q %*Q", pm));
}

TEST(DateFormat, EscapesAndCopiedCharacters) {
  EXPECT_EQ("\f\n\r\t\\%a", Fmt("\\f\\n\\r\\t\\\\\\%\\a"));
  EXPECT_EQ("あ", Fmt("\\あ"));
  EXPECT_EQ("end", Fmt("end\\"));  // a lone backslash at the end produces nothing
  // 表 and ソ end in the byte of a backslash: copied whole, never an escape.
  EXPECT_EQ("表7ソ", Fmt("表%dソ"));
  // A lead byte takes the "%" after it as its trail byte: no specifier there.
  EXPECT_EQ("\x81%d", Fmt("\x81%d"));
}

TEST(DateFormat, BrokenSpecifiersAreCopiedAsText) {
  EXPECT_EQ("{3 and more", Fmt("%{3 and more"));
  EXPECT_EQ("{3}", Fmt("%{3}"));          // the letter is missing
  EXPECT_EQ("5-", Fmt("%5-"));
  EXPECT_EQ("*あ", Fmt("%*あ"));           // a double-byte conversion character
  EXPECT_EQ("", Fmt("%"));
  EXPECT_EQ("07", Fmt("%02{}d"));         // an empty offset is 0
  EXPECT_EQ("{5}.1d", Fmt("%{5}.1d"));     // the digit limit comes before the offset
  EXPECT_EQ(" 7", Fmt("%2.d"));           // a "." without digits keeps the limit
}

TEST(DateFormat, TimesOutsideTheirRangesProduceNothing) {
  SYSTEMTIME bad = Time(2004, 13, 7, 9, 5, 3, 9);
  EXPECT_EQ("[][][][13][]", Fmt("[%b][%T][%j][%m][%A]", bad));
  bad.wMonth = 0;
  EXPECT_EQ("[][]", Fmt("[%B][%j]", bad));
}

TEST(DateFormat, OutputIsCutAtTheCapacity) {
  // Never a byte past the capacity, never half a character at the end.
  char out[64];
  std::memset(out, 'Z', sizeof(out));
  int32_t n = DateFormat_Expand("%*5d", out, 6, &kMarch7);
  EXPECT_EQ("　　", std::string(out, static_cast<size_t>(n)));
  EXPECT_EQ('\0', out[4]);
  EXPECT_EQ('Z', out[6]);

  EXPECT_EQ("09:0", Fmt(kDefaultDateFormat, kMarch7, 5));
  EXPECT_EQ("", Fmt("%Y", kMarch7, 1));
  EXPECT_EQ(0, DateFormat_Expand("%Y", out, 0, &kMarch7));
  EXPECT_EQ('Z', out[6]);  // nothing written for no capacity

  // Huge widths stop at the buffer at once; the expansion does not go on after a cut.
  EXPECT_EQ(std::string(15, ' '), Fmt("%2147483647d", kMarch7, 16));
  EXPECT_EQ(std::string(15, ' '), Fmt("%99999999999999999999d!", kMarch7, 16));
  EXPECT_EQ(std::string(1023, '0'), Fmt("%02147483647d", kMarch7, 1024));
  EXPECT_EQ("7", Fmt("%.99999999999999999999d"));

  // A long text of double-byte characters in an odd capacity.
  std::string format;
  for (int i = 0; i < 600; ++i) format += "年";
  std::string cut = Fmt(format.c_str(), kMarch7, 1024);
  EXPECT_EQ(1022u, cut.size());
  EXPECT_EQ(format.substr(0, 1022), cut);
}

TEST(DateFormat, AnyCutIsAPrefixThatStopsAtTheFirstCharacterThatDoesNotFit) {
  // Random formats of specifier pieces, escapes, lead bytes and text.
  const char* const pieces[] = {"%", "%%", "-", "0", "*", "!", "{", "}", ".", "+", "9", "12", "Y", "b", "B", "k",
                                "x", "j", "\\", "\\n", "あ", "\x82", "a", " ", "%*8A", "%!05Y", "%-*6p"};
  std::mt19937 rng(20040307);
  for (int round = 0; round < 3000; ++round) {
    std::string format;
    for (int n = 1 + static_cast<int>(rng() % 12); n > 0; --n) {
      format += pieces[rng() % (sizeof(pieces) / sizeof(*pieces))];
    }
    std::string full = Fmt(format.c_str());
    int32_t capacity = 1 + static_cast<int32_t>(rng() % 40);
    char out[48];
    std::memset(out, 'Z', sizeof(out));
    int32_t n = DateFormat_Expand(format.c_str(), out, capacity, &kMarch7);
    ASSERT_LT(n, capacity) << format;
    ASSERT_EQ('Z', out[capacity]) << format;
    std::string cut(out, static_cast<size_t>(n));
    ASSERT_EQ(full.substr(0, cut.size()), cut) << format << " capacity " << capacity;
    if (cut.size() < full.size()) {
      // What follows the cut is a whole character that would not have fitted.
      int32_t next = n + Char_Length(full.c_str(), static_cast<int32_t>(full.size()), n);
      ASSERT_GT(next, capacity - 1) << format << " capacity " << capacity;
    }
  }
}

TEST(StringHelpers, CutsNeverSplitACharacterNorEndOnALeadByte) {
  const char* kana = "あいう";
  EXPECT_EQ(4, String_CutLength(kana, 6, 5));
  EXPECT_EQ(6, String_CutLength(kana, 6, 6));
  EXPECT_EQ(0, String_CutLength(kana, 6, 1));
  // "ぁ" ends in 0x9F, a byte that could be a lead byte: still a whole character.
  EXPECT_EQ(3, String_CutLength("aぁ", 3, 3));
  // A lone lead byte at the end is cut off too.
  EXPECT_EQ(2, String_CutLength("ab\x82", 3, 3));

  char buffer[5];
  EXPECT_EQ(4, String_CopyCut(buffer, sizeof(buffer), "あいう"));
  EXPECT_STREQ("あい", buffer);
  EXPECT_EQ(3, String_CopyCut(buffer, 4, "aあい"));
  EXPECT_STREQ("aあ", buffer);
  EXPECT_EQ(0, String_CopyCut(buffer, 1, "abc"));
  EXPECT_STREQ("", buffer);
}

TEST(StringHelpers, TextBufAppendsWholeCharactersUntilFull) {
  char buffer[8];
  TextBuf tb;
  TextBuf_Init(&tb, buffer, sizeof(buffer));
  EXPECT_TRUE(TextBuf_AppendString(&tb, "ab"));
  EXPECT_TRUE(TextBuf_AppendInt(&tb, -12));
  EXPECT_FALSE(TextBuf_AppendString(&tb, "あい"));  // あ fits, い does not
  EXPECT_STREQ("ab-12あ", buffer);
  EXPECT_TRUE(tb.bFull);
  EXPECT_FALSE(TextBuf_AppendChar(&tb, "x", 1));  // nothing after a cut
  EXPECT_STREQ("ab-12あ", buffer);

  TextBuf_Init(&tb, buffer, sizeof(buffer));
  TextBuf_AppendHex(&tb, 0x9, 4);
  TextBuf_AppendHex(&tb, 0x82A0, 2);
  EXPECT_STREQ("000982A", buffer);
  TextBuf_Init(&tb, buffer, sizeof(buffer));
  TextBuf_AppendInt(&tb, INT64_MIN / 10000000000000LL);
  EXPECT_STREQ("-922337", buffer);
}

TEST(StringHelpers, UnsignedConversionLikeTheCLibraryOn32Bits) {
  const char* end = nullptr;
  EXPECT_EQ(0x243u, String_ToUnsigned("00000243=", 16, &end));
  EXPECT_EQ('=', *end);
  EXPECT_EQ(0x245u, String_ToUnsigned("0x245=", 16, &end));
  EXPECT_EQ('=', *end);
  EXPECT_EQ(0xABu, String_ToUnsigned(" \t+aB", 16, &end));
  EXPECT_EQ('\0', *end);
  EXPECT_EQ(0xFFFFFFFFu, String_ToUnsigned("-1", 16, nullptr));
  EXPECT_EQ(0xFFFFFFFFu, String_ToUnsigned("123456789", 16, nullptr));  // too large
  const char* text = "zz=検索";
  EXPECT_EQ(0u, String_ToUnsigned(text, 16, &end));
  EXPECT_EQ(text, end);
  // "0x" without a hex digit behind it is the number 0 followed by "x".
  EXPECT_EQ(0u, String_ToUnsigned("0xg", 16, &end));
  EXPECT_EQ('x', *end);
  EXPECT_EQ(1234u, String_ToUnsigned("1234abc", 10, nullptr));
}

TEST(StringHelpers, PathSeparatorsAreSingleByteBackslashes) {
  // 表 and ソ carry the byte of a backslash as their trail byte.
  EXPECT_STREQ("a.txt", Path_GetFileName("C:\\表\\a.txt"));
  EXPECT_STREQ("ソフト.txt", Path_GetFileName("C:\\ソフト.txt"));
  EXPECT_STREQ("表", Path_GetFileName("表"));
  EXPECT_EQ(nullptr, Path_FindLastSeparator("ソソ"));
  EXPECT_STREQ("", Path_GetFileName("C:\\dir\\"));
}

TEST(StringHelpers, DecimalIntegersAsTheSettingsFileReadsThem) {
  struct Case {
    const char* text;
    bool parsed;
    int32_t value;
  };
  const Case cases[] = {
      {"12abc", true, 12},          {" \t-5", true, -5},          {"+7", true, 7},
      {"abc", false, 0},            {"", false, 0},               {"-", false, 0},
      {"2147483647", true, INT32_MAX}, {"2147483648", true, INT32_MAX}, {"-2147483648", true, INT32_MIN},
      {"-99999999999999999999", true, INT32_MIN}, {"99999999999999999999", true, INT32_MAX},
  };
  for (const Case& c : cases) {
    int32_t value = 0;
    EXPECT_EQ(c.parsed, String_ToInt(c.text, &value)) << '"' << c.text << '"';
    if (!c.parsed) continue;
    EXPECT_EQ(c.value, value) << '"' << c.text << '"';
  }
  int32_t untouched = 42;
  EXPECT_FALSE(String_ToInt("x1", &untouched));
  EXPECT_EQ(42, untouched);
}

TEST(StringHelpers, SiblingPathsReplaceTheExtensionAndLowerCaseSingleBytes) {
  char buffer[64];
  ASSERT_TRUE(Path_MakeSibling("C:\\Tools\\EDIT.EXE", ".ini", buffer, sizeof(buffer)));
  EXPECT_STREQ("c:\\tools\\edit.ini", buffer);
  ASSERT_TRUE(Path_MakeSibling("C:\\Tools\\Editor", ".key", buffer, sizeof(buffer)));
  EXPECT_STREQ("c:\\tools\\editor.key", buffer);
  // A dot in a folder's name is no extension of the file.
  ASSERT_TRUE(Path_MakeSibling("C:\\v1.2\\Qwil", ".ini", buffer, sizeof(buffer)));
  EXPECT_STREQ("c:\\v1.2\\qwil.ini", buffer);
  ASSERT_TRUE(Path_MakeSibling("C:\\a\\b.tar.gz", ".ini", buffer, sizeof(buffer)));
  EXPECT_STREQ("c:\\a\\b.tar.ini", buffer);
  // ア is 83 41 and 表 is 95 5C: their trail bytes are no letter and no separator.
  ASSERT_TRUE(Path_MakeSibling("C:\\表\\アQ.EXE", ".ini", buffer, sizeof(buffer)));
  EXPECT_STREQ("c:\\表\\アq.ini", buffer);
  // What does not fit is refused, never cut into another name.
  EXPECT_FALSE(Path_MakeSibling("C:\\Tools\\EDIT.EXE", ".ini", buffer, 17));
  EXPECT_STREQ("", buffer);
  EXPECT_TRUE(Path_MakeSibling("C:\\Tools\\EDIT.EXE", ".ini", buffer, 18));
}

TEST(StringHelpers, FolderPartStopsAtTheLastSeparator) {
  char buffer[16];
  ASSERT_TRUE(Path_GetFolder("C:\\表\\a.txt", buffer, sizeof(buffer)));
  EXPECT_STREQ("C:\\表", buffer);
  ASSERT_TRUE(Path_GetFolder("ソ.txt", buffer, sizeof(buffer)));
  EXPECT_STREQ("", buffer);
  EXPECT_FALSE(Path_GetFolder("C:\\folder\\a.txt", buffer, 9));
  EXPECT_STREQ("", buffer);
}

}  // namespace
