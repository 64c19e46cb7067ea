#include "app/convert.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The conversions by their command ids.
constexpr int32_t kToLower = 40091;
constexpr int32_t kToUpper = 40092;
constexpr int32_t kSwapCase = 40093;
constexpr int32_t kLettersToFull = 40096;
constexpr int32_t kSymbolsToFull = 40100;
constexpr int32_t kKatakanaToFull = 40102;
constexpr int32_t kDigitsToFull = 40098;
constexpr int32_t kAllToFull = 40094;
constexpr int32_t kLettersToHalf = 40097;
constexpr int32_t kSymbolsToHalf = 40101;
constexpr int32_t kKatakanaToHalf = 40103;
constexpr int32_t kDigitsToHalf = 40099;
constexpr int32_t kAllToHalf = 40095;

// Runs a conversion the way the command does: measure, then fill a buffer of
// exactly the measured length (the sanitizer catches any byte more, and so
// does the guard byte behind it).
std::string Conv(const ConvertCommand* command, const std::string& source) {
  size_t n = Convert_Run(command, source.data(), source.size(), nullptr, 0);
  std::vector<char> out(n + 1, 'Z');
  EXPECT_EQ(n, Convert_Run(command, source.data(), source.size(), out.data(), n));
  EXPECT_EQ('Z', out[n]);
  return std::string(out.data(), n);
}

std::string Conv(int32_t id, const std::string& source) { return Conv(Convert_FindCommand(id), source); }

