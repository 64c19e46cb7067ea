// What a text file is written in, decided from its leading bytes alone. The
// program keeps every document as code page 932 bytes; a file in UTF-8 or UTF-16
// is told apart so that it is never edited as if it were Shift_JIS.
//
// The rule, in order, over the first kTextEncProbeBytes of the file:
// - a byte-order mark (EF BB BF, FF FE, FE FF) decides;
// - UTF-16 without a mark: no 16-bit unit is 0000, and at least two units, and
//   at least one unit in eight, have a NUL in the same half (the high byte: NULs
//   at odd offsets are little endian, at even offsets big endian), at least twice
//   as many as in the other half (a single NUL is a control byte of Shift_JIS text);
// - UTF-8: at least one multi-byte UTF-8 sequence, and every byte of 0x80 or above
//   belongs to a well-formed one (a sequence cut off by the end of the bytes
//   looked at excepted);
// - everything else, pure ASCII included, is Shift_JIS.
// Shift_JIS text fails the UTF-8 rule at its first kana or kanji: its commonest
// lead bytes, 0x81 to 0x9F (all of hiragana, katakana and the symbols), can never
// begin a UTF-8 sequence. Only a few bytes of half-width katakana or kanji alone
// (ﾃｽ is C3 BD, also UTF-8 "ý") can read as both, and they are taken for UTF-8.
//
// Looking at a bounded prefix keeps a 2 GB load as fast as it was, and it is
// safe: one malformed sequence anywhere in the prefix rules UTF-8 out, so what
// lies beyond it can never turn Shift_JIS into UTF-8; a file whose prefix is UTF-8
// but whose later bytes are not opens read-only with its bytes as they are, and
// converting it reports those bytes. A file whose first 64 KiB are pure ASCII is
// Shift_JIS, as every file was before.
#pragma once

#include <cstdint>

enum TextEncoding : int32_t {
  TEXTENC_SHIFT_JIS = 0,  // the document's own bytes; pure ASCII too
  TEXTENC_UTF8,
  TEXTENC_UTF8_BOM,
  TEXTENC_UTF16LE,
  TEXTENC_UTF16LE_BOM,
  TEXTENC_UTF16BE,
  TEXTENC_UTF16BE_BOM,
  TEXTENC_COUNT
};

// What the rule looks at: the leading bytes of a file, at most this many.
constexpr int32_t kTextEncProbeBytes = 65536;

struct TextEncDetection {
  TextEncoding encoding;
  int32_t nMark;  // bytes of the byte-order mark that begins the file: 0, 2 or 3
};

// One row per encoding, in the order of TextEncoding.
struct TextEncInfo {
  TextEncoding encoding;
  const char* pName;  // its name in the status bar
  const char* pMark;  // the byte-order mark it begins with, nMark bytes
  int32_t nMark;
  int32_t nUnit;      // bytes of a code unit: 1 or 2
  bool bBigEndian;    // two-byte units with the high byte first
};

const TextEncInfo* TextEnc_Info(TextEncoding encoding);
// Whether the n bytes begin with the encoding's byte-order mark (never for one without a mark).
bool TextEnc_BeginsWithMark(TextEncoding encoding, const char* bytes, int64_t n);
inline const char* TextEnc_Name(TextEncoding encoding) { return TextEnc_Info(encoding)->pName; }

// The encoding of a file that begins with these n bytes (any n >= 0; only the
// first kTextEncProbeBytes are looked at, in one pass).
TextEncDetection TextEnc_Detect(const char* bytes, int64_t n);

// The encoding of the file at path, read through the file seam (tools/fileio.h);
// false, with Shift_JIS, when the file cannot be opened or read.
bool TextEnc_DetectFile(const char* path, TextEncDetection* pDetection);

// Decoding, shared by the rule and the conversion. What a step gives when the
// bytes are no character: malformed, or the beginning of a sequence that the
// bytes end inside (also malformed when they are the whole text).
constexpr uint32_t kTextEncMalformed = 0xFFFFFFFFu;
constexpr uint32_t kTextEncCut = 0xFFFFFFFEu;

// One UTF-8 step over p[0..n) (n >= 1): its length, with *pCode the character,
// or kTextEncMalformed / kTextEncCut for the longest beginning of a sequence that
// is still well formed (at least one byte), so one "?" stands for it. Inline: the
// conversion takes one step per character of files of gigabytes.
//
// The well-formed sequences: after the lead byte, each byte in 80..BF, but the
// second byte narrower after E0 (no overlong forms), ED (no surrogates), F0
// (no overlong forms) and F4 (nothing above U+10FFFF).
inline int32_t TextEnc_StepUtf8(const unsigned char* p, int64_t n, uint32_t* pCode) {
  const unsigned char b = p[0];
  *pCode = b;
  if (b < 0x80) return 1;
  int32_t need;
  uint32_t code;
  unsigned char lo = 0x80;
  unsigned char hi = 0xBF;
  if (0xC2 <= b && b <= 0xDF) {
    need = 1;
    code = b & 0x1F;
  } else if (0xE0 <= b && b <= 0xEF) {
    need = 2;
    code = b & 0x0F;
    if (b == 0xE0) lo = 0xA0;
    if (b == 0xED) hi = 0x9F;
  } else if (0xF0 <= b && b <= 0xF4) {
    need = 3;
    code = b & 0x07;
    if (b == 0xF0) lo = 0x90;
    if (b == 0xF4) hi = 0x8F;
  } else {
    *pCode = kTextEncMalformed;
    return 1;
  }
  for (int32_t i = 1; i <= need; ++i) {
    if (i >= n) {
      *pCode = kTextEncCut;
      return i;
    }
    if (p[i] < lo || p[i] > hi) {
      *pCode = kTextEncMalformed;
      return i;
    }
    code = (code << 6) | (p[i] & 0x3F);
    lo = 0x80;
    hi = 0xBF;
  }
  *pCode = code;
  return need + 1;
}
