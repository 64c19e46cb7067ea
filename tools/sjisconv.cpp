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

struct Converter {
  const CodePageMethods* pCodePage;
  uint16_t* pCache;
  char* pOut;  // room for the whole result: it is never longer than the source
  int64_t nOut;
  int64_t nLine;
  bool bAfterCr;  // an LF right after a CR ends no second line
  SjisReport* pReport;
};

// A character is held only when its bytes come back as the same character:
// the system's look-alikes (best fit) and iconv's one-way mappings are not.
uint16_t AskCodePage(const CodePageMethods* cp, uint16_t unit) {
  char bytes[4];
  const int32_t n = cp->pfnFromUtf16(cp->pContext, &unit, 1, bytes, sizeof(bytes));
  if (n != 1 && n != 2) return kNotHeld;
  uint16_t back[2];
  if (cp->pfnToUtf16(cp->pContext, bytes, n, back, 2) != 1 || back[0] != unit) return kNotHeld;
  const unsigned char* u = reinterpret_cast<const unsigned char*>(bytes);
  return static_cast<uint16_t>(n == 1 ? u[0] : (u[0] << 8) | u[1]);
}

// Code page 932 is a double-byte code page: nothing beyond U+FFFF is in it.
uint16_t CodeOf(Converter* c, uint32_t code) {
  if (code > 0xFFFF) return kNotHeld;
  uint16_t& entry = c->pCache[code];
  if (entry == kNotAsked) entry = AskCodePage(c->pCodePage, static_cast<uint16_t>(code));
  return entry;
}

void CountLineEnd(Converter* c, uint32_t ascii) {
  if (ascii == '\r' || (ascii == '\n' && !c->bAfterCr)) ++c->nLine;
  c->bAfterCr = ascii == '\r';
}

void Report(Converter* c, SjisProblemKind kind, uint32_t code, const unsigned char* raw, int32_t nRaw) {
  SjisReport* r = c->pReport;
  ++(kind == SJISCONV_UNMAPPABLE ? r->nUnmappable : r->nMalformed);
  if (r->nListed < kSjisConvListed) {
    SjisProblem* p = &r->problems[r->nListed++];
    p->kind = kind;
    p->nLine = c->nLine;
    p->nCode = kind == SJISCONV_UNMAPPABLE ? code : 0;
    p->nBytes = kind == SJISCONV_MALFORMED ? nRaw : 0;
    std::memset(p->bytes, 0, sizeof(p->bytes));
    if (kind == SJISCONV_MALFORMED) std::memcpy(p->bytes, raw, static_cast<size_t>(nRaw));
  }
  c->pOut[c->nOut++] = '?';
}

// One character of the source (or malformed bytes, raw as they are in the file).
void Put(Converter* c, uint32_t code, const unsigned char* raw, int32_t nRaw) {
  if (code < 0x80) {
    CountLineEnd(c, code);
    c->pOut[c->nOut++] = static_cast<char>(code);
    return;
  }
  c->bAfterCr = false;
  if (code == kTextEncMalformed || code == kTextEncCut) return Report(c, SJISCONV_MALFORMED, code, raw, nRaw);
  const uint16_t sjis = CodeOf(c, code);
  if (sjis == kNotHeld) return Report(c, SJISCONV_UNMAPPABLE, code, raw, nRaw);
  if (sjis > 0xFF) c->pOut[c->nOut++] = static_cast<char>(sjis >> 8);
  c->pOut[c->nOut++] = static_cast<char>(sjis & 0xFF);
}

void RunUtf8(Converter* c, const unsigned char* p, int64_t n) {
  for (int64_t i = 0; i < n;) {
    uint32_t code;
    const int32_t length = TextEnc_StepUtf8(p + i, n - i, &code);
    Put(c, code, p + i, length);
    i += length;
  }
}

uint32_t UnitAt(const unsigned char* p, bool bBigEndian) {
  return bBigEndian ? (uint32_t(p[0]) << 8) | p[1] : (uint32_t(p[1]) << 8) | p[0];
}

bool IsHighSurrogate(uint32_t u) { return 0xD800 <= u && u <= 0xDBFF; }
bool IsLowSurrogate(uint32_t u) { return 0xDC00 <= u && u <= 0xDFFF; }

void RunUtf16(Converter* c, const unsigned char* p, int64_t n, bool bBigEndian) {
  int64_t i = 0;
  for (; i + 1 < n; i += 2) {
    const uint32_t u = UnitAt(p + i, bBigEndian);
    if (IsHighSurrogate(u) && i + 3 < n && IsLowSurrogate(UnitAt(p + i + 2, bBigEndian))) {
      Put(c, 0x10000 + ((u - 0xD800) << 10) + (UnitAt(p + i + 2, bBigEndian) - 0xDC00), p + i, 4);
      i += 2;
    } else {
      const bool bLone = IsHighSurrogate(u) || IsLowSurrogate(u);
      Put(c, bLone ? kTextEncMalformed : u, p + i, 2);
    }
  }
  if (i < n) Put(c, kTextEncMalformed, p + i, 1);  // the odd last byte
}

void Convert(Converter* c, const TextEncInfo* info, const unsigned char* p, int64_t n) {
  if (info->encoding == TEXTENC_SHIFT_JIS) {
    if (n > 0) std::memcpy(c->pOut, p, static_cast<size_t>(n));
    c->nOut = n;
  } else if (info->nUnit == 1) {
    RunUtf8(c, p, n);
  } else {
    RunUtf16(c, p, n, info->bBigEndian);
  }
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
  Converter c = {codePage, nullptr, nullptr, 0, 1, false, pReport};
  c.pOut = static_cast<char*>(Mem_Alloc(static_cast<size_t>(n > 0 ? n : 1)));
  if (encoding != TEXTENC_SHIFT_JIS) c.pCache = static_cast<uint16_t*>(Mem_Alloc(kCacheEntries * sizeof(uint16_t)));
  if (!c.pOut || (encoding != TEXTENC_SHIFT_JIS && !c.pCache)) {
    Mem_Free(c.pOut);
    Mem_Free(c.pCache);
    return SJISCONV_NO_MEMORY;
  }
  if (c.pCache) std::memset(c.pCache, 0xFF, kCacheEntries * sizeof(uint16_t));
  Convert(&c, info, reinterpret_cast<const unsigned char*>(bytes), n);
  Mem_Free(c.pCache);
  QWIL_ASSERT(IsValidSjisReport(pReport));
  QWIL_ASSERT(c.nOut <= (n > 0 ? n : 1));
  if (!bAllowQuestion && pReport->nUnmappable + pReport->nMalformed > 0) {
    Mem_Free(c.pOut);
    return SJISCONV_REFUSED;
  }
  // The room left over goes back; keeping it when that fails costs only memory.
  char* fitted = static_cast<char*>(Mem_Realloc(c.pOut, static_cast<size_t>(c.nOut > 0 ? c.nOut : 1)));
  pResult->pBytes = fitted ? fitted : c.pOut;
  pResult->nLength = c.nOut;
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
