#include "editctrl/bytescan.h"

#include "editctrl/linedata.h"
#include "tools/charrule.h"
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

namespace {

// Unwrapped, columns grow with bytes but at tabs, so the scan lands on the
// character holding x at once and only the tabs before it are stepped.
void SkipUnwrapped(ByteScan* scan, int32_t x) {
  const char* s = Line_GetString(scan->line);
  const int32_t length = Line_GetLength(scan->line);
  const int32_t tabsize = scan->line->prop.tabsize;
  const int32_t from = scan->index;
  if (x < from) return;
  const int32_t to = x >= length ? length : Char_StartHolding(s, from, x);
  int64_t column = scan->pt.x;
  int32_t at = from;
  for (int32_t t = Char_NextTab(s, to, from); t < to; t = Char_NextTab(s, to, t + 1)) {
    column += t - at;
    column += tabsize - column % tabsize;
    at = t + 1;
  }
  column += to - at;
  scan->index = to;
  scan->pt.x = column > INT32_MAX ? INT32_MAX : static_cast<int32_t>(column);
}

}  // namespace

void ByteScan_SkipTo(ByteScan* scan, int32_t x) {
  QWIL_ASSERT(IsValidByteScanStructPtr(scan));
  const LineData* line = scan->line;
  const unsigned char* s = reinterpret_cast<const unsigned char*>(Line_GetString(line));
  const int32_t length = Line_GetLength(line);
  const int32_t tabsize = line->prop.tabsize;
  const int32_t wrapWidth = line->prop.width;
  const bool wrap = line->prop.wrap != 0;
  int32_t i = scan->index;
  int32_t px = scan->pt.x;
  int32_t py = scan->pt.y;
  if (!wrap) {
    SkipUnwrapped(scan, x);
    return;
  }
  while (i < length) {
    // Length and cells of the character at i, as Line_GetCharLength and Line_GetCharWidth give them.
    int32_t a = (s[i] != 0 && Char_IsLeadByte(s[i]) && i + 1 < length && s[i + 1] != 0) ? 2 : 1;
    if (x < i + a) break;
    int32_t w = s[i] == '\t' ? tabsize - px % tabsize : a;
    int64_t next = int64_t(px) + w;
    px = next > INT32_MAX ? INT32_MAX : static_cast<int32_t>(next);
    i += a;
    if (wrap && px > 0) {
      int32_t w2 = 1;  // the line end counts one cell
      if (i < length) {
        bool two = Char_IsLeadByte(s[i]) && i + 1 < length && s[i + 1] != 0;
        w2 = s[i] == '\t' ? tabsize - px % tabsize : (two ? 2 : 1);
      }
      if (int64_t(px) + w2 >= wrapWidth) {
        px = 0;
        py += 1;
      }
    }
  }
  scan->index = i;
  scan->pt.x = px;
  scan->pt.y = py;
}

int32_t ByteScan_GetCharLength(const ByteScan* scan) { return Line_GetCharLength(scan->line, scan->index); }

int32_t ByteScan_GetCharWidth(const ByteScan* scan) {
  return Line_GetCharWidth(scan->line, scan->index, scan->pt.x);
}

int32_t ByteScan_GetCharCode(const ByteScan* scan) { return Line_GetCharCode(scan->line, scan->index); }
