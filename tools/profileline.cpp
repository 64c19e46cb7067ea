#include "tools/profileline.h"

#include <cstring>

#include "tools/charrule.h"

namespace {

// What the profile functions take for white space around names and lines.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == 0x1A; }

char FoldAscii(char c) { return ('a' <= c && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The longest line looked at whole; a longer one is judged by its start.
constexpr int32_t kLineMax = 1024;

struct SectionScan {
  const char* pName;
  int32_t nName;
  bool bInSection;   // the lines seen are the section's
  int32_t nHeaders;  // of the section
  bool bLoses;       // a section write would lose a line
  char line[kLineMax];
  int32_t nLine;
  bool bLong;        // the line did not fit; line holds its start
};

void EndLine(SectionScan* s) {
  int32_t start = 0, end = 0;
  Profile_TrimBlanks(s->line, s->nLine, &start, &end);
  s->nLine = 0;
  const bool bLong = s->bLong;
  s->bLong = false;
  if (start == end) return;
  const char* l = s->line + start;
  if (l[0] == ';') {
    s->bLoses = s->bLoses || s->bInSection;
    return;
  }
  if (l[0] != '[') return;
  // A header whose end was not seen cannot be told from ours.
  if (bLong) {
    s->bLoses = true;
    return;
  }
  int32_t close = end - start - 1;
  while (close > 0 && l[close] != ']') --close;
  if (close <= 0) return;  // no "]": a key line to the profile functions
  s->bInSection = Profile_NamesEqual(l + 1, close - 1, s->pName, s->nName);
  if (s->bInSection && ++s->nHeaders > 1) s->bLoses = true;
}

void Feed(SectionScan* s, const char* bytes, int32_t n) {
  for (int32_t i = 0; i < n; ++i) {
    if (bytes[i] == '\n' || bytes[i] == '\r') {
      EndLine(s);
    } else if (s->nLine < kLineMax) {
      s->line[s->nLine++] = bytes[i];
    } else {
      s->bLong = true;
    }
  }
}

bool HasByteOrderMark(const unsigned char* b, int32_t n) {
  if (n >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF))) return true;
  return n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF;
}

}  // namespace

void Profile_TrimBlanks(const char* s, int32_t n, int32_t* pStart, int32_t* pEnd) {
  int32_t start = 0;
  while (start < n && IsBlank(s[start])) ++start;
  int32_t end = n;
  // A blank behind a lead byte is that character's second byte.
  while (end > start && IsBlank(s[end - 1]) && !Char_IsSecondByte(s, start, end - 1)) --end;
  *pStart = start;
  *pEnd = end;
}

bool Profile_NamesEqual(const char* a, int32_t na, const char* b, int32_t nb) {
  int32_t sa = 0, ea = 0, sb = 0, eb = 0;
  Profile_TrimBlanks(a, na, &sa, &ea);
  Profile_TrimBlanks(b, nb, &sb, &eb);
  if (ea - sa != eb - sb) return false;
  a += sa;
  b += sb;
  const int32_t n = ea - sa;
  for (int32_t i = 0; i < n; ++i) {
    if (Char_IsLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < n) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
      return false;
    }
  }
  return true;
}

bool Profile_SectionWritesWhole(ByteReader file, const char* section) {
  SectionScan s = {};
  s.pName = section;
  s.nName = static_cast<int32_t>(std::strlen(section));
  char chunk[4096];
  int32_t n = 0;
  for (bool first = true; !s.bLoses && (n = file.pfnRead(file.pContext, chunk, sizeof(chunk))) > 0; first = false) {
    if (first && HasByteOrderMark(reinterpret_cast<const unsigned char*>(chunk), n)) s.bLoses = true;
    Feed(&s, chunk, n);
  }
  if (n == 0) EndLine(&s);
  return n >= 0 && !s.bLoses;
}
