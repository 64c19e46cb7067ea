#include "editctrl/searcher.h"

#include <cstring>

#include "tools/charfold.h"
#include "tools/charrule.h"
#include "tools/memory.h"
#include "tools/platform.h"
#include "tools/regexp/regexp.h"

namespace {

struct LineCall {
  const char* line;
  int32_t length;
  int32_t offset;
  int32_t known;        // a character start at or before offset
  uint32_t nPrevClass;  // when not 0, the class of the character before offset, which is not the line's
};

// A variant's answer: a SearchStatus, with the span on SEARCH_FOUND.
typedef int32_t (*VariantProc)(Searcher* s, const LineCall* call, int32_t* pStart, int32_t* pEnd);

// The start of the character before `at`, stepping from known when it lies before at.
int32_t PrevStartFrom(const char* line, int32_t known, int32_t at) {
  const char* base = known < at ? line + known : line;
  return static_cast<int32_t>(Char_Prev(base, line + at) - line);
}

// The end half of the whole-word test: the match's last character and the
// one behind it differ in class, or the match reaches the line end.
bool EndIsWordEnd(const char* line, int32_t length, int32_t start, int32_t end) {
  if (end >= length) return true;
  const char* last = Char_Prev(line + start, line + end);
  return Char_Class(last) != Char_Class(line + end);
}

// prev is the start of the character before start (unused at the line start).
bool IsWholeWordAt(const char* line, int32_t length, int32_t start, int32_t end, int32_t prev) {
  if (start > 0 && Char_Class(line + prev) == Char_Class(line + start)) return false;
  return EndIsWordEnd(line, length, start, end);
}

// The whole-word test of a forward variant, where the character before offset
// may be given instead of read from the line.
bool IsWholeWordFrom(const LineCall* c, int32_t start, int32_t end, int32_t known) {
  if (start == c->offset && c->nPrevClass != 0) {
    return c->nPrevClass != Char_Class(c->line + start) && EndIsWordEnd(c->line, c->length, start, end);
  }
  return IsWholeWordAt(c->line, c->length, start, end, PrevStartFrom(c->line, known, start));
}

inline int32_t NextStart(const LineCall* c, int32_t at) { return at + Char_Length(c->line, c->length, at); }

int32_t PlainForward(Searcher* s, const LineCall* c, int32_t* pStart, int32_t* pEnd) {
  CharSync sync;
  CharSync_Init(&sync, c->line, c->length, c->offset);
  return PlainPattern_FindForward(&s->plain, &sync, c->offset, pStart, pEnd) ? SEARCH_FOUND : SEARCH_NOTFOUND;
}

// The last match ending at or before offset. Later starts end later, so it is
// the nearest start before offset whose match ends in time.
int32_t PlainBackward(Searcher* s, const LineCall* c, int32_t* pStart, int32_t* pEnd) {
  CharSync sync;
  CharSync_Init(&sync, c->line, c->length, 0);
  return PlainPattern_FindBackward(&s->plain, &sync, c->offset, c->offset, pStart, pEnd) ? SEARCH_FOUND
                                                                                          : SEARCH_NOTFOUND;
}

// After a match that is not a whole word the next try starts one character after its start.
int32_t PlainWordsForward(Searcher* s, const LineCall* c, int32_t* pStart, int32_t* pEnd) {
  CharSync sync;
  CharSync_Init(&sync, c->line, c->length, c->offset);
  int32_t known = c->known;
  int32_t from = c->offset;
  while (PlainPattern_FindForward(&s->plain, &sync, from, pStart, pEnd)) {
    if (*pStart == *pEnd) return SEARCH_FOUND;  // the empty string: no word to test
    if (IsWholeWordFrom(c, *pStart, *pEnd, known)) return SEARCH_FOUND;
    known = *pStart;
    from = NextStart(c, *pStart);
  }
  return SEARCH_NOTFOUND;
}

int32_t PlainWordsBackward(Searcher* s, const LineCall* c, int32_t* pStart, int32_t* pEnd) {
  CharSync sync;
  CharSync_Init(&sync, c->line, c->length, 0);
  int32_t below = c->offset;
  while (PlainPattern_FindBackward(&s->plain, &sync, below, c->offset, pStart, pEnd)) {
    if (*pStart == *pEnd) return SEARCH_FOUND;
    if (IsWholeWordAt(c->line, c->length, *pStart, *pEnd, CharSync_Prev(&sync, *pStart))) return SEARCH_FOUND;
    below = *pStart;
  }
  return SEARCH_NOTFOUND;
}

int32_t FromRegexp(int32_t result) {
  switch (result) {
    case REGEXP_MATCH: return SEARCH_FOUND;
    case REGEXP_NOMATCH: return SEARCH_NOTFOUND;
    case REGEXP_TOO_COMPLEX: return SEARCH_TOO_COMPLEX;
    default: return SEARCH_NOMEMORY;
  }
}

int32_t SpanResult(Searcher* s, const LineCall* c, int32_t result, int32_t* pStart, int32_t* pEnd) {
  if (result != REGEXP_MATCH) return FromRegexp(result);
  const char* start = nullptr;
  const char* end = nullptr;
  if (!match_get_span(s->pMatch, 0, &start, &end)) return SEARCH_NOTFOUND;
  *pStart = static_cast<int32_t>(start - c->line);
  *pEnd = static_cast<int32_t>(end - c->line);
  return SEARCH_FOUND;
}

int32_t RegexpSearch(Searcher* s, const LineCall* c, int32_t from, int32_t* pStart, int32_t* pEnd) {
  const int32_t r = regexp_search_into(s->pMatch, c->line + from, s->pRegexp, c->line, c->length);
  return SpanResult(s, c, r, pStart, pEnd);
}

int32_t RegexpAttempt(Searcher* s, const LineCall* c, int32_t at, int32_t* pStart, int32_t* pEnd) {
  const int32_t r = regexp_match_at_into(s->pMatch, c->line + at, s->pRegexp, c->line, c->length);
  return SpanResult(s, c, r, pStart, pEnd);
}

int32_t RegexpForward(Searcher* s, const LineCall* c, int32_t* pStart, int32_t* pEnd) {
  return RegexpSearch(s, c, c->offset, pStart, pEnd);
}

// A match that is empty or not a whole word sends the search on from one
// character after its start: searching again from any earlier position would
// only find it again.
int32_t RegexpWordsForward(Searcher* s, const LineCall* c, int32_t* pStart, int32_t* pEnd) {
  int32_t known = c->known;
  int32_t from = c->offset;
  for (;;) {
    const int32_t status = RegexpSearch(s, c, from, pStart, pEnd);
    if (status != SEARCH_FOUND) return status;
    if (*pEnd > *pStart && IsWholeWordFrom(c, *pStart, *pEnd, known)) return SEARCH_FOUND;
    known = *pStart;
    from = NextStart(c, *pStart);
    if (from >= c->length) return SEARCH_NOTFOUND;
  }
}

// Anchored attempts at each character start before offset, the nearest first.
// A search from the line start finds the first start that matches at all; the
// attempts before it would all fail, so they end there, and a line without a
// match costs one search instead of an attempt per character.
int32_t RegexpBackwardWith(Searcher* s, const LineCall* c, bool bWords, int32_t* pStart, int32_t* pEnd) {
  int32_t status = RegexpSearch(s, c, 0, pStart, pEnd);
  if (status != SEARCH_FOUND) return status;
  const int32_t first = *pStart;
  CharSync sync;
  CharSync_Init(&sync, c->line, c->length, 0);
  int32_t p = c->offset;
  while (p > first) {
    p = CharSync_Prev(&sync, p);
    status = RegexpAttempt(s, c, p, pStart, pEnd);
    if (status == SEARCH_TOO_COMPLEX || status == SEARCH_NOMEMORY) return status;
    if (status != SEARCH_FOUND || *pEnd == *pStart) continue;
    if (!bWords || IsWholeWordAt(c->line, c->length, *pStart, *pEnd, CharSync_Prev(&sync, *pStart))) {
      return SEARCH_FOUND;
    }
  }
  return SEARCH_NOTFOUND;
}

int32_t RegexpBackward(Searcher* s, const LineCall* c, int32_t* pStart, int32_t* pEnd) {
  return RegexpBackwardWith(s, c, false, pStart, pEnd);
}

int32_t RegexpWordsBackward(Searcher* s, const LineCall* c, int32_t* pStart, int32_t* pEnd) {
  return RegexpBackwardWith(s, c, true, pStart, pEnd);
}

// Indexed by VariantIndex.
const VariantProc kVariants[8] = {
    PlainBackward,  PlainForward,  PlainWordsBackward,  PlainWordsForward,
    RegexpBackward, RegexpForward, RegexpWordsBackward, RegexpWordsForward,
};

int32_t VariantIndex(uint32_t options, bool forward) {
  return ((options & SF_REGEXP) ? 4 : 0) + ((options & SF_WHOLEWORD) ? 2 : 0) + (forward ? 1 : 0);
}

int64_t StepsPerByte(const Searcher* s) { return s->nStepsPerByte > 0 ? s->nStepsPerByte : kRegexpStepsPerByte; }

int64_t StepCeiling(const Searcher* s) { return s->nStepCeiling > 0 ? s->nStepCeiling : kRegexpMaxSteps; }

// A pattern variant with the line's steps drawn from the account: what it
// holds plus the share of the bytes ahead. A forward match gives back the
// share of the bytes behind it, which the search going on from there draws again.
int32_t RunWithAccount(Searcher* s, const LineCall* c, int32_t* pStart, int32_t* pEnd) {
  const int64_t perByte = StepsPerByte(s);
  const int64_t ahead = s->bForward ? c->length - c->offset : c->length;
  int64_t budget = s->nStepCarry + perByte * (ahead + 1);
  if (budget > StepCeiling(s)) budget = StepCeiling(s);
  nfa_share_budget(s->pRegexp, budget);
  const int32_t status = kVariants[s->nVariant](s, c, pStart, pEnd);
  int64_t left = s->pRegexp->nSharedSteps;
  nfa_share_budget(s->pRegexp, 0);
  s->nStepsTaken += budget - left;
  if (status == SEARCH_FOUND && s->bForward) left -= perByte * (c->length - *pEnd);
  s->nStepCarry = left > 0 ? left : 0;
  return status;
}

}  // namespace

