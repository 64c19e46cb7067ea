#include "tools/regexp/rgmatch.h"

#include <cstring>

#include "tools/charfold.h"
#include "tools/charrule.h"
#include "tools/memory.h"
#include "tools/platform.h"

namespace {

struct Subject {
  const uint8_t* bytes;
  const char* text;
  int32_t length;
};

// What a walk returns besides an end position (>= 0).
constexpr int32_t kWalkFailed = -1;
constexpr int32_t kWalkTooComplex = -2;
constexpr int32_t kWalkNoMemory = -3;

constexpr uint32_t kFoldBits = SF_IGNORECASE | SF_IGNOREWIDTH;

// Bytes of the character at pos: a lead byte takes the next byte with it
// unless that is NUL or past the end.
inline int32_t CharLengthAt(const Subject* s, int32_t pos) {
  return Char_IsLeadByte(s->bytes[pos]) && pos + 1 < s->length && s->bytes[pos + 1] != 0 ? 2 : 1;
}

inline uint32_t CodeAt(const Subject* s, int32_t pos, int32_t len) {
  return len == 2 ? (uint32_t(s->bytes[pos]) << 8) | s->bytes[pos + 1] : s->bytes[pos];
}

// The test of a transition at pos; on success *next is where the walk goes on.
inline bool PassesTest(const trans* t, const Subject* s, int32_t pos, int32_t* next) {
  *next = pos;
  if (t->epsilon) {
    if (t->type == NODE_LINE_END) return pos == s->length || s->bytes[pos] == '\r' || s->bytes[pos] == '\n';
    if (t->type == NODE_LINE_BEGIN) return pos == 0;
    return true;
  }
  if (pos >= s->length) return false;
  const int32_t len = CharLengthAt(s, pos);
  *next = pos + len;
  if (t->type == NODE_ANYCHAR) return true;
  const uint32_t code = CodeAt(s, pos, len);
  if (t->type == NODE_CHARCLASS) return RgClass_Has(t->pClass, code);
  if (t->flags & kFoldBits) return CharFold_Key(code, t->flags) == t->nKey;
  return code == (t->nKey & 0xFFFFu);
}

// One attempt's view of the pattern's working memory.
struct Walker {
  nfa* pattern;
  const state* states;
  const trans* pTrans;
  uint64_t* visited;
  uint64_t nGenBits;  // the attempt's generation, in the high half of a mark
  const Subject* subject;
  match* m;
  int64_t* pSteps;    // steps left in the search
};

inline uint32_t SavedMark(const Walker* w, uint64_t mark) {
  return (mark & 0xFFFFFFFF00000000ull) == w->nGenBits ? static_cast<uint32_t>(mark) : kRegexpNoMark;
}

inline uint64_t RestoredMark(const Walker* w, uint32_t saved) {
  return saved == kRegexpNoMark ? 0 : (w->nGenBits | saved);
}

// Room for one more frame: doubles the stack up to the frame limit.
bool GrowFrames(nfa* pattern, int32_t* result) {
  const int32_t limit = pattern->nFrameLimit > 0 ? pattern->nFrameLimit : kRegexpMaxFrames;
  if (pattern->nFrameCapacity >= limit) {
    *result = kWalkTooComplex;
    return false;
  }
  int64_t grown = pattern->nFrameCapacity ? int64_t(pattern->nFrameCapacity) * 2 : 256;
  if (grown > limit) grown = limit;
  RgFrame* frames = static_cast<RgFrame*>(Mem_Realloc(pattern->pFrames, sizeof(RgFrame) * static_cast<size_t>(grown)));
  if (!frames) {
    *result = kWalkNoMemory;
    return false;
  }
  pattern->pFrames = frames;
  pattern->nFrameCapacity = static_cast<int32_t>(grown);
  return true;
}

void SetSpanStart(match* m, int32_t group, const char* at) {
  if (group < m->count && !m->spans[group].start) {
    m->spans[group].start = at;
    m->bDirty = true;
  }
}

void SetSpanEnd(match* m, int32_t group, const char* at) {
  if (group < m->count && !m->spans[group].end) {
    m->spans[group].end = at;
    m->bDirty = true;
  }
}

// The walk from state 0 at start. It is the depth-first walk in which every
// transition taken pushes a frame instead of a native call: a state's
// transitions are tried in list order, one already entered at this position on
// the current path is skipped, a failed step restores the mark it set, and
// spans are written only while a successful path unwinds, innermost first, a
// span once set staying as it is. A look-ahead returns the position where it
// stands; a negative look-ahead succeeds there when its content (with the rest
// of the pattern) fails, and fails, trying the next transition, when it does
// not. Returns the match end, or kWalkFailed, kWalkTooComplex or kWalkNoMemory.
int32_t Walk(Walker* w, int32_t start) {
  nfa* pattern = w->pattern;
  const state* states = w->states;
  const trans* T = w->pTrans;
  uint64_t* visited = w->visited;
  const Subject* s = w->subject;
  int64_t steps = *w->pSteps;
  int32_t depth = 0;
  int32_t pos = start;
  int32_t ti = 0;
  int32_t result = kWalkFailed;
  int32_t si = 0;

enter_state:
  if (states[si].final) {
    result = pos;
    goto unwind;
  }
  if (states[si].nTrans == 0) {
    result = kWalkFailed;
    goto unwind;
  }
  ti = states[si].nFirst;

try_transitions:
  for (;;) {
    const trans* t = &T[ti];
    const uint64_t here = w->nGenBits | static_cast<uint32_t>(pos);
    if (visited[ti] != here) {
      if (--steps < 0) {
        *w->pSteps = 0;
        return kWalkTooComplex;
      }
      const uint32_t saved = SavedMark(w, visited[ti]);
      visited[ti] = here;
      int32_t next = pos;
      if (PassesTest(t, s, pos, &next)) {
        if (depth == pattern->nFrameCapacity && !GrowFrames(pattern, &result)) {
          *w->pSteps = steps;
          return result;
        }
        pattern->pFrames[depth++] = {ti, pos, saved};
        si = t->nTo;
        pos = next;
        goto enter_state;
      }
      visited[ti] = RestoredMark(w, saved);
    }
    if (t->bLast) break;
    ++ti;
  }
  result = kWalkFailed;

unwind:
  while (depth > 0) {
    const RgFrame f = pattern->pFrames[depth - 1];
    const trans* t = &T[f.nTrans];
    --depth;
    if (result >= 0) {
      if (t->type == NODE_GROUP_BEGIN) {
        SetSpanStart(w->m, t->group, s->text + f.nPos);
      } else if (t->type == NODE_GROUP_END) {
        SetSpanEnd(w->m, t->group, s->text + f.nPos);
      } else if (t->type == NODE_LOOKAHEAD_BEGIN) {
        result = f.nPos;
      } else if (t->type == NODE_NEG_LOOKAHEAD_BEGIN) {
        // The content matched, so this way fails; the marks along the
        // content's path stay as they are, only this one is restored.
        visited[f.nTrans] = RestoredMark(w, f.nSaved);
        result = kWalkFailed;
        if (t->bLast) continue;
        ti = f.nTrans + 1;
        pos = f.nPos;
        goto try_transitions;
      }
      continue;
    }
    if (t->type == NODE_NEG_LOOKAHEAD_BEGIN) {
      result = f.nPos;
      continue;
    }
    visited[f.nTrans] = RestoredMark(w, f.nSaved);
    if (t->bLast) continue;
    ti = f.nTrans + 1;
    pos = f.nPos;
    goto try_transitions;
  }
  *w->pSteps = steps;
  return result;
}

// A new attempt: every mark of the last one stops counting, every span unset.
void StartAttempt(nfa* pattern, match* m) {
  if (++pattern->nGeneration == 0) {
    std::memset(pattern->visited, 0, sizeof(uint64_t) * static_cast<size_t>(pattern->table->nTrans > 0 ? pattern->table->nTrans : 1));
    pattern->nGeneration = 1;
  }
  if (m->bDirty) {
    std::memset(m->spans, 0, sizeof(span) * static_cast<size_t>(m->count));
    m->bDirty = false;
  }
}

int64_t StepBudget(const nfa* pattern, int32_t bytesLeft) {
  if (pattern->bSharedBudget) return pattern->nSharedSteps;
  if (pattern->nStepLimit > 0) return pattern->nStepLimit;
  return nfa_default_budget(bytesLeft);
}

void SpendSteps(nfa* pattern, int64_t budget, int64_t left) {
  pattern->nStepsUsed = budget - left;
  if (pattern->bSharedBudget) pattern->nSharedSteps = left;
}

// The attempt at pos; REGEXP_MATCH with span 0 set, or another result.
int32_t Attempt(nfa* pattern, const Subject* s, int32_t pos, match* m, int64_t* steps) {
  StartAttempt(pattern, m);
  Walker w = {pattern,   pattern->table->states, pattern->table->pTrans, pattern->visited,
              uint64_t(pattern->nGeneration) << 32, s, m, steps};
  const int32_t end = Walk(&w, pos);
  if (end >= 0) {
    m->spans[0].start = s->text + pos;
    m->spans[0].end = s->text + end;
    m->bDirty = true;
    return REGEXP_MATCH;
  }
  if (end == kWalkTooComplex) return REGEXP_TOO_COMPLEX;
  if (end == kWalkNoMemory) return REGEXP_NOMEMORY;
  return REGEXP_NOMATCH;
}

// Whether the attempt at pos could succeed as far as the first byte and the
// literal prefix tell.
inline bool MayStartAt(const nfa* pattern, const Subject* s, int32_t pos) {
  if (pattern->start.bFirstBytes && (pos >= s->length || !pattern->start.firstBytes[s->bytes[pos]])) return false;
  if (pattern->start.nPrefix == 0) return true;
  return pattern->start.nPrefix <= s->length - pos && std::memcmp(s->bytes + pos, pattern->start.prefix, static_cast<size_t>(pattern->start.nPrefix)) == 0;
}

bool HoldsRequiredBytes(const nfa* pattern, const Subject* s, int32_t from) {
  for (int32_t i = 0; i < pattern->start.nRequired; ++i) {
    if (!std::memchr(s->bytes + from, pattern->start.required[i], static_cast<size_t>(s->length - from))) return false;
  }
  return true;
}

// The next character start at or after pos (itself included) where a match
// may start, or the end of the subject.
inline int32_t NextCandidate(const nfa* pattern, const Subject* s, int32_t pos) {
  if (!pattern->start.bFirstBytes) return pos;
  const uint8_t* first = pattern->start.firstBytes;
  const uint8_t* b = s->bytes;
  const int32_t n = s->length;
  while (pos < n && !first[b[pos]]) {
    pos += (Char_IsLeadByte(b[pos]) && pos + 1 < n && b[pos + 1] != 0) ? 2 : 1;
  }
  return pos;
}

// The per-call check stays cheap, as searches run line by line; the whole
// table is checked once, when the pattern is built.
[[maybe_unused]] bool IsUsablePattern(const nfa* pattern) {
  return pattern && pattern->count > 0 && pattern->table && pattern->table->num >= 2 && pattern->visited;
}

bool ValidCall(const match* m, const char* pos, const nfa* pattern, const char* subject, int32_t length) {
  return m && pattern && subject && length >= 0 && m->count == pattern->count && pos >= subject && pos <= subject + length;
}

}  // namespace

