// Code page 932 through iconv, for the native tests and qwilbench: the same seam
// the program fills with the system's own conversion on Windows.
#pragma once

#include <iconv.h>


#include "tools/codepage.h"

struct IconvCodePage {
  iconv_t fromUtf16;
  iconv_t toUtf16;
  CodePageMethods methods;
};

inline int32_t IconvCodePage_Run(iconv_t cd, const char* in, size_t nIn, char* out, size_t nOut) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // a failed call before leaves no state behind
  char* src = const_cast<char*>(in);
  char* dst = out;
  size_t outLeft = nOut;
  if (iconv(cd, &src, &nIn, &dst, &outLeft) == static_cast<size_t>(-1) || nIn != 0) return 0;
  return static_cast<int32_t>(nOut - outLeft);
}

inline int32_t IconvCodePage_FromUtf16(void* context, const uint16_t* units, int32_t nUnits, char* out, int32_t size) {
  const IconvCodePage* cp = static_cast<const IconvCodePage*>(context);
  return IconvCodePage_Run(cp->fromUtf16, reinterpret_cast<const char*>(units), size_t(nUnits) * 2, out, size_t(size));
}

inline int32_t IconvCodePage_ToUtf16(void* context, const char* bytes, int32_t n, uint16_t* out, int32_t size) {
  const IconvCodePage* cp = static_cast<const IconvCodePage*>(context);
  return IconvCodePage_Run(cp->toUtf16, bytes, size_t(n), reinterpret_cast<char*>(out), size_t(size) * 2) / 2;
}

// False when iconv has no code page 932.
inline bool IconvCodePage_Open(IconvCodePage* cp) {
  cp->fromUtf16 = iconv_open("CP932", "UTF-16LE");
  cp->toUtf16 = iconv_open("UTF-16LE", "CP932");
  cp->methods = {cp, IconvCodePage_FromUtf16, IconvCodePage_ToUtf16};
  return cp->fromUtf16 != reinterpret_cast<iconv_t>(-1) && cp->toUtf16 != reinterpret_cast<iconv_t>(-1);
}

inline void IconvCodePage_Close(IconvCodePage* cp) {
  if (cp->fromUtf16 != reinterpret_cast<iconv_t>(-1)) iconv_close(cp->fromUtf16);
  if (cp->toUtf16 != reinterpret_cast<iconv_t>(-1)) iconv_close(cp->toUtf16);
}