bool IsValidSearcherHandle(const Searcher* s) {
  if (!s || !IsValidPlainPattern(&s->plain)) return false;
  if (s->nVariant != VariantIndex(s->nOptions, s->bForward)) return false;
  if (((s->nOptions & SF_REGEXP) != 0) != (s->pRegexp != nullptr) || (s->pRegexp == nullptr) != (s->pMatch == nullptr)) {
    return false;
  }
  if (s->nStatus < SEARCH_NOTFOUND || s->nStatus > SEARCH_STOPPED) return false;
  if ((s->pStart == nullptr) != (s->pEnd == nullptr) || s->pStart > s->pEnd) return false;
  return s->nStepBase >= 0 && s->nStepsPerByte >= 0 && s->nStepCeiling >= 0 && s->nStepCarry >= 0 &&
         s->nStepsTaken >= 0;
}

void Searcher_SetProgress(Searcher* searcher, const TextProgress* progress, int64_t base, int64_t total) {
  ProgressTicker_Init(&searcher->progress, progress, total, kSearchProgressLines);
  searcher->nProgressBase = base;
}

Searcher* Searcher_Create(const char* pattern, int32_t length, uint32_t options, bool forward) {
  Searcher* s = static_cast<Searcher*>(Mem_Alloc(sizeof(Searcher)));
  if (!s) return nullptr;
  std::memset(s, 0, sizeof(*s));
  if (!PlainPattern_Init(&s->plain, pattern, length, options)) {
    Mem_Free(s);
    return nullptr;
  }
  s->nOptions = options;
  s->bForward = forward;
  s->nVariant = VariantIndex(options, forward);
  if (options & SF_REGEXP) {
    s->pRegexp = regexp_compile(s->plain.pBytes, options);
    s->pMatch = s->pRegexp ? match_new(s->pRegexp) : nullptr;
    if (!s->pMatch) {
      nfa_free(s->pRegexp);
      PlainPattern_Release(&s->plain);
      Mem_Free(s);
      return nullptr;
    }
  }
  s->nStatus = SEARCH_NOTFOUND;
  Searcher_SetProgress(s, nullptr, 0, 0);
  Searcher_ResetSteps(s);
  QWIL_ASSERT(IsValidSearcherHandle(s));
  return s;
}

