#include "editctrl/plainmatch.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "tools/charfold.h"
#include "tools/charrule.h"
#include "tools/memory.h"
#include "tools/platform.h"

namespace {

constexpr uint32_t kFoldBits = SF_IGNORECASE | SF_IGNOREWIDTH;

constexpr uint32_t kFoldFirst = kPlainFoldFirst;
constexpr uint32_t kFoldLast = kPlainFoldLast;

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

// Calls add for every code equal to `first` under the options: among the
// single bytes, the double-byte codes of the folding range, and itself.
template <typename Add>
void ForEachEqualCode(uint32_t first, uint32_t options, Add add) {
  const uint32_t key = CharFold_Key(first, options);
  for (uint32_t code = 0; code < 0x100; ++code) {
    if (CharFold_Key(code, options) == key && !add(code)) return;
  }
  for (uint32_t code = kFoldFirst; code <= kFoldLast; ++code) {
    if ((code & 0xFF) != 0 && CharFold_Key(code, options) == key && !add(code)) return;
  }
  if (first >= 0x100 && (first < kFoldFirst || first > kFoldLast)) add(first);
}

void PrepareFolded(PlainPattern* p) {
  const unsigned char* b = reinterpret_cast<const unsigned char*>(p->pBytes);
  ForEachEqualCode(CodeAt(b, 0), p->nOptions, [p](uint32_t code) {
    AddFirstCode(p, code);
    return p->nFirstCodes >= 0;
  });
  const int32_t second = CharLengthAt(b, 0);
  if (second >= p->nLength) {
    std::memset(p->aSecondBytes, 1, sizeof(p->aSecondBytes));
    return;
  }
  ForEachEqualCode(CodeAt(b, second), p->nOptions, [p](uint32_t code) {
    p->aSecondBytes[code < 0x100 ? code : (code >> 8)] = 1;
    return true;
  });
}

void Splat(const uint8_t* bytes, int32_t n, uint8_t (*splats)[16]) {
  for (int32_t i = 0; i < n; ++i) std::memset(splats[i], bytes[i], 16);
}

// The vector scan's sets, when they are small enough.
void PrepareVector(PlainPattern* p) {
  p->bVector = false;
  if (p->nFirstCodes < 0) return;
  p->nSingles = p->nPairs = p->nSeconds = 0;
  for (int32_t i = 0; i < p->nFirstCodes; ++i) {
    const uint32_t code = p->aFirstCodes[i];
    if (code < 0x100) {
      if (p->nSingles == kPlainMaxScanBytes) return;
      p->aSingles[p->nSingles++] = static_cast<uint8_t>(code);
    } else {
      if (p->nPairs == kPlainMaxScanBytes) return;
      p->aLeads[p->nPairs] = static_cast<uint8_t>(code >> 8);
      p->aTrails[p->nPairs++] = static_cast<uint8_t>(code & 0xFF);
    }
  }
  for (int32_t b = 0; b < 256; ++b) {
    if (!p->aSecondBytes[b]) continue;
    if (p->nSeconds == kPlainMaxScanBytes) return;
    p->aSeconds[p->nSeconds++] = static_cast<uint8_t>(b);
  }
  p->bVector = p->nSeconds > 0;
  Splat(p->aSingles, p->nSingles, p->aSingleSplats);
  Splat(p->aLeads, p->nPairs, p->aLeadSplats);
  Splat(p->aTrails, p->nPairs, p->aTrailSplats);
  Splat(p->aSeconds, p->nSeconds, p->aSecondSplats);
}

void PrepareScanBytes(PlainPattern* p) {
  p->nScanBytes = 0;
  for (int32_t b = 0; b < 256; ++b) {
    if (!p->aFirstBytes[b]) continue;
    if (p->nScanBytes == kPlainMaxScanBytes) {
      p->nScanBytes = 0;
      return;
    }
    p->aScanBytes[p->nScanBytes++] = static_cast<uint8_t>(b);
  }
  Splat(p->aScanBytes, p->nScanBytes, p->aScanSplats);
}

// The fold keys of every code the tables cover, and of the pattern's characters.
bool PrepareKeys(PlainPattern* p) {
  for (uint32_t code = 0; code < 0x100; ++code) p->aByteKeys[code] = CharFold_Key(code, p->nOptions);
  for (uint32_t code = kFoldFirst; code <= kFoldLast; ++code) {
    p->aFoldKeys[code - kFoldFirst] = CharFold_Key(code, p->nOptions);
  }
  const unsigned char* b = reinterpret_cast<const unsigned char*>(p->pBytes);
  int32_t n = 0;
  for (int32_t i = 0; i < p->nLength; i += CharLengthAt(b, i)) ++n;
  if (n == 0) return true;
  p->pKeys = static_cast<uint32_t*>(Mem_Alloc(sizeof(uint32_t) * static_cast<size_t>(n)));
  if (!p->pKeys) return false;
  p->nKeys = 0;
  for (int32_t i = 0; i < p->nLength; i += CharLengthAt(b, i)) p->pKeys[p->nKeys++] = CharFold_Key(CodeAt(b, i), p->nOptions);
  return true;
}

// CharFold_Key of a text code, from the tables where they hold it (outside the
// folding range a double-byte code folds to nothing: no bisection is needed).
inline uint32_t KeyOf(const PlainPattern* p, uint32_t code) {
  if (code < 0x100) return p->aByteKeys[code];
  if (code >= kFoldFirst && code <= kFoldLast) return p->aFoldKeys[code - kFoldFirst];
  return CharFold_Key(code, p->nOptions);
}

#if defined(__SSE2__)
inline __m128i Load(const uint8_t* splat) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(splat)); }
#endif

