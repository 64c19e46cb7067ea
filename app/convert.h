// The character conversions of the selection: ASCII letter case, and the half-width
// (single-byte) and full-width (double-byte) forms of letters, digits, symbols, the
// space and katakana in code page 932.
//
// Every conversion is measure-then-fill: it reads the source up to its first zero
// byte; without an output buffer it returns the length of the result in bytes; with
// a buffer of at least that length plus one it writes the result, terminated, and
// returns the same length. The source is walked by characters: a lead byte and the
// byte after it are one character (a lead byte before the terminator is taken
// alone), so a trail byte is never mistaken for a letter or a symbol. Characters no
// rule changes, kanji and hiragana among them, are copied as they are.
#pragma once

#include <cstddef>
#include <cstdint>

typedef size_t (*ConvertFunc)(const char* pSource, char* pOutput);

size_t Convert_ToLower(const char* pSource, char* pOutput);
size_t Convert_ToUpper(const char* pSource, char* pOutput);
size_t Convert_SwapCase(const char* pSource, char* pOutput);
size_t Convert_LettersToFull(const char* pSource, char* pOutput);
size_t Convert_SymbolsToFull(const char* pSource, char* pOutput);
size_t Convert_KatakanaToFull(const char* pSource, char* pOutput);
size_t Convert_DigitsToFull(const char* pSource, char* pOutput);
size_t Convert_AllToFull(const char* pSource, char* pOutput);
size_t Convert_LettersToHalf(const char* pSource, char* pOutput);
size_t Convert_SymbolsToHalf(const char* pSource, char* pOutput);
size_t Convert_KatakanaToHalf(const char* pSource, char* pOutput);
size_t Convert_DigitsToHalf(const char* pSource, char* pOutput);
size_t Convert_AllToHalf(const char* pSource, char* pOutput);

// One row of the table binding command ids to conversions.
struct ConvertCommand {
  int32_t id;
  const char* menuText;
  const char* helpText;
  ConvertFunc pfnConvert;
};

constexpr int32_t kConvertCommandCount = 13;

// The thirteen rows in menu order (lower, upper, swap, then to full width, then to
// half width).
const ConvertCommand* Convert_GetCommands();
// The row of a command id, or null when the id is no conversion.
const ConvertCommand* Convert_FindCommand(int32_t id);
