// TextData: the document. Its lines in blocks of packed records (textblock.h),
// with the counts, the layout properties all lines share, the wrapped layouts of
// the lines that have more than one row, and a cache of the last line looked
// up (by index or by display row). The design and what a line costs are in
// TEXTSTORE.md beside this file.
//
// Text enters and leaves as byte runs whose line ends are "\r\n", "\r" or "\n";
// extracted text always joins lines with "\r\n". Positions are (byte column on a
// character start, line index). A document is never empty: it has at least one
// line, which may be empty.
//
// Line records are handed out as pointers that stay valid until the next edit
// (or layout change) of the document; walks over lines use a LineCursor.
//
// Every edit is all or nothing: when memory runs out, or the result would not fit
// the 32-bit sizes, the edit returns false and the document is exactly as before.
#pragma once

#include <cstdint>

#include "editctrl/linedata.h"
#include "editctrl/textblock.h"
#include "tools/platform.h"

typedef LineDataProperty TextDataProperty;

struct TextRange {
  POINT start;
  POINT end;
};

// Bytes read from a file, lent to the lines loaded from them; a document frees
// its chunks when it is destroyed.
struct TextChunk {
  TextChunk* pNext;
  int64_t nSize;  // bytes behind this header
};

// A place in the document: a line, its block and slot, and the first line and
// first row of that block and the line's own first row.
struct LineCursor {
  const struct TextData* text;
  int32_t nBlock;
  int32_t nSlot;
  int32_t nFirst;     // index of the block's first line
  int32_t nFirstRow;  // display row of the block's first row
  int32_t nRow;       // display row of the line's first row
};

struct TextData {
  TextDataProperty prop;  // the layout of every line
  int32_t length;         // bytes of all lines, line ends not counted
  int32_t count;          // lines, >= 1
  int32_t height;         // display rows: the sum of the lines' rows while wrapped, else count
  TextBlock** ppBlocks;   // owned, in order; none is empty
  int32_t nBlocks;
  int32_t nBlockCap;
  // The last line looked up (nBlock -1 when none). Edits leave it on the first
  // line they touch, whose index and first row they never change, so lookups
  // and row arithmetic near the last place cost no walk from the ends.
  LineCursor cache;
  LayoutTable layouts;    // the layouts of lines of more than one row, while wrapped
  RowList rows;           // working memory of layouts
  char* pWindow;          // working memory of a layout after an edit
  int32_t nWindowCap;
  TextChunk* pChunks;     // bytes read from files, lent to lines; freed with the document
};

// The largest whole-text size (lines joined by CR LF) a document may reach: it
// keeps `length`, `height` and every extracted size within 32 bits (a line has at
// most one row per byte plus one, so height <= size + 1).
constexpr int32_t kTextMaxSize = INT32_MAX - 1;

bool IsValidTextDataProperty(const TextDataProperty* prop);
// Constant time: the counts, the blocks at both ends and the cache in range.
bool IsValidTextDataHandle(const TextData* text);
// Walks the whole document: every block's counts and rows, every line, every
// layout against the wrap rule, the totals and the cache. O(document); for
// tests and debugging.
bool TextData_CheckDeep(const TextData* text);

TextData* TextData_Create(const TextDataProperty* prop);  // null when out of memory
void TextData_Destroy(TextData* text);

// The line at index, clamped to 0..count-1; *pIndex (optional) gets the index used.
LineData* TextData_Lookup(TextData* text, int32_t index, int32_t* pIndex);
// The same without touching the cache, for validity checks; index must be in range.
const LineData* TextData_PeekLine(const TextData* text, int32_t index);
// The first display row of line index (clamped).
int32_t TextData_GetLineFirstRow(TextData* text, int32_t index);
// The line holding display row `row` (rows below 0 give the first line); *pIndex
// and *pFirstRow (optional) get its index and first row. Past the end it gives
// the last line.
LineData* TextData_RowToLine(TextData* text, int32_t row, int32_t* pIndex, int32_t* pFirstRow);

// Walking lines. A cursor stays valid until the next edit of the document.
LineCursor TextData_CursorAt(TextData* text, int32_t index);  // clamped, through the cache
LineCursor TextData_CursorAtRow(TextData* text, int32_t row); // the line holding the row, as RowToLine
inline LineData* LineCursor_Line(const LineCursor* c) { return &c->text->ppBlocks[c->nBlock]->aLines[c->nSlot]; }
inline int32_t LineCursor_Index(const LineCursor* c) { return c->nFirst + c->nSlot; }
bool LineCursor_IsLast(const LineCursor* c);
// To the next (previous) line; false, without moving, at the last (first).
bool LineCursor_Next(LineCursor* c);
bool LineCursor_Prev(LineCursor* c);

