#include "tools/sjisconv.h"

#include <cstdio>
#include <cstring>

#include "tools/memory.h"
#include "tools/platform.h"

namespace {

// What code page 932 makes of each character of the Basic Multilingual Plane,
// asked of the platform once per character the text uses: its code (a byte, or
// lead * 256 + trail), or one of these, which no code page 932 code can be.
constexpr uint16_t kNotAsked = 0xFFFF;
constexpr uint16_t kNotHeld = 0xFFFE;
constexpr size_t kCacheEntries = 0x10000;

// What the loops carry, kept in locals while they run: a store through the
// output's char pointer could change any field of a record in memory, so a
// cursor there would be reloaded after every byte.
struct Cursor {
  char* pOut;  // the next byte of the result; there is room: it never outgrows the source
  uint16_t* pCache;
  int64_t nLine;
  bool bAfterCr;  // an LF right after a CR ends no second line
};

struct Converter {
  const CodePageMethods* pCodePage;
  SjisReport* pReport;
};

// Seven characters have two Unicode forms: the one of the JIS tables, which
// text from Unix and the web uses, and the one of code page 932's own table.
// A Japanese user means the same character by both, and code page 932 has one
// code for it, so the JIS form becomes that code.
struct TwoForms {
  uint16_t jis;
  uint16_t codePage;
};
constexpr TwoForms kTwoForms[] = {
    {0x00A2, 0xFFE0},  // ¢
    {0x00A3, 0xFFE1},  // £
    {0x00AC, 0xFFE2},  // ¬
    {0x2014, 0x2015},  // — (81 5C)
    {0x2016, 0x2225},  // ‖
    {0x2212, 0xFF0D},  // −
    {0x301C, 0xFF5E},  // 〜 (81 60)
};

// A character is held only when its bytes come back as the same character:
// the system's look-alikes (best fit) and iconv's one-way mappings are not.
uint16_t AskExactly(const CodePageMethods* cp, uint16_t unit) {
  char bytes[4];
  const int32_t n = cp->pfnFromUtf16(cp->pContext, &unit, 1, bytes, sizeof(bytes));
  if (n != 1 && n != 2) return kNotHeld;
  uint16_t back[2];
  if (cp->pfnToUtf16(cp->pContext, bytes, n, back, 2) != 1 || back[0] != unit) return kNotHeld;
  const unsigned char* u = reinterpret_cast<const unsigned char*>(bytes);
  return static_cast<uint16_t>(n == 1 ? u[0] : (u[0] << 8) | u[1]);
}

uint16_t AskCodePage(const CodePageMethods* cp, uint16_t unit) {
  const uint16_t sjis = AskExactly(cp, unit);
  if (sjis != kNotHeld) return sjis;
  for (const TwoForms& forms : kTwoForms) {
    if (forms.jis == unit) return AskExactly(cp, forms.codePage);
  }
  return kNotHeld;
}

void Report(const Converter* c, uint32_t code, const unsigned char* raw, int32_t nRaw, int64_t nLine) {
  SjisReport* r = c->pReport;
  const SjisProblemKind kind = code > 0x10FFFF ? SJISCONV_MALFORMED : SJISCONV_UNMAPPABLE;
  ++(kind == SJISCONV_UNMAPPABLE ? r->nUnmappable : r->nMalformed);
  if (r->nListed == kSjisConvListed) return;
  SjisProblem* p = &r->problems[r->nListed++];
  std::memset(p, 0, sizeof(*p));
  p->kind = kind;
  p->nLine = nLine;
  if (kind == SJISCONV_UNMAPPABLE) {
    p->nCode = code;
  } else {
    p->nBytes = nRaw;
    std::memcpy(p->bytes, raw, static_cast<size_t>(nRaw));
  }
}

inline void PutAscii(Cursor& k, unsigned char b) {
  if (b == '\r' || (b == '\n' && !k.bAfterCr)) ++k.nLine;
  k.bAfterCr = b == '\r';
  *k.pOut++ = static_cast<char>(b);
}

// A character beyond ASCII, or malformed bytes (raw as they are in the file).
// Code page 932 is a double-byte code page: nothing beyond U+FFFF is in it.
inline void PutOther(const Converter* c, Cursor& k, uint32_t code, const unsigned char* raw, int32_t nRaw) {
  k.bAfterCr = false;
  uint16_t sjis = kNotHeld;
  if (code <= 0xFFFF) {
    sjis = k.pCache[code];
    if (sjis == kNotAsked) sjis = k.pCache[code] = AskCodePage(c->pCodePage, static_cast<uint16_t>(code));
  }
  if (sjis == kNotHeld) {
    Report(c, code, raw, nRaw, k.nLine);
    *k.pOut++ = '?';
    return;
  }
  if (sjis > 0xFF) *k.pOut++ = static_cast<char>(sjis >> 8);
  *k.pOut++ = static_cast<char>(sjis & 0xFF);
}

void RunUtf8(const Converter* c, Cursor& k, const unsigned char* p, int64_t n) {
  for (int64_t i = 0; i < n;) {
    if (p[i] < 0x80) {
      PutAscii(k, p[i++]);
      continue;
    }
    uint32_t code;
    const int32_t length = TextEnc_StepUtf8(p + i, n - i, &code);
    PutOther(c, k, code, p + i, length);
    i += length;
  }
}

uint32_t UnitAt(const unsigned char* p, bool bBigEndian) {
  return bBigEndian ? (uint32_t(p[0]) << 8) | p[1] : (uint32_t(p[1]) << 8) | p[0];
}

bool IsHighSurrogate(uint32_t u) { return 0xD800 <= u && u <= 0xDBFF; }
bool IsLowSurrogate(uint32_t u) { return 0xDC00 <= u && u <= 0xDFFF; }

void RunUtf16(const Converter* c, Cursor& k, const unsigned char* p, int64_t n, bool bBigEndian) {
  int64_t i = 0;
  for (; i + 1 < n; i += 2) {
    const uint32_t u = UnitAt(p + i, bBigEndian);
    if (u < 0x80) {
      PutAscii(k, static_cast<unsigned char>(u));
    } else if (IsHighSurrogate(u) && i + 3 < n && IsLowSurrogate(UnitAt(p + i + 2, bBigEndian))) {
      PutOther(c, k, 0x10000 + ((u - 0xD800) << 10) + (UnitAt(p + i + 2, bBigEndian) - 0xDC00), p + i, 4);
      i += 2;
    } else {
      const bool bLone = IsHighSurrogate(u) || IsLowSurrogate(u);
      PutOther(c, k, bLone ? kTextEncMalformed : u, p + i, 2);
    }
  }
  if (i < n) PutOther(c, k, kTextEncMalformed, p + i, 1);  // the odd last byte
}

// The length of the result written at out.
int64_t Convert(const Converter* c, const TextEncInfo* info, const unsigned char* p, int64_t n, char* out,
                uint16_t* cache) {
  if (info->encoding == TEXTENC_SHIFT_JIS) {
    if (n > 0) std::memcpy(out, p, static_cast<size_t>(n));
    return n;
  }
  Cursor k = {out, cache, 1, false};
  if (info->nUnit == 1) {
    RunUtf8(c, k, p, n);
  } else {
    RunUtf16(c, k, p, n, info->bBigEndian);
  }
  return k.pOut - out;
}

}  // namespace

