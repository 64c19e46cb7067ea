// The decisions of the find, go-to-line and About dialogs that need no window.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "dialogs/about.h"
#include "dialogs/gotoline.h"
#include "dialogs/searchreq.h"
#include "tools/linklabel.h"

namespace {

TEST(SearchRequest, LengthsOutsideTheBufferAreRefusedBeforeAnyByteIsRead) {
  char text[] = "abc";
  struct Case {
    const char* find;
    int32_t findLength;
    const char* replace;
    int32_t replaceLength;
    bool bFindOk;
    bool bReplaceOk;
  } cases[] = {
      {text, 3, nullptr, -1, true, false},  // a find request: no replacement
      {text, 3, text, 0, true, true},
      {text, 0, text, 3, true, true},
      {nullptr, 0, nullptr, 0, true, true},  // empty texts need no pointer
      {text, -1, text, 1, false, false},
      {text, 1024, text, 1, false, false},
      {text, 1023, text, 1023, true, true},
      {nullptr, 2, text, 1, false, false},
      {text, 1, nullptr, 5, true, false},
      {text, 1, text, INT_MIN, true, false},
  };
  for (const Case& c : cases) {
    SearchRequest r = {nullptr, 0, c.find, c.findLength, c.replace, c.replaceLength};
    EXPECT_EQ(c.bFindOk, SearchRequest_IsReadable(&r, false)) << c.findLength << "/" << c.replaceLength;
    EXPECT_EQ(c.bReplaceOk, SearchRequest_IsReadable(&r, true)) << c.findLength << "/" << c.replaceLength;
  }
  EXPECT_FALSE(SearchRequest_IsReadable(nullptr, false));
}

TEST(SearchRequest, StoredTextIsCutBetweenCharactersAndAtANul) {
  char buffer[8];
  std::memset(buffer, 'z', sizeof(buffer));
  // 6 one-byte characters and a two-byte one that would need bytes 6 and 7.
  EXPECT_EQ(6, SearchText_Store(buffer, 8, "abcdef表", 8));
  EXPECT_STREQ("abcdef", buffer);
  EXPECT_EQ(2, SearchText_Store(buffer, 8, "ab\0cd", 5));
  EXPECT_STREQ("ab", buffer);
  EXPECT_EQ(0, SearchText_Store(buffer, 8, nullptr, 0));
  EXPECT_STREQ("", buffer);
  char last[1024];
  std::string full(1023, 'q');
  EXPECT_EQ(1023, SearchText_Store(last, sizeof(last), full.data(), 1023));
  EXPECT_EQ(full, last);
}

TEST(SearchRequest, ProposedTextIsTheFirstLineOfTheSelection) {
  EXPECT_EQ(3, SearchText_ProposedLength("abc\r\ndef", 8));
  EXPECT_EQ(4, SearchText_ProposedLength("ab\rc", 4)) << "only a CR LF pair ends the line";
  EXPECT_EQ(0, SearchText_ProposedLength("\r\nx", 3));
  std::string big(1022, 'a');
  big += "表";  // bytes 1022 and 1023: the character does not fit 1023 bytes
  EXPECT_EQ(1022, SearchText_ProposedLength(big.data(), static_cast<int32_t>(big.size())));
}

TEST(GoToLine, AnyNumberTypedOrPastedBecomesALineInTheDocument) {
  struct Case {
    const char* text;
    bool bNumber;
    int32_t nClamped;  // in a 5-line document
  } cases[] = {
      {"3", true, 2},           {"0", true, 0},           {"99", true, 4},
      {"1", true, 0},           {"-2147483648", true, 0}, {"2147483647", true, 4},
      {"99999999999", true, 4}, {" 2", true, 1},          {"4abc", true, 3},
      {"", false, 0},           {"abc", false, 0},        {"-", false, 0},
  };
  for (const Case& c : cases) {
    int32_t line = 12345;
    EXPECT_EQ(c.bNumber, GoToLine_Parse(c.text, &line)) << "\"" << c.text << "\"";
    if (c.bNumber) {
      EXPECT_EQ(c.nClamped, GoToLine_Clamp(line, 5)) << "\"" << c.text << "\"";
    } else {
      EXPECT_EQ(12345, line) << "nothing is set without a number";
    }
  }
  int32_t line = 0;
  ASSERT_TRUE(GoToLine_Parse("-2147483648", &line));
  EXPECT_EQ(INT_MIN, line) << "no overflow below the smallest value";
  EXPECT_EQ(0, GoToLine_Clamp(7, 1)) << "a one-line document lands on its line";
  char hint[32];
  GoToLine_FormatRange(1, hint, sizeof(hint));
  EXPECT_STREQ("1 ～ 1", hint);
  GoToLine_FormatRange(120000, hint, sizeof(hint));
  EXPECT_STREQ("1 ～ 120000", hint);
}

TEST(AboutText, NameVersionTitleAndResources) {
  EXPECT_STREQ("Qwilpad", About_ChooseName("Qwilpad", "desc"));
  EXPECT_STREQ("desc", About_ChooseName("", "desc")) << "an empty product name gives the description";
  EXPECT_STREQ("", About_ChooseName(nullptr, nullptr));
  char text[kAboutTextSize];
  About_FormatVersionText("Qwilpad", "0.33", text, sizeof(text));
  EXPECT_STREQ("Qwilpad ver. 0.33", text);
  About_FormatTitle("Qwilpad", text, sizeof(text));
  EXPECT_STREQ("Qwilpad について", text);
  std::string longName(300, 'n');
  EXPECT_EQ(kAboutTextSize - 1, About_FormatTitle(longName.c_str(), text, sizeof(text)));
  char res[kAboutResourcesSize];
  About_FormatResources(87, res, sizeof(res));
  EXPECT_STREQ("システムリソース： 87 ％使用可能", res);
}

TEST(AboutText, TheBoxGrowsByTheLargestLackAndCentresItsButton) {
  int32_t statics[3] = {10, 10, 10};
  int32_t fits[3] = {8, 10, 2};
  AboutFit fit = About_Fit(fits, statics, 100, 40);
  EXPECT_EQ(0, fit.nGrow) << "texts that fit change nothing";
  int32_t wide[3] = {50, 130, 20};
  fit = About_Fit(wide, statics, 100, 40);
  EXPECT_EQ(120, fit.nGrow);
  EXPECT_EQ((220 - 40) / 2, fit.nButtonX);
  int32_t odd[3] = {11, 0, 0};
  EXPECT_EQ((101 - 40) / 2, About_Fit(odd, statics, 100, 40).nButtonX);
}

bool Bit(const uint8_t* mask, int x, int y) {
  int bit = y * kHandCursorSize + x;
  return (mask[bit / 8] & (0x80 >> (bit % 8))) != 0;
}

TEST(HandCursor, FingerTipAtTheHotSpotWhiteInsideTransparentOutside) {
  uint8_t andMask[kHandCursorMaskBytes], xorMask[kHandCursorMaskBytes];
  HandCursor_MakeMasks(andMask, xorMask);
  // The tip's outline starts at the hot spot: black.
  EXPECT_FALSE(Bit(andMask, kHandCursorHotX, kHandCursorHotY));
  EXPECT_FALSE(Bit(xorMask, kHandCursorHotX, kHandCursorHotY));
  // Inside the finger: white.
  EXPECT_FALSE(Bit(andMask, 6, 1));
  EXPECT_TRUE(Bit(xorMask, 6, 1));
  // Beside the finger, below the hand, right of the picture: transparent.
  const int transparent[][2] = {{0, 0}, {0, 5}, {5, 22}, {20, 10}, {31, 31}, {17, 0}};
  for (const auto& p : transparent) {
    EXPECT_TRUE(Bit(andMask, p[0], p[1])) << p[0] << "," << p[1];
    EXPECT_FALSE(Bit(xorMask, p[0], p[1])) << p[0] << "," << p[1];
  }
  // The bottom outline is a black bar of ten.
  for (int x = 6; x < 16; ++x) EXPECT_FALSE(Bit(andMask, x, 21) || Bit(xorMask, x, 21)) << x;
}

}  // namespace
