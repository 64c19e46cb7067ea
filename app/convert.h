// The character conversions of the selection: ASCII letter case, and the half-width
// (single-byte) and full-width (double-byte) forms of letters, digits, symbols, the
// space and katakana in code page 932.
//
// Every conversion is measure-then-fill over counted bytes: the source is walked
// by characters, a lead byte and the byte after it being one character (a lead
// byte at the end, or before a NUL, is taken alone), so a trail byte is never
// mistaken for a letter or a symbol. NUL bytes are characters like any other and
// are copied, so a selection holding them converts every part. Characters no
// rule changes, kanji and hiragana among them, are copied as they are.
#pragma once

#include <cstddef>
#include <cstdint>

enum ConvertKind : int32_t {
  CONVERT_LOWER,      // A to Z become a to z
  CONVERT_UPPER,      // a to z become A to Z
  CONVERT_SWAP_CASE,  // each ASCII letter changes case
  CONVERT_TO_FULL,    // the single-byte characters of `rules` become their full-width pairs
  CONVERT_TO_HALF,    // the double-byte characters of `rules` become their half-width forms
};

// The characters a width conversion changes.
enum ConvertRule : uint32_t {
  CONVERT_SPACE = 0x01,
  CONVERT_LETTERS = 0x02,
  CONVERT_DIGITS = 0x04,
  CONVERT_SYMBOLS = 0x08,
  CONVERT_KANA = 0x10,
  CONVERT_EVERYTHING = 0x1F,
};

// One row of the table binding command ids to conversions.
struct ConvertCommand {
  int32_t id;
  const char* menuText;
  const char* helpText;
  ConvertKind kind;
  uint32_t rules;  // ConvertRule bits of a width conversion; 0 for the case conversions
};

constexpr int32_t kConvertCommandCount = 13;

// The thirteen rows in menu order (lower, upper, swap, then to full width, then to
// half width).
const ConvertCommand* Convert_GetCommands();
// The row of a command id, or null when the id is no conversion.
const ConvertCommand* Convert_FindCommand(int32_t id);

// Converts n bytes of source as the command says. Writes at most capacity bytes
// of the result to output (nothing when output is null) and returns the whole
// result's length, which is at most 2 * n; a longer result than capacity is cut
// there, so callers measure with a null output first. No terminator is written.
size_t Convert_Run(const ConvertCommand* command, const char* source, size_t n, char* output, size_t capacity);
