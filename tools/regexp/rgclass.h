// Escapes and character classes of the pattern language.
//
// A class is kept as its text (what stood between the brackets, or an escape's
// expansion) and read the way the matcher defines it: a leading "^" negates,
// an escape is one character or a nested class, "x-y" is a range of raw
// character codes. Reading the text afresh for every character tried would
// make a class as slow as its text is long, so the text is read once into a
// bit set for one-byte codes and a few code ranges for double-byte ones.
#pragma once

#include <cstdint>

// What a backslash and the character after it stand for.
struct RgEscape {
  bool bClass;         // true: a class, whose text is pClass
  uint8_t ch[2];       // bClass false: the character, lead byte then trail (0 for one byte)
  const char* pClass;  // bClass true: the expansion (static text)
  int32_t nLength;     // bytes the escape takes after the backslash (1 or 2)
};

// Reads the escape whose letter starts at p, the byte after a backslash; p
// must not point at the terminating NUL.
void RgEscape_Read(const char* p, RgEscape* esc);

// Code of a character given as stored bytes (lead, trail; trail 0 for one byte).
inline uint32_t RgEscape_Code(const uint8_t ch[2]) { return ch[1] ? (uint32_t(ch[0]) << 8) | ch[1] : ch[0]; }

struct RgRange {
  uint16_t lo;
  uint16_t hi;
};

struct RgClass {
  uint32_t bits[8];      // membership of codes 0..255, negation applied
  RgRange* pRanges;      // codes 0x100 and above that the text names, sorted, disjoint, not touching
  int32_t nRanges;
  bool bInvertWide;      // codes 0x100 and above are members when outside the ranges
};

// Reads the class text (NUL-terminated). False when memory runs out; the class
// is then empty and may be released.
bool RgClass_Compile(RgClass* cls, const char* text);
void RgClass_Release(RgClass* cls);

inline bool RgClass_HasByteCode(const RgClass* cls, uint32_t code) {
  return (cls->bits[code >> 5] >> (code & 31)) & 1u;
}

// Whether the character with this code (0 to 0xFFFF) is a member.
bool RgClass_Has(const RgClass* cls, uint32_t code);

// Whether some member can begin with this byte: as a one-byte character, or as
// the lead byte of a double-byte one.
bool RgClass_MayStartWith(const RgClass* cls, uint8_t byte);
