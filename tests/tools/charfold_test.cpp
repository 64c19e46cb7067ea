#include "tools/charfold.h"

#include <gtest/gtest.h>

#include <vector>

#include "tools/charrule.h"
#include "tools/regexp/rgtest.h"

namespace {

std::vector<uint32_t> SampleCodes() {
  std::vector<uint32_t> codes;
  for (uint32_t b = 0; b < 256; ++b) codes.push_back(b);
  for (int32_t i = 0; i < kWidthFoldPairs; ++i) {
    uint32_t full = 0;
    uint32_t half = 0;
    CharFold_GetPair(i, &full, &half);
    codes.push_back(full);
  }
  for (const char* s : {"ガ", "パ", "ヴ", "ヵ", "あ", "漢", "表", "ソ", "〒", "Α", "α", "Я"}) codes.push_back(Char_Code(s));
  codes.push_back(0x8150);  // inside the table's range without a pair
  codes.push_back(0x8393 + 1);
  return codes;
}

TEST(CharFold, KeysAgreeWithTheStepByStepEquality) {
  const std::vector<uint32_t> codes = SampleCodes();
  for (uint32_t options : {0u, 2u, 4u, 6u, 6u | SF_WHOLEWORD | SF_REGEXP}) {
    for (uint32_t s : codes) {
      for (uint32_t c : codes) {
        ASSERT_EQ(rgtest::ReferenceEqual(s, c, options), CharFold_EqualCodes(s, c, options))
            << std::hex << "text " << s << " pattern " << c << " options " << options;
      }
    }
  }
}

TEST(CharFold, TableHasItsPairsInCodeOrder) {
  uint32_t full = 0;
  uint32_t half = 0;
  CharFold_GetPair(0, &full, &half);
  EXPECT_EQ(0x8140u, full);
  EXPECT_EQ(static_cast<uint32_t>(' '), half);
  CharFold_GetPair(kWidthFoldPairs - 1, &full, &half);
  EXPECT_EQ(Char_Code("ン"), full);
  EXPECT_EQ(0xDDu, half);
  EXPECT_EQ(0x5Cu, CharFold_Width(Char_Code("￥")));
  EXPECT_EQ(0xDEu, CharFold_Width(Char_Code("″")));
  EXPECT_EQ(0xDFu, CharFold_Width(Char_Code("°")));
  EXPECT_EQ(static_cast<uint32_t>('|'), CharFold_Width(Char_Code("｜")));
  EXPECT_EQ(0xA6u, CharFold_Width(Char_Code("ヲ")));
  EXPECT_EQ(0xAFu, CharFold_Width(Char_Code("ッ")));
  // Voiced katakana, hiragana and codes outside the range fold to themselves.
  for (const char* s : {"ガ", "パ", "ヮ", "ヰ", "ヱ", "ヴ", "ヵ", "ヶ", "あ", "漢"}) {
    EXPECT_EQ(Char_Code(s), CharFold_Width(Char_Code(s))) << s;
  }
}

TEST(CharFold, OptionsAsTheDialogDescribesThem) {
  // Ignore case alone: full-width letters meet each other, never half-width.
  EXPECT_TRUE(CharEqual("Ａ", "ａ", SF_IGNORECASE));
  EXPECT_FALSE(CharEqual("Ａ", "a", SF_IGNORECASE));
  EXPECT_TRUE(CharEqual("A", "a", SF_IGNORECASE));
  EXPECT_FALSE(CharEqual("A", "a", 0));
  // Ignore width: full-width equals half-width; with ignore case also the other case.
  EXPECT_TRUE(CharEqual("Ａ", "A", SF_IGNOREWIDTH));
  EXPECT_FALSE(CharEqual("Ａ", "a", SF_IGNOREWIDTH));
  EXPECT_TRUE(CharEqual("Ａ", "a", SF_IGNOREWIDTH | SF_IGNORECASE));
  EXPECT_TRUE(CharEqual("カ", "ｶ", SF_IGNOREWIDTH));
  EXPECT_FALSE(CharEqual("ガ", "ｶ", SF_IGNOREWIDTH | SF_IGNORECASE));
  EXPECT_TRUE(CharEqual("ガ", "ガ", 0));
  // A trail byte that equals an ASCII letter is not that letter.
  EXPECT_FALSE(CharEqual("ア", "A", SF_IGNOREWIDTH | SF_IGNORECASE));
  EXPECT_FALSE(CharEqual("表", "\\", SF_IGNOREWIDTH));
  // "￥" is the backslash byte when width is ignored.
  EXPECT_TRUE(CharEqual("￥", "\\", SF_IGNOREWIDTH));
}

}  // namespace
