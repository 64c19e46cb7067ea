#include "editctrl/plainmatch.h"

#include <cstring>

#include "tools/charfold.h"
#include "tools/charrule.h"
#include "tools/memory.h"
#include "tools/platform.h"

namespace {

constexpr uint32_t kFoldBits = SF_IGNORECASE | SF_IGNOREWIDTH;

// The only double-byte codes that fold to another code (the width-folding table's range).
constexpr uint32_t kFoldFirst = 0x8140;
constexpr uint32_t kFoldLast = 0x8393;

// Bytes of the character at i: a lead byte takes the next byte unless that is
// NUL, which the terminator behind the data always is.
inline int32_t CharLengthAt(const unsigned char* s, int32_t i) {
  return Char_IsLeadByte(s[i]) && s[i + 1] != 0 ? 2 : 1;
}

inline uint32_t CodeAt(const unsigned char* s, int32_t i) {
  return CharLengthAt(s, i) == 2 ? (uint32_t(s[i]) << 8) | s[i + 1] : s[i];
}

// How rare a byte looks in ordinary Japanese and English text; only the
// choice of the byte to scan for depends on it, never a result.
int32_t Rarity(unsigned char b) {
  if (b == ' ' || ('a' <= b && b <= 'z') || (0x81 <= b && b <= 0x83)) return 0;
  if ('0' <= b && b <= '9') return 1;
  if ((0x21 <= b && b <= 0x7E) || (0x88 <= b && b <= 0x9F) || (0xA1 <= b && b <= 0xDF) || (0xE0 <= b && b <= 0xEA)) {
    return 2;
  }
  return 3;
}

void PrepareExact(PlainPattern* p) {
  const unsigned char* b = reinterpret_cast<const unsigned char*>(p->pBytes);
  p->nScanIndex = 0;
  for (int32_t i = 1; i < p->nLength; ++i) {
    if (Rarity(b[i]) > Rarity(b[p->nScanIndex])) p->nScanIndex = i;
  }
  int32_t last = 0;
  for (int32_t i = 0; i < p->nLength; i += CharLengthAt(b, i)) last = i;
  p->bLoneLeadTail = last == p->nLength - 1 && Char_IsLeadByte(b[last]);
}

void AddFirstCode(PlainPattern* p, uint32_t code) {
  if (p->nFirstCodes >= kPlainMaxFirstCodes) {
    // More than the table holds (no option makes that many): every byte may
    // begin a match, and the walk alone decides.
    p->nFirstCodes = -1;
    std::memset(p->aFirstBytes, 1, sizeof(p->aFirstBytes));
    return;
  }
  p->aFirstCodes[p->nFirstCodes++] = code;
  p->aFirstBytes[code < 0x100 ? code : (code >> 8)] = 1;
}

// Every code that equals the first pattern character under the options: among
// the single bytes, the double-byte codes of the folding range, and itself.
void PrepareFolded(PlainPattern* p) {
  const uint32_t first = CodeAt(reinterpret_cast<const unsigned char*>(p->pBytes), 0);
  const uint32_t key = CharFold_Key(first, p->nOptions);
  for (uint32_t code = 0; code < 0x100 && p->nFirstCodes >= 0; ++code) {
    if (CharFold_Key(code, p->nOptions) == key) AddFirstCode(p, code);
  }
  for (uint32_t code = kFoldFirst; code <= kFoldLast && p->nFirstCodes >= 0; ++code) {
    if ((code & 0xFF) != 0 && CharFold_Key(code, p->nOptions) == key) AddFirstCode(p, code);
  }
  if (first >= 0x100 && (first < kFoldFirst || first > kFoldLast) && p->nFirstCodes >= 0) AddFirstCode(p, first);
}

inline bool FirstCodeFits(const PlainPattern* p, const unsigned char* line, int32_t at) {
  if (p->nFirstCodes < 0) return true;
  const uint32_t code = CodeAt(line, at);
  for (int32_t i = 0; i < p->nFirstCodes; ++i) {
    if (p->aFirstCodes[i] == code) return true;
  }
  return false;
}

// The pattern's bytes at c are a match unless its last character is a lone
// lead byte that the line's next byte would join.
inline bool ExactTailFits(const PlainPattern* p, const unsigned char* line, int32_t length, int32_t c) {
  const int32_t end = c + p->nLength;
  return !(p->bLoneLeadTail && end < length && line[end] != 0);
}

inline bool ExactAt(const PlainPattern* p, CharSync* sync, int32_t c) {
  return std::memcmp(sync->pLine + c, p->pBytes, static_cast<size_t>(p->nLength)) == 0 &&
         ExactTailFits(p, sync->pLine, sync->nLength, c) && CharSync_IsStart(sync, c);
}

bool FindExactForward(const PlainPattern* p, CharSync* sync, int32_t from, int32_t* pStart) {
  const unsigned char* line = sync->pLine;
  const int32_t last = sync->nLength - p->nLength;  // the last start with room for the pattern
  const int32_t r = p->nScanIndex;
  const unsigned char key = static_cast<unsigned char>(p->pBytes[r]);
  for (int32_t c = from; c <= last; ++c) {
    const void* hit = std::memchr(line + c + r, key, static_cast<size_t>(last - c + 1));
    if (!hit) return false;
    c = static_cast<int32_t>(static_cast<const unsigned char*>(hit) - line) - r;
    if (ExactAt(p, sync, c)) {
      *pStart = c;
      return true;
    }
  }
  return false;
}

bool FindExactBackward(const PlainPattern* p, CharSync* sync, int32_t below, int32_t limit, int32_t* pStart) {
  const unsigned char* line = sync->pLine;
  const int32_t r = p->nScanIndex;
  const unsigned char key = static_cast<unsigned char>(p->pBytes[r]);
  int32_t c = below - 1 < limit - p->nLength ? below - 1 : limit - p->nLength;
  for (; c >= sync->nFloor; --c) {
    int32_t k = c + r;
    while (k >= sync->nFloor + r && line[k] != key) --k;
    c = k - r;
    if (c < sync->nFloor) return false;
    if (ExactAt(p, sync, c)) {
      *pStart = c;
      return true;
    }
  }
  return false;
}

inline bool FoldedAt(const PlainPattern* p, CharSync* sync, int32_t a, int32_t limit, int32_t* pEnd) {
  return FirstCodeFits(p, sync->pLine, a) && CharSync_IsStart(sync, a) &&
         PlainPattern_MatchAt(p, reinterpret_cast<const char*>(sync->pLine), sync->nLength, a, limit, pEnd);
}

bool FindFoldedForward(const PlainPattern* p, CharSync* sync, int32_t from, int32_t* pStart, int32_t* pEnd) {
  const unsigned char* line = sync->pLine;
  const int32_t n = sync->nLength;
  for (int32_t a = from; a < n; ++a) {
    while (a < n && !p->aFirstBytes[line[a]]) ++a;
    if (a >= n) return false;
    if (FoldedAt(p, sync, a, n, pEnd)) {
      *pStart = a;
      return true;
    }
  }
  return false;
}

bool FindFoldedBackward(const PlainPattern* p, CharSync* sync, int32_t below, int32_t limit, int32_t* pStart,
                        int32_t* pEnd) {
  const unsigned char* line = sync->pLine;
  for (int32_t a = below - 1; a >= sync->nFloor; --a) {
    while (a >= sync->nFloor && !p->aFirstBytes[line[a]]) --a;
    if (a < sync->nFloor) return false;
    if (FoldedAt(p, sync, a, limit, pEnd)) {
      *pStart = a;
      return true;
    }
  }
  return false;
}

}  // namespace