void Searcher_Free(Searcher* searcher) {
  if (!searcher) return;
  match_free(searcher->pMatch);
  nfa_free(searcher->pRegexp);
  PlainPattern_Release(&searcher->plain);
  Mem_Free(searcher);
}

const char* Searcher_Find(Searcher* searcher, const char* line, int32_t length, int32_t offset) {
  return Searcher_FindFrom(searcher, line, length, offset, 0);
}

namespace {

const char* Run(Searcher* searcher, const char* line, int32_t length, int32_t offset, int32_t known,
                uint32_t prevClass) {
  QWIL_ASSERT(IsValidSearcherHandle(searcher));
  searcher->pStart = nullptr;
  searcher->pEnd = nullptr;
  searcher->nStatus = SEARCH_NOTFOUND;
  if (!line || length < 0) return nullptr;
  if (offset < 0) offset = 0;
  if (offset > length) offset = length;
  if (known < 0 || known > offset) known = known < 0 ? 0 : offset;
  const LineCall call = {line, length, offset, known, prevClass};
  int32_t start = 0;
  int32_t end = 0;
  searcher->nStatus = searcher->pRegexp ? RunWithAccount(searcher, &call, &start, &end)
                                        : kVariants[searcher->nVariant](searcher, &call, &start, &end);
  if (searcher->nStatus != SEARCH_FOUND) return nullptr;
  searcher->pStart = line + start;
  searcher->pEnd = line + end;
  return searcher->pStart;
}

}  // namespace

