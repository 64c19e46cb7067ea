// TextData: the document. A doubly linked list of lines with its counts, the
// layout properties every line shares, and a one-entry cache of the last line
// looked up (by index or by display row).
//
// Text enters and leaves as byte runs whose line ends are "\r\n", "\r" or "\n";
// extracted text always joins lines with "\r\n". Positions are (byte column on a
// character start, line index). A document is never empty: it has at least one
// line, which may be empty.
//
// Every edit is all or nothing: when memory runs out, or the result would not fit
// the 32-bit sizes, the edit returns false and the document is exactly as before.
#pragma once

#include <cstdint>

#include "editctrl/linedata.h"
#include "tools/platform.h"

struct LinePool;

typedef LineDataProperty TextDataProperty;

struct TextRange {
  POINT start;
  POINT end;
};

struct TextData {
  TextDataProperty prop;  // every line carries a copy
  LineData* pHead;        // owned
  LineData* pTail;
  int32_t length;       // bytes of all lines, line ends not counted
  int32_t count;        // lines, >= 1
  int32_t height;       // display rows: sum of the lines' rows while wrapped, else count
  LineData* cache_line;  // line of the last lookup, or null
  int32_t cache_index;   // its index, or -1
  // The first display row of cache_line. Edits keep the cache pointing at the
  // first line they touch, whose index and first row they never change, so
  // lookups and row arithmetic near the last place cost no walk from the ends.
  int32_t cache_row;
  LinePool* pool;  // where the lines live (owned)
};

// The largest whole-text size (lines joined by CR LF) a document may reach: it
// keeps `length`, `height` and every extracted size within 32 bits (a line has at
// most one row per byte plus one, so height <= size + 1).
constexpr int32_t kTextMaxSize = INT32_MAX - 1;

bool IsValidTextDataProperty(const TextDataProperty* prop);
bool IsValidTextDataHandle(const TextData* text);
// Walks the whole document: links, counts, length, height, the cache's row and
// every line's layout. O(document); for tests and debugging.
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

// Gives every line the new properties when any of them changed.
void TextData_SetProp(TextData* text, const TextDataProperty* prop);
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

// Loading, which has already divided its bytes into lines: n more bytes for the
// last line, which then ends with the line end crlf (crlflength bytes).
bool TextData_EndLastLine(TextData* text, const char* bytes, int32_t n, const char* crlf, int32_t crlflength);
// A new last line of the bytes head and tail (either may be empty), packed into
// the document's pool, with the line end crlf. The line end between it and the
// line before is the one that line already has. Both are false, with the document
// as it was, when memory runs out or the whole text would pass kTextMaxSize.
bool TextData_AppendLine(TextData* text, const char* head, int32_t nHead, const char* tail, int32_t nTail,
                         const char* crlf, int32_t crlflength);

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
inline LineData* TextData_GetHead(const TextData* text) { return text->pHead; }
inline LineData* TextData_GetTail(const TextData* text) { return text->pTail; }
// The whole text's size in bytes: length + 2 * (count - 1).
int32_t TextData_GetTextSize(const TextData* text);
