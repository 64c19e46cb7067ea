// ByteScan: a walk over one line, character by character, giving each character's
// display column and wrapped row. It is the one place that decides tab expansion
// and wrapping; Line_ComputeLayout is its fast equivalent for whole lines.
#pragma once

#include <cstdint>

#include "tools/platform.h"

struct LineData;

struct ByteScan {
  LineData* line;  // borrowed
  int32_t index;   // byte index of the current character, 0..length
  POINT pt;        // column within its row, row within the line
};

bool IsValidByteScanStructPtr(const ByteScan* scan);

ByteScan* ByteScan_Create(LineData* line);  // null when out of memory
void ByteScan_Destroy(ByteScan* scan);
void ByteScan_Reset(ByteScan* scan, LineData* line);  // also initialises a scan on the stack

// Steps over the current character (the wrap rule); false, without moving, at the end.
bool ByteScan_Next(ByteScan* scan);
// Steps forward while x lies behind the current character, so that the scan ends
// on the character holding byte x (or at the line's end): exactly what repeated
// ByteScan_Next gives, in one tight loop, since mappings do it for every keystroke.
void ByteScan_SkipTo(ByteScan* scan, int32_t x);
bool ByteScan_AtEnd(const ByteScan* scan);
inline POINT ByteScan_GetPoint(const ByteScan* scan) { return scan->pt; }
int32_t ByteScan_GetCharLength(const ByteScan* scan);
int32_t ByteScan_GetCharWidth(const ByteScan* scan);
int32_t ByteScan_GetCharCode(const ByteScan* scan);
