#include "app/convert.h"

#include "tools/charrule.h"

namespace {

// The character tables: each pairs a single-byte character with a double-byte one
// by position. They are kept as the texts a reader can check at a glance; the
// lookup maps below are derived from them while compiling.
constexpr char kSpaceHalf[] = " ";
constexpr char kSpaceFull[] = "　";
constexpr char kLettersHalf[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr char kLettersFull[] =
    "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ";
constexpr char kDigitsHalf[] = "0123456789";
constexpr char kDigitsFull[] = "０１２３４５６７８９";
// The backslash pairs with the full-width yen sign, the quotes with the closing
// quotation marks: what a Japanese keyboard's keys show.
constexpr char kSymbolsHalf[] = "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";
constexpr char kSymbolsFull[] = "！”＃＄％＆’（）＊＋，－．／：；＜＝＞？＠［￥］＾＿｀｛｜｝～";
// The voiced and semi-voiced marks pair with ″ and °, not with ゛ and ゜.
constexpr char kKanaHalf[] = "ｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜｦﾝﾞﾟ､｡｢｣･";
constexpr char kKanaFull[] =
    "ァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン″°、。「」・";
// The half-width forms of these are the base byte followed by the voiced mark
// (or the semi-voiced mark).
constexpr char kVoicedBase[] = "ｳｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾊﾋﾌﾍﾎ";
constexpr char kVoicedFull[] = "ヴガギグゲゴザジズゼゾダヂヅデドバビブベボ";
constexpr char kSemiVoicedBase[] = "ﾊﾋﾌﾍﾎ";
constexpr char kSemiVoicedFull[] = "パピプペポ";

constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;

constexpr int32_t TextLength(const char* s) {
  int32_t n = 0;
  while (s[n] != 0) ++n;
  return n;
}

// Every full-width list holds exactly two bytes per single-byte character.
constexpr bool ListsPair(const char* half, const char* full) { return TextLength(full) == 2 * TextLength(half); }

static_assert(ListsPair(kSpaceHalf, kSpaceFull), "space table");
static_assert(ListsPair(kLettersHalf, kLettersFull) && TextLength(kLettersHalf) == 52, "letters table");
static_assert(ListsPair(kDigitsHalf, kDigitsFull) && TextLength(kDigitsHalf) == 10, "digits table");
static_assert(ListsPair(kSymbolsHalf, kSymbolsFull) && TextLength(kSymbolsHalf) == 32, "symbols table");
static_assert(ListsPair(kKanaHalf, kKanaFull) && TextLength(kKanaHalf) == 63, "katakana table");
static_assert(ListsPair(kVoicedBase, kVoicedFull) && TextLength(kVoicedBase) == 21, "voiced table");
static_assert(ListsPair(kSemiVoicedBase, kSemiVoicedFull) && TextLength(kSemiVoicedBase) == 5, "semi-voiced table");

constexpr uint16_t FullCodeAt(const char* full, int32_t i) {
  return static_cast<uint16_t>((static_cast<unsigned char>(full[2 * i]) << 8) |
                               static_cast<unsigned char>(full[2 * i + 1]));
}

// Single byte to double-byte code; 0 where the table has no pair.
struct ToFullMap {
  uint16_t code[256];
};

constexpr ToFullMap MakeToFullMap(const char* half, const char* full) {
  ToFullMap map{};
  for (int32_t i = 0; half[i] != 0; ++i) map.code[static_cast<unsigned char>(half[i])] = FullCodeAt(full, i);
  return map;
}

// Every full-width character of the tables lies in 0x8140..0x8396.
constexpr uint16_t kFullFirst = 0x8140;
constexpr int32_t kFullSpan = 0x8397 - 0x8140;

// Double-byte code to its half-width form: the byte in the low half and the mark
// that follows it (or 0) in the high half; 0 where the table has no pair.
struct ToHalfMap {
  uint16_t half[kFullSpan];
};

constexpr ToHalfMap AddToHalf(ToHalfMap map, const char* half, const char* full, unsigned char mark) {
  for (int32_t i = 0; half[i] != 0; ++i) {
    map.half[FullCodeAt(full, i) - kFullFirst] =
        static_cast<uint16_t>(static_cast<unsigned char>(half[i]) | (mark << 8));
  }
  return map;
}

constexpr ToHalfMap MakeToHalfMap(const char* half, const char* full) { return AddToHalf(ToHalfMap{}, half, full, 0); }

// Later lists win: semi-voiced over voiced over plain katakana, the order in which
// the rules are tried.
constexpr ToHalfMap MakeKanaToHalfMap() {
  return AddToHalf(AddToHalf(MakeToHalfMap(kKanaHalf, kKanaFull), kVoicedBase, kVoicedFull, kVoicedMark),
                   kSemiVoicedBase, kSemiVoicedFull, kSemiVoicedMark);
}

constexpr ToFullMap kSpaceToFull = MakeToFullMap(kSpaceHalf, kSpaceFull);
constexpr ToFullMap kLettersToFull = MakeToFullMap(kLettersHalf, kLettersFull);
constexpr ToFullMap kDigitsToFull = MakeToFullMap(kDigitsHalf, kDigitsFull);
constexpr ToFullMap kSymbolsToFull = MakeToFullMap(kSymbolsHalf, kSymbolsFull);
constexpr ToFullMap kKanaToFull = MakeToFullMap(kKanaHalf, kKanaFull);
constexpr ToFullMap kVoicedToFull = MakeToFullMap(kVoicedBase, kVoicedFull);
constexpr ToFullMap kSemiVoicedToFull = MakeToFullMap(kSemiVoicedBase, kSemiVoicedFull);

constexpr ToHalfMap kSpaceToHalf = MakeToHalfMap(kSpaceHalf, kSpaceFull);
constexpr ToHalfMap kLettersToHalf = MakeToHalfMap(kLettersHalf, kLettersFull);
constexpr ToHalfMap kDigitsToHalf = MakeToHalfMap(kDigitsHalf, kDigitsFull);
constexpr ToHalfMap kSymbolsToHalf = MakeToHalfMap(kSymbolsHalf, kSymbolsFull);
constexpr ToHalfMap kKanaToHalf = MakeKanaToHalfMap();

// The execution character set must be code page 932 for the texts above to be the
// bytes the tables stand for.
static_assert(kSpaceToFull.code[0x20] == 0x8140, "the sources must be compiled to code page 932");
static_assert(kSymbolsToFull.code[0x5C] == 0x818F && kSymbolsToFull.code[0x7E] == 0x8160, "symbols table");
static_assert(kKanaToFull.code[0xDE] == 0x818D && kKanaToFull.code[0xDF] == 0x818B, "katakana marks");
static_assert(kKanaToHalf.half[0x8394 - kFullFirst] == (0xB3 | (kVoicedMark << 8)), "voiced table");

enum ConvertRule : uint32_t {
  RULE_SPACE = 0x01,
  RULE_LETTERS = 0x02,
  RULE_DIGITS = 0x04,
  RULE_SYMBOLS = 0x08,
  RULE_KANA = 0x10,
  RULE_ALL = RULE_SPACE | RULE_LETTERS | RULE_DIGITS | RULE_SYMBOLS | RULE_KANA,
};

// The tables a rule uses, in the order the conversions of everything try them.
struct FullRule {
  uint32_t rule;
  const ToFullMap* map;
};
const FullRule kFullRules[] = {
    {RULE_SPACE, &kSpaceToFull},
    {RULE_LETTERS, &kLettersToFull},
    {RULE_DIGITS, &kDigitsToFull},
    {RULE_SYMBOLS, &kSymbolsToFull},
};

struct HalfRule {
  uint32_t rule;
  const ToHalfMap* map;
};
const HalfRule kHalfRules[] = {
    {RULE_SPACE, &kSpaceToHalf},     {RULE_LETTERS, &kLettersToHalf}, {RULE_SYMBOLS, &kSymbolsToHalf},
    {RULE_DIGITS, &kDigitsToHalf},   {RULE_KANA, &kKanaToHalf},
};

// The result being measured (pText null) or written.
struct Output {
  char* pText;
  size_t nLength;
};

void PutByte(Output* out, unsigned char b) {
  if (out->pText) out->pText[out->nLength] = static_cast<char>(b);
  ++out->nLength;
}

void PutCode(Output* out, uint16_t code) {
  PutByte(out, static_cast<unsigned char>(code >> 8));
  PutByte(out, static_cast<unsigned char>(code & 0xFF));
}

size_t Finish(Output* out) {
  if (out->pText) out->pText[out->nLength] = '\0';
  return out->nLength;
}

// Katakana at a single-byte character: the semi-voiced pair, else the voiced
// pair, else the plain pair. Returns the source bytes consumed, 0 for no pair.
size_t KanaToFull(const unsigned char* p, Output* out) {
  if (p[1] == kSemiVoicedMark && kSemiVoicedToFull.code[p[0]] != 0) {
    PutCode(out, kSemiVoicedToFull.code[p[0]]);
    return 2;
  }
  if (p[1] == kVoicedMark && kVoicedToFull.code[p[0]] != 0) {
    PutCode(out, kVoicedToFull.code[p[0]]);
    return 2;
  }
  if (kKanaToFull.code[p[0]] != 0) {
    PutCode(out, kKanaToFull.code[p[0]]);
    return 1;
  }
  return 0;
}

size_t SingleToFull(const unsigned char* p, uint32_t rules, Output* out) {
  for (const FullRule& r : kFullRules) {
    if ((rules & r.rule) && r.map->code[p[0]] != 0) {
      PutCode(out, r.map->code[p[0]]);
      return 1;
    }
  }
  if (rules & RULE_KANA) {
    size_t used = KanaToFull(p, out);
    if (used != 0) return used;
  }
  PutByte(out, p[0]);
  return 1;
}

void DoubleToHalf(const unsigned char* p, uint32_t rules, Output* out) {
  int32_t code = (p[0] << 8) | p[1];
  if (code >= kFullFirst && code < kFullFirst + kFullSpan) {
    for (const HalfRule& r : kHalfRules) {
      uint16_t half = r.map->half[code - kFullFirst];
      if ((rules & r.rule) && half != 0) {
        PutByte(out, static_cast<unsigned char>(half & 0xFF));
        if (half >> 8) PutByte(out, static_cast<unsigned char>(half >> 8));
        return;
      }
    }
  }
  PutByte(out, p[0]);
  PutByte(out, p[1]);
}

bool IsDoubleByte(const unsigned char* p) { return Char_IsLeadByte(p[0]) && p[1] != 0; }

size_t ConvertToFull(const char* source, char* output, uint32_t rules) {
  Output out = {output, 0};
  const unsigned char* p = reinterpret_cast<const unsigned char*>(source);
  while (*p != 0) {
    if (IsDoubleByte(p)) {
      PutByte(&out, p[0]);
      PutByte(&out, p[1]);
      p += 2;
    } else {
      p += SingleToFull(p, rules, &out);
    }
  }
  return Finish(&out);
}

size_t ConvertToHalf(const char* source, char* output, uint32_t rules) {
  Output out = {output, 0};
  const unsigned char* p = reinterpret_cast<const unsigned char*>(source);
  while (*p != 0) {
    if (IsDoubleByte(p)) {
      DoubleToHalf(p, rules, &out);
      p += 2;
    } else {
      PutByte(&out, *p++);
    }
  }
  return Finish(&out);
}

enum CaseMode { CASE_LOWER, CASE_UPPER, CASE_SWAP };

unsigned char ChangeCase(unsigned char c, CaseMode mode) {
  bool upper = 'A' <= c && c <= 'Z';
  bool lower = 'a' <= c && c <= 'z';
  if (upper && mode != CASE_UPPER) return static_cast<unsigned char>(c + ('a' - 'A'));
  if (lower && mode != CASE_LOWER) return static_cast<unsigned char>(c - ('a' - 'A'));
  return c;
}

size_t ConvertCase(const char* source, char* output, CaseMode mode) {
  Output out = {output, 0};
  const unsigned char* p = reinterpret_cast<const unsigned char*>(source);
  while (*p != 0) {
    if (IsDoubleByte(p)) {
      PutByte(&out, p[0]);
      PutByte(&out, p[1]);
      p += 2;
    } else {
      PutByte(&out, ChangeCase(*p++, mode));
    }
  }
  return Finish(&out);
}

const ConvertCommand kConvertCommands[kConvertCommandCount] = {
    {40091, "小文字に変換(&S)", "選択範囲の半角大文字を半角小文字に変換します。", Convert_ToLower},
    {40092, "大文字に変換(&L)", "選択範囲の半角小文字を半角大文字に変換します。", Convert_ToUpper},
    {40093, "大文字と小文字を交換(&E)", "選択範囲の半角大文字と半角小文字を入れ替えます。", Convert_SwapCase},
    {40096, "全角英字に変換(&F)", "選択範囲の半角英字を全角英字に変換します。", Convert_LettersToFull},
    {40100, "全角記号に変換(&F)", "選択範囲の半角記号を全角記号に変換します。", Convert_SymbolsToFull},
    {40102, "全角カタカナに変換(&F)", "選択範囲の半角ｶﾀｶﾅを全角カタカナに変換します。", Convert_KatakanaToFull},
    {40098, "全角数字に変換(&F)", "選択範囲の半角数字を全角数字に変換します。", Convert_DigitsToFull},
    {40094, "全角文字に変換(&F)", "選択範囲の半角文字を全角文字に変換します。", Convert_AllToFull},
    {40097, "半角英字に変換(&H)", "選択範囲の全角英字を半角英字に変換します。", Convert_LettersToHalf},
    {40101, "半角記号に変換(&H)", "選択範囲の全角記号を半角記号に変換します。", Convert_SymbolsToHalf},
    {40103, "半角ｶﾀｶﾅに変換(&H)", "選択範囲の全角カタカナを半角ｶﾀｶﾅに変換します。", Convert_KatakanaToHalf},
    {40099, "半角数字に変換(&H)", "選択範囲の全角数字を半角数字に変換します。", Convert_DigitsToHalf},
    {40095, "半角文字に変換(&H)", "選択範囲の全角文字を半角文字に変換します。", Convert_AllToHalf},
};

}  // namespace

size_t Convert_ToLower(const char* pSource, char* pOutput) { return ConvertCase(pSource, pOutput, CASE_LOWER); }
size_t Convert_ToUpper(const char* pSource, char* pOutput) { return ConvertCase(pSource, pOutput, CASE_UPPER); }
size_t Convert_SwapCase(const char* pSource, char* pOutput) { return ConvertCase(pSource, pOutput, CASE_SWAP); }

size_t Convert_LettersToFull(const char* pSource, char* pOutput) {
  return ConvertToFull(pSource, pOutput, RULE_LETTERS);
}
size_t Convert_SymbolsToFull(const char* pSource, char* pOutput) {
  return ConvertToFull(pSource, pOutput, RULE_SYMBOLS);
}
size_t Convert_KatakanaToFull(const char* pSource, char* pOutput) { return ConvertToFull(pSource, pOutput, RULE_KANA); }
size_t Convert_DigitsToFull(const char* pSource, char* pOutput) { return ConvertToFull(pSource, pOutput, RULE_DIGITS); }
size_t Convert_AllToFull(const char* pSource, char* pOutput) {
  return ConvertToFull(pSource, pOutput, RULE_ALL);
}

size_t Convert_LettersToHalf(const char* pSource, char* pOutput) {
  return ConvertToHalf(pSource, pOutput, RULE_LETTERS);
}
size_t Convert_SymbolsToHalf(const char* pSource, char* pOutput) {
  return ConvertToHalf(pSource, pOutput, RULE_SYMBOLS);
}
size_t Convert_KatakanaToHalf(const char* pSource, char* pOutput) { return ConvertToHalf(pSource, pOutput, RULE_KANA); }
size_t Convert_DigitsToHalf(const char* pSource, char* pOutput) { return ConvertToHalf(pSource, pOutput, RULE_DIGITS); }
size_t Convert_AllToHalf(const char* pSource, char* pOutput) {
  return ConvertToHalf(pSource, pOutput, RULE_ALL);
}

const ConvertCommand* Convert_GetCommands() { return kConvertCommands; }

const ConvertCommand* Convert_FindCommand(int32_t id) {
  for (const ConvertCommand& c : kConvertCommands) {
    if (c.id == id) return &c;
  }
  return nullptr;
}
