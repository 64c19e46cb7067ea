// Character equality of the search: the option word's ignore-case and
// ignore-width bits, the width-folding table (full-width code to half-width
// byte), and CharEqual, which the plain search and the regular-expression
// engine's literal characters share.
//
// Under any combination of the two options, equality is "same fold key": the
// key of a character code folds its width where the options say so and lowers
// ASCII letters where they say so, so callers that compare one pattern
// character with many text characters compute the pattern's key once.
#pragma once

#include <cstdint>

// The search option word; bits may be combined.
enum SearchFlags : uint32_t {
  SF_IGNORECASE = 2,   // "大文字と小文字の違いを無視する(&C)"
  SF_IGNOREWIDTH = 4,  // "半角と全角の違いを無視する(&Z)"
  SF_WHOLEWORD = 8,    // "単語単位で探す(&W)"
  SF_REGEXP = 16,      // "正規表現(&E)"
};

// Number of (full-width, half-width) pairs in the width-folding table.
constexpr int32_t kWidthFoldPairs = 158;

// The half-width byte a full-width code folds to, or the code itself when the
// table has no pair for it (only codes 0x8140 to 0x8393 are looked up).
uint32_t CharFold_Width(uint32_t code);

// The key under which two character codes compare equal with these options
// (only SF_IGNORECASE and SF_IGNOREWIDTH count; other bits are ignored).
uint32_t CharFold_Key(uint32_t code, uint32_t options);

// Equality of two character codes under the options.
inline bool CharFold_EqualCodes(uint32_t textCode, uint32_t patternCode, uint32_t options) {
  return CharFold_Key(textCode, options) == CharFold_Key(patternCode, options);
}

// Equality of the characters at text and pattern (both NUL-terminated behind
// their data, as lines and search strings are) under the options.
bool CharEqual(const char* text_char, const char* pattern_char, uint32_t options);

// Pair i of the width-folding table (0 <= i < kWidthFoldPairs), in code order.
void CharFold_GetPair(int32_t i, uint32_t* fullCode, uint32_t* halfByte);
