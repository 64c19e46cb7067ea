#include "app/convert.h"

#include "tools/charrule.h"
#include "tools/platform.h"
#include "tools/widthpair.h"

namespace {

// Lookup maps derived from the width lists (tools/widthpair.h) while compiling.

// Single byte to double-byte code; 0 where the list has no pair.
struct ToFullMap {
  uint16_t code[256];
};

constexpr ToFullMap MakeToFullMap(const char* half, const char* full) {
  ToFullMap map{};
  for (int32_t i = 0; half[i] != 0; ++i) map.code[static_cast<unsigned char>(half[i])] = WidthText_FullCode(full, i);
  return map;
}

// Every full-width character of the lists lies in 0x8140..0x8396.
constexpr uint16_t kFullFirst = 0x8140;
constexpr int32_t kFullSpan = 0x8397 - 0x8140;

// Double-byte code to its half-width form: the byte in the low half and the mark
// that follows it (or 0) in the high half; 0 where the list has no pair.
struct ToHalfMap {
  uint16_t half[kFullSpan];
};

constexpr ToHalfMap AddToHalf(ToHalfMap map, const char* half, const char* full, unsigned char mark) {
  for (int32_t i = 0; half[i] != 0; ++i) {
    map.half[WidthText_FullCode(full, i) - kFullFirst] =
        static_cast<uint16_t>(static_cast<unsigned char>(half[i]) | (mark << 8));
  }
  return map;
}

constexpr ToHalfMap MakeToHalfMap(const char* half, const char* full) { return AddToHalf(ToHalfMap{}, half, full, 0); }

// Later lists win: semi-voiced over voiced over plain katakana, the order in which
// the rules are tried.
constexpr ToHalfMap MakeKanaToHalfMap() {
  return AddToHalf(AddToHalf(MakeToHalfMap(kWidthKanaHalf, kWidthKanaFull), kWidthVoicedBase, kWidthVoicedFull,
                             kWidthVoicedMark),
                   kWidthSemiVoicedBase, kWidthSemiVoicedFull, kWidthSemiVoicedMark);
}

constexpr ToFullMap kSpaceToFull = MakeToFullMap(kWidthSpaceHalf, kWidthSpaceFull);
constexpr ToFullMap kLettersToFull = MakeToFullMap(kWidthLettersHalf, kWidthLettersFull);
constexpr ToFullMap kDigitsToFull = MakeToFullMap(kWidthDigitsHalf, kWidthDigitsFull);
constexpr ToFullMap kSymbolsToFull = MakeToFullMap(kWidthSymbolsHalf, kWidthSymbolsFull);
constexpr ToFullMap kKanaToFull = MakeToFullMap(kWidthKanaHalf, kWidthKanaFull);
constexpr ToFullMap kVoicedToFull = MakeToFullMap(kWidthVoicedBase, kWidthVoicedFull);
constexpr ToFullMap kSemiVoicedToFull = MakeToFullMap(kWidthSemiVoicedBase, kWidthSemiVoicedFull);

constexpr ToHalfMap kSpaceToHalf = MakeToHalfMap(kWidthSpaceHalf, kWidthSpaceFull);
constexpr ToHalfMap kLettersToHalf = MakeToHalfMap(kWidthLettersHalf, kWidthLettersFull);
constexpr ToHalfMap kDigitsToHalf = MakeToHalfMap(kWidthDigitsHalf, kWidthDigitsFull);
constexpr ToHalfMap kSymbolsToHalf = MakeToHalfMap(kWidthSymbolsHalf, kWidthSymbolsFull);
constexpr ToHalfMap kKanaToHalf = MakeKanaToHalfMap();

static_assert(kSymbolsToFull.code[0x5C] == 0x818F && kSymbolsToFull.code[0x7E] == 0x8160, "symbols table");
static_assert(kKanaToFull.code[0xDE] == 0x818D && kKanaToFull.code[0xDF] == 0x818B, "katakana marks");
static_assert(kKanaToHalf.half[0x8394 - kFullFirst] == (0xB3 | (kWidthVoicedMark << 8)), "voiced table");

// The maps a rule uses, in the order the conversions of everything try them.
struct FullRule {
  uint32_t rule;
  const ToFullMap* map;
};
const FullRule kFullRules[] = {
    {CONVERT_SPACE, &kSpaceToFull},
    {CONVERT_LETTERS, &kLettersToFull},
    {CONVERT_DIGITS, &kDigitsToFull},
    {CONVERT_SYMBOLS, &kSymbolsToFull},
};

struct HalfRule {
  uint32_t rule;
  const ToHalfMap* map;
};
const HalfRule kHalfRules[] = {
    {CONVERT_SPACE, &kSpaceToHalf},     {CONVERT_LETTERS, &kLettersToHalf}, {CONVERT_SYMBOLS, &kSymbolsToHalf},
    {CONVERT_DIGITS, &kDigitsToHalf},   {CONVERT_KANA, &kKanaToHalf},
};

// The result being measured or written: every byte counts, the ones that fit are stored.
struct Output {
  char* pText;
  size_t nLength;
  size_t nCapacity;
};

void PutByte(Output* out, unsigned char b) {
  if (out->pText && out->nLength < out->nCapacity) out->pText[out->nLength] = static_cast<char>(b);
  ++out->nLength;
}

void PutCode(Output* out, uint16_t code) {
  PutByte(out, static_cast<unsigned char>(code >> 8));
  PutByte(out, static_cast<unsigned char>(code & 0xFF));
}

// The source: counted bytes, of which NUL is one like any other.
struct Source {
  const unsigned char* p;
  size_t n;
  size_t at;
};

// Bytes of the character at the current byte: a lead byte and a following byte
// that is not NUL are one character.
size_t CharBytes(const Source* s) {
  return Char_IsLeadByte(s->p[s->at]) && s->at + 1 < s->n && s->p[s->at + 1] != 0 ? 2 : 1;
}

unsigned char NextByte(const Source* s) { return s->at + 1 < s->n ? s->p[s->at + 1] : 0; }

// Katakana at a single-byte character: the semi-voiced pair, else the voiced
// pair, else the plain pair. Returns the source bytes consumed, 0 for no pair.
size_t KanaToFull(const Source* s, Output* out) {
  const unsigned char c = s->p[s->at];
  if (NextByte(s) == kWidthSemiVoicedMark && kSemiVoicedToFull.code[c] != 0) {
    PutCode(out, kSemiVoicedToFull.code[c]);
    return 2;
  }
  if (NextByte(s) == kWidthVoicedMark && kVoicedToFull.code[c] != 0) {
    PutCode(out, kVoicedToFull.code[c]);
    return 2;
  }
  if (kKanaToFull.code[c] != 0) {
    PutCode(out, kKanaToFull.code[c]);
    return 1;
  }
  return 0;
}

size_t SingleToFull(const Source* s, uint32_t rules, Output* out) {
  const unsigned char c = s->p[s->at];
  for (const FullRule& r : kFullRules) {
    if ((rules & r.rule) && r.map->code[c] != 0) {
      PutCode(out, r.map->code[c]);
      return 1;
    }
  }
  if (rules & CONVERT_KANA) {
    const size_t used = KanaToFull(s, out);
    if (used != 0) return used;
  }
  PutByte(out, c);
  return 1;
}

void DoubleToHalf(const unsigned char* p, uint32_t rules, Output* out) {
  const int32_t code = (p[0] << 8) | p[1];
  if (code >= kFullFirst && code < kFullFirst + kFullSpan) {
    for (const HalfRule& r : kHalfRules) {
      const uint16_t half = r.map->half[code - kFullFirst];
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

unsigned char ChangeCase(unsigned char c, ConvertKind kind) {
  const bool upper = 'A' <= c && c <= 'Z';
  const bool lower = 'a' <= c && c <= 'z';
  if (upper && kind != CONVERT_UPPER) return static_cast<unsigned char>(c + ('a' - 'A'));
  if (lower && kind != CONVERT_LOWER) return static_cast<unsigned char>(c - ('a' - 'A'));
  return c;
}

// One character at the source's current byte; returns the bytes it took.
size_t ConvertChar(const ConvertCommand* command, const Source* s, Output* out) {
  const unsigned char* p = s->p + s->at;
  if (CharBytes(s) == 2) {
    if (command->kind == CONVERT_TO_HALF) {
      DoubleToHalf(p, command->rules, out);
    } else {
      PutByte(out, p[0]);
      PutByte(out, p[1]);
    }
    return 2;
  }
  if (command->kind == CONVERT_TO_FULL) return SingleToFull(s, command->rules, out);
  PutByte(out, command->kind == CONVERT_TO_HALF ? p[0] : ChangeCase(p[0], command->kind));
  return 1;
}

const ConvertCommand kConvertCommands[kConvertCommandCount] = {
    {40091, "小文字に変換(&S)", "選択範囲の半角大文字を半角小文字に変換します。", CONVERT_LOWER, 0},
    {40092, "大文字に変換(&L)", "選択範囲の半角小文字を半角大文字に変換します。", CONVERT_UPPER, 0},
    {40093, "大文字と小文字を交換(&E)", "選択範囲の半角大文字と半角小文字を入れ替えます。", CONVERT_SWAP_CASE, 0},
    {40096, "全角英字に変換(&F)", "選択範囲の半角英字を全角英字に変換します。", CONVERT_TO_FULL, CONVERT_LETTERS},
    {40100, "全角記号に変換(&F)", "選択範囲の半角記号を全角記号に変換します。", CONVERT_TO_FULL, CONVERT_SYMBOLS},
    {40102, "全角カタカナに変換(&F)", "選択範囲の半角ｶﾀｶﾅを全角カタカナに変換します。", CONVERT_TO_FULL, CONVERT_KANA},
    {40098, "全角数字に変換(&F)", "選択範囲の半角数字を全角数字に変換します。", CONVERT_TO_FULL, CONVERT_DIGITS},
    {40094, "全角文字に変換(&F)", "選択範囲の半角文字を全角文字に変換します。", CONVERT_TO_FULL, CONVERT_EVERYTHING},
    {40097, "半角英字に変換(&H)", "選択範囲の全角英字を半角英字に変換します。", CONVERT_TO_HALF, CONVERT_LETTERS},
    {40101, "半角記号に変換(&H)", "選択範囲の全角記号を半角記号に変換します。", CONVERT_TO_HALF, CONVERT_SYMBOLS},
    {40103, "半角ｶﾀｶﾅに変換(&H)", "選択範囲の全角カタカナを半角ｶﾀｶﾅに変換します。", CONVERT_TO_HALF, CONVERT_KANA},
    {40099, "半角数字に変換(&H)", "選択範囲の全角数字を半角数字に変換します。", CONVERT_TO_HALF, CONVERT_DIGITS},
    {40095, "半角文字に変換(&H)", "選択範囲の全角文字を半角文字に変換します。", CONVERT_TO_HALF, CONVERT_EVERYTHING},
};

}  // namespace

size_t Convert_Run(const ConvertCommand* command, const char* source, size_t n, char* output, size_t capacity) {
  QWIL_ASSERT(command && (n == 0 || source));
  Output out = {output, 0, output ? capacity : 0};
  Source s = {reinterpret_cast<const unsigned char*>(source), n, 0};
  while (s.at < s.n) s.at += ConvertChar(command, &s, &out);
  return out.nLength;
}

const ConvertCommand* Convert_GetCommands() { return kConvertCommands; }

const ConvertCommand* Convert_FindCommand(int32_t id) {
  for (const ConvertCommand& c : kConvertCommands) {
    if (c.id == id) return &c;
  }
  return nullptr;
}
