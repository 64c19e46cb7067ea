#include "editctrl/search.h"

#include "editctrl/editselect.h"
#include "editctrl/linedata.h"
#include "tools/charrule.h"
#include "tools/platform.h"

namespace {

// The cursor on the line of `from` (clamped) and its column clamped to the line.
LineCursor LineOf(TextData* text, POINT from, int32_t* pX) {
  const LineCursor c = TextData_CursorAt(text, from.y);
  const int32_t length = Line_GetLength(LineCursor_Line(&c));
  *pX = from.x < 0 ? 0 : (from.x > length ? length : from.x);
  return c;
}

// A column inside a two-byte character moves to the character's end, as when
// inserted text ends with a lead byte that the next byte completes.
int32_t AlignUp(const LineData* line, int32_t x, int32_t known) {
  if (x >= Line_GetLength(line) || x <= known) return x;
  return Char_EndHolding(Line_GetString(line), known, x);
}

int32_t AlignDown(const LineData* line, int32_t x) {
  return x >= Line_GetLength(line) ? x : Char_StartHolding(Line_GetString(line), 0, x);
}

// Whether the searcher's match in this line is one the document search takes.
bool TakeMatch(const Searcher* s, const LineData* line, int32_t y, TextRange* pFound) {
  const char* start = nullptr;
  const char* end = nullptr;
  const char* str = Line_GetString(line);
  if (!Searcher_GetMatch(s, &start, &end) || end <= start || start < str || end > str + Line_GetLength(line)) {
    return false;
  }
  pFound->start = {static_cast<LONG>(start - str), y};
  pFound->end = {static_cast<LONG>(end - str), y};
  return true;
}

// A status that ends the document search without an answer.
inline bool IsNoAnswer(int32_t status) { return status == SEARCH_TOO_COMPLEX || status == SEARCH_NOMEMORY; }

// Forward from `from`, with `known` a character start on from's line at or
// before its column. Returns the document search's status.
int32_t ForwardFrom(TextData* text, Searcher* s, POINT from, int32_t known, TextRange* pFound) {
  QWIL_ASSERT(IsValidSearcherHandle(s) && s->bForward);
  int32_t x = 0;
  LineCursor c = LineOf(text, from, &x);
  if (known < 0 || known > x) known = 0;
  x = AlignUp(LineCursor_Line(&c), x, known);
  do {
    const LineData* line = LineCursor_Line(&c);
    if (!ProgressTicker_Tick(&s->progress, s->nProgressBase + LineCursor_Index(&c))) return SEARCH_STOPPED;
    Searcher_FindFrom(s, Line_GetString(line), Line_GetLength(line), x, known);
    if (IsNoAnswer(Searcher_GetStatus(s))) return Searcher_GetStatus(s);
    if (TakeMatch(s, line, LineCursor_Index(&c), pFound)) return SEARCH_FOUND;
    x = 0;
    known = 0;
  } while (LineCursor_Next(&c));
  return SEARCH_NOTFOUND;
}

int32_t BackwardFrom(TextData* text, Searcher* s, POINT from, TextRange* pFound) {
  QWIL_ASSERT(IsValidSearcherHandle(s) && !s->bForward);
  int32_t x = 0;
  LineCursor c = LineOf(text, from, &x);
  x = AlignDown(LineCursor_Line(&c), x);
  const int32_t last = TextData_GetCount(text) - 1;
  do {
    const LineData* line = LineCursor_Line(&c);
    if (!ProgressTicker_Tick(&s->progress, s->nProgressBase + last - LineCursor_Index(&c))) return SEARCH_STOPPED;
    const int32_t offset = x >= 0 ? x : Line_GetLength(line);
    Searcher_Find(s, Line_GetString(line), Line_GetLength(line), offset);
    if (IsNoAnswer(Searcher_GetStatus(s))) return Searcher_GetStatus(s);
    if (TakeMatch(s, line, LineCursor_Index(&c), pFound)) return SEARCH_FOUND;
    x = -1;
  } while (LineCursor_Prev(&c));
  return SEARCH_NOTFOUND;
}

// The document search's status becomes the searcher's, as callers read it there.
bool Finish(Searcher* s, int32_t status, POINT from, TextRange* pFound) {
  s->nStatus = status;
  if (status != SEARCH_FOUND) *pFound = {from, from};
  return status == SEARCH_FOUND;
}

typedef bool (*DocumentSearch)(TextData* text, Searcher* searcher, POINT from, TextRange* pFound);

// One searcher for the search from `from` and, when it finds nothing at all,
// the search again from `wrap`.
bool FindWrapping(TextEditorBody* body, const char* pattern, int32_t length, uint32_t options, bool forward,
                  TextRange* pFound, int32_t* pStatus, const TextProgress* progress) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  const TextRange selection = EditBody_GetSelection(body);
  TextRange found = selection;
  int32_t status = SEARCH_NOMEMORY;
  Searcher* s = Searcher_Create(pattern, length, options, forward);
  if (s) {
    Searcher_SetProgress(s, progress, 0, TextData_GetCount(body->text));
    const DocumentSearch search = forward ? Search_FindForward : Search_FindBackward;
    const POINT from = forward ? selection.end : selection.start;
    const POINT wrap = forward ? POINT{0, 0} : TextData_EndOfDocument(body->text);
    if (!search(body->text, s, from, &found) && Searcher_GetStatus(s) == SEARCH_NOTFOUND) {
      search(body->text, s, wrap, &found);
    }
    status = Searcher_GetStatus(s);
    Searcher_Free(s);
  }
  if (status != SEARCH_FOUND) found = selection;
  if (pFound) *pFound = found;
  if (pStatus) *pStatus = status;
  return status == SEARCH_FOUND;
}

}  // namespace

bool Search_FindForward(TextData* text, Searcher* searcher, POINT from, TextRange* pFound) {
  return Finish(searcher, ForwardFrom(text, searcher, from, 0, pFound), from, pFound);
}

bool Search_FindForwardFrom(TextData* text, Searcher* searcher, POINT from, int32_t known, TextRange* pFound) {
  return Finish(searcher, ForwardFrom(text, searcher, from, known, pFound), from, pFound);
}

bool Search_FindBackward(TextData* text, Searcher* searcher, POINT from, TextRange* pFound) {
  return Finish(searcher, BackwardFrom(text, searcher, from, pFound), from, pFound);
}

bool Search_FindNext(TextEditorBody* body, const char* pattern, int32_t length, uint32_t options, TextRange* pFound,
                     int32_t* pStatus, const TextProgress* progress) {
  return FindWrapping(body, pattern, length, options, true, pFound, pStatus, progress);
}

bool Search_FindPrev(TextEditorBody* body, const char* pattern, int32_t length, uint32_t options, TextRange* pFound,
                     int32_t* pStatus, const TextProgress* progress) {
  return FindWrapping(body, pattern, length, options, false, pFound, pStatus, progress);
}
