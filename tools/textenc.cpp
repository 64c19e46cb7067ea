#include "tools/textenc.h"

#include <cstring>

#include "tools/fileio.h"
#include "tools/memory.h"
#include "tools/platform.h"

namespace {

constexpr TextEncInfo kInfo[TEXTENC_COUNT] = {
    {TEXTENC_SHIFT_JIS, "Shift_JIS", "", 0, 1, false},
    {TEXTENC_UTF8, "UTF-8", "", 0, 1, false},
    {TEXTENC_UTF8_BOM, "UTF-8 (BOM)", "\xEF\xBB\xBF", 3, 1, false},
    {TEXTENC_UTF16LE, "UTF-16 LE", "", 0, 2, false},
    {TEXTENC_UTF16LE_BOM, "UTF-16 LE (BOM)", "\xFF\xFE", 2, 2, false},
    {TEXTENC_UTF16BE, "UTF-16 BE", "", 0, 2, true},
    {TEXTENC_UTF16BE_BOM, "UTF-16 BE (BOM)", "\xFE\xFF", 2, 2, true},
};

TextEncDetection Found(TextEncoding encoding) { return TextEncDetection{encoding, kInfo[encoding].nMark}; }

bool StartsWithMark(const char* bytes, int64_t n, TextEncoding* pEncoding) {
  for (const TextEncInfo& info : kInfo) {
    if (TextEnc_BeginsWithMark(info.encoding, bytes, n)) {
      *pEncoding = info.encoding;
      return true;
    }
  }
  return false;
}

// NULs at odd offsets are the high bytes of little-endian units of ASCII text.
bool IsUtf16WithoutMark(const unsigned char* p, int64_t n, TextEncoding* pEncoding) {
  const int64_t units = n / 2;
  int64_t nulOdd = 0;
  int64_t nulEven = 0;
  for (int64_t i = 0; i < units; ++i) {
    const unsigned char lo = p[2 * i];
    const unsigned char hi = p[2 * i + 1];
    if (lo == 0 && hi == 0) return false;  // no text holds U+0000; binary files do
    nulOdd += (hi == 0);
    nulEven += (lo == 0);
  }
  if (nulOdd * 8 >= units && nulOdd >= 2 && nulOdd >= 2 * nulEven) {
    *pEncoding = TEXTENC_UTF16LE;
    return true;
  }
  if (nulEven * 8 >= units && nulEven >= 2 && nulEven >= 2 * nulOdd) {
    *pEncoding = TEXTENC_UTF16BE;
    return true;
  }
  return false;
}

bool IsUtf8(const unsigned char* p, int64_t n) {
  int64_t sequences = 0;
  for (int64_t i = 0; i < n;) {
    if (p[i] < 0x80) {
      ++i;
      continue;
    }
    uint32_t code;
    const int32_t length = TextEnc_StepUtf8(p + i, n - i, &code);
    if (code == kTextEncCut) break;  // the bytes looked at end inside it
    if (code == kTextEncMalformed) return false;
    ++sequences;
    i += length;
  }
  return sequences > 0;
}

}  // namespace

const TextEncInfo* TextEnc_Info(TextEncoding encoding) {
  QWIL_ASSERT(0 <= encoding && encoding < TEXTENC_COUNT);
  return &kInfo[encoding];
}

bool TextEnc_BeginsWithMark(TextEncoding encoding, const char* bytes, int64_t n) {
  const TextEncInfo* info = TextEnc_Info(encoding);
  return info->nMark > 0 && n >= info->nMark && std::memcmp(bytes, info->pMark, size_t(info->nMark)) == 0;
}

TextEncDetection TextEnc_Detect(const char* bytes, int64_t n) {
  QWIL_ASSERT(bytes || n == 0);
  if (n > kTextEncProbeBytes) n = kTextEncProbeBytes;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
  TextEncoding encoding;
  if (StartsWithMark(bytes, n, &encoding) || IsUtf16WithoutMark(p, n, &encoding)) return Found(encoding);
  return Found(IsUtf8(p, n) ? TEXTENC_UTF8 : TEXTENC_SHIFT_JIS);
}

bool TextEnc_DetectFile(const char* path, TextEncDetection* pDetection) {
  *pDetection = Found(TEXTENC_SHIFT_JIS);
  const FileMethods* m = FileIo_GetMethods();
  FileHandle* file = nullptr;
  if (m->pfnOpen(m->pContext, path, FILEOPEN_READ, &file) != FILEERR_NONE) return false;
  char* buffer = static_cast<char*>(Mem_Alloc(kTextEncProbeBytes));
  int32_t n = 0;
  bool ok = buffer != nullptr;
  while (ok && n < kTextEncProbeBytes) {
    const int32_t got = m->pfnRead(m->pContext, file, buffer + n, kTextEncProbeBytes - n);
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    n += got;
  }
  ok = m->pfnClose(m->pContext, file) && ok;
  if (ok) *pDetection = TextEnc_Detect(buffer, n);
  Mem_Free(buffer);
  return ok;
}
