// ByteScan: a walk over one line, character by character, giving each character's
// display column and wrapped row. It is the one place that decides tab expansion
// and wrapping; the row breaks of editctrl/linewrap.h are its fast equivalent for
// whole rows, and a wrapped line's stored row starts let a scan begin at any row.
#pragma once

#include <cstdint>

#include "tools/platform.h"

struct LineData;
struct TextData;

struct ByteScan {
  const LineData* line;  // borrowed, a line of text
  const TextData* text;  // borrowed: the layout properties and the line's rows
  int32_t index;         // byte index of the current character, 0..length
  POINT pt;              // column within its row, row within the line
};

bool IsValidByteScanStructPtr(const ByteScan* scan);

// At the line's start; also initialises a scan on the stack.
void ByteScan_Reset(ByteScan* scan, const TextData* text, const LineData* line);
// At the start of row `row` of the line (its last row when it has fewer).
void ByteScan_ToRow(ByteScan* scan, int32_t row);

// Steps over the current character (the wrap rule); false, without moving, at the end.
bool ByteScan_Next(ByteScan* scan);
// Steps forward while x lies behind the current character, so that the scan ends
// on the character holding byte x (or at the line's end): exactly what repeated
// ByteScan_Next gives, in one tight loop and from the row holding x, since
// mappings do it for every keystroke.
void ByteScan_SkipTo(ByteScan* scan, int32_t x);
// To the line's end: the point behind its last character.
void ByteScan_ToEnd(ByteScan* scan);
bool ByteScan_AtEnd(const ByteScan* scan);
inline POINT ByteScan_GetPoint(const ByteScan* scan) { return scan->pt; }
int32_t ByteScan_GetCharLength(const ByteScan* scan);
int32_t ByteScan_GetCharWidth(const ByteScan* scan);
int32_t ByteScan_GetCharCode(const ByteScan* scan);