// The next position at or after a (before n) whose byte may begin a match.
inline int32_t NextCandidate(const PlainPattern* p, const unsigned char* line, int32_t a, int32_t n) {
#if defined(__SSE2__)
  if (p->nScanBytes > 0 && n - a >= 16) {
    __m128i keys[kPlainMaxScanBytes];
    for (int32_t i = 0; i < p->nScanBytes; ++i) keys[i] = Load(p->aScanSplats[i]);
    for (; n - a >= 16; a += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + a));
      __m128i hit = _mm_cmpeq_epi8(v, keys[0]);
      for (int32_t i = 1; i < p->nScanBytes; ++i) hit = _mm_or_si128(hit, _mm_cmpeq_epi8(v, keys[i]));
      const int mask = _mm_movemask_epi8(hit);
      if (mask != 0) return a + __builtin_ctz(static_cast<unsigned>(mask));
    }
  }
#endif
  while (a < n && !p->aFirstBytes[line[a]]) ++a;
  return a;
}

#if defined(__SSE2__)
// The vector scan's sets as vectors, made once per line.
struct VectorSets {
  __m128i singles[kPlainMaxScanBytes];
  __m128i leads[kPlainMaxScanBytes];
  __m128i trails[kPlainMaxScanBytes];
  __m128i seconds[kPlainMaxScanBytes];
  int32_t nSingles, nPairs, nSeconds;
};

void MakeVectorSets(const PlainPattern* p, VectorSets* v) {
  v->nSingles = p->nSingles;
  v->nPairs = p->nPairs;
  v->nSeconds = p->nSeconds;
  for (int32_t i = 0; i < p->nSingles; ++i) v->singles[i] = Load(p->aSingleSplats[i]);
  for (int32_t i = 0; i < p->nPairs; ++i) {
    v->leads[i] = Load(p->aLeadSplats[i]);
    v->trails[i] = Load(p->aTrailSplats[i]);
  }
  for (int32_t i = 0; i < p->nSeconds; ++i) v->seconds[i] = Load(p->aSecondSplats[i]);
}

inline __m128i AnyOf(__m128i v, const __m128i* set, int32_t n) {
  __m128i hit = _mm_setzero_si128();
  for (int32_t i = 0; i < n; ++i) hit = _mm_or_si128(hit, _mm_cmpeq_epi8(v, set[i]));
  return hit;
}

