#include "editctrl/replaceall.h"

#include <cstring>

#include "editctrl/editundo.h"
#include "editctrl/linedata.h"
#include "tools/charrule.h"
#include "tools/memory.h"
#include "tools/platform.h"

namespace {

// What the replacement text does to the line it goes into.
struct Replacement {
  const char* pBytes;
  int32_t nLength;
  int32_t nLineEnds;   // line ends in it ("\r\n", "\r" or "\n" each)
  int32_t nLastLine;   // its bytes behind the last line end (all of them without one)
  uint32_t nEndClass;  // the class of its last character; 0 when it ends with a line end or is empty
  // The search can go on in the line as it was before the replacement: the
  // text ends on a character boundary (no lead byte of its own that the next
  // byte would complete), and two of it in a row cannot join into one "\r\n".
  bool bInLine;
};

Replacement DescribeReplacement(const char* bytes, int32_t n) {
  Replacement r = {bytes, n, 0, n, 0, true};
  const unsigned char* u = reinterpret_cast<const unsigned char*>(bytes);
  int32_t lastLine = 0;
  for (int32_t i = 0; i < n; ++i) {
    if (u[i] != '\r' && u[i] != '\n') continue;
    if (u[i] == '\r' && i + 1 < n && u[i + 1] == '\n') ++i;
    ++r.nLineEnds;
    lastLine = i + 1;
  }
  r.nLastLine = n - lastLine;
  int32_t last = -1;
  int32_t lastLength = 0;
  for (int32_t i = lastLine; i < n; i += lastLength) {
    last = i;
    lastLength = Char_IsLeadByte(u[i]) && i + 1 < n && u[i + 1] != 0 ? 2 : 1;
  }
  if (last >= 0) {
    r.nEndClass = Char_ClassOfCode(lastLength == 2 ? (uint32_t(u[last]) << 8) | u[last + 1] : u[last]);
    if (lastLength == 1 && Char_IsLeadByte(u[last])) r.bInLine = false;
  }
  if (n > 0 && u[0] == '\n' && u[n - 1] == '\r') r.bInLine = false;
  return r;
}

// The matches of one line and the text that replaces the part they cover:
// working memory of one replace all, grown as needed.
struct LineBatch {
  int32_t* pSpans;  // start and end of each match, in pairs
  int32_t nSpans;
  int32_t nSpanCapacity;
  char* pText;      // the replacements with the line's text between them
  int32_t nText;
  int32_t nTextCapacity;
};

bool Grow(void** p, int32_t* capacity, int64_t needed, size_t unit) {
  if (needed <= *capacity) return true;
  if (needed > INT32_MAX / 2) return false;
  int64_t grown = *capacity ? int64_t(*capacity) * 2 : 64;
  while (grown < needed) grown *= 2;
  void* q = Mem_Realloc(*p, static_cast<size_t>(grown) * unit);
  if (!q) return false;
  *p = q;
  *capacity = static_cast<int32_t>(grown);
  return true;
}

bool AddSpan(LineBatch* b, int32_t start, int32_t end) {
  void* p = b->pSpans;
  if (!Grow(&p, &b->nSpanCapacity, int64_t(b->nSpans + 1) * 2, sizeof(int32_t))) return false;
  b->pSpans = static_cast<int32_t*>(p);
  b->pSpans[2 * b->nSpans] = start;
  b->pSpans[2 * b->nSpans + 1] = end;
  ++b->nSpans;
  return true;
}

bool AddText(LineBatch* b, const char* bytes, int32_t n) {
  void* p = b->pText;
  if (!Grow(&p, &b->nTextCapacity, int64_t(b->nText) + n, 1)) return false;
  b->pText = static_cast<char*>(p);
  if (n > 0) std::memcpy(b->pText + b->nText, bytes, static_cast<size_t>(n));
  b->nText += n;
  return true;
}

// What stands before the point where the search goes on, in the line as the
// replacements made it: a line start (0) or a character of this class.
uint32_t ClassBefore(const char* line, int32_t known, int32_t at) {
  if (at == 0) return 0;
  const char* base = known < at ? line + known : line;
  return Char_Class(Char_Prev(base, line + at));
}

// After a replacement of the match [start, end) that followed the text from
// `gapStart`: what stands before the search's next start.
uint32_t ContextAfter(const Replacement* r, const char* line, int32_t gapStart, int32_t start, uint32_t before) {
  if (r->nLength > 0) return r->nLastLine > 0 ? r->nEndClass : 0;
  return start > gapStart ? ClassBefore(line, gapStart, start) : before;
}

// The matches of the line from the first one on. Each search goes on behind
// the last match in the line as it is now, told what the replacement puts
// before it; that is exactly what it would see in the line as replaced. Ends
// with SEARCH_NOTFOUND when the line holds no more.
int32_t CollectMatches(Searcher* s, const Replacement* r, const LineData* line, TextRange first, int32_t known,
                       LineBatch* b) {
  const char* str = Line_GetString(line);
  const int32_t length = Line_GetLength(line);
  b->nSpans = 0;
  if (!AddSpan(b, first.start.x, first.end.x)) return SEARCH_NOMEMORY;
  uint32_t context = ContextAfter(r, str, known, first.start.x, ClassBefore(str, known, first.start.x));
  for (int32_t from = first.end.x;;) {
    const char* start = Searcher_FindAfter(s, str, length, from, context);
    const char* end = nullptr;
    if (!start || !Searcher_GetMatch(s, &start, &end) || end == start) {
      return start || Searcher_GetStatus(s) == SEARCH_NOTFOUND ? SEARCH_NOTFOUND : Searcher_GetStatus(s);
    }
    const int32_t a = static_cast<int32_t>(start - str);
    if (!AddSpan(b, a, static_cast<int32_t>(end - str))) return SEARCH_NOMEMORY;
    context = ContextAfter(r, str, from, a, context);
    from = static_cast<int32_t>(end - str);
  }
}

// Where text inserted at p ends.
POINT Advance(POINT p, const Replacement* r) {
  if (r->nLineEnds == 0) return {p.x + r->nLength, p.y};
  return {r->nLastLine, p.y + r->nLineEnds};
}

void ReleaseChain(EditAllocator* a, EditRecord* chain) {
  while (chain) {
    EditRecord* next = chain->pNext;
    chain->pNext = nullptr;
    EditRecord_Release(a, chain);
    chain = next;
  }
}

// One undo step per match, in order: the replacement's place in the line as
// replaced, holding the matched bytes. Null when memory runs out.
EditRecord* MakeSteps(TextEditorBody* body, const Replacement* r, const char* str, const LineBatch* b, POINT at) {
  EditRecord* head = nullptr;
  EditRecord** tail = &head;
  for (int32_t i = 0; i < b->nSpans; ++i) {
    const int32_t start = b->pSpans[2 * i];
    const int32_t end = b->pSpans[2 * i + 1];
    if (i > 0) at.x += start - b->pSpans[2 * i - 1];
    const POINT after = Advance(at, r);
    EditRecord* step = EditRecord_Make(body->allocator, {at, after}, str + start, end - start);
    if (!step) {
      ReleaseChain(body->allocator, head);
      return nullptr;
    }
    *tail = step;
    tail = &step->pNext;
    at = after;
  }
  return head;
}

bool BuildText(const Replacement* r, const char* str, LineBatch* b) {
  b->nText = 0;
  for (int32_t i = 0; i < b->nSpans; ++i) {
    if (i > 0 && !AddText(b, str + b->pSpans[2 * i - 1], b->pSpans[2 * i] - b->pSpans[2 * i - 1])) return false;
    if (!AddText(b, r->pBytes, r->nLength)) return false;
  }
  return true;
}

// Replaces the collected matches of line y in one change of the document with
// their undo steps, oldest first, as one replacement after the other would
// have made them. *pLast gets the line the last replacement ends on.
int32_t ApplyBatch(TextEditorBody* body, const Replacement* r, LineBatch* b, int32_t y, int32_t* pLast, int32_t* pCount) {
  const char* str = Line_GetString(TextData_Lookup(body->text, y, nullptr));
  const TextRange range = {{b->pSpans[0], y}, {b->pSpans[2 * b->nSpans - 1], y}};
  if (!BuildText(r, str, b)) return SEARCH_NOMEMORY;
  EditRecord* steps = MakeSteps(body, r, str, b, range.start);
  if (!steps) return SEARCH_NOMEMORY;
  if (!EditBody_ReplaceRangeAsSteps(body, range, b->pText, b->nText, steps)) {
    ReleaseChain(body->allocator, steps);
    return SEARCH_NOMEMORY;
  }
  *pCount += b->nSpans;
  *pLast = body->ptCaret.y;
  return SEARCH_FOUND;
}

// The searches of a replace all over the text as it is, going on from the end
// of each match: what the run will meet before its first replacement changes
// anything, so a pattern too complex for this text is found without a change.
// (Replacements can change what later searches see, as text inserted with a
// line end puts what follows at a line start, so the run itself still takes
// everything back when it meets a search without an answer.)
int32_t DryRun(TextData* text, Searcher* s) {
  POINT from = {0, 0};
  int32_t known = 0;
  bool any = false;
  TextRange found;
  Searcher_ResetSteps(s);
  while (Search_FindForwardFrom(text, s, from, known, &found)) {
    any = true;
    from = found.end;
    known = found.start.x;
  }
  const int32_t status = Searcher_GetStatus(s);
  Searcher_ResetSteps(s);
  return status == SEARCH_NOTFOUND && any ? SEARCH_FOUND : status;
}

// Replaces match after match; the status ends the loop: SEARCH_NOTFOUND when
// all are done, or why one could not be.
int32_t ReplaceEach(TextEditorBody* body, Searcher* s, const Replacement* r, LineBatch* b, int32_t* pCount) {
  POINT from = {0, 0};
  int32_t known = 0;
  TextRange found;
  for (;;) {
    if (!Search_FindForwardFrom(body->text, s, from, known, &found)) return Searcher_GetStatus(s);
    if (r->bInLine) {
      const LineData* line = TextData_Lookup(body->text, found.start.y, nullptr);
      int32_t last = found.start.y;
      int32_t status = CollectMatches(s, r, line, found, known, b);
      if (status == SEARCH_NOTFOUND) status = ApplyBatch(body, r, b, found.start.y, &last, pCount);
      if (status != SEARCH_FOUND) return status;
      // The rest of the last line was searched: the next search starts on the line after it.
      if (last + 1 >= TextData_GetCount(body->text)) return SEARCH_NOTFOUND;
      from = {0, last + 1};
      known = 0;
      continue;
    }
    POINT end;
    if (!EditBody_ReplaceRange(body, found, r->pBytes, r->nLength, true, &end)) return SEARCH_NOMEMORY;
    ++*pCount;
    // Where the inserted text began is a character start before `end` on
    // its line, unless it held a line end: then the line starts with it.
    known = end.y == found.start.y ? found.start.x : 0;
    from = end;
  }
}

}  // namespace

