#include "tools/charfold.h"

#include "tools/charrule.h"
#include "tools/platform.h"
#include "tools/widthpair.h"

namespace {

struct WidthPair {
  uint16_t full;
  uint8_t half;
};

// The folding table: the one-to-one width lists (tools/widthpair.h) that the
// conversions use too, sorted by full-width code while compiling.
struct FoldTable {
  WidthPair pairs[kWidthFoldPairs];
};

constexpr FoldTable MakeFoldTable() {
  FoldTable t{};
  int32_t n = 0;
  for (const WidthList& list : kWidthPairLists) {
    for (int32_t i = 0; list.half[i] != 0; ++i) {
      WidthPair pair = {WidthText_FullCode(list.full, i), static_cast<uint8_t>(list.half[i])};
      int32_t j = n++;
      for (; j > 0 && t.pairs[j - 1].full > pair.full; --j) t.pairs[j] = t.pairs[j - 1];
      t.pairs[j] = pair;
    }
  }
  return t;
}

constexpr int32_t CountPairs() {
  int32_t n = 0;
  for (const WidthList& list : kWidthPairLists) n += WidthText_Length(list.half);
  return n;
}

constexpr FoldTable kFold = MakeFoldTable();
constexpr uint32_t kFoldFirst = 0x8140;
constexpr uint32_t kFoldLast = 0x8393;

// Bisection needs distinct codes in order; a pair listed twice fails here.
constexpr bool PairsAreSorted() {
  for (int32_t i = 1; i < kWidthFoldPairs; ++i) {
    if (kFold.pairs[i - 1].full >= kFold.pairs[i].full) return false;
  }
  return true;
}
static_assert(CountPairs() == kWidthFoldPairs, "the width-folding table has 158 pairs");
static_assert(PairsAreSorted(), "every full-width code of the table is there once");
static_assert(kFold.pairs[0].full == kFoldFirst && kFold.pairs[kWidthFoldPairs - 1].full == kFoldLast, "table bounds");

// The default C locale's tolower: only "A" to "Z" change.
uint32_t AsciiLower(uint32_t code) { return ('A' <= code && code <= 'Z') ? code + ('a' - 'A') : code; }

// Marks a double-byte key when the width is not ignored, so that no
// double-byte character can ever share a key with a single-byte one.
constexpr uint32_t kDoubleByteKey = 0x10000;

}  // namespace

uint32_t CharFold_Width(uint32_t code) {
  if (code < kFoldFirst || code > kFoldLast) return code;
  int32_t lo = 0;
  int32_t hi = kWidthFoldPairs - 1;
  while (lo <= hi) {
    int32_t mid = (lo + hi) / 2;
    if (kFold.pairs[mid].full == code) return kFold.pairs[mid].half;
    if (kFold.pairs[mid].full < code) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  return code;
}

// Folding two single-byte codes changes nothing, so folding when ignore case is
// set "and both codes are double-byte" is the same as folding every
// double-byte code under ignore case: a single-byte code never equals a
// double-byte one there anyway.
uint32_t CharFold_Key(uint32_t code, uint32_t options) {
  const bool bIgnoreCase = (options & SF_IGNORECASE) != 0;
  const bool bIgnoreWidth = (options & SF_IGNOREWIDTH) != 0;
  const bool bDouble = code >= 0x100;
  uint32_t key = code;
  if (bIgnoreWidth || (bIgnoreCase && bDouble)) key = CharFold_Width(code);
  if (bIgnoreCase && key < 0x100) key = AsciiLower(key);
  if (!bIgnoreWidth && bDouble) key |= kDoubleByteKey;
  return key;
}

bool CharEqual(const char* text_char, const char* pattern_char, uint32_t options) {
  return CharFold_EqualCodes(Char_Code(text_char), Char_Code(pattern_char), options);
}

void CharFold_GetPair(int32_t i, uint32_t* fullCode, uint32_t* halfByte) {
  QWIL_ASSERT(0 <= i && i < kWidthFoldPairs);
  *fullCode = kFold.pairs[i].full;
  *halfByte = kFold.pairs[i].half;
}