bool IsValidPlainPattern(const PlainPattern* pattern) {
  return pattern && pattern->pBytes && pattern->nLength >= 0 && pattern->pBytes[pattern->nLength] == 0 &&
         pattern->bExact == ((pattern->nOptions & kFoldBits) == 0) &&
         (pattern->nLength == 0 || !pattern->bExact || (0 <= pattern->nScanIndex && pattern->nScanIndex < pattern->nLength)) &&
         pattern->nFirstCodes <= kPlainMaxFirstCodes;
}

bool PlainPattern_Init(PlainPattern* pattern, const char* bytes, int32_t length, uint32_t options) {
  std::memset(pattern, 0, sizeof(*pattern));
  if (length < 0 || !bytes) length = 0;
  pattern->pBytes = static_cast<char*>(Mem_Alloc(static_cast<size_t>(length) + 1));
  if (!pattern->pBytes) return false;
  if (length > 0) std::memcpy(pattern->pBytes, bytes, static_cast<size_t>(length));
  pattern->pBytes[length] = 0;
  pattern->nLength = length;
  pattern->nOptions = options;
  pattern->bExact = (options & kFoldBits) == 0;
  if (length > 0) {
    if (pattern->bExact) {
      PrepareExact(pattern);
    } else {
      PrepareFolded(pattern);
    }
  }
  QWIL_ASSERT(IsValidPlainPattern(pattern));
  return true;
}

void PlainPattern_Release(PlainPattern* pattern) {
  Mem_Free(pattern->pBytes);
  pattern->pBytes = nullptr;
  pattern->nLength = 0;
}

bool PlainPattern_MatchAt(const PlainPattern* pattern, const char* line, int32_t length, int32_t at, int32_t limit,
                          int32_t* pEnd) {
  const unsigned char* text = reinterpret_cast<const unsigned char*>(line);
  const unsigned char* pat = reinterpret_cast<const unsigned char*>(pattern->pBytes);
  int32_t t = at;
  for (int32_t i = 0; i < pattern->nLength; i += CharLengthAt(pat, i)) {
    if (t >= length || !CharEqual(line + t, pattern->pBytes + i, pattern->nOptions)) return false;
    t += CharLengthAt(text, t);
    if (t > limit) return false;
  }
  *pEnd = t;
  return true;
}

bool PlainPattern_FindForward(const PlainPattern* pattern, CharSync* sync, int32_t from, int32_t* pStart,
                              int32_t* pEnd) {
  QWIL_ASSERT(IsValidPlainPattern(pattern) && IsValidCharSync(sync) && sync->nFloor <= from);
  if (pattern->nLength == 0) {
    *pStart = *pEnd = from;
    return from <= sync->nLength;
  }
  if (!pattern->bExact) return FindFoldedForward(pattern, sync, from, pStart, pEnd);
  if (!FindExactForward(pattern, sync, from, pStart)) return false;
  *pEnd = *pStart + pattern->nLength;
  return true;
}

bool PlainPattern_FindBackward(const PlainPattern* pattern, CharSync* sync, int32_t below, int32_t limit,
                               int32_t* pStart, int32_t* pEnd) {
  QWIL_ASSERT(IsValidPlainPattern(pattern) && IsValidCharSync(sync) && limit <= sync->nLength);
  if (pattern->nLength == 0) {
    *pStart = *pEnd = below < limit ? below : limit;
    return *pStart >= sync->nFloor;
  }
  if (!pattern->bExact) return FindFoldedBackward(pattern, sync, below, limit, pStart, pEnd);
  if (!FindExactBackward(pattern, sync, below, limit, pStart)) return false;
  *pEnd = *pStart + pattern->nLength;
  return true;
}
