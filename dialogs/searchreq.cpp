#include "dialogs/searchreq.h"

#include <cstring>

#include "tools/toolbase.h"

namespace {

bool IsReadableText(const char* text, int32_t length) {
  if (length < 0 || length > kSearchRequestTextMax) return false;
  return length == 0 || text != nullptr;
}

}  // namespace

bool SearchRequest_IsReadable(const SearchRequest* request, bool bReplace) {
  if (!request || !IsReadableText(request->pszFind, request->nFindLength)) return false;
  return !bReplace || IsReadableText(request->pszReplace, request->nReplaceLength);
}

int32_t SearchText_Store(char* buffer, int32_t size, const char* text, int32_t length) {
  QWIL_ASSERT(buffer && size >= 1 && length >= 0 && (length == 0 || text));
  const void* nul = length > 0 ? std::memchr(text, '\0', static_cast<size_t>(length)) : nullptr;
  if (nul) length = static_cast<int32_t>(static_cast<const char*>(nul) - text);
  int32_t n = length > 0 ? String_CutLength(text, length, size - 1) : 0;
  // The text may be the buffer itself (find next re-sends the last search).
  if (n > 0) std::memmove(buffer, text, static_cast<size_t>(n));
  buffer[n] = '\0';
  return n;
}

int32_t SearchText_ProposedLength(const char* selected, int32_t n) {
  QWIL_ASSERT(n >= 0 && (n == 0 || selected));
  for (int32_t i = 0; i + 1 < n; ++i) {
    if (selected[i] == '\r' && selected[i + 1] == '\n') {
      n = i;
      break;
    }
  }
  return n > 0 ? String_CutLength(selected, n, kSearchRequestTextMax) : 0;
}
