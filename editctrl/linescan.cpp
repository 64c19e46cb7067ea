#include "editctrl/linescan.h"

#include "tools/memory.h"

namespace {

void Place(LineScan* scan, LineData* line, int32_t index, int32_t row) {
  scan->line = line;
  scan->index = index;
  scan->row = row;
  ByteScan_Reset(&scan->scan, line);
}

}  // namespace

bool IsValidLineScanStructPtr(const LineScan* scan) {
  return scan != nullptr && IsValidLineDataHandle(scan->line) && scan->scan.line == scan->line &&
         IsValidByteScanStructPtr(&scan->scan) && 0 <= scan->index && 0 <= scan->row;
}

LineScan* LineScan_Create(TextData* text) {
  LineScan* scan = static_cast<LineScan*>(Mem_Alloc(sizeof(LineScan)));
  if (scan) LineScan_Reset(scan, text);
  return scan;
}

void LineScan_Destroy(LineScan* scan) { Mem_Free(scan); }

void LineScan_Reset(LineScan* scan, TextData* text) { Place(scan, TextData_GetHead(text), 0, 0); }

void LineScan_ResetAtRow(LineScan* scan, TextData* text, int32_t row) {
  int32_t index = 0, firstRow = 0;
  LineData* line = TextData_RowToLine(text, row, &index, &firstRow);
  Place(scan, line, index, firstRow);
}

bool LineScan_NextLine(LineScan* scan) {
  QWIL_ASSERT(IsValidLineScanStructPtr(scan));
  LineData* next = Line_GetNext(scan->line);
  if (!next) return false;
  Place(scan, next, scan->index + 1, scan->row + Line_GetRows(scan->line));
  return true;
}
