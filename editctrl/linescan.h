// LineScan: a walk over a document line by line and, within each line, character
// by character: the current line, its index, the display row of its first row and
// a ByteScan over it. Painting walks the lines that meet the update rectangle with
// it, the printer the whole document. Valid until the document is edited.
#pragma once

#include <cstdint>

#include "editctrl/bytescan.h"
#include "editctrl/textdata.h"

struct LineScan {
  LineCursor cursor;  // where line stands in the document
  LineData* line;     // borrowed
  ByteScan scan;      // over line
  int32_t index;      // line index
  int32_t row;        // display row of the line's first row
};

bool IsValidLineScanStructPtr(const LineScan* scan);

LineScan* LineScan_Create(TextData* text);  // at the first line; null when out of memory
void LineScan_Destroy(LineScan* scan);
void LineScan_Reset(LineScan* scan, TextData* text);  // also initialises a scan on the stack
// At the line holding display row `row` (clamped into the document), found by the
// document's row cache rather than by a walk from the head.
void LineScan_ResetAtRow(LineScan* scan, TextData* text, int32_t row);
// To the start of the next line; false, without moving, at the last line.
bool LineScan_NextLine(LineScan* scan);
// Whether the scan's line is the document's last.
inline bool LineScan_IsLastLine(const LineScan* scan) { return LineCursor_IsLast(&scan->cursor); }