// Display rows of a line of the document (1 unless it is wrapped over more);
// its wrapped layout, or null for a line of one row or an unwrapped document.
int32_t TextData_LineRows(const TextData* text, const LineData* line);
const LineLayout* TextData_LineLayout(const TextData* text, const LineData* line);

// Gives every line the new properties when any of them changed. False when
// memory runs out for the wrapped layouts: the document is then laid out as
// unwrapped (with the new width and tab size), whole and valid.
bool TextData_SetProp(TextData* text, const TextDataProperty* prop);
inline const TextDataProperty* TextData_GetProp(const TextData* text) { return &text->prop; }

// Inserts n bytes at pos; *pEnd gets the position just behind them.
bool TextData_Insert(TextData* text, POINT pos, const char* bytes, int32_t n, POINT* pEnd);
bool TextData_Delete(TextData* text, TextRange range);
// Replaces the range (in either order) by n bytes; *pEnd gets the end of the new
// text, or the range's start when n is 0. The end line's tail keeps the line
// end that followed it, on the last line the new text makes, so a replacement
// undone by the reverse one gives back every line end but those inside the
// replaced text.
bool TextData_Replace(TextData* text, TextRange range, const char* bytes, int32_t n, POINT* pEnd);
bool TextData_Append(TextData* text, const char* bytes, int32_t n, POINT* pEnd);

// Copies at most n bytes of the ordered range's text (lines joined by "\r\n") to
// dest, cutting the last piece when n runs out; with dest null only counts.
// Returns the byte count; writes no terminator.
int32_t TextData_GetText(TextData* text, char* dest, TextRange range, int32_t n);
// Line's character code at the position; behind a line's last character, the first
// byte of its line end (13 or 10), 0 at the end of the document.
int32_t TextData_GetCharCode(TextData* text, POINT pos);

// Whether p is a position of the document: a line of it, a column from the
// line's start to its end, on a character start (not a character's second byte).
bool TextData_IsPosition(const TextData* text, POINT p);

POINT TextData_EndOfDocument(TextData* text);
POINT TextData_EndOfLine(TextData* text, int32_t y);
POINT TextData_StartOfLine(TextData* text, int32_t y);
POINT TextData_NextPosition(TextData* text, POINT p);
POINT TextData_PrevPosition(TextData* text, POINT p);

// Range helpers.
TextRange TextRange_Order(POINT a, POINT b);
bool TextRange_IsOrdered(TextRange range);
bool TextRange_IsEmpty(TextRange range);
bool TextData_RowsValid(const TextData* text, TextRange range);
// The part of the ordered range on line y, as columns [*pStart, *pEnd).
void TextRange_ClipToLine(TextRange range, int32_t y, int32_t lineLength, int32_t* pStart, int32_t* pEnd);
// What to repaint when a selection changes from a to b: only the changed part
// when one end stays.
TextRange TextRange_Cover(TextRange a, TextRange b);

inline int32_t TextData_GetCount(const TextData* text) { return text->count; }
inline int32_t TextData_GetHeight(const TextData* text) { return text->height; }
inline int32_t TextData_GetLength(const TextData* text) { return text->length; }
inline LineData* TextData_GetHead(const TextData* text) { return &text->ppBlocks[0]->aLines[0]; }
inline LineData* TextData_GetTail(const TextData* text) {
  TextBlock* last = text->ppBlocks[text->nBlocks - 1];
  return &last->aLines[last->nLines - 1];
}
// The whole text's size in bytes: length + 2 * (count - 1).
int32_t TextData_GetTextSize(const TextData* text);

// For the loader (textfile.cpp), which keeps the size limit itself: a new last
// line, or a line in the place of the last one (whose bytes it frees), its
// bytes already placed (lent or own), laid out here. False, the document as it
// was, when out of memory.
bool TextData_AddLastLine(TextData* text, const LineData* line);
bool TextData_SetLastLine(TextData* text, const LineData* line);
// The same as TextData_AddLastLine, without a call for the common case of
// loading: an unwrapped line of lent bytes into a last block with room.
inline bool TextData_AddLoadedLine(TextData* text, const LineData* line) {
  TextBlock* last = text->ppBlocks[text->nBlocks - 1];
  if (text->prop.wrap || last->nLines == kBlockLines) return TextData_AddLastLine(text, line);
  last->aLines[last->nLines++] = *line;
  last->nRows += 1;
  text->height += 1;
  text->count += 1;
  text->length += line->nLength;
  return true;
}
