// String helpers shared by the application and the dialogs, and the date and time
// format language of the insert-date command.
//
// Every text here is code page 932 bytes. Wherever a text is cut to fit a fixed
// buffer, the cut falls between characters and never leaves a lone lead byte at the
// end, which would otherwise pair with whatever the caller puts behind it.
#pragma once

#include <cstdint>

#include "tools/platform.h"

// TextBuf: appends whole characters to a caller's fixed buffer. The buffer always
// holds a terminated text; the first character that does not fit ends the text for
// good (bFull), so later, shorter pieces never slip in behind a cut.
struct TextBuf {
  char* pText;      // caller's buffer of nSize bytes
  int32_t nSize;    // bytes of pText, the terminator included; invariant: nSize >= 1
  int32_t nLength;  // bytes in use; invariant: 0 <= nLength < nSize, pText[nLength] == 0
  bool bFull;       // a character was refused; nothing more is appended
};

// size must be at least 1. The buffer then holds the empty text.
void TextBuf_Init(TextBuf* tb, char* buffer, int32_t size);
bool IsValidTextBuf(const TextBuf* tb);
// One character of n bytes (1 or 2), whole or not at all; false once full.
bool TextBuf_AppendChar(TextBuf* tb, const char* p, int32_t n);
// The characters of a terminated text, as many as fit; false when it was cut.
bool TextBuf_AppendString(TextBuf* tb, const char* s);
// n counted bytes, stepped by the character rules (NUL bytes included).
bool TextBuf_AppendBytes(TextBuf* tb, const char* s, int32_t n);
// Decimal, with a minus sign when negative.
bool TextBuf_AppendInt(TextBuf* tb, int64_t value);
// Upper-case hexadecimal of at least minDigits digits ("%04X" for minDigits 4).
bool TextBuf_AppendHex(TextBuf* tb, uint32_t value, int32_t minDigits);
// Cuts a trailing lone lead byte off the text, so that nothing appended later can
// pair with it.
void TextBuf_DropTrailingLead(TextBuf* tb);
// A name (a path, a document's name) that may end on a lone lead byte, cut off
// or read back from a file: appended without that byte, so that the text behind
// it (a line end) stays what it is. False when it was cut.
bool TextBuf_AppendName(TextBuf* tb, const char* name);

// The longest prefix of s (length bytes) of at most limit bytes that ends between
// two characters and not on a lone lead byte.
int32_t String_CutLength(const char* s, int32_t length, int32_t limit);
// Copies src into dest (size bytes, size >= 1) cut by String_CutLength; returns
// the bytes copied, the terminator not counted.
int32_t String_CopyCut(char* dest, int32_t size, const char* src);
// The unsigned conversion of the C library on 32 bits: leading white space, an
// optional sign, for base 16 an optional "0x", then digits. A value too large gives
// 0xFFFFFFFF; a minus sign negates modulo 2^32. *ppEnd (optional) is set behind
// the digits, or to s itself when there are none. base is 2 to 36.
uint32_t String_ToUnsigned(const char* s, int32_t base, const char** ppEnd);
// A decimal integer as the C library's "%d" reads one: leading white space, an
// optional sign, digits; what follows is ignored. A value beyond 32 bits is
// clamped to INT32_MIN or INT32_MAX. False, *pValue untouched, when there are
// no digits.
bool String_ToInt(const char* s, int32_t* pValue);

// Path separators are single-byte backslashes, never the trail byte of a two-byte
// character. The last one, or null when there is none.
const char* Path_FindLastSeparator(const char* path);
// The part after the last separator (the whole path when there is none).
const char* Path_GetFileName(const char* path);
// The path with its extension (from the last "." of the file name part, when
// there is one) replaced by ext, and then lower-cased (single-byte A to Z only;
// a two-byte character is left whole). False, buffer empty, when the result
// does not fit size bytes.
bool Path_MakeSibling(const char* path, const char* ext, char* buffer, int32_t size);
// The folder part of a path: everything before its last separator (the empty
// text when there is none), cut to size bytes. False when it did not fit.
bool Path_GetFolder(const char* path, char* buffer, int32_t size);

// The date and time format language: a format setting holds at most
// kDateFormatSize bytes with its terminator, an expansion for the document
// kDateFormatCapacity.
constexpr const char* kDefaultDateFormat = "%02H:%02M:%02S %04Y/%02m/%02d";
constexpr int32_t kDateFormatSize = 1024;
constexpr int32_t kDateFormatCapacity = 1024;

// Expands format for the time into out, never writing more than capacity bytes,
// the terminator included, and never half of a two-byte character; the expansion
// simply stops where the next character would not fit. Returns the bytes written,
// the terminator not counted. capacity < 1 writes nothing and returns 0.
int32_t DateFormat_Expand(const char* format, char* out, int32_t capacity, const SYSTEMTIME* time);
