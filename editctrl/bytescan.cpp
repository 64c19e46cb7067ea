#include "editctrl/bytescan.h"

#include "editctrl/linedata.h"
#include "tools/memory.h"

bool IsValidByteScanStructPtr(const ByteScan* scan) {
  return scan != nullptr && IsValidLineDataHandle(scan->line) && IsValidLineStringIndex(scan->line, scan->index);
}

ByteScan* ByteScan_Create(LineData* line) {
  ByteScan* scan = static_cast<ByteScan*>(Mem_Alloc(sizeof(ByteScan)));
  if (!scan) return nullptr;
  ByteScan_Reset(scan, line);
  return scan;
}

void ByteScan_Destroy(ByteScan* scan) { Mem_Free(scan); }

void ByteScan_Reset(ByteScan* scan, LineData* line) {
  scan->line = line;
  scan->index = 0;
  scan->pt.x = 0;
  scan->pt.y = 0;
}

bool ByteScan_AtEnd(const ByteScan* scan) { return scan->index >= Line_GetLength(scan->line); }

// The wrap rule: a character moves to the next row when it would end at or beyond
// the wrap width (the line end counting one cell), so a row holds at most width - 1
// columns. Columns saturate instead of overflowing on absurdly long unwrapped lines.
bool ByteScan_Next(ByteScan* scan) {
  QWIL_ASSERT(IsValidByteScanStructPtr(scan));
  const LineData* line = scan->line;
  if (scan->index >= Line_GetLength(line)) return false;
  int32_t a = Line_GetCharLength(line, scan->index);
  int64_t x = int64_t(scan->pt.x) + Line_GetCharWidth(line, scan->index, scan->pt.x);
  scan->index += a;
  scan->pt.x = x > INT32_MAX ? INT32_MAX : static_cast<int32_t>(x);
  if (line->prop.wrap && scan->pt.x > 0) {
    int32_t w2 = Line_GetCharWidth(line, scan->index, scan->pt.x);
    if (w2 <= 0) w2 = 1;
    if (int64_t(scan->pt.x) + w2 >= line->prop.width) {
      scan->pt.x = 0;
      scan->pt.y += 1;
    }
  }
  return true;
}

int32_t ByteScan_GetCharLength(const ByteScan* scan) { return Line_GetCharLength(scan->line, scan->index); }

int32_t ByteScan_GetCharWidth(const ByteScan* scan) {
  return Line_GetCharWidth(scan->line, scan->index, scan->pt.x);
}

int32_t ByteScan_GetCharCode(const ByteScan* scan) { return Line_GetCharCode(scan->line, scan->index); }