// The candidates among the 16 positions from s (17 more bytes readable): a
// first character of the pattern's first codes followed by a byte that may
// begin its second character.
inline unsigned VectorCandidates(const VectorSets* sets, const unsigned char* s) {
  const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
  const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 1));
  __m128i hit = _mm_and_si128(AnyOf(v0, sets->singles, sets->nSingles), AnyOf(v1, sets->seconds, sets->nSeconds));
  if (sets->nPairs > 0) {
    const __m128i v2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 2));
    __m128i pairs = _mm_setzero_si128();
    for (int32_t i = 0; i < sets->nPairs; ++i) {
      pairs = _mm_or_si128(pairs, _mm_and_si128(_mm_cmpeq_epi8(v0, sets->leads[i]), _mm_cmpeq_epi8(v1, sets->trails[i])));
    }
    hit = _mm_or_si128(hit, _mm_and_si128(pairs, AnyOf(v2, sets->seconds, sets->nSeconds)));
  }
  return static_cast<unsigned>(_mm_movemask_epi8(hit));
}
#endif

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

// A walk that matched from a position that is not a character start is no
// match; the test comes last, as most walks fail at once.
inline bool FoldedAt(const PlainPattern* p, CharSync* sync, int32_t a, int32_t limit, int32_t* pEnd) {
  return p->aSecondBytes[sync->pLine[a + CharLengthAt(sync->pLine, a)]] && FirstCodeFits(p, sync->pLine, a) &&
         PlainPattern_MatchAt(p, reinterpret_cast<const char*>(sync->pLine), sync->nLength, a, limit, pEnd) &&
         CharSync_IsStart(sync, a);
}

bool FindFoldedForward(const PlainPattern* p, CharSync* sync, int32_t from, int32_t* pStart, int32_t* pEnd) {
  const unsigned char* line = sync->pLine;
  const int32_t n = sync->nLength;
  for (int32_t a = from; a < n; ++a) {
#if defined(__SSE2__)
    if (p->bVector && n - a >= 17) {
      VectorSets sets;
      MakeVectorSets(p, &sets);
      for (; n - a >= 17; a += 16) {
        for (unsigned mask = VectorCandidates(&sets, line + a); mask != 0; mask &= mask - 1) {
          const int32_t c = a + __builtin_ctz(mask);
          if (FoldedAt(p, sync, c, n, pEnd)) {
            *pStart = c;
            return true;
          }
        }
      }
      if (a >= n) return false;
      // The rest, fewer than 17 bytes, in one more block that overlaps the last
      // one and ends at the terminator; its last position can begin no match
      // of two characters.
      const int32_t base = n - 17;
      for (unsigned mask = VectorCandidates(&sets, line + base) & ~((1u << (a - base)) - 1); mask != 0;
           mask &= mask - 1) {
        const int32_t c = base + __builtin_ctz(mask);
        if (FoldedAt(p, sync, c, n, pEnd)) {
          *pStart = c;
          return true;
        }
      }
      return false;
    }
#endif
    a = NextCandidate(p, line, a, n);
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
  if (!PrepareKeys(pattern)) {
    PlainPattern_Release(pattern);
    return false;
  }
  if (length > 0) {
    if (pattern->bExact) {
      PrepareExact(pattern);
    } else {
      PrepareFolded(pattern);
      PrepareScanBytes(pattern);
      PrepareVector(pattern);
    }
  }
  QWIL_ASSERT(IsValidPlainPattern(pattern));
  return true;
}

void PlainPattern_Release(PlainPattern* pattern) {
  Mem_Free(pattern->pBytes);
  Mem_Free(pattern->pKeys);
  pattern->pBytes = nullptr;
  pattern->pKeys = nullptr;
  pattern->nLength = 0;
  pattern->nKeys = 0;
}

bool PlainPattern_MatchAt(const PlainPattern* pattern, const char* line, int32_t length, int32_t at, int32_t limit,
                          int32_t* pEnd) {
  const unsigned char* text = reinterpret_cast<const unsigned char*>(line);
  int32_t t = at;
  for (int32_t k = 0; k < pattern->nKeys; ++k) {
    if (t >= length) return false;
    const int32_t n = CharLengthAt(text, t);
    const uint32_t code = n == 2 ? (uint32_t(text[t]) << 8) | text[t + 1] : text[t];
    if (KeyOf(pattern, code) != pattern->pKeys[k]) return false;
    t += n;
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
