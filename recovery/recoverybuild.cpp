#include "recovery/recoverybuild.h"

#include "editctrl/linedata.h"

namespace {

bool Before(POINT a, POINT b) { return a.y < b.y || (a.y == b.y && a.x < b.x); }

// The position n bytes of text (lines joined by CR LF) behind from, never in
// the middle of a line end; at least one line end on when from is at the end
// of a line and n allows none; the document's end when it comes first.
POINT Advance(TextData* text, POINT from, int64_t n) {
  int32_t y = from.y;
  LineCursor c = TextData_CursorAt(text, y);
  int64_t left = n;
  int32_t x = from.x;
  for (;;) {
    const int32_t length = Line_GetLength(LineCursor_Line(&c));
    if (length - x >= left) return {static_cast<int32_t>(x + left), y};
    left -= length - x;
    const bool progressed = y != from.y || length != from.x;
    if (LineCursor_IsLast(&c) || (left < 2 && progressed)) return {length, y};
    left = left < 2 ? 0 : left - 2;
    LineCursor_Next(&c);
    ++y;
    x = 0;
  }
}

bool AtEnd(const TextData* text, POINT p) {
  return p.y == text->count - 1 && p.x == Line_GetLength(TextData_GetTail(text));
}

}  // namespace

void RecoveryBuild_Start(RecoveryBuild* b) {
  b->ptDone = {0, 0};
  b->bComplete = false;
}

bool RecoveryBuild_NoteEdit(RecoveryBuild* b, RecoveryQueue* q, TextRange r, const char* text, int32_t n,
                            POINT ptEnd) {
  QWIL_ASSERT(TextRange_IsOrdered(r));
  POINT& done = b->ptDone;
  if (b->bComplete) return RecoveryQueue_AddEdit(q, r, text, n);
  if (!Before(r.start, done)) return !q->bFailed;  // only F's text behind B changed
  if (!Before(done, r.end)) {
    // The text between the edit's end and B moves to behind the new text.
    if (r.end.y == done.y) {
      done = {ptEnd.x + (done.x - r.end.x), ptEnd.y};
    } else {
      done.y += ptEnd.y - r.end.y;
    }
    return RecoveryQueue_AddEdit(q, r, text, n);
  }
  const TextRange cut = {r.start, done};
  done = r.start;
  return RecoveryQueue_AddEdit(q, cut, nullptr, 0);
}

int64_t RecoveryBuild_AddSlice(RecoveryBuild* b, RecoveryQueue* q, TextData* text, int64_t budget) {
  QWIL_ASSERT(!b->bComplete && TextData_IsPosition(text, {0, b->ptDone.y}));
  int64_t queued = 0;
  while (!AtEnd(text, b->ptDone) && queued < budget) {
    const int64_t room = budget - queued;
    const POINT to = Advance(text, b->ptDone, room < kRecordTextChunk ? room : kRecordTextChunk);
    const TextRange slice = {b->ptDone, to};
    const int32_t n = TextData_GetText(text, nullptr, slice, 0);
    char* space = RecoveryQueue_AddEditSpace(q, {b->ptDone, b->ptDone}, n);
    if (!space) return -1;
    TextData_GetText(text, space, slice, n);
    b->ptDone = to;
    queued += n;
  }
  if (AtEnd(text, b->ptDone)) {
    b->bComplete = true;
    if (!RecoveryQueue_AddDone(q, text->length, text->count)) return -1;
  }
  return queued;
}
