#include "tools/charrule.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

namespace {

// What stepping forward from the start gives: the reference for Char_Prev.
const char* PrevByForwardSteps(const char* start, const char* p) {
  const char* last = start;
  for (const char* q = start; q < p;) {
    last = q;
    const char* n = Char_Next(q);
    q = (n == q) ? q + 1 : n;
  }
  return last;
}

TEST(CharRule, CodesLengthsAndSteps) {
  EXPECT_EQ(0x8140u, Char_Code("　"));
  EXPECT_EQ(0xB1u, Char_Code("\xB1"));  // half-width katakana, never sign-extended
  EXPECT_EQ(0x81u, Char_Code("\x81"));  // lead byte before the terminator

  const char nul[] = {'a', '\0', 'b', '\0'};
  EXPECT_EQ(nul + 1, Char_Next(nul + 1));  // never steps over a NUL
  EXPECT_EQ(1, Char_Length(nul, 3, 1));
  EXPECT_EQ(0, Char_Length(nul, 3, 3));

  const char* kana = "あ\x82";  // a two-byte character, then a lone lead byte
  EXPECT_EQ(2, Char_Length(kana, 3, 0));
  EXPECT_EQ(1, Char_Length(kana, 3, 2));
  const char leadNul[] = {'\x82', '\0', 'x', '\0'};
  EXPECT_EQ(1, Char_Length(leadNul, 3, 0));
}

TEST(CharRule, ClassesOfTheTable) {
  EXPECT_EQ(0x0C00u, Char_Class("ー"));
  EXPECT_EQ(0x0080u, Char_ClassOfCode(0x889F));
  EXPECT_EQ(0x0080u, Char_ClassOfCode(0x9872));
  EXPECT_EQ(0x0002u, Char_ClassOfCode(0x9873));  // second-level kanji
  EXPECT_EQ(0x0002u, Char_Class("＠"));
  EXPECT_EQ(0x0018u, Char_Class("_"));
  EXPECT_EQ(0x0018u, Char_Class("#"));
  EXPECT_EQ(0x0001u, Char_Class("\r"));
  EXPECT_EQ(0x4000u, Char_Class(""));
  EXPECT_EQ(0x1010u, Char_Class("'"));
  EXPECT_EQ(0x2010u, Char_Class("\""));
  EXPECT_EQ(0x0004u, Char_Class("\t"));
  EXPECT_EQ(0x0080u, Char_Class("々"));
  EXPECT_EQ(0x0040u, Char_Class("　"));
  EXPECT_EQ(0x0100u, Char_Class("９"));
  EXPECT_EQ(0x0200u, Char_Class("ｚ"));
  EXPECT_EQ(0x0200u, Char_Class("ω"));
  EXPECT_EQ(0x0200u, Char_Class("Ё"));
  EXPECT_EQ(0x0400u, Char_Class("ゎ"));
  EXPECT_EQ(0x0800u, Char_Class("ヶ"));
  EXPECT_EQ(0x0020u, Char_Class("ｦ"));
  EXPECT_EQ(0x0020u, Char_Class("ﾟ"));
  EXPECT_EQ(0x0010u, Char_Class("｡"));
  EXPECT_EQ(0x0010u, Char_Class("~"));
  EXPECT_EQ(0x0001u, Char_Class("\x7F"));
  EXPECT_EQ(0x0001u, Char_Class("\xA0"));
  EXPECT_EQ(0x0001u, Char_Class("\xFD"));
}

TEST(CharRule, PrevMatchesForwardStepsOnAnyBytes) {
  // Lead bytes, trail bytes that look like lead bytes, NULs and ASCII, mixed.
  const unsigned char alphabet[] = {0x81, 0x82, 0x9F, 0xE0, 0xFC, 0x5C, 0x41, 0x00, 0xA0, 0xB1, 0x40, 0xFD};
  std::mt19937 rng(20261208);
  for (int round = 0; round < 3000; ++round) {
    std::string s(1 + rng() % 24, '\0');
    for (char& c : s) c = static_cast<char>(alphabet[rng() % sizeof(alphabet)]);
    const char* start = s.c_str();
    for (size_t i = 0; i <= s.size(); ++i) {
      ASSERT_EQ(PrevByForwardSteps(start, start + i), Char_Prev(start, start + i)) << "round " << round << " at " << i;
    }
  }
}

}  // namespace
