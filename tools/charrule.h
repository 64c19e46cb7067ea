// Character rules of code page 932 text: how bytes divide into one- and two-byte
// characters, their codes, and the character classes that decide word boundaries.
//
// A lead byte followed by any byte but NUL is one two-byte character; the second
// byte is taken as it is. Every other byte, a lead byte at the end of the data or
// before a NUL included, is a one-byte character. NUL inside a line is an ordinary
// one-byte character; line lengths are counted, never found by a terminator.
#pragma once

#include <cstdint>

// Character classes, bit sets: a word runs while the AND of its classes stays
// non-zero, so the combined classes ("ー", "#", "_", the quotes) join several runs.
enum CharClassBits : uint32_t {
  CHARCLASS_OTHER = 0x0001,        // control bytes, CR, LF, 0x7F, 0x80, 0xA0, 0xFD-0xFF
  CHARCLASS_SYMBOL2 = 0x0002,      // other two-byte characters
  CHARCLASS_SPACE = 0x0004,        // space and tab
  CHARCLASS_ALNUM = 0x0008,        // ASCII letters and digits
  CHARCLASS_PUNCT = 0x0010,        // ASCII punctuation, half-width marks
  CHARCLASS_HANKANA = 0x0020,      // half-width katakana
  CHARCLASS_ZENSPACE = 0x0040,     // full-width space
  CHARCLASS_KANJI = 0x0080,        // first-level kanji, 仝 and 々
  CHARCLASS_ZENDIGIT = 0x0100,     // full-width digits
  CHARCLASS_ZENLETTER = 0x0200,    // full-width Latin, Greek and Cyrillic letters
  CHARCLASS_HIRAGANA = 0x0400,
  CHARCLASS_KATAKANA = 0x0800,
  CHARCLASS_SQUOTE = 0x1000,
  CHARCLASS_DQUOTE = 0x2000,
  CHARCLASS_NUL = 0x4000,
};

inline bool Char_IsLeadByte(unsigned char b) {
  return (0x81 <= b && b <= 0x9F) || (0xE0 <= b && b <= 0xFC);
}

// Code of the character at p: lead * 256 + trail for a two-byte character, the
// unsigned byte value otherwise. p must be NUL-terminated behind its data.
inline uint32_t Char_Code(const char* p) {
  const unsigned char* u = reinterpret_cast<const unsigned char*>(p);
  if (Char_IsLeadByte(u[0]) && u[1] != 0) return (uint32_t(u[0]) << 8) | u[1];
  return u[0];
}

// The start of the character after p; p itself at a NUL (callers that must pass
// a NUL inside a line step one byte themselves, see Char_Length).
inline const char* Char_Next(const char* p) {
  const unsigned char* u = reinterpret_cast<const unsigned char*>(p);
  if (u[0] == 0) return p;
  if (Char_IsLeadByte(u[0]) && u[1] != 0) return p + 2;
  return p + 1;
}

// Bytes of the character at index of a counted string: 0 at or behind the end,
// 1 at a NUL, else the step to the next character capped at the bytes left.
inline int32_t Char_Length(const char* s, int32_t length, int32_t index) {
  if (index >= length) return 0;
  const unsigned char* u = reinterpret_cast<const unsigned char*>(s);
  if (u[index] == 0) return 1;
  if (Char_IsLeadByte(u[index]) && index + 1 < length && u[index + 1] != 0) return 2;
  return 1;
}

// The start of the character that ends at p, counted from start (which is a
// character start); start itself at start. Gives what stepping forward from start
// gives, on valid and broken byte sequences alike, without walking from start: a
// byte that is not a lead byte always ends a character, so only the run of lead
// bytes just before p has to be stepped through.
const char* Char_Prev(const char* start, const char* p);

// Byte-run rules for counted strings (NUL inside them is an ordinary character),
// all counted from `from`, a known character start at or before the bytes asked
// about. They rest on one fact: a byte that is not a lead byte always ends a
// character, so only the run of lead bytes just before a byte decides its role.
//
// Whether byte t is the second byte of a two-byte character.
bool Char_IsSecondByte(const char* s, int32_t from, int32_t t);
// The start of the character holding byte p.
int32_t Char_StartHolding(const char* s, int32_t from, int32_t p);
// p when it starts a character, else the end of the character holding it: where
// a position lands that fell between the two bytes of a character, as when text
// ending in a lead byte of its own was put before a byte that completes it.
inline int32_t Char_EndHolding(const char* s, int32_t from, int32_t p) {
  return Char_IsSecondByte(s, from, p) ? p + 1 : p;
}
// The first tab at or behind `from` that is a character of its own (a 0x09 behind
// a lead byte is that character's second byte); length when there is none.
int32_t Char_NextTab(const char* s, int32_t length, int32_t from);

// Class bits of the character at p (p NUL-terminated behind its data).
uint32_t Char_Class(const char* p);

// Class bits of a character given by its code (as Char_Code returns it).
uint32_t Char_ClassOfCode(uint32_t code);
