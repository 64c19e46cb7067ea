#include "tools/regexp/rgclass.h"

#include <gtest/gtest.h>

#include <string>

#include "rgtest.h"
#include "tools/charrule.h"

namespace {

void ExpectSameAsReference(const char* text) {
  RgClass cls;
  ASSERT_TRUE(RgClass_Compile(&cls, text));
  for (uint32_t c = 0; c <= 0xFFFF; ++c) {
    ASSERT_EQ(rgtest::ReferenceHas(text, c), RgClass_Has(&cls, c)) << "class [" << text << "] code " << std::hex << c;
  }
  for (uint32_t b = 0; b < 256; ++b) {
    bool some = rgtest::ReferenceHas(text, b);
    for (uint32_t t = 1; !some && Char_IsLeadByte(static_cast<unsigned char>(b)) && t < 256; ++t) {
      some = rgtest::ReferenceHas(text, (b << 8) | t);
    }
    ASSERT_EQ(some, RgClass_MayStartWith(&cls, static_cast<uint8_t>(b))) << "class [" << text << "] byte " << b;
  }
  RgClass_Release(&cls);
}

TEST(RegexpClass, CompiledSetsAgreeWithTheScan) {
  const char* texts[] = {
      "",        "^",         "abc",        "a-c",        "^a-c",         "a-",         "-a",
      "a-\\d",   "\\d-z",     "\\D",        "^\\D",       "\\w\\s",       "\\S",        "a\\-z",
      "a-\\]",   "\\]",       "\\\\",       "\\t-\\r",    "ぁ-ん",        "^ぁ-ん",     "a-ア",
      "ア-a",    "表ソ",      "\\表",       "ソ-表",      "^^",           "x^",         "　-滌",
      "\\W-",    "--/",       "a-c-e",      "^\\S\\d",    "\\h",          "\\H0",       "\\",
  };
  for (const char* t : texts) ExpectSameAsReference(t);
}

TEST(RegexpClass, RandomTextsAgreeWithTheScan) {
  static const char* const kPieces[] = {"a", "z", "-", "^", "\\", "d", "W", "s", "]", "ア", "表", "ぁ", "ん", "0", "9", "~"};
  rgtest::Rng rng{77};
  for (int round = 0; round < 120; ++round) {
    std::string text;
    const uint32_t n = 1 + rng.Below(7);
    for (uint32_t i = 0; i < n; ++i) text += kPieces[rng.Below(sizeof(kPieces) / sizeof(kPieces[0]))];
    ExpectSameAsReference(text.c_str());
  }
}

TEST(RegexpClass, EscapeTable) {
  RgEscape esc;
  RgEscape_Read("d", &esc);
  EXPECT_TRUE(esc.bClass);
  EXPECT_STREQ("0-9", esc.pClass);
  RgEscape_Read("S", &esc);
  EXPECT_STREQ("^ \t\n\r\f", esc.pClass);
  RgEscape_Read("t", &esc);
  EXPECT_FALSE(esc.bClass);
  EXPECT_EQ('\t', esc.ch[0]);
  RgEscape_Read("0", &esc);
  EXPECT_EQ('0', esc.ch[0]);  // backslash-zero is the digit zero
  RgEscape_Read("表", &esc);
  EXPECT_EQ(2, esc.nLength);
  EXPECT_EQ(0x955Cu, RgEscape_Code(esc.ch));
}

}  // namespace
