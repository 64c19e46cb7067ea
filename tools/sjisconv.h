// Converting UTF-8 or UTF-16 text to code page 932, the document's own bytes, for
// the command that reopens such a file as Shift_JIS. Nothing is dropped or
// replaced silently: a character the code page does not hold, and bytes that
// are no character of the source (malformed UTF-8, a lone surrogate, the odd
// last byte of UTF-16), are counted and the first few listed with their lines;
// the conversion then refuses, unless the caller allowed each of them to
// become "?". The seven characters whose JIS form differs from code page 932's
// own (〜 U+301C, ‖ U+2016, − U+2212, ¢ U+00A2, £ U+00A3, ¬ U+00AC, — U+2014)
// are held: they become the code page's codes for them, as a Japanese user
// expects, not "?".
//
// Line ends stay as they are (CR LF, CR or LF; the line numbers count them as
// the loader does), and so does every other ASCII character, NUL included. One
// pass, linear in the text; the result is one buffer of at most the input's
// length, ready for the loader's text stream (editctrl/textfile.h).
#pragma once

#include <cstdint>

#include "tools/codepage.h"
#include "tools/textenc.h"

enum SjisProblemKind : int32_t {
  SJISCONV_UNMAPPABLE,  // a character code page 932 does not hold
  SJISCONV_MALFORMED,   // bytes that are no character of the source encoding
};

struct SjisProblem {
  SjisProblemKind kind;
  int64_t nLine;       // from 1, in the source text
  uint32_t nCode;      // SJISCONV_UNMAPPABLE: the character (U+0000 to U+10FFFF)
  int32_t nBytes;      // SJISCONV_MALFORMED: the bytes, as they are in the file (1 to 3)
  unsigned char bytes[4];
};

constexpr int32_t kSjisConvListed = 10;

struct SjisReport {
  int64_t nUnmappable;
  int64_t nMalformed;
  int32_t nListed;  // invariant: nListed == min(kSjisConvListed, nUnmappable + nMalformed)
  SjisProblem problems[kSjisConvListed];  // the first ones, in the order of the text
};

// The converted bytes, owned by the caller (SjisConv_FreeResult).
struct SjisResult {
  char* pBytes;
  int64_t nLength;
};

enum SjisConvStatus : int32_t {
  SJISCONV_OK,         // *pResult holds the text (each problem as "?" when allowed)
  SJISCONV_REFUSED,    // there were problems and "?" was not allowed: no result, the report says what
  SJISCONV_NO_MEMORY,  // no result; the report is as far as it got
};

// Converts n bytes of a file in `encoding` (as TextEnc_Detect gave it; a mark at
// the front is skipped, Shift_JIS is copied as it is) through the code page seam.
// *pReport is always filled; *pResult only with SJISCONV_OK, otherwise left empty.
SjisConvStatus SjisConv_Run(const CodePageMethods* codePage, TextEncoding encoding, const char* bytes, int64_t n,
                            bool bAllowQuestion, SjisReport* pReport, SjisResult* pResult);
void SjisConv_FreeResult(SjisResult* result);

// The problem as ASCII text for a message: "U+00A9", "U+1F600", or the malformed
// bytes as "0xE3 0x81". At most size - 1 bytes, terminated; returns the length.
int32_t SjisConv_FormatProblem(const SjisProblem* problem, char* buffer, int32_t size);

bool IsValidSjisReport(const SjisReport* report);
