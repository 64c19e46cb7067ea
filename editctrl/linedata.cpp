#include "editctrl/linedata.h"

#include <cstring>

#include "tools/charrule.h"
#include "tools/memory.h"

namespace {

// Every empty line without a buffer of its own shares this terminator. It is
// written to only with the NUL it already holds (an emptied line rewrites its
// terminator).
char g_empty[1] = {0};

// An own buffer is the capacity followed by the bytes.
constexpr size_t kHeader = sizeof(int32_t);

int32_t OwnCapacity(const LineData* line) {
  int32_t cap;
  std::memcpy(&cap, line->pBytes - kHeader, sizeof(cap));
  return cap;
}

// A new own buffer of n bytes (n >= 1 for the terminator).
char* NewBuffer(int32_t n) {
  char* block = static_cast<char*>(Mem_Alloc(kHeader + static_cast<size_t>(n)));
  if (!block) return nullptr;
  std::memcpy(block, &n, sizeof(n));
  return block + kHeader;
}

void FreeBuffer(char* bytes) { Mem_Free(bytes - kHeader); }

bool HasTab(const char* s, int32_t n) { return n > 0 && std::memchr(s, '\t', static_cast<size_t>(n)) != nullptr; }

constexpr const char* kEndBytes[4] = {"", "\r", "\n", "\r\n"};

}  // namespace

bool IsValidLineDataProperty(const LineDataProperty* prop) {
  return prop != nullptr && 0 < prop->tabsize && 0 < prop->width;
}

bool IsValidLineDataHandle(const LineData* line) {
  if (!line || !line->pBytes || line->nLength < 0 || line->pBytes[line->nLength] != '\0') return false;
  return !Line_IsOwn(line) || line->nLength < OwnCapacity(line);
}

bool IsValidLineStringIndex(const LineData* line, int32_t index) { return 0 <= index && index <= line->nLength; }

void Line_SetEnd(LineData* line, LineEnd end) { line->nInfo = (line->nInfo & ~kLineEndMask) | end; }

void Line_SetLayoutSlot(LineData* line, uint32_t slot) {
  QWIL_ASSERT(slot <= kLineMaxLayoutSlot);
  line->nInfo = (line->nInfo & (kLineEndMask | kLineOwnBit | kLineTabFreeBit)) | (slot << kLineLayoutShift);
}

const char* LineEnd_Bytes(LineEnd end) { return kEndBytes[end & kLineEndMask]; }

int32_t LineEnd_Length(LineEnd end) { return end == LINEEND_CRLF ? 2 : (end == LINEEND_NONE ? 0 : 1); }

LineEnd LineEnd_Of(const char* crlf, int32_t n) {
  if (n <= 0) return LINEEND_NONE;
  if (n >= 2 && crlf[0] == '\r' && crlf[1] == '\n') return LINEEND_CRLF;
  return crlf[0] == '\r' ? LINEEND_CR : LINEEND_LF;
}

void Line_InitEmpty(LineData* line, LineEnd end) {
  line->pBytes = g_empty;
  line->nLength = 0;
  line->nInfo = end | kLineTabFreeBit;
}

void Line_InitLent(LineData* line, char* bytes, int32_t n, LineEnd end, bool bTabFree) {
  line->pBytes = bytes;
  line->nLength = n;
  line->nInfo = end | (bTabFree ? kLineTabFreeBit : 0);
  QWIL_ASSERT(IsValidLineDataHandle(line) && (!bTabFree || !HasTab(bytes, n)));
}

bool Line_InitJoined(LineData* line, const char* head, int32_t nHead, const char* tail, int32_t nTail, LineEnd end) {
  QWIL_ASSERT(0 <= nHead && 0 <= nTail);
  Line_InitEmpty(line, end);
  const int64_t n = int64_t(nHead) + nTail;
  if (n == 0) return true;
  if (n >= INT32_MAX) return false;
  char* bytes = NewBuffer(static_cast<int32_t>(n) + 1);
  if (!bytes) return false;
  if (nHead > 0) std::memcpy(bytes, head, static_cast<size_t>(nHead));
  if (nTail > 0) std::memcpy(bytes + nHead, tail, static_cast<size_t>(nTail));
  bytes[n] = '\0';
  line->pBytes = bytes;
  line->nLength = static_cast<int32_t>(n);
  line->nInfo |= kLineOwnBit;
  if (HasTab(bytes, line->nLength)) line->nInfo &= ~kLineTabFreeBit;
  return true;
}

