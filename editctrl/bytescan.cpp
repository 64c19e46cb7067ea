#include "editctrl/bytescan.h"

#include "editctrl/linewrap.h"
#include "editctrl/textdata.h"
#include "tools/charrule.h"

namespace {

const TextDataProperty& PropOf(const ByteScan* scan) { return scan->text->prop; }

int32_t Saturate(int64_t v) { return v > INT32_MAX ? INT32_MAX : static_cast<int32_t>(v); }

// Unwrapped, columns grow with bytes but at tabs, so the scan lands on the
// character holding x at once and only the tabs before it are stepped.
void SkipUnwrapped(ByteScan* scan, int32_t x) {
  const char* s = Line_GetString(scan->line);
  const int32_t length = Line_GetLength(scan->line);
  const int32_t tabsize = PropOf(scan).tabsize;
  const int32_t from = scan->index;
  if (x < from) return;
  const int32_t to = x >= length ? length : Char_StartHolding(s, from, x);
  int64_t column = scan->pt.x;
  int32_t at = from;
  if (Line_IsTabFree(scan->line)) {
    scan->index = to;
    scan->pt.x = Saturate(column + (to - at));
    return;
  }
  for (int32_t t = Char_NextTab(s, to, from); t < to; t = Char_NextTab(s, to, t + 1)) {
    column += t - at;
    column += tabsize - column % tabsize;
    at = t + 1;
  }
  column += to - at;
  scan->index = to;
  scan->pt.x = Saturate(column);
}

void Place(ByteScan* scan, int32_t index, int32_t x, int32_t y) {
  scan->index = index;
  scan->pt.x = x;
  scan->pt.y = y;
}

}  // namespace

bool IsValidByteScanStructPtr(const ByteScan* scan) {
  return scan != nullptr && scan->text && IsValidLineDataHandle(scan->line) &&
         IsValidLineStringIndex(scan->line, scan->index);
}

void ByteScan_Reset(ByteScan* scan, const TextData* text, const LineData* line) {
  scan->line = line;
  scan->text = text;
  Place(scan, 0, 0, 0);
}

void ByteScan_ToRow(ByteScan* scan, int32_t row) {
  const LineLayout* layout = TextData_LineLayout(scan->text, scan->line);
  if (!layout || row <= 0) {
    Place(scan, 0, 0, 0);
    return;
  }
  if (row >= layout->nRows) row = layout->nRows - 1;
  Place(scan, Layout_RowStart(layout, row), 0, row);
}

bool ByteScan_AtEnd(const ByteScan* scan) { return scan->index >= Line_GetLength(scan->line); }

// The wrap rule: a character moves to the next row when it would end at or beyond
// the wrap width (the line end counting one cell), so a row holds at most width - 1
// columns. Columns saturate instead of overflowing on absurdly long unwrapped lines.
bool ByteScan_Next(ByteScan* scan) {
  QWIL_ASSERT(IsValidByteScanStructPtr(scan));
  const LineData* line = scan->line;
  const TextDataProperty& prop = PropOf(scan);
  if (scan->index >= Line_GetLength(line)) return false;
  int32_t a = Line_GetCharLength(line, scan->index);
  int64_t x = int64_t(scan->pt.x) + Line_GetCharWidth(line, scan->index, scan->pt.x, prop.tabsize);
  scan->index += a;
  scan->pt.x = Saturate(x);
  if (prop.wrap && scan->pt.x > 0) {
    int32_t w2 = Line_GetCharWidth(line, scan->index, scan->pt.x, prop.tabsize);
    if (w2 <= 0) w2 = 1;
    if (int64_t(scan->pt.x) + w2 >= prop.width) {
      scan->pt.x = 0;
      scan->pt.y += 1;
    }
  }
  return true;
}

void ByteScan_SkipTo(ByteScan* scan, int32_t x) {
  QWIL_ASSERT(IsValidByteScanStructPtr(scan));
  const TextDataProperty& prop = PropOf(scan);
  if (!prop.wrap) {
    SkipUnwrapped(scan, x);
    return;
  }
  const LineData* line = scan->line;
  const unsigned char* s = reinterpret_cast<const unsigned char*>(Line_GetString(line));
  const int32_t length = Line_GetLength(line);
  const int32_t tabsize = prop.tabsize;
  const int32_t wrapWidth = prop.width;
  // Rows wholly before x are passed by their starts.
  const LineLayout* layout = TextData_LineLayout(scan->text, line);
  if (layout && x > scan->index) {
    const int32_t row = Layout_RowOf(layout, x < length ? x : length);
    if (row > scan->pt.y) Place(scan, Layout_RowStart(layout, row), 0, row);
  }
  int32_t i = scan->index;
  int32_t px = scan->pt.x;
  int32_t py = scan->pt.y;
  while (i < length) {
    // Length and cells of the character at i, as Line_GetCharLength and Line_GetCharWidth give them.
    int32_t a = (s[i] != 0 && Char_IsLeadByte(s[i]) && i + 1 < length && s[i + 1] != 0) ? 2 : 1;
    if (x < i + a) break;
    int32_t w = s[i] == '\t' ? tabsize - px % tabsize : a;
    px = Saturate(int64_t(px) + w);
    i += a;
    if (px > 0) {
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
  Place(scan, i, px, py);
}

void ByteScan_ToEnd(ByteScan* scan) {
  const TextDataProperty& prop = PropOf(scan);
  const int32_t length = Line_GetLength(scan->line);
  if (!prop.wrap) {
    SkipUnwrapped(scan, length);
    return;
  }
  const LineLayout* layout = TextData_LineLayout(scan->text, scan->line);
  if (layout) {
    Place(scan, length, layout->nTailX, layout->nRows - 1);
  } else if (scan->pt.y == 0 && scan->pt.x == 0 && scan->index == 0) {
    int32_t width = Line_IsTabFree(scan->line) ? length : Wrap_RowWidth(Line_GetString(scan->line), length, 0, prop.tabsize);
    Place(scan, length, width, 0);
  } else {
    ByteScan_SkipTo(scan, length);
  }
}

int32_t ByteScan_GetCharLength(const ByteScan* scan) { return Line_GetCharLength(scan->line, scan->index); }

int32_t ByteScan_GetCharWidth(const ByteScan* scan) {
  return Line_GetCharWidth(scan->line, scan->index, scan->pt.x, PropOf(scan).tabsize);
}

int32_t ByteScan_GetCharCode(const ByteScan* scan) { return Line_GetCharCode(scan->line, scan->index); }
