#include "tools/codepage_win.h"

#include "tools/platform.h"

namespace {

constexpr UINT kShiftJisCodePage = 932;

static_assert(sizeof(WCHAR) == sizeof(uint16_t), "UTF-16 units are the system's wide characters");

int32_t WinFromUtf16(void*, const uint16_t* units, int32_t nUnits, char* out, int32_t size) {
  BOOL bUsedDefault = FALSE;
  const int n = WideCharToMultiByte(kShiftJisCodePage, WC_NO_BEST_FIT_CHARS, reinterpret_cast<LPCWCH>(units), nUnits,
                                    out, size, nullptr, &bUsedDefault);
  return (n > 0 && !bUsedDefault) ? n : 0;
}

int32_t WinToUtf16(void*, const char* bytes, int32_t n, uint16_t* out, int32_t size) {
  const int got = MultiByteToWideChar(kShiftJisCodePage, MB_ERR_INVALID_CHARS, bytes, n, reinterpret_cast<LPWSTR>(out),
                                      size);
  return got > 0 ? got : 0;
}

const CodePageMethods kWinMethods = {nullptr, WinFromUtf16, WinToUtf16};

}  // namespace

const CodePageMethods* CodePageWin_Methods() { return &kWinMethods; }