void Line_FreeBytes(LineData* line) {
  if (Line_IsOwn(line)) FreeBuffer(line->pBytes);
  line->pBytes = g_empty;
  line->nLength = 0;
  line->nInfo = (line->nInfo & ~kLineOwnBit) | kLineTabFreeBit;
}

int32_t Line_GetCapacity(const LineData* line) {
  return Line_IsOwn(line) ? OwnCapacity(line) : line->nLength + 1;
}

bool Line_Reserve(LineData* line, int32_t n) {
  QWIL_ASSERT(IsValidLineDataHandle(line));
  if (Line_GetCapacity(line) >= n) return true;
  if (Line_IsOwn(line)) {
    char* block = static_cast<char*>(Mem_Realloc(line->pBytes - kHeader, kHeader + static_cast<size_t>(n)));
    if (!block) return false;
    std::memcpy(block, &n, sizeof(n));
    line->pBytes = block + kHeader;
    return true;
  }
  // Lent bytes and the empty string stay where they are for whoever reads them.
  char* bytes = NewBuffer(n);
  if (!bytes) return false;
  std::memcpy(bytes, line->pBytes, static_cast<size_t>(line->nLength) + 1);
  line->pBytes = bytes;
  line->nInfo |= kLineOwnBit;
  if (!Line_IsTabFree(line) && !HasTab(bytes, line->nLength)) line->nInfo |= kLineTabFreeBit;
  return true;
}

void Line_Replace(LineData* line, int32_t start, int32_t end, const char* src, int32_t n) {
  QWIL_ASSERT(0 <= start && start <= end && end <= line->nLength && 0 <= n);
  const int32_t newLength = line->nLength + n - (end - start);
  QWIL_ASSERT(newLength < Line_GetCapacity(line));
  char* s = line->pBytes;
  if (s == g_empty) return;  // nothing to move, nothing to put: n and the length are 0
  std::memmove(s + start + n, s + end, static_cast<size_t>(line->nLength - end));
  if (n > 0) std::memcpy(s + start, src, static_cast<size_t>(n));
  if (HasTab(src, n)) line->nInfo &= ~kLineTabFreeBit;
  line->nLength = newLength;
  s[newLength] = '\0';
}

void Line_SetTail(LineData* line, int32_t at, const char* a, int32_t na, const char* b, int32_t nb) {
  QWIL_ASSERT(0 <= at && at <= line->nLength && 0 <= na && 0 <= nb);
  const int32_t newLength = at + na + nb;
  QWIL_ASSERT(newLength < Line_GetCapacity(line) || (newLength == 0 && line->nLength == 0));
  if (newLength == 0 && line->nLength == 0) return;
  char* s = line->pBytes;
  if (na > 0) std::memcpy(s + at, a, static_cast<size_t>(na));
  if (nb > 0) std::memcpy(s + at + na, b, static_cast<size_t>(nb));
  if (HasTab(a, na) || HasTab(b, nb)) line->nInfo &= ~kLineTabFreeBit;
  line->nLength = newLength;
  s[newLength] = '\0';
}

int32_t Line_CopyRange(const LineData* line, char* dest, int32_t n, int32_t start, int32_t end) {
  int32_t count = n;
  if (end - start < count) count = end - start;
  if (line->nLength - start < count) count = line->nLength - start;
  if (count <= 0) return 0;
  std::memcpy(dest, line->pBytes + start, static_cast<size_t>(count));
  return count;
}

int32_t Line_GetCharLength(const LineData* line, int32_t index) {
  return Char_Length(line->pBytes, line->nLength, index);
}

int32_t Line_GetCharCode(const LineData* line, int32_t index) {
  if (index < line->nLength) return static_cast<int32_t>(Char_Code(line->pBytes + index));
  return static_cast<signed char>(Line_GetCrlf(line)[0]);
}

int32_t Line_GetCharWidth(const LineData* line, int32_t index, int32_t x, int32_t tabsize) {
  if (index >= line->nLength) return 0;
  if (line->pBytes[index] == '\t') return tabsize - x % tabsize;
  return Line_GetCharLength(line, index);
}
