#include "tools/clipboard_win.h"

#include <cstring>

#include "tools/memory.h"

namespace {

// Another program (a clipboard viewer reading what was just put there, most
// often) may hold the clipboard open for a moment: a few short tries before
// giving up.
constexpr int kOpenTries = 4;
constexpr DWORD kOpenRetryMs = 15;

bool OpenWithRetry(HWND hOwner) {
  for (int i = 0; i < kOpenTries; ++i) {
    if (OpenClipboard(hOwner)) return true;
    if (i + 1 < kOpenTries) Sleep(kOpenRetryMs);
  }
  return false;
}

// The block's bytes copied while the clipboard is open; the block may come from
// any program, so nothing beyond GlobalSize is read.
char* CopyBlock(HGLOBAL hData, size_t* pnSize) {
  SIZE_T size = GlobalSize(hData);
  if (size == 0) return nullptr;
  const void* p = GlobalLock(hData);
  if (!p) return nullptr;
  char* copy = static_cast<char*>(size < SIZE_MAX ? Mem_Alloc(size + 1) : nullptr);
  if (copy) {
    std::memcpy(copy, p, size);
    copy[size] = '\0';
    if (pnSize) *pnSize = size;
  }
  GlobalUnlock(hData);
  return copy;
}

HGLOBAL MakeTextBlock(const char* text, size_t n) {
  if (n == SIZE_MAX) return nullptr;
  HGLOBAL hMem = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, n + 1);
  if (!hMem) return nullptr;
  char* p = static_cast<char*>(GlobalLock(hMem));
  if (!p) {
    GlobalFree(hMem);
    return nullptr;
  }
  if (n > 0) std::memcpy(p, text, n);
  p[n] = '\0';
  GlobalUnlock(hMem);
  return hMem;
}

}  // namespace

char* Clipboard_GetData(HWND hOwner, UINT nFormat, size_t* pnSize) {
  if (pnSize) *pnSize = 0;
  if (!IsClipboardFormatAvailable(nFormat) || !OpenWithRetry(hOwner)) return nullptr;
  HGLOBAL hData = GetClipboardData(nFormat);
  char* copy = hData ? CopyBlock(hData, pnSize) : nullptr;
  CloseClipboard();
  return copy;
}

bool Clipboard_SetText(HWND hOwner, const char* text, size_t n) {
  HGLOBAL hMem = MakeTextBlock(text, n);
  if (!hMem) return false;
  if (!OpenWithRetry(hOwner)) {
    GlobalFree(hMem);
    return false;
  }
  bool taken = EmptyClipboard() && SetClipboardData(CF_TEXT, hMem) != nullptr;
  CloseClipboard();
  // A block the system did not take stays ours.
  if (!taken) GlobalFree(hMem);
  return taken;
}

size_t Clipboard_TextLength(const char* block, size_t size) {
  const void* zero = size > 0 ? std::memchr(block, '\0', size) : nullptr;
  return zero ? static_cast<size_t>(static_cast<const char*>(zero) - block) : size;
}