match* match_new(const nfa* pattern) {
  QWIL_ASSERT(IsUsablePattern(pattern));
  const size_t size = sizeof(match) + sizeof(span) * static_cast<size_t>(pattern->count);
  match* m = static_cast<match*>(Mem_Alloc(size));
  if (!m) return nullptr;
  m->count = pattern->count;
  m->spans = reinterpret_cast<span*>(m + 1);
  std::memset(m->spans, 0, sizeof(span) * static_cast<size_t>(m->count));
  m->bDirty = false;
  return m;
}

void match_free(match* m) { Mem_Free(m); }

bool match_get_span(const match* m, int32_t i, const char** start, const char** end) {
  *start = nullptr;
  *end = nullptr;
  if (!m || i < 0 || i >= m->count) return false;
  const span sp = m->spans[i];
  if (!sp.start || !sp.end || sp.end < sp.start) return false;
  *start = sp.start;
  *end = sp.end;
  return true;
}

int32_t regexp_match_at_into(match* m, const char* pos, nfa* pattern, const char* subject, int32_t length) {
  QWIL_ASSERT(IsUsablePattern(pattern));
  if (!ValidCall(m, pos, pattern, subject, length)) return REGEXP_NOMATCH;
  const Subject s = {reinterpret_cast<const uint8_t*>(subject), subject, length};
  const int32_t p = static_cast<int32_t>(pos - subject);
  pattern->nStepsUsed = 0;
  StartAttempt(pattern, m);
  // No look for the required bytes here: it reads the rest of the line, and
  // a backward search makes one anchored attempt per character of the line.
  if ((pattern->start.bAnchored && p > 0) || !MayStartAt(pattern, &s, p)) return REGEXP_NOMATCH;
  const int64_t budget = StepBudget(pattern, length - p);
  int64_t steps = budget;
  const int32_t result = Attempt(pattern, &s, p, m, &steps);
  SpendSteps(pattern, budget, steps);
  return result;
}

