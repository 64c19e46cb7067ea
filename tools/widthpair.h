// The half-width (single-byte) and full-width (double-byte) forms of code page
// 932 characters: one set of lists that both the width conversions of the
// selection (app/convert) and the width folding of the search (tools/charfold)
// are built from while compiling. Each list pairs the i-th byte of its half text
// with the i-th two-byte character of its full text; they are kept as texts a
// reader can check at a glance.
#pragma once

#include <cstdint>

inline constexpr char kWidthSpaceHalf[] = " ";
inline constexpr char kWidthSpaceFull[] = "　";
inline constexpr char kWidthLettersHalf[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
inline constexpr char kWidthLettersFull[] =
    "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ";
inline constexpr char kWidthDigitsHalf[] = "0123456789";
inline constexpr char kWidthDigitsFull[] = "０１２３４５６７８９";
// The backslash pairs with the full-width yen sign, the quotes with the closing
// quotation marks: what a Japanese keyboard's keys show.
inline constexpr char kWidthSymbolsHalf[] = "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";
inline constexpr char kWidthSymbolsFull[] = "！”＃＄％＆’（）＊＋，－．／：；＜＝＞？＠［￥］＾＿｀｛｜｝～";
// The voiced and semi-voiced marks pair with ″ and °, not with ゛ and ゜.
inline constexpr char kWidthKanaHalf[] = "ｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜｦﾝﾞﾟ､｡｢｣･";
inline constexpr char kWidthKanaFull[] =
    "ァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン″°、。「」・";
// Two bytes at half width: the base byte followed by the voiced mark (or the
// semi-voiced mark). Only the conversions know these; the search folds each
// of them to itself.
inline constexpr char kWidthVoicedBase[] = "ｳｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾊﾋﾌﾍﾎ";
inline constexpr char kWidthVoicedFull[] = "ヴガギグゲゴザジズゼゾダヂヅデドバビブベボ";
inline constexpr char kWidthSemiVoicedBase[] = "ﾊﾋﾌﾍﾎ";
inline constexpr char kWidthSemiVoicedFull[] = "パピプペポ";

constexpr unsigned char kWidthVoicedMark = 0xDE;
constexpr unsigned char kWidthSemiVoicedMark = 0xDF;

struct WidthList {
  const char* half;
  const char* full;
};

// The one-to-one lists: what "half-width equals full-width" means.
inline constexpr WidthList kWidthPairLists[] = {
    {kWidthSpaceHalf, kWidthSpaceFull},     {kWidthLettersHalf, kWidthLettersFull},
    {kWidthDigitsHalf, kWidthDigitsFull},   {kWidthSymbolsHalf, kWidthSymbolsFull},
    {kWidthKanaHalf, kWidthKanaFull},
};

constexpr int32_t WidthText_Length(const char* s) {
  int32_t n = 0;
  while (s[n] != 0) ++n;
  return n;
}

// The code of the i-th two-byte character of a full text.
constexpr uint16_t WidthText_FullCode(const char* full, int32_t i) {
  return static_cast<uint16_t>((static_cast<unsigned char>(full[2 * i]) << 8) |
                               static_cast<unsigned char>(full[2 * i + 1]));
}

// Every full text holds exactly two bytes per byte of its half text.
constexpr bool WidthList_Pairs(const char* half, const char* full, int32_t n) {
  return WidthText_Length(half) == n && WidthText_Length(full) == 2 * n;
}

static_assert(WidthList_Pairs(kWidthSpaceHalf, kWidthSpaceFull, 1), "space list");
static_assert(WidthList_Pairs(kWidthLettersHalf, kWidthLettersFull, 52), "letters list");
static_assert(WidthList_Pairs(kWidthDigitsHalf, kWidthDigitsFull, 10), "digits list");
static_assert(WidthList_Pairs(kWidthSymbolsHalf, kWidthSymbolsFull, 32), "symbols list");
static_assert(WidthList_Pairs(kWidthKanaHalf, kWidthKanaFull, 63), "katakana list");
static_assert(WidthList_Pairs(kWidthVoicedBase, kWidthVoicedFull, 21), "voiced list");
static_assert(WidthList_Pairs(kWidthSemiVoicedBase, kWidthSemiVoicedFull, 5), "semi-voiced list");
// The execution character set must be code page 932 for the texts to be the
// bytes they stand for.
static_assert(WidthText_FullCode(kWidthSpaceFull, 0) == 0x8140, "the sources must be compiled to code page 932");
