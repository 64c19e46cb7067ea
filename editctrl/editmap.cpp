// The editor body's mappings between positions, display points and pixels.
// Every answer about a line's rows comes from the document's row-aware cache, and
// every answer within a line from a ByteScan, the one place that decides tabs and
// wrapping; pixel arithmetic is done in 64 bits, since an unwrapped line can hold
// more columns than 32-bit pixels reach.
#include <cstdint>

#include "editctrl/bytescan.h"
#include "editctrl/editbody.h"
#include "editctrl/linedata.h"

namespace {

int32_t Saturate(int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// A scan stepped to the character holding byte x (or to the line's end). A
// wrapped line's stored rows take the scan to the row holding x, or its end, at once.
void ScanToIndex(ByteScan* scan, const TextData* text, const LineData* line, int32_t x) {
  ByteScan_Reset(scan, text, line);
  if (x >= Line_GetLength(line)) {
    ByteScan_ToEnd(scan);
    return;
  }
  ByteScan_SkipTo(scan, x);
}

// Where a hit lands on row q: the character it lands before. A hit lands before a
// character when it lies left of the character's middle (rounded to the left:
// a one-byte character's whole cell, a two-byte character's first cell, a tab's
// first (w + 1) / 2 cells); behind the row's end it lands where the row ends.
// Boundaries are scale * column + origin, in columns (1, 0) or pixels (cw, left).
struct RowHit {
  int64_t hit;
  int64_t scale;
  int64_t origin;
};

void ScanToRowHit(ByteScan* scan, const TextData* text, const LineData* line, int32_t q, const RowHit* h) {
  ByteScan_Reset(scan, text, line);
  ByteScan_ToRow(scan, q);
  for (;;) {
    if (scan->pt.y > q) return;
    if (scan->pt.y == q) {
      int64_t middle = int64_t(scan->pt.x) + (ByteScan_GetCharWidth(scan) + 1) / 2;
      if (h->hit < h->scale * middle + h->origin) return;
    }
    if (!ByteScan_Next(scan)) return;
  }
}

int64_t PixelX(const TextEditorBody* body, int64_t column) {
  return int64_t(EditBody_CellWidth(body)) * column + EditBody_TextRect(body).left - EditBody_GetView(body).x;
}

int64_t PixelY(const TextEditorBody* body, int64_t row) {
  return int64_t(EditBody_LineHeight(body)) * row - EditBody_GetView(body).y;
}

}  // namespace

int32_t EditBody_LineFirstRow(TextEditorBody* body, int32_t y) { return TextData_GetLineFirstRow(body->text, y); }

LineData* EditBody_RowToLine(TextEditorBody* body, int32_t row, int32_t* pIndex, int32_t* pRow) {
  if (row < 0) row = 0;
  int32_t firstRow = 0;
  LineData* line = TextData_RowToLine(body->text, row, pIndex, &firstRow);
  if (pRow) *pRow = row - firstRow;
  return line;
}

POINT EditBody_PosToDisplay(TextEditorBody* body, POINT pos) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  int32_t firstRow = TextData_GetLineFirstRow(body->text, pos.y);
  LineData* line = TextData_Lookup(body->text, pos.y, nullptr);  // the cached line: no walk
  ByteScan scan;
  ScanToIndex(&scan, body->text, line, pos.x);
  return {scan.pt.x, firstRow + scan.pt.y};
}

DisplayRange EditBody_ChangeRows(TextEditorBody* body, POINT start, int32_t endLine) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  DisplayRange rows;
  int32_t firstRow = TextData_GetLineFirstRow(body->text, start.y);
  LineData* line = TextData_Lookup(body->text, start.y, nullptr);
  ByteScan scan;
  ScanToIndex(&scan, body->text, line, start.x);
  rows.ptStart = {scan.pt.x, firstRow + scan.pt.y};
  if (endLine == start.y) {  // one line: the walk goes on from where it stands
    ByteScan_ToEnd(&scan);
    rows.ptEnd = {scan.pt.x, firstRow + scan.pt.y};
  } else {
    rows.ptEnd = EditBody_PosToDisplay(body, TextData_EndOfLine(body->text, endLine));
  }
  return rows;
}

POINT EditBody_DisplayToPos(TextEditorBody* body, POINT pt) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  int32_t index = 0, q = 0;
  LineData* line = EditBody_RowToLine(body, pt.y, &index, &q);
  RowHit h = {pt.x, 1, 0};
  ByteScan scan;
  ScanToRowHit(&scan, body->text, line, q, &h);
  return {scan.index, index};
}

POINT EditBody_RowsDown(TextEditorBody* body, POINT pos, int32_t n) {
  POINT d = EditBody_PosToDisplay(body, pos);
  int64_t row = int64_t(d.y) + n;
  int64_t last = TextData_GetHeight(body->text) - 1;
  d.y = static_cast<int32_t>(row > last ? last : (row < 0 ? 0 : row));
  return EditBody_DisplayToPos(body, d);
}

POINT EditBody_RowsUp(TextEditorBody* body, POINT pos, int32_t n) {
  POINT d = EditBody_PosToDisplay(body, pos);
  int64_t row = int64_t(d.y) - n;
  int64_t last = TextData_GetHeight(body->text) - 1;
  d.y = static_cast<int32_t>(row < 0 ? 0 : (row > last ? last : row));
  return EditBody_DisplayToPos(body, d);
}

POINT EditBody_DisplayToPixel(const TextEditorBody* body, POINT pt) {
  return {Saturate(PixelX(body, pt.x)), Saturate(PixelY(body, pt.y))};
}

POINT EditBody_PixelToPos(TextEditorBody* body, int32_t px, int32_t py) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  const POINT view = EditBody_GetView(body);
  int64_t r = (int64_t(view.y) + py) / EditBody_LineHeight(body);
  int32_t index = 0, q = 0;
  LineData* line;
  if (r < 0) {
    line = EditBody_RowToLine(body, 0, &index, nullptr);  // above the document: its first row
  } else {
    line = EditBody_RowToLine(body, Saturate(r), &index, &q);
  }
  RowHit h = {int64_t(view.x) + px, EditBody_CellWidth(body),
               int64_t(body->ebi.nLeftMargin) + EditBody_LineNumberWidth(body)};
  ByteScan scan;
  ScanToRowHit(&scan, body->text, line, q, &h);
  return {scan.index, index};
}

RECT EditBody_ChangeRect(const TextEditorBody* body, const DisplayRange* range, const RECT* clip) {
  int64_t top = PixelY(body, range->ptStart.y);
  int64_t bottom = PixelY(body, range->ptEnd.y) + EditBody_LineHeight(body);
  int64_t left = clip->left;
  int64_t right = clip->right;
  if (range->ptStart.y == range->ptEnd.y) {
    left = PixelX(body, range->ptStart.x);
    if (right < left) right = left;
  }
  RECT r;
  r.left = Saturate(left > clip->left ? left : clip->left);
  r.top = Saturate(top > clip->top ? top : clip->top);
  r.right = Saturate(right < clip->right ? right : clip->right);
  r.bottom = Saturate(bottom < clip->bottom ? bottom : clip->bottom);
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}