const char* Searcher_FindFrom(Searcher* searcher, const char* line, int32_t length, int32_t offset, int32_t known) {
  return Run(searcher, line, length, offset, known, 0);
}

// A line start is the start of the subject: the bytes before offset are left out.
const char* Searcher_FindAfter(Searcher* searcher, const char* line, int32_t length, int32_t offset, uint32_t prevClass) {
  if (prevClass != 0 || !line) return Run(searcher, line, length, offset, offset, prevClass);
  if (offset < 0) offset = 0;
  if (offset > length) offset = length;
  return Run(searcher, line + offset, length - offset, 0, 0, 0);
}

bool Searcher_GetMatch(const Searcher* searcher, const char** start, const char** end) {
  *start = searcher->pStart;
  *end = searcher->pEnd;
  return searcher->pStart != nullptr;
}

int32_t Searcher_GetStatus(const Searcher* searcher) { return searcher->nStatus; }

void Searcher_SetStepLimits(Searcher* searcher, int64_t base, int64_t perByte, int64_t ceiling) {
  searcher->nStepBase = base > 0 ? base : 0;
  searcher->nStepsPerByte = perByte > 0 ? perByte : 0;
  searcher->nStepCeiling = ceiling > 0 ? ceiling : 0;
  Searcher_ResetSteps(searcher);
}

void Searcher_ResetSteps(Searcher* searcher) {
  searcher->nStepCarry = searcher->nStepBase > 0 ? searcher->nStepBase : kRegexpBaseSteps;
  searcher->nStepsTaken = 0;
}

int64_t Searcher_GetStepsTaken(const Searcher* searcher) { return searcher->nStepsTaken; }

bool Search_IsWholeWord(const char* line, int32_t length, int32_t start, int32_t end) {
  if (!line || start < 0 || end <= start || end > length) return false;
  const int32_t prev = static_cast<int32_t>(Char_Prev(line, line + start) - line);
  return IsWholeWordAt(line, length, start, end, prev);
}