bool Search_ReplaceAll(TextEditorBody* body, const char* replacement, int32_t replacementLength, const char* pattern,
                       int32_t length, uint32_t options, int32_t* pCount, int32_t* pStatus,
                       const TextProgress* progress) {
  if (pCount) *pCount = 0;
  if (EditBody_GetReadOnly(body)) {
    if (pStatus) *pStatus = SEARCH_REFUSED;
    return false;
  }
  Searcher* s = Searcher_Create(pattern, length, options, true);
  if (!s) {
    if (pStatus) *pStatus = SEARCH_NOMEMORY;
    return false;
  }
  const bool done = Search_ReplaceAllWith(body, s, replacement, replacementLength, pCount, pStatus, progress);
  Searcher_Free(s);
  return done;
}

bool Search_ReplaceAllWith(TextEditorBody* body, Searcher* searcher, const char* replacement, int32_t replacementLength,
                           int32_t* pCount, int32_t* pStatus, const TextProgress* progress) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  int32_t count = 0;
  int32_t status = SEARCH_REFUSED;
  const bool bAcceptable = !EditBody_GetReadOnly(body) && searcher && searcher->bForward && replacementLength >= 0 &&
                           (replacementLength == 0 || replacement);
  // Only pattern searches can be without an answer; a plain one always has one.
  // The progress runs over the dry run's lines, then over the replacing's.
  const int64_t lines = TextData_GetCount(body->text);
  const int64_t phases = bAcceptable && searcher->pRegexp ? 2 : 1;
  if (bAcceptable) {
    Searcher_SetProgress(searcher, progress, 0, phases * lines);
    status = phases == 2 ? DryRun(body->text, searcher) : SEARCH_FOUND;
    searcher->nProgressBase = (phases - 1) * lines;
  }
  if (status == SEARCH_FOUND) {
    const Replacement r = DescribeReplacement(replacement, replacementLength);
    LineBatch batch = {};
    EditMark mark;
    EditBody_Mark(body, &mark);
    status = ReplaceEach(body, searcher, &r, &batch, &count);
    Mem_Free(batch.pSpans);
    Mem_Free(batch.pText);
    if (status == SEARCH_NOTFOUND) {
      EditBody_Commit(body, &mark);
      if (count > 0) status = SEARCH_FOUND;
    } else {
      count = EditBody_RollBack(body, &mark) ? 0 : EditBody_StepsSince(body, &mark);
    }
  }
  if (searcher) Searcher_SetProgress(searcher, nullptr, 0, 0);
  if (pCount) *pCount = count;
  if (pStatus) *pStatus = status;
  return status == SEARCH_FOUND || status == SEARCH_NOTFOUND;
}