int32_t regexp_search_into(match* m, const char* pos, nfa* pattern, const char* subject, int32_t length) {
  QWIL_ASSERT(IsUsablePattern(pattern));
  if (!ValidCall(m, pos, pattern, subject, length)) return REGEXP_NOMATCH;
  const Subject s = {reinterpret_cast<const uint8_t*>(subject), subject, length};
  const int32_t first = static_cast<int32_t>(pos - subject);
  pattern->nStepsUsed = 0;
  StartAttempt(pattern, m);
  // Only the line start can match an anchored pattern; the attempt at pos
  // always happens, and fails there for any later pos.
  if ((pattern->start.bAnchored && first > 0) || !HoldsRequiredBytes(pattern, &s, first)) return REGEXP_NOMATCH;
  const int64_t budget = StepBudget(pattern, length - first);
  int64_t steps = budget;
  int32_t result = REGEXP_NOMATCH;
  int32_t p = first;
  for (;;) {
    p = NextCandidate(pattern, &s, p);
    if (p > first && p >= length) break;  // the end is tried only as the first position
    if (MayStartAt(pattern, &s, p)) {
      result = Attempt(pattern, &s, p, m, &steps);
      if (result != REGEXP_NOMATCH) break;
    }
    if (pattern->start.bAnchored || p >= length) break;
    p += CharLengthAt(&s, p);
    if (p >= length) break;
  }
  SpendSteps(pattern, budget, steps);
  return result;
}

match* regexp_match_at(const char* pos, nfa* pattern, const char* subject, int32_t length, int32_t* result) {
  match* m = match_new(pattern);
  int32_t r = m ? regexp_match_at_into(m, pos, pattern, subject, length) : REGEXP_NOMEMORY;
  if (result) *result = r;
  if (r == REGEXP_MATCH) return m;
  match_free(m);
  return nullptr;
}

match* regexp_search(const char* pos, nfa* pattern, const char* subject, int32_t length, int32_t* result) {
  match* m = match_new(pattern);
  int32_t r = m ? regexp_search_into(m, pos, pattern, subject, length) : REGEXP_NOMEMORY;
  if (result) *result = r;
  if (r == REGEXP_MATCH) return m;
  match_free(m);
  return nullptr;
}
