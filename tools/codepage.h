// The code page seam: what code page 932 holds, asked of the platform one
// character at a time, so that a conversion to the document's own bytes gives
// exactly what the system itself would give. On Windows the adapter is the
// system's own conversion (tools/codepage_win.h); the native tests use iconv.
#pragma once

#include <cstdint>

// Every function gets pContext first.
struct CodePageMethods {
  void* pContext;
  // The code page 932 bytes of one character given as UTF-16 units, at most size
  // bytes into out; their count, or 0 when the code page does not hold the
  // character (where the system would put its default character or a look-alike).
  int32_t (*pfnFromUtf16)(void* pContext, const uint16_t* units, int32_t nUnits, char* out, int32_t size);
  // The UTF-16 units of n bytes of code page 932, at most size into out; their
  // count, or 0 when the bytes are no character of the code page.
  int32_t (*pfnToUtf16)(void* pContext, const char* bytes, int32_t n, uint16_t* out, int32_t size);
};

inline bool IsValidCodePageMethods(const CodePageMethods* m) { return m && m->pfnFromUtf16 && m->pfnToUtf16; }
