#include "editctrl/linescan.h"

#include "tools/memory.h"

namespace {

void Place(LineScan* scan, const LineCursor& cursor) {
  scan->cursor = cursor;
  scan->line = LineCursor_Line(&cursor);
  scan->index = LineCursor_Index(&cursor);
  scan->row = cursor.nRow;
  ByteScan_Reset(&scan->scan, cursor.text, scan->line);
}

}  // namespace

bool IsValidLineScanStructPtr(const LineScan* scan) {
  return scan != nullptr && scan->line == LineCursor_Line(&scan->cursor) && scan->scan.line == scan->line &&
         IsValidByteScanStructPtr(&scan->scan) && 0 <= scan->index && 0 <= scan->row;
}

LineScan* LineScan_Create(TextData* text) {
  LineScan* scan = static_cast<LineScan*>(Mem_Alloc(sizeof(LineScan)));
  if (scan) LineScan_Reset(scan, text);
  return scan;
}

void LineScan_Destroy(LineScan* scan) { Mem_Free(scan); }

void LineScan_Reset(LineScan* scan, TextData* text) { Place(scan, TextData_CursorAt(text, 0)); }

void LineScan_ResetAtRow(LineScan* scan, TextData* text, int32_t row) {
  Place(scan, TextData_CursorAtRow(text, row));
}

bool LineScan_NextLine(LineScan* scan) {
  QWIL_ASSERT(IsValidLineScanStructPtr(scan));
  LineCursor next = scan->cursor;
  if (!LineCursor_Next(&next)) return false;
  Place(scan, next);
  return true;
}
