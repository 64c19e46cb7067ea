// LineData: one logical line of a document: its bytes, the line end that followed
// it, and its layout (display width and the display point behind its last
// character when wrapped). Lines of a document form a doubly linked list.
#pragma once

#include <cstdint>

#include "editctrl/linebyte.h"
#include "tools/platform.h"

struct LinePool;

struct LineDataProperty {
  BYTE wrap;        // lines are wrapped at `width`
  int32_t width;    // wrap width in columns; > 0
  int32_t tabsize;  // tab stop distance in columns; > 0
};

struct LineData {
  ByteString* byte;       // the line's bytes without the line end (owned)
  LineDataProperty prop;  // the layout `width` and `ptTail` were computed with
  int32_t crlflength;     // 0..2, bytes in crlf
  char crlf[4];           // "", "\r", "\n" or "\r\n", NUL-terminated
  int32_t width;          // display width in columns as if unwrapped (current while prop.wrap)
  POINT ptTail;           // display point behind the last character: column, row within the line
  LineData* pNext;
  LineData* pPrev;
};

bool IsValidLineDataProperty(const LineDataProperty* prop);
bool IsValidLineDataHandle(const LineData* line);
bool IsValidLineStringIndex(const LineData* line, int32_t index);

// A new empty line from the pool; null when out of memory.
LineData* Line_Create(LinePool* pool, const LineDataProperty* prop);
// A new line holding n bytes of src, in a heap buffer of exactly their size, and
// the line end `crlf` (crlflength bytes); null when out of memory.
LineData* Line_CreateFilled(LinePool* pool, const LineDataProperty* prop, const char* src, int32_t n,
                            const char* crlf, int32_t crlflength);
// The same with the bytes given in two pieces, head then tail.
LineData* Line_CreateJoined(LinePool* pool, const LineDataProperty* prop, const char* head, int32_t nHead,
                            const char* tail, int32_t nTail, const char* crlf, int32_t crlflength);
// The same with bytes lent by the pool (packed, no heap header): for loading,
// where the lines are many and mostly never edited.
LineData* Line_CreateLoaded(LinePool* pool, const LineDataProperty* prop, const char* head, int32_t nHead,
                            const char* tail, int32_t nTail, const char* crlf, int32_t crlflength);
// Destroys the bytes and returns the record to the pool; the caller unlinks first.
void Line_Destroy(LinePool* pool, LineData* line);
// Releases the bytes only (the document frees its records with the pool).
void Line_ReleaseBytes(LinePool* pool, LineData* line);
// Makes room for n bytes with the terminator: the one way a line's buffer grows,
// as bytes lent by the pool must move to a heap buffer first. False, nothing
// changed, when out of memory.
bool Line_Reserve(LinePool* pool, LineData* line, int32_t n);

inline LineData* Line_GetNext(const LineData* line) { return line->pNext; }
inline LineData* Line_GetPrev(const LineData* line) { return line->pPrev; }
void Line_LinkAfter(LineData* line, LineData* existing);
void Line_Unlink(LineData* line);

inline const char* Line_GetString(const LineData* line) { return line->byte->string; }
inline int32_t Line_GetLength(const LineData* line) { return line->byte->length; }
int32_t Line_CopyRange(const LineData* line, char* dest, int32_t n, int32_t start, int32_t end);

int32_t Line_GetCharLength(const LineData* line, int32_t index);
// Code of the character at index; behind the end, the first byte of crlf as a
// signed char (13, 10, or 0 when the line has no line end).
int32_t Line_GetCharCode(const LineData* line, int32_t index);
// Cells of the character at index when it starts at column x: a tab reaches the
// next stop, other characters their byte length; 0 at or behind the end.
int32_t Line_GetCharWidth(const LineData* line, int32_t index, int32_t x);
inline int32_t Line_GetRows(const LineData* line) { return line->ptTail.y + 1; }

inline const LineDataProperty* Line_GetProp(const LineData* line) { return &line->prop; }
void Line_SetProp(LineData* line, const LineDataProperty* prop);

// Byte edits; each relayouts the line (while wrapped). False, with the line as it
// was, when its buffer cannot grow.
bool Line_InsertBytes(LinePool* pool, LineData* line, int32_t pos, const char* src, int32_t n);
bool Line_SetTail(LinePool* pool, LineData* line, int32_t pos, const char* src, int32_t n);
// Splits at column: the new line (returned, not yet linked) takes the tail and the
// old line end, the line keeps its head and gets `ending`. Null when out of memory,
// with the line unchanged.
LineData* Line_Split(LinePool* pool, LineData* line, int32_t column, const char* ending, int32_t n);
void Line_SetCrlf(LineData* line, const char* crlf, int32_t crlflength);

// Recomputes width and ptTail from the bytes (the wrap rule of ByteScan, in one
// pass); a no-op while prop.wrap is off, as the line fields are not kept then.
void Line_Relayout(LineData* line);
// Always recomputes both, whatever prop.wrap says.
void Line_ComputeLayout(LineData* line);