std::string Code(uint16_t code) {
  return std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

std::string Byte(int b) { return std::string(1, static_cast<char>(b)); }

struct Pair {
  int half;        // the single byte
  uint16_t full;   // the double-byte code
};

// The tables as code numbers, written independently of the texts the program
// keeps them as.
std::vector<Pair> Letters() {
  std::vector<Pair> pairs;
  for (int i = 0; i < 26; ++i) pairs.push_back({0x41 + i, static_cast<uint16_t>(0x8260 + i)});
  for (int i = 0; i < 26; ++i) pairs.push_back({0x61 + i, static_cast<uint16_t>(0x8281 + i)});
  return pairs;
}

std::vector<Pair> Digits() {
  std::vector<Pair> pairs;
  for (int i = 0; i < 10; ++i) pairs.push_back({0x30 + i, static_cast<uint16_t>(0x824F + i)});
  return pairs;
}

const Pair kSymbols[] = {
    {0x21, 0x8149}, {0x22, 0x8168}, {0x23, 0x8194}, {0x24, 0x8190}, {0x25, 0x8193}, {0x26, 0x8195},
    {0x27, 0x8166}, {0x28, 0x8169}, {0x29, 0x816A}, {0x2A, 0x8196}, {0x2B, 0x817B}, {0x2C, 0x8143},
    {0x2D, 0x817C}, {0x2E, 0x8144}, {0x2F, 0x815E}, {0x3A, 0x8146}, {0x3B, 0x8147}, {0x3C, 0x8183},
    {0x3D, 0x8181}, {0x3E, 0x8184}, {0x3F, 0x8148}, {0x40, 0x8197}, {0x5B, 0x816D}, {0x5C, 0x818F},
    {0x5D, 0x816E}, {0x5E, 0x814F}, {0x5F, 0x8151}, {0x60, 0x814D}, {0x7B, 0x816F}, {0x7C, 0x8162},
    {0x7D, 0x8170}, {0x7E, 0x8160},
};

const Pair kKatakana[] = {
    {0xA7, 0x8340}, {0xA8, 0x8342}, {0xA9, 0x8344}, {0xAA, 0x8346}, {0xAB, 0x8348}, {0xAC, 0x8383},
    {0xAD, 0x8385}, {0xAE, 0x8387}, {0xAF, 0x8362}, {0xB0, 0x815B}, {0xB1, 0x8341}, {0xB2, 0x8343},
    {0xB3, 0x8345}, {0xB4, 0x8347}, {0xB5, 0x8349}, {0xB6, 0x834A}, {0xB7, 0x834C}, {0xB8, 0x834E},
    {0xB9, 0x8350}, {0xBA, 0x8352}, {0xBB, 0x8354}, {0xBC, 0x8356}, {0xBD, 0x8358}, {0xBE, 0x835A},
    {0xBF, 0x835C}, {0xC0, 0x835E}, {0xC1, 0x8360}, {0xC2, 0x8363}, {0xC3, 0x8365}, {0xC4, 0x8367},
    {0xC5, 0x8369}, {0xC6, 0x836A}, {0xC7, 0x836B}, {0xC8, 0x836C}, {0xC9, 0x836D}, {0xCA, 0x836E},
    {0xCB, 0x8371}, {0xCC, 0x8374}, {0xCD, 0x8377}, {0xCE, 0x837A}, {0xCF, 0x837D}, {0xD0, 0x837E},
    {0xD1, 0x8380}, {0xD2, 0x8381}, {0xD3, 0x8382}, {0xD4, 0x8384}, {0xD5, 0x8386}, {0xD6, 0x8388},
    {0xD7, 0x8389}, {0xD8, 0x838A}, {0xD9, 0x838B}, {0xDA, 0x838C}, {0xDB, 0x838D}, {0xDC, 0x838F},
    {0xA6, 0x8392}, {0xDD, 0x8393}, {0xDE, 0x818D}, {0xDF, 0x818B}, {0xA4, 0x8141}, {0xA1, 0x8142},
    {0xA2, 0x8175}, {0xA3, 0x8176}, {0xA5, 0x8145},
};

// The base byte; the half-width form is the base followed by DE (or DF).
const Pair kVoiced[] = {
    {0xB3, 0x8394}, {0xB6, 0x834B}, {0xB7, 0x834D}, {0xB8, 0x834F}, {0xB9, 0x8351}, {0xBA, 0x8353},
    {0xBB, 0x8355}, {0xBC, 0x8357}, {0xBD, 0x8359}, {0xBE, 0x835B}, {0xBF, 0x835D}, {0xC0, 0x835F},
    {0xC1, 0x8361}, {0xC2, 0x8364}, {0xC3, 0x8366}, {0xC4, 0x8368}, {0xCA, 0x836F}, {0xCB, 0x8372},
    {0xCC, 0x8375}, {0xCD, 0x8378}, {0xCE, 0x837B},
};
const Pair kSemiVoiced[] = {{0xCA, 0x8370}, {0xCB, 0x8373}, {0xCC, 0x8376}, {0xCD, 0x8379}, {0xCE, 0x837C}};

const int32_t kAll[] = {
    kToLower,       kToUpper,       kSwapCase,       kLettersToFull, kSymbolsToFull,
    kKatakanaToFull, kDigitsToFull, kAllToFull,      kLettersToHalf, kSymbolsToHalf,
    kKatakanaToHalf, kDigitsToHalf, kAllToHalf,
};

void ExpectPairsBothWays(const std::vector<Pair>& pairs, int32_t toFull, int32_t toHalf, const char* what) {
  for (const Pair& p : pairs) {
    SCOPED_TRACE(testing::Message() << what << " " << std::hex << p.half << " <-> " << p.full);
    EXPECT_EQ(Code(p.full), Conv(toFull, Byte(p.half)));
    EXPECT_EQ(Code(p.full), Conv(kAllToFull, Byte(p.half)));
    EXPECT_EQ(Byte(p.half), Conv(toHalf, Code(p.full)));
    EXPECT_EQ(Byte(p.half), Conv(kAllToHalf, Code(p.full)));
  }
}

TEST(Convert, EveryTablePairBothWays) {
  ExpectPairsBothWays(Letters(), kLettersToFull, kLettersToHalf, "letter");
  ExpectPairsBothWays(Digits(), kDigitsToFull, kDigitsToHalf, "digit");
  ExpectPairsBothWays(std::vector<Pair>(std::begin(kSymbols), std::end(kSymbols)), kSymbolsToFull,
                      kSymbolsToHalf, "symbol");
  ExpectPairsBothWays(std::vector<Pair>(std::begin(kKatakana), std::end(kKatakana)), kKatakanaToFull,
                      kKatakanaToHalf, "katakana");
  EXPECT_EQ(Code(0x8140), Conv(kAllToFull, " "));
  EXPECT_EQ(" ", Conv(kAllToHalf, Code(0x8140)));
}

TEST(Convert, EachKindLeavesTheOtherKindsAlone) {
  const std::string half = "A1!" + Byte(0xB1) + " ";
  const std::string full = Code(0x8260) + Code(0x8250) + Code(0x8149) + Code(0x8341) + Code(0x8140);
  EXPECT_EQ(Code(0x8260) + "1!" + Byte(0xB1) + " ", Conv(kLettersToFull, half));
  EXPECT_EQ("A" + Code(0x8250) + "!" + Byte(0xB1) + " ", Conv(kDigitsToFull, half));
  EXPECT_EQ("A1" + Code(0x8149) + Byte(0xB1) + " ", Conv(kSymbolsToFull, half));
  EXPECT_EQ("A1!" + Code(0x8341) + " ", Conv(kKatakanaToFull, half));
  EXPECT_EQ("A" + full.substr(2), Conv(kLettersToHalf, full));
  EXPECT_EQ(full.substr(0, 2) + "1" + full.substr(4), Conv(kDigitsToHalf, full));
  EXPECT_EQ(full.substr(0, 4) + "!" + full.substr(6), Conv(kSymbolsToHalf, full));
  EXPECT_EQ(full.substr(0, 6) + Byte(0xB1) + full.substr(8), Conv(kKatakanaToHalf, full));
  // The worked example: everything to full width, and back.
  EXPECT_EQ(full.substr(0, 2) + Code(0x8140) + full.substr(2, 6), Conv(kAllToFull, "A 1!" + Byte(0xB1)));
  EXPECT_EQ("A 1!" + Byte(0xB1), Conv(kAllToHalf, full.substr(0, 2) + Code(0x8140) + full.substr(2, 6)));
}

TEST(Convert, VoicedAndSemiVoicedKatakana) {
  for (const Pair& p : kVoiced) {
    EXPECT_EQ(Code(p.full), Conv(kKatakanaToFull, Byte(p.half) + Byte(0xDE))) << std::hex << p.full;
    EXPECT_EQ(Byte(p.half) + Byte(0xDE), Conv(kKatakanaToHalf, Code(p.full))) << std::hex << p.full;
    EXPECT_EQ(Code(p.full), Conv(kAllToFull, Byte(p.half) + Byte(0xDE)));
  }
  for (const Pair& p : kSemiVoiced) {
    EXPECT_EQ(Code(p.full), Conv(kKatakanaToFull, Byte(p.half) + Byte(0xDF))) << std::hex << p.full;
    EXPECT_EQ(Byte(p.half) + Byte(0xDF), Conv(kKatakanaToHalf, Code(p.full))) << std::hex << p.full;
  }
  EXPECT_EQ("ガ", Conv(kKatakanaToFull, "ｶﾞ"));
  EXPECT_EQ("カ ″", Conv(kKatakanaToFull, "ｶ ﾞ"));  // a mark not right behind its base
  EXPECT_EQ("パ", Conv(kKatakanaToFull, "ﾊﾟ"));
  EXPECT_EQ("ヴ", Conv(kKatakanaToFull, "ｳﾞ"));
  EXPECT_EQ("カ°", Conv(kKatakanaToFull, "ｶﾟ"));  // ｶ has no semi-voiced form
  EXPECT_EQ("ア″", Conv(kKatakanaToFull, "ｱﾞ"));  // nor ｱ a voiced one
  EXPECT_EQ("ﾞ", Conv(kLettersToFull, "ﾞ"));
  EXPECT_EQ("ｳﾞ", Conv(kKatakanaToHalf, "ヴ"));
  EXPECT_EQ("ﾊﾟ", Conv(kKatakanaToHalf, "パ"));
  EXPECT_EQ("゛゜", Conv(kKatakanaToHalf, "゛゜"));  // 814A and 814B are no marks of the table
  EXPECT_EQ("ﾞﾟ", Conv(kKatakanaToHalf, "″°"));
}

TEST(Convert, CaseOfSingleByteLettersOnly) {
  EXPECT_EQ("abc xyz 09", Conv(kToLower, "ABC xyz 09"));
  EXPECT_EQ("ABC XYZ 09", Conv(kToUpper, "ABC xyz 09"));
  EXPECT_EQ("abc XYZ 09", Conv(kSwapCase, "ABC xyz 09"));
  EXPECT_EQ("ａＡ", Conv(kToUpper, "ａＡ"));
  EXPECT_EQ("ａＡ", Conv(kToLower, "ａＡ"));
  // ア is 83 41 and ソ 83 5C: their trail bytes are no letter and no symbol.
  EXPECT_EQ("アソa", Conv(kToLower, "アソA"));
  EXPECT_EQ("アソ", Conv(kSwapCase, "アソ"));
  EXPECT_EQ("アソ", Conv(kSymbolsToFull, "アソ"));
  EXPECT_EQ("アソ", Conv(kLettersToFull, "アソ"));
}

TEST(Convert, BackslashAndQuotesPairWithTheirJapaneseForms) {
  EXPECT_EQ("￥", Conv(kSymbolsToFull, "\\"));
  EXPECT_EQ("\\", Conv(kSymbolsToHalf, "￥"));
  EXPECT_EQ("”’", Conv(kSymbolsToFull, "\"'"));
  EXPECT_EQ("\"'", Conv(kAllToHalf, "”’"));
  EXPECT_EQ("“‘", Conv(kAllToHalf, "“‘"));  // the opening marks have no pair
}

TEST(Convert, KanjiHiraganaAndBrokenBytesPassUntouched) {
  const std::string text = "漢字ひらがな※〒表示";
  for (int32_t f : kAll) {
    EXPECT_EQ(text, Conv(f, text));
    EXPECT_EQ("", Conv(f, ""));
    // A selection that ends in a lone lead byte keeps it.
    EXPECT_EQ("漢" + Byte(0x82), Conv(f, "漢" + Byte(0x82)));
  }
  EXPECT_EQ("ａ" + Byte(0x82), Conv(kAllToFull, "a" + Byte(0x82)));
  EXPECT_EQ("a" + Byte(0x82), Conv(kAllToHalf, "ａ" + Byte(0x82)));
}

// A selection may hold NUL bytes: every part around them converts, and they stay.
TEST(Convert, NulBytesAreCharactersLikeAnyOther) {
  const std::string nul(1, '\0');
  EXPECT_EQ("AB" + nul + "CD" + nul, Conv(kToUpper, "ab" + nul + "cd" + nul));
  EXPECT_EQ("ａ" + nul + "ア" + nul + nul + "１", Conv(kAllToFull, "a" + nul + "ｱ" + nul + nul + "1"));
  EXPECT_EQ("a" + nul + "ｶﾞ", Conv(kAllToHalf, "ａ" + nul + "ガ"));
  // A lead byte before a NUL stands alone, as in the document; a mark after a NUL is no mark of its base.
  EXPECT_EQ(Byte(0x82) + nul + "A", Conv(kToUpper, Byte(0x82) + nul + "a"));
  EXPECT_EQ("カ" + nul + "″", Conv(kKatakanaToFull, "ｶ" + nul + "ﾞ"));
}

// A buffer shorter than the result takes what fits, and the length says how much more there was.
TEST(Convert, AShortBufferIsNeverOverrun) {
  const ConvertCommand* full = Convert_FindCommand(kAllToFull);
  char out[3] = {'x', 'x', 'x'};
  EXPECT_EQ(6u, Convert_Run(full, "abc", 3, out, 2));
  EXPECT_EQ(std::string("ａx"), std::string(out, 3));
  EXPECT_EQ(0u, Convert_Run(full, nullptr, 0, out, 3));
}

TEST(Convert, FullThenHalfGivesBackEveryConvertibleCharacter) {
  for (int c = 0x20; c <= 0xDF; ++c) {
    if (c == 0x7F || (0x80 <= c && c <= 0xA0)) continue;  // control bytes and lead bytes
    std::string s = Byte(c);
    ASSERT_EQ(2u, Conv(kAllToFull, s).size()) << std::hex << c;
    EXPECT_EQ(s, Conv(kAllToHalf, Conv(kAllToFull, s))) << std::hex << c;
  }
  for (const Pair& p : kVoiced) {
    std::string s = Byte(p.half) + Byte(0xDE);
    EXPECT_EQ(s, Conv(kKatakanaToHalf, Conv(kKatakanaToFull, s)));
  }
  for (const Pair& p : kSemiVoiced) {
    std::string s = Byte(p.half) + Byte(0xDF);
    EXPECT_EQ(s, Conv(kAllToHalf, Conv(kAllToFull, s)));
  }
  // A whole mixed text, both ways.
  const std::string mixed = "Qwil 2.0 (ｶﾞｲﾄﾞ･ﾊﾟｽ) 50% OFF! ~\\ 漢字";
  EXPECT_EQ(mixed, Conv(kAllToHalf, Conv(kAllToFull, mixed)));
  EXPECT_EQ("Ｑｗｉｌ　２．０　（ガイド・パス）　５０％　ＯＦＦ！　～￥　漢字", Conv(kAllToFull, mixed));
}

TEST(Convert, CommandTableBindsIdsToConversions) {
  const int32_t ids[kConvertCommandCount] = {40091, 40092, 40093, 40096, 40100, 40102, 40098,
                                             40094, 40097, 40101, 40103, 40099, 40095};
  const ConvertCommand* table = Convert_GetCommands();
  for (int i = 0; i < kConvertCommandCount; ++i) {
    EXPECT_EQ(ids[i], table[i].id);
    EXPECT_EQ(&table[i], Convert_FindCommand(ids[i]));
  }
  EXPECT_EQ(nullptr, Convert_FindCommand(40104));
  EXPECT_EQ(nullptr, Convert_FindCommand(0));
  EXPECT_STREQ("小文字に変換(&S)", Convert_FindCommand(40091)->menuText);
  EXPECT_STREQ("選択範囲の半角ｶﾀｶﾅを全角カタカナに変換します。", Convert_FindCommand(40102)->helpText);
  EXPECT_EQ("a", Conv(&table[0], "A"));
  EXPECT_EQ("ア", Conv(&table[5], "ｱ"));
  EXPECT_EQ("1", Conv(&table[11], "１"));
  EXPECT_EQ("　", Conv(&table[7], " "));
  EXPECT_EQ(" ", Conv(&table[12], "　"));
}

}  // namespace