bool IsValidSjisReport(const SjisReport* r) {
  if (!r || r->nUnmappable < 0 || r->nMalformed < 0) return false;
  const int64_t total = r->nUnmappable + r->nMalformed;
  if (r->nListed != (total < kSjisConvListed ? total : kSjisConvListed)) return false;
  for (int32_t i = 0; i < r->nListed; ++i) {
    const SjisProblem& p = r->problems[i];
    if (p.nLine < 1 || (i > 0 && p.nLine < r->problems[i - 1].nLine)) return false;
    if (p.kind == SJISCONV_MALFORMED ? (p.nBytes < 1 || p.nBytes > 3) : p.nCode > 0x10FFFF) return false;
  }
  return true;
}

SjisConvStatus SjisConv_Run(const CodePageMethods* codePage, TextEncoding encoding, const char* bytes, int64_t n,
                            bool bAllowQuestion, SjisReport* pReport, SjisResult* pResult) {
  QWIL_ASSERT(IsValidCodePageMethods(codePage));
  QWIL_ASSERT(bytes || n == 0);
  std::memset(pReport, 0, sizeof(*pReport));
  pResult->pBytes = nullptr;
  pResult->nLength = 0;
  const TextEncInfo* info = TextEnc_Info(encoding);
  if (TextEnc_BeginsWithMark(encoding, bytes, n)) {
    bytes += info->nMark;
    n -= info->nMark;
  }
  const Converter c = {codePage, pReport};
  char* out = static_cast<char*>(Mem_Alloc(static_cast<size_t>(n > 0 ? n : 1)));
  uint16_t* cache = nullptr;
  if (encoding != TEXTENC_SHIFT_JIS) cache = static_cast<uint16_t*>(Mem_Alloc(kCacheEntries * sizeof(uint16_t)));
  if (!out || (encoding != TEXTENC_SHIFT_JIS && !cache)) {
    Mem_Free(out);
    Mem_Free(cache);
    return SJISCONV_NO_MEMORY;
  }
  if (cache) std::memset(cache, 0xFF, kCacheEntries * sizeof(uint16_t));
  const int64_t nOut = Convert(&c, info, reinterpret_cast<const unsigned char*>(bytes), n, out, cache);
  Mem_Free(cache);
  QWIL_ASSERT(IsValidSjisReport(pReport));
  QWIL_ASSERT(nOut <= (n > 0 ? n : 1));
  if (!bAllowQuestion && pReport->nUnmappable + pReport->nMalformed > 0) {
    Mem_Free(out);
    return SJISCONV_REFUSED;
  }
  // The room left over goes back; keeping it when that fails costs only memory.
  char* fitted = static_cast<char*>(Mem_Realloc(out, static_cast<size_t>(nOut > 0 ? nOut : 1)));
  pResult->pBytes = fitted ? fitted : out;
  pResult->nLength = nOut;
  return SJISCONV_OK;
}

void SjisConv_FreeResult(SjisResult* result) {
  Mem_Free(result->pBytes);
  result->pBytes = nullptr;
  result->nLength = 0;
}

int32_t SjisConv_FormatProblem(const SjisProblem* problem, char* buffer, int32_t size) {
  QWIL_ASSERT(size >= 1);
  char text[24];
  int length = 0;
  if (problem->kind == SJISCONV_UNMAPPABLE) {
    length = std::snprintf(text, sizeof(text), "U+%04X", static_cast<unsigned>(problem->nCode));
  } else {
    for (int32_t i = 0; i < problem->nBytes && i < 4; ++i) {
      length += std::snprintf(text + length, sizeof(text) - size_t(length), "%s0x%02X", i ? " " : "",
                              static_cast<unsigned>(problem->bytes[i]));
    }
  }
  const int32_t n = length < size ? length : size - 1;
  std::memcpy(buffer, text, static_cast<size_t>(n));
  buffer[n] = '\0';
  return n;
}
