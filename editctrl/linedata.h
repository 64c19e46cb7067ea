// LineData: one logical line of a document, packed into 16 bytes: where its
// bytes are, how many, which line end followed it, and whether it has a wrapped
// layout of more than one row (editctrl/textblock.h keeps those). Records live in
// the document's blocks, a thousand to a block, and are handed out as pointers
// that stay valid until the next edit of the document (TEXTSTORE.md).
//
// The bytes are NUL-terminated behind their length and lie in one of three
// places: in a chunk the document read from a file (lent: the line end byte
// became the terminator, the chunk is freed with the document), in a heap
// buffer of the line's own (the capacity in a small header before the bytes),
// or, for an empty line, in one shared empty string. Lent bytes may shrink in
// place; a line that grows moves to a buffer of its own of exactly the size it
// needs, which then never shrinks.
#pragma once

#include <cstdint>

#include "tools/platform.h"

struct LineDataProperty {
  BYTE wrap;        // lines are wrapped at `width`
  int32_t width;    // wrap width in columns; > 0
  int32_t tabsize;  // tab stop distance in columns; > 0
};

// The line end that followed a line in the text it came from.
enum LineEnd : uint32_t {
  LINEEND_NONE = 0,
  LINEEND_CR = 1,
  LINEEND_LF = 2,
  LINEEND_CRLF = 3,
};

struct LineData {
  char* pBytes;     // invariant: pBytes[nLength] == 0
  int32_t nLength;  // bytes, the line end not counted; >= 0
  // bits 0-1 the LineEnd, bit 2 an own heap buffer, bit 3 the bytes are known
  // to hold no tab, bits 4-31 the index + 1 of the line's wrapped layout in the
  // document's table (0: one row, or unwrapped)
  uint32_t nInfo;
};
static_assert(sizeof(LineData) == 16, "a line record costs 16 bytes");

constexpr uint32_t kLineEndMask = 3;
constexpr uint32_t kLineOwnBit = 4;
// Known tab-free, a line's columns are its bytes: mapping a caret on a long
// unwrapped line costs nothing. Lent lines are not looked at (loading would pay
// for every line); a line learns it when it gets bytes of its own, and keeps it
// while no tab is put in (a tab taken out leaves it unknown, which is only slower).
constexpr uint32_t kLineTabFreeBit = 8;
constexpr int32_t kLineLayoutShift = 4;
constexpr uint32_t kLineMaxLayoutSlot = (uint32_t(1) << (32 - kLineLayoutShift)) - 1;

bool IsValidLineDataProperty(const LineDataProperty* prop);
// Bytes present and terminated, an own buffer larger than the bytes.
bool IsValidLineDataHandle(const LineData* line);
bool IsValidLineStringIndex(const LineData* line, int32_t index);

inline const char* Line_GetString(const LineData* line) { return line->pBytes; }
inline int32_t Line_GetLength(const LineData* line) { return line->nLength; }
inline LineEnd Line_GetEnd(const LineData* line) { return static_cast<LineEnd>(line->nInfo & kLineEndMask); }
inline bool Line_IsOwn(const LineData* line) { return (line->nInfo & kLineOwnBit) != 0; }
inline bool Line_IsTabFree(const LineData* line) { return (line->nInfo & kLineTabFreeBit) != 0; }
inline uint32_t Line_GetLayoutSlot(const LineData* line) { return line->nInfo >> kLineLayoutShift; }
void Line_SetEnd(LineData* line, LineEnd end);
void Line_SetLayoutSlot(LineData* line, uint32_t slot);

// The line end's bytes ("", "\r", "\n" or "\r\n") and their count.
const char* LineEnd_Bytes(LineEnd end);
int32_t LineEnd_Length(LineEnd end);
// The kind of the n bytes of a line end (0 to 2 of them).
LineEnd LineEnd_Of(const char* crlf, int32_t n);
inline const char* Line_GetCrlf(const LineData* line) { return LineEnd_Bytes(Line_GetEnd(line)); }

// A line of no bytes (the shared empty string) and the given end, no layout.
void Line_InitEmpty(LineData* line, LineEnd end);
// A line of n bytes lent by the document (bytes[n] must be NUL); bTabFree when
// the caller saw that they hold no tab.
void Line_InitLent(LineData* line, char* bytes, int32_t n, LineEnd end, bool bTabFree);
// A line of the bytes head and tail in a buffer of its own of exactly their
// size (none when both are empty); false, nothing allocated, when out of memory.
bool Line_InitJoined(LineData* line, const char* head, int32_t nHead, const char* tail, int32_t nTail, LineEnd end);
// Frees an own buffer; the record is then an empty line with its end kept.
void Line_FreeBytes(LineData* line);

// Bytes the line may hold with its terminator without moving.
int32_t Line_GetCapacity(const LineData* line);
// Makes room for n bytes with the terminator: the one way a line's buffer
// grows, to exactly n (lent bytes and the empty string move to an own buffer
// first). False, the line as it was, when out of memory.
bool Line_Reserve(LineData* line, int32_t n);
// Replaces [start, end) by n bytes of src within the capacity (reserved before).
void Line_Replace(LineData* line, int32_t start, int32_t end, const char* src, int32_t n);
// Replaces everything from `at` on by na bytes of a and nb bytes of b (neither
// within the line's own bytes from `at` on), within the capacity.
void Line_SetTail(LineData* line, int32_t at, const char* a, int32_t na, const char* b, int32_t nb);

int32_t Line_CopyRange(const LineData* line, char* dest, int32_t n, int32_t start, int32_t end);
int32_t Line_GetCharLength(const LineData* line, int32_t index);
// Code of the character at index; behind the end, the first byte of the line
// end as a signed char (13, 10, or 0 when the line has no line end).
int32_t Line_GetCharCode(const LineData* line, int32_t index);
// Cells of the character at index when it starts at column x: a tab reaches the
// next stop, other characters their byte length; 0 at or behind the end.
int32_t Line_GetCharWidth(const LineData* line, int32_t index, int32_t x, int32_t tabsize);
