#include "editctrl/textdata.h"

#include <cstring>

#include "editctrl/linepool.h"
#include "tools/charrule.h"
#include "tools/memory.h"

namespace {

bool SameProp(const TextDataProperty* a, const TextDataProperty* b) {
  return a->wrap == b->wrap && a->width == b->width && a->tabsize == b->tabsize;
}

void SetCache(TextData* text, LineData* line, int32_t index, int32_t row) {
  text->cache_line = line;
  text->cache_index = index;
  text->cache_row = row;
}

void ClearCache(TextData* text) { SetCache(text, nullptr, -1, 0); }

// A walk position: a line, its index and its first display row.
struct LineCursor {
  LineData* line;
  int32_t index;
  int32_t row;
};

void CursorForward(LineCursor* c) {
  c->row += Line_GetRows(c->line);
  c->line = Line_GetNext(c->line);
  ++c->index;
}

void CursorBack(LineCursor* c) {
  c->line = Line_GetPrev(c->line);
  --c->index;
  c->row -= Line_GetRows(c->line);
}

LineCursor HeadCursor(const TextData* text) { return {text->pHead, 0, 0}; }

LineCursor TailCursor(const TextData* text) {
  return {text->pTail, text->count - 1, text->height - Line_GetRows(text->pTail)};
}

LineCursor CacheCursor(const TextData* text) { return {text->cache_line, text->cache_index, text->cache_row}; }

void CursorToIndex(LineCursor* c, int32_t index) {
  while (c->index < index) CursorForward(c);
  while (c->index > index) CursorBack(c);
}

// The nearest of head, tail and cache to line index; ties go to the ends.
LineCursor StartForIndex(const TextData* text, int32_t index) {
  if (text->cache_line) {
    int32_t ci = text->cache_index;
    if (index == ci) return CacheCursor(text);
    if (index < ci && ci - index < index) return CacheCursor(text);
    if (index > ci && index - ci < text->count - index) return CacheCursor(text);
  }
  return index < text->count - index ? HeadCursor(text) : TailCursor(text);
}

int64_t Distance(int64_t a, int64_t b) { return a < b ? b - a : a - b; }

LineCursor StartForRow(const TextData* text, int32_t row) {
  LineCursor best = HeadCursor(text);
  LineCursor tail = TailCursor(text);
  if (Distance(row, tail.row) < Distance(row, best.row)) best = tail;
  if (text->cache_line && Distance(row, text->cache_row) < Distance(row, best.row)) best = CacheCursor(text);
  return best;
}

// The run of bytes up to the next CR or LF, and the line end behind it ("\r\n",
// "\r", "\n", or none at the end of the bytes).
struct TextRun {
  int32_t start;
  int32_t length;
  int32_t endLength;
};

TextRun NextRun(const char* bytes, int32_t n, int32_t from) {
  int32_t i = from;
  while (i < n && bytes[i] != '\r' && bytes[i] != '\n') ++i;
  TextRun run = {from, i - from, 0};
  if (i < n) run.endLength = (bytes[i] == '\r' && i + 1 < n && bytes[i + 1] == '\n') ? 2 : 1;
  return run;
}

// What a replacement brings: its line ends, the sizes of its first and last runs,
// and its bytes without line ends.
struct TextShape {
  int32_t lineEnds;
  TextRun first;
  TextRun last;
  int64_t textBytes;
};

TextShape ShapeOf(const char* bytes, int32_t n) {
  TextShape shape = {};
  shape.first = NextRun(bytes, n, 0);
  shape.last = shape.first;
  shape.textBytes = shape.first.length;
  while (shape.last.endLength > 0) {
    ++shape.lineEnds;
    shape.last = NextRun(bytes, n, shape.last.start + shape.last.length + shape.last.endLength);
    shape.textBytes += shape.last.length;
  }
  return shape;
}

void DestroyChain(LinePool* pool, LineData* first) {
  while (first) {
    LineData* next = Line_GetNext(first);
    Line_Unlink(first);
    Line_Destroy(pool, first);
    first = next;
  }
}

// The new lines a replacement with line ends brings, built (and so allocated)
// before anything in the document changes. Line i holds run i and the line end
// behind run i + 1; the last holds the last run, the tail of the replaced range's
// end line and that line's line end, which travels with the tail.
LineData* BuildChain(TextData* text, const char* bytes, int32_t n, const TextShape* shape, const LineData* end,
                     const char* tail, int32_t tailLength) {
  LineData* first = nullptr;
  LineData* last = nullptr;
  TextRun run = shape->first;
  for (int32_t i = 1; i <= shape->lineEnds; ++i) {
    TextRun next = NextRun(bytes, n, run.start + run.length + run.endLength);
    LineData* line;
    if (i < shape->lineEnds) {
      line = Line_CreateFilled(text->pool, &text->prop, bytes + next.start, next.length,
                               bytes + next.start + next.length, next.endLength);
    } else {
      line = Line_CreateJoined(text->pool, &text->prop, bytes + next.start, next.length, tail, tailLength,
                               end->crlf, end->crlflength);
    }
    if (!line) {
      DestroyChain(text->pool, first);
      return nullptr;
    }
    if (last) {
      Line_LinkAfter(line, last);
    } else {
      first = line;
    }
    last = line;
    run = next;
  }
  return first;
}

// Removes the lines after `start` up to and including `end`; returns the rows they had.
int64_t RemoveLinesAfter(TextData* text, LineData* start, const LineData* end) {
  int64_t rows = 0;
  if (start == end) return 0;
  for (;;) {
    LineData* line = Line_GetNext(start);
    bool last = (line == end);
    rows += Line_GetRows(line);
    text->count -= 1;
    text->length -= Line_GetLength(line);
    if (line == text->pTail) text->pTail = start;
    Line_Unlink(line);
    Line_Destroy(text->pool, line);
    if (last) return rows;
  }
}

// Splices a detached chain in behind `after`; returns the rows it brings.
int64_t SpliceChain(TextData* text, LineData* after, LineData* first) {
  int64_t rows = 0;
  LineData* at = after;
  while (first) {
    LineData* next = Line_GetNext(first);
    first->pNext = nullptr;
    if (next) next->pPrev = nullptr;
    Line_LinkAfter(first, at);
    rows += Line_GetRows(first);
    text->count += 1;
    text->length += Line_GetLength(first);
    if (at == text->pTail) text->pTail = first;
    at = first;
    first = next;
  }
  return rows;
}

bool PointAfter(POINT a, POINT b) { return a.y > b.y || (a.y == b.y && a.x > b.x); }

bool SamePoint(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

}  // namespace

bool IsValidTextDataProperty(const TextDataProperty* prop) { return IsValidLineDataProperty(prop); }

bool IsValidTextDataHandle(const TextData* text) {
  if (!text) return false;
  if (!IsValidTextDataProperty(&text->prop)) return false;
  if (!(0 < text->count)) return false;
  if (!IsValidLineDataHandle(text->pHead) || Line_GetPrev(text->pHead)) return false;
  if (!IsValidLineDataHandle(text->pTail) || Line_GetNext(text->pTail)) return false;
  if (!((1 == text->count) || (text->pHead != text->pTail))) return false;
  if (!((1 != text->count) || (text->pHead == text->pTail))) return false;
  if (text->cache_line && !IsValidLineDataHandle(text->cache_line)) return false;
  if (text->cache_line && !((0 <= text->cache_index) && (text->cache_index < text->count))) return false;
  if (!text->cache_line && -1 != text->cache_index) return false;
  if (text->prop.wrap && !((0 < text->height) && (text->count <= text->height))) return false;
  if (!text->prop.wrap && text->height != text->count) return false;
  return IsValidLinePoolHandle(text->pool);
}

bool TextData_CheckDeep(const TextData* text) {
  if (!IsValidTextDataHandle(text)) return false;
  int64_t count = 0, length = 0, rows = 0;
  const LineData* prev = nullptr;
  bool cacheSeen = false;
  for (const LineData* line = text->pHead; line; line = Line_GetNext(line)) {
    if (!IsValidLineDataHandle(line) || Line_GetPrev(line) != prev) return false;
    if (!SameProp(&line->prop, &text->prop)) return false;
    if (line == text->cache_line) {
      if (count != text->cache_index || rows != text->cache_row) return false;
      cacheSeen = true;
    }
    ++count;
    length += Line_GetLength(line);
    rows += Line_GetRows(line);
    prev = line;
  }
  if (prev != text->pTail || count != text->count || length != text->length || rows != text->height) return false;
  if (text->cache_line && !cacheSeen) return false;
  return length + 2 * (count - 1) <= kTextMaxSize;
}

TextData* TextData_Create(const TextDataProperty* prop) {
  QWIL_ASSERT(IsValidTextDataProperty(prop));
  TextData* text = static_cast<TextData*>(Mem_Alloc(sizeof(TextData)));
  if (!text) return nullptr;
  text->pool = LinePool_Create();
  LineData* line = text->pool ? Line_Create(text->pool, prop) : nullptr;
  if (!line) {
    LinePool_Destroy(text->pool);
    Mem_Free(text);
    return nullptr;
  }
  text->prop = *prop;
  text->pHead = line;
  text->pTail = line;
  text->length = 0;
  text->count = 1;
  text->height = Line_GetRows(line);
  ClearCache(text);
  QWIL_ASSERT(IsValidTextDataHandle(text));
  return text;
}

void TextData_Destroy(TextData* text) {
  if (!text) return;
  // The pool takes the records at once; only buffers that grew out of it are freed.
  for (LineData* line = text->pHead; line; line = Line_GetNext(line)) Line_ReleaseBytes(text->pool, line);
  LinePool_Destroy(text->pool);
  Mem_Free(text);
}

LineData* TextData_Lookup(TextData* text, int32_t index, int32_t* pIndex) {
  QWIL_ASSERT(IsValidTextDataHandle(text));
  if (index < 0) index = 0;
  if (index > text->count - 1) index = text->count - 1;
  LineCursor c = StartForIndex(text, index);
  CursorToIndex(&c, index);
  SetCache(text, c.line, c.index, c.row);
  if (pIndex) *pIndex = index;
  return c.line;
}

const LineData* TextData_PeekLine(const TextData* text, int32_t index) {
  QWIL_ASSERT(0 <= index && index < text->count);
  LineCursor c = StartForIndex(text, index);
  CursorToIndex(&c, index);
  return c.line;
}

int32_t TextData_GetLineFirstRow(TextData* text, int32_t index) {
  TextData_Lookup(text, index, nullptr);
  return text->cache_row;
}

LineData* TextData_RowToLine(TextData* text, int32_t row, int32_t* pIndex, int32_t* pFirstRow) {
  QWIL_ASSERT(IsValidTextDataHandle(text));
  if (row < 0) row = 0;
  LineCursor c = StartForRow(text, row);
  while (row >= c.row + Line_GetRows(c.line) && Line_GetNext(c.line)) CursorForward(&c);
  while (row < c.row) CursorBack(&c);
  SetCache(text, c.line, c.index, c.row);
  if (pIndex) *pIndex = c.index;
  if (pFirstRow) *pFirstRow = c.row;
  return c.line;
}

void TextData_SetProp(TextData* text, const TextDataProperty* prop) {
  QWIL_ASSERT(IsValidTextDataHandle(text) && IsValidTextDataProperty(prop));
  if (SameProp(&text->prop, prop)) return;
  int64_t rows = 0;
  int32_t index = 0;
  for (LineData* line = text->pHead; line; line = Line_GetNext(line), ++index) {
    if (line == text->cache_line) text->cache_row = static_cast<int32_t>(rows);
    Line_SetProp(line, prop);
    rows += Line_GetRows(line);
  }
  text->height = static_cast<int32_t>(rows);
  text->prop = *prop;
  QWIL_ASSERT(IsValidTextDataHandle(text));
}

bool TextData_Replace(TextData* text, TextRange range, const char* bytes, int32_t n, POINT* pEnd) {
  QWIL_ASSERT(IsValidTextDataHandle(text) && 0 <= n);
  TextRange r = TextRange_Order(range.start, range.end);
  QWIL_ASSERT(TextData_RowsValid(text, r));
  int32_t startIndex;
  LineData* start = TextData_Lookup(text, r.start.y, &startIndex);
  const int32_t startRow = text->cache_row;
  LineData* end = start;
  int32_t endIndex = startIndex;
  int64_t removedBytes = 0;  // of the lines after the start line, up to the end line
  while (endIndex < r.end.y && Line_GetNext(end)) {
    end = Line_GetNext(end);
    removedBytes += Line_GetLength(end);
    ++endIndex;
  }
  QWIL_ASSERT(IsValidLineStringIndex(start, r.start.x) && IsValidLineStringIndex(end, r.end.x));
  const int32_t sx = r.start.x;
  const int32_t ex = r.end.x;
  const int32_t tailLength = Line_GetLength(end) - ex;

  TextShape shape = ShapeOf(bytes, n);
  // Bytes that leave: the start line from sx on, the lines after it, but the end tail stays.
  int64_t deleted = int64_t(Line_GetLength(start)) - sx + removedBytes - tailLength;
  int64_t newLength = int64_t(text->length) - deleted + shape.textBytes;
  int64_t newCount = int64_t(text->count) - (endIndex - startIndex) + shape.lineEnds;
  if (newLength + 2 * (newCount - 1) > kTextMaxSize) return false;

  // Allocate everything first, so that a failure leaves the document untouched.
  int64_t startLength = shape.lineEnds == 0 ? int64_t(sx) + n + tailLength : int64_t(sx) + shape.first.length;
  if (!Line_Reserve(text->pool, start, static_cast<int32_t>(startLength) + 1)) return false;
  // Taken only now: the reserve may have moved the start line's bytes, the tail's own when one line.
  const char* tail = Line_GetString(end) + ex;
  LineData* chain = nullptr;
  if (shape.lineEnds > 0) {
    chain = BuildChain(text, bytes, n, &shape, end, tail, tailLength);
    if (!chain) return false;
  }

  // From here on nothing can fail: the start line's buffer is large enough.
  int64_t rowsBefore = Line_GetRows(start);
  bool fits;
  if (shape.lineEnds == 0) {
    if (start == end) {
      fits = ByteString_Replace(start->byte, sx, ex, bytes, n);
    } else {
      fits = ByteString_Replace(start->byte, sx, Line_GetLength(start), bytes, n) &&
             ByteString_Insert(start->byte, Line_GetLength(start), tail, tailLength);
      // The joined line ends as the end line did: undoing an insertion of
      // lines gives back the start line's own line end, the last line's none.
      Line_SetCrlf(start, end->crlf, end->crlflength);
    }
  } else {
    fits = ByteString_Replace(start->byte, sx, Line_GetLength(start), bytes, shape.first.length);
    Line_SetCrlf(start, bytes + shape.first.length, shape.first.endLength);
  }
  QWIL_ASSERT(fits);
  (void)fits;
  rowsBefore += RemoveLinesAfter(text, start, end);
  Line_Relayout(start);
  int64_t rowsAfter = Line_GetRows(start) + SpliceChain(text, start, chain);
  text->length = static_cast<int32_t>(newLength);
  text->height = static_cast<int32_t>(text->height - rowsBefore + rowsAfter);
  SetCache(text, start, startIndex, startRow);
  if (pEnd) {
    if (shape.lineEnds == 0) {
      *pEnd = {sx + n, startIndex};
    } else {
      *pEnd = {shape.last.length, startIndex + shape.lineEnds};
    }
  }
  QWIL_ASSERT(IsValidTextDataHandle(text) && text->count == newCount);
  return true;
}

bool TextData_Insert(TextData* text, POINT pos, const char* bytes, int32_t n, POINT* pEnd) {
  return TextData_Replace(text, {pos, pos}, bytes, n, pEnd);
}

bool TextData_Delete(TextData* text, TextRange range) { return TextData_Replace(text, range, nullptr, 0, nullptr); }

bool TextData_Append(TextData* text, const char* bytes, int32_t n, POINT* pEnd) {
  return TextData_Insert(text, TextData_EndOfDocument(text), bytes, n, pEnd);
}

namespace {

// Whether the whole text may grow by `bytes` of line text and `lineEnds` CR LF pairs.
bool RoomFor(const TextData* text, int64_t bytes, int32_t lineEnds) {
  return int64_t(TextData_GetTextSize(text)) + bytes + 2 * int64_t(lineEnds) <= kTextMaxSize;
}

}  // namespace

bool TextData_EndLastLine(TextData* text, const char* bytes, int32_t n, const char* crlf, int32_t crlflength) {
  QWIL_ASSERT(IsValidTextDataHandle(text) && 0 <= n);
  if (!RoomFor(text, n, 0)) return false;
  LineData* tail = text->pTail;
  const int32_t rowsBefore = Line_GetRows(tail);
  if (!Line_InsertBytes(text->pool, tail, Line_GetLength(tail), bytes, n)) return false;
  Line_SetCrlf(tail, crlf, crlflength);
  text->length += n;
  text->height += Line_GetRows(tail) - rowsBefore;
  QWIL_ASSERT(IsValidTextDataHandle(text));
  return true;
}

bool TextData_AppendLine(TextData* text, const char* head, int32_t nHead, const char* tail, int32_t nTail,
                         const char* crlf, int32_t crlflength) {
  QWIL_ASSERT(IsValidTextDataHandle(text) && 0 <= nHead && 0 <= nTail);
  if (!RoomFor(text, int64_t(nHead) + nTail, 1)) return false;
  LineData* line = Line_CreateLoaded(text->pool, &text->prop, head, nHead, tail, nTail, crlf, crlflength);
  if (!line) return false;
  // A line behind the last one changes no index or first row: the cache stays.
  Line_LinkAfter(line, text->pTail);
  text->pTail = line;
  text->count += 1;
  text->length += Line_GetLength(line);
  text->height += Line_GetRows(line);
  QWIL_ASSERT(IsValidTextDataHandle(text));
  return true;
}

int32_t TextData_GetText(TextData* text, char* dest, TextRange range, int32_t n) {
  QWIL_ASSERT(IsValidTextDataHandle(text));
  TextRange r = TextRange_Order(range.start, range.end);
  int32_t y;
  LineData* line = TextData_Lookup(text, r.start.y, &y);
  int64_t total = 0;
  for (; line; line = Line_GetNext(line), ++y) {
    int32_t from, to;
    TextRange_ClipToLine(r, y, Line_GetLength(line), &from, &to);
    if (dest) {
      int64_t room = int64_t(n) - total;
      if (room <= 0) break;
      total += Line_CopyRange(line, dest + total, static_cast<int32_t>(room), from, to);
    } else if (to > from) {
      total += to - from;
    }
    if (y >= r.end.y || !Line_GetNext(line)) break;
    for (int i = 0; i < 2; ++i) {
      if (dest && total >= n) break;
      if (dest) dest[total] = "\r\n"[i];
      ++total;
    }
  }
  return static_cast<int32_t>(total);
}

int32_t TextData_GetCharCode(TextData* text, POINT pos) {
  return Line_GetCharCode(TextData_Lookup(text, pos.y, nullptr), pos.x);
}

bool TextData_IsPosition(const TextData* text, POINT p) {
  if (p.y < 0 || p.y >= text->count || p.x < 0) return false;
  const LineData* line = TextData_PeekLine(text, p.y);
  return p.x <= Line_GetLength(line) && !Char_IsSecondByte(Line_GetString(line), 0, p.x);
}

POINT TextData_EndOfDocument(TextData* text) { return {Line_GetLength(text->pTail), text->count - 1}; }

POINT TextData_EndOfLine(TextData* text, int32_t y) { return {Line_GetLength(TextData_Lookup(text, y, nullptr)), y}; }

POINT TextData_StartOfLine(TextData*, int32_t y) { return {0, y}; }

POINT TextData_NextPosition(TextData* text, POINT p) {
  LineData* line = TextData_Lookup(text, p.y, nullptr);
  if (p.x < Line_GetLength(line)) return {p.x + Line_GetCharLength(line, p.x), p.y};
  if (p.y + 1 < text->count) return {0, p.y + 1};
  return p;
}

POINT TextData_PrevPosition(TextData* text, POINT p) {
  if (p.x > 0) {
    const char* s = Line_GetString(TextData_Lookup(text, p.y, nullptr));
    return {static_cast<LONG>(Char_Prev(s, s + p.x) - s), p.y};
  }
  if (p.y - 1 >= 0) return TextData_EndOfLine(text, p.y - 1);
  return p;
}

TextRange TextRange_Order(POINT a, POINT b) {
  if (PointAfter(a, b)) return {b, a};
  return {a, b};
}

bool TextRange_IsOrdered(TextRange range) { return !PointAfter(range.start, range.end); }

bool TextRange_IsEmpty(TextRange range) { return SamePoint(range.start, range.end); }

bool TextData_RowsValid(const TextData* text, TextRange range) {
  return 0 <= range.start.y && range.start.y < text->count && 0 <= range.end.y && range.end.y < text->count;
}

void TextRange_ClipToLine(TextRange range, int32_t y, int32_t lineLength, int32_t* pStart, int32_t* pEnd) {
  const POINT& s = range.start;
  const POINT& e = range.end;
  if (s.y == y && e.y == y) {
    *pStart = s.x;
    *pEnd = e.x;
  } else if (s.y < y && y < e.y) {
    *pStart = 0;
    *pEnd = lineLength;
  } else if (s.y == y && y < e.y) {
    *pStart = s.x;
    *pEnd = lineLength;
  } else if (s.y < y && y == e.y) {
    *pStart = 0;
    *pEnd = e.x;
  } else {
    *pStart = 0;
    *pEnd = 0;
  }
}

TextRange TextRange_Cover(TextRange a, TextRange b) {
  if (SamePoint(a.start, b.start)) return TextRange_Order(a.end, b.end);
  if (SamePoint(a.end, b.end)) return TextRange_Order(a.start, b.start);
  if (TextRange_IsEmpty(b)) return a;
  if (TextRange_IsEmpty(a)) return b;
  POINT from = PointAfter(a.start, b.start) ? b.start : a.start;
  POINT to = PointAfter(a.end, b.end) ? a.end : b.end;
  return {from, to};
}

int32_t TextData_GetTextSize(const TextData* text) { return text->length + 2 * (text->count - 1); }
