#include "editctrl/editpaint.h"

#include <cstdio>

#include "editctrl/editselect.h"
#include "editctrl/linedata.h"
#include "editctrl/linescan.h"
#include "tools/charrule.h"

namespace {

constexpr char kEofMark[] = "[EOF]";
constexpr int32_t kEofCells = sizeof(kEofMark) - 1;
constexpr uint32_t kCodeTab = 9;
constexpr uint32_t kCodeSpace = 32;
constexpr uint32_t kCodeZenSpace = 0x8140;

int32_t Saturate(int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

int32_t AtLeast(int32_t v, int32_t least) { return v < least ? least : v; }

// The state of one paint: where it may draw, the cell grid in pixels, the selection.
struct Painter {
  TextEditorBody* body;
  const ViewStyle* style;
  const DrawSeam* seam;
  RECT rcClip;        // nothing is drawn outside it
  int32_t cw;         // cell width
  int32_t lh;         // line height
  int64_t originX;    // pixel x of column 0
  int64_t viewY;      // document pixel at the client's top
  TextRange sel;      // ordered selection
  bool bSelection;    // it is not empty
};

struct Box {
  int64_t left, top, right, bottom;
};

bool Meets(const RECT& clip, const Box& b) {
  return b.left < clip.right && clip.left < b.right && b.top < clip.bottom && clip.top < b.bottom;
}

int64_t CellLeft(const Painter* p, int64_t column) { return p->originX + int64_t(p->cw) * column; }

int64_t RowTop(const Painter* p, int64_t row) { return int64_t(p->lh) * row - p->viewY; }

Box CellBox(const Painter* p, int64_t column, int64_t row, int64_t cells) {
  int64_t left = CellLeft(p, column);
  int64_t top = RowTop(p, row);
  return {left, top, left + int64_t(p->cw) * cells, top + p->lh};
}

void Fill(const Painter* p, const Box& b, COLORREF color) {
  RECT r;
  r.left = Saturate(b.left > p->rcClip.left ? b.left : p->rcClip.left);
  r.top = Saturate(b.top > p->rcClip.top ? b.top : p->rcClip.top);
  r.right = Saturate(b.right < p->rcClip.right ? b.right : p->rcClip.right);
  r.bottom = Saturate(b.bottom < p->rcClip.bottom ? b.bottom : p->rcClip.bottom);
  if (r.left >= r.right || r.top >= r.bottom) return;
  p->seam->pfnFillRect(p->seam->pContext, &r, color);
}

// Strokes that stay outside the clip are left out.
void Polyline(const Painter* p, const POINT* points, int32_t count, COLORREF color) {
  Box b = {points[0].x, points[0].y, points[0].x, points[0].y};
  for (int32_t i = 1; i < count; ++i) {
    b.left = points[i].x < b.left ? points[i].x : b.left;
    b.top = points[i].y < b.top ? points[i].y : b.top;
    b.right = points[i].x > b.right ? points[i].x : b.right;
    b.bottom = points[i].y > b.bottom ? points[i].y : b.bottom;
  }
  b.right += 1;  // the box of the pixels, right and bottom exclusive
  b.bottom += 1;
  if (!Meets(p->rcClip, b)) return;
  p->seam->pfnPolyline(p->seam->pContext, points, count, color);
}

// The text standing in the cells of b, drawn at b's top-left corner and kept
// within b (and the clip).
void Text(const Painter* p, const Box& b, const char* bytes, int32_t n, COLORREF color) {
  RECT clip;
  clip.left = Saturate(b.left > p->rcClip.left ? b.left : p->rcClip.left);
  clip.top = Saturate(b.top > p->rcClip.top ? b.top : p->rcClip.top);
  clip.right = Saturate(b.right < p->rcClip.right ? b.right : p->rcClip.right);
  clip.bottom = Saturate(b.bottom < p->rcClip.bottom ? b.bottom : p->rcClip.bottom);
  p->seam->pfnText(p->seam->pContext, Saturate(b.left), Saturate(b.top), &clip, bytes, n, color);
}

// A character code page 932 has no glyph for: a C0 control (the tab is a
// mark of its own), DEL, 0x80, 0xA0 and 0xFD to 0xFF, a lead byte standing
// alone, and a lead byte whose second byte can be no trail byte. Fonts draw
// them as a box of their own width, wider than the cell, or not at all; the
// editor shows each of their bytes as the control mark instead.
bool HasNoGlyph(const char* bytes, int32_t n) {
  const unsigned char b = static_cast<unsigned char>(bytes[0]);
  if (n == 2) {
    const unsigned char t = static_cast<unsigned char>(bytes[1]);
    return t < 0x40 || t == 0x7F || t > 0xFC;
  }
  return b < 0x20 || b == 0x7F || b == 0x80 || b == 0xA0 || b >= 0xFD || Char_IsLeadByte(b);
}

// The marks; (x, y) is the top-left corner of the character's first cell.
void DrawSpaceMark(const Painter* p, int32_t x, int32_t y) {
  const int32_t cw = p->cw, lh = p->lh;
  int32_t dx = cw / 8 > 1 ? cw / 8 : 2;
  int32_t dy = lh / 4 > 1 ? lh / 4 : 2;
  POINT pts[] = {{x + cw - dx, y + lh - 2 * dy}, {x + cw - dx, y + lh - dy}, {x + dx, y + lh - dy},
                 {x + dx, y + lh - 2 * dy}};
  Polyline(p, pts, 4, p->style->crSpace);
}

void DrawTabMark(const Painter* p, int32_t x, int32_t y) {
  const int32_t cw = p->cw, lh = p->lh;
  int32_t a = AtLeast(cw / 8, 1);
  int32_t c = AtLeast(lh / 8, 2);
  int32_t base = y + lh - 2 * c;
  POINT shaft[] = {{x + a, base}, {x + cw - a, base}, {x + cw - 3 * a, base - 3 * a}};
  POINT barb[] = {{x + cw - a, base}, {x + cw - 3 * a, base + 3 * a}};
  Polyline(p, shaft, 3, p->style->crTab);
  Polyline(p, barb, 2, p->style->crTab);
}

void DrawZenSpaceMark(const Painter* p, int32_t x, int32_t y) {
  const int32_t cw = p->cw, lh = p->lh;
  int32_t dx = cw * 2 / 8 > 1 ? cw * 2 / 8 : 2;
  int32_t dy = lh / 8 > 1 ? lh / 8 : 2;
  int32_t x1 = x + 2 * cw - dx;
  int32_t y1 = y + dy;
  POINT pts[] = {{x1, y1}, {x1, y + lh - dy}, {x + dx, y + lh - dy}, {x + dx, y1}, {x1, y1}};
  Polyline(p, pts, 5, p->style->crZenSpace);
}

void DrawLineEndMark(const Painter* p, int32_t x, int32_t y) {
  const int32_t cw = p->cw, lh = p->lh;
  int32_t a = AtLeast(cw * 2 / 3, 1);
  int32_t t = AtLeast(lh / 4, 1);
  int32_t b = AtLeast(lh * 3 / 4, 1);
  int32_t l = AtLeast(cw / 3, 1);
  POINT pts[] = {{x + a, y + t}, {x + a, y + b}, {x + 1, y + b}, {x + l, y + b - l}};
  Polyline(p, pts, 4, p->style->crLineEnd);
}

// A small crossed box standing in one cell, the sign of a character that
// cannot be shown; inset so that it stays inside the cell whatever the stroke
// width. One polyline: the frame, then both diagonals.
void DrawControlMark(const Painter* p, int32_t x, int32_t y) {
  const int32_t cw = p->cw, lh = p->lh;
  int32_t dx = AtLeast(cw / 8, 1);
  int32_t left = x + dx, right = x + cw - 1 - dx;
  int32_t top = y + AtLeast(lh / 4, 1), bottom = y + lh - 1 - AtLeast(lh / 8, 1);
  POINT pts[] = {{left, top},     {right, top}, {right, bottom}, {left, bottom},
                 {left, top},     {right, bottom}, {right, top}, {left, bottom}};
  Polyline(p, pts, 8, p->style->crEof);
}

bool PointBefore(POINT a, POINT b) { return a.y < b.y || (a.y == b.y && a.x < b.x); }

bool InSelection(const Painter* p, POINT pos) {
  return p->bSelection && !PointBefore(pos, p->sel.start) && PointBefore(pos, p->sel.end);
}

// start <= pos <= end: the characters whose background the selection may fill.
bool InSelectionRun(const Painter* p, POINT pos) {
  return !PointBefore(pos, p->sel.start) && !PointBefore(p->sel.end, pos);
}

// The row, within the selection's last line, that holds the selection's end. Rows
// of earlier lines all lie above it. Found on the line itself: the end may be far
// from the rows being painted.
int32_t SelectionEndRow(const Painter* p, const LineScan* ls) {
  if (ls->index != p->sel.end.y) return INT32_MAX;
  ByteScan scan;
  ByteScan_Reset(&scan, ls->scan.text, ls->line);
  ByteScan_SkipTo(&scan, p->sel.end.x);
  return scan.pt.y;
}

// Fills the run from S to the end of P's character; on the selection end's row
// P's own cell stays unfilled (the character at the end, or the last line's end).
void FillRun(const Painter* p, const LineScan* ls, POINT s, POINT last, int32_t w, int32_t endRow) {
  if (last.y >= endRow) w = 0;
  Box b = CellBox(p, last.x, ls->row + last.y, w);
  b.left = CellLeft(p, s.x);
  if (b.right > b.left) Fill(p, b, p->style->crSelBack);
}

// Each row of the selection is filled from its first selected cell to the end of
// its last selected character; a line whose line end is selected gets one cell
// more, and the free cells at the right end of a wrapped row stay unfilled.
void PaintSelection(const Painter* p, LineScan* ls) {
  if (!p->bSelection || ls->index < p->sel.start.y || ls->index > p->sel.end.y) return;
  ByteScan* scan = &ls->scan;
  ByteScan_Reset(scan, ls->scan.text, ls->line);
  while (!InSelectionRun(p, {scan->index, ls->index})) {
    if (!ByteScan_Next(scan)) return;
  }
  const int32_t endRow = SelectionEndRow(p, ls);
  POINT s = scan->pt;
  POINT last = scan->pt;
  for (;;) {
    int32_t w = AtLeast(ByteScan_GetCharWidth(scan), 1);  // the line end counts one cell
    bool stepped = ByteScan_Next(scan);
    bool pastEnd = ls->index == p->sel.end.y && scan->index > p->sel.end.x;
    if (!stepped || scan->pt.y != s.y || pastEnd) {
      FillRun(p, ls, s, last, w, endRow);
      s = scan->pt;
    }
    last = scan->pt;
    if (!stepped || pastEnd) return;
  }
}

void PaintChar(const Painter* p, const LineScan* ls) {
  const ByteScan* scan = &ls->scan;
  uint32_t code = static_cast<uint32_t>(ByteScan_GetCharCode(scan));
  int32_t row = ls->row + scan->pt.y;
  Box cell = CellBox(p, scan->pt.x, row, ByteScan_GetCharWidth(scan));
  if (!Meets(p->rcClip, cell)) return;
  int32_t x = Saturate(cell.left), y = Saturate(cell.top);
  const ViewStyle* style = p->style;
  const char* bytes = Line_GetString(ls->line) + scan->index;
  const int32_t n = ByteScan_GetCharLength(scan);
  // Tabs and spaces are never drawn as text: without their mark they show only
  // the background. The marks sit in their own cells, which must meet the clip.
  if (code == kCodeTab) {
    if (style->bShowTab && Meets(p->rcClip, CellBox(p, scan->pt.x, row, 1))) DrawTabMark(p, x, y);
  } else if (code == kCodeSpace) {
    if (style->bShowSpace) DrawSpaceMark(p, x, y);
  } else if (code == kCodeZenSpace) {
    if (style->bShowZenSpace) DrawZenSpaceMark(p, x, y);
  } else if (HasNoGlyph(bytes, n)) {
    for (int32_t i = 0; i < n; ++i) {
      if (Meets(p->rcClip, CellBox(p, scan->pt.x + i, row, 1))) DrawControlMark(p, x + i * p->cw, y);
    }
  } else {
    bool selected = InSelection(p, {scan->index, ls->index});
    Text(p, cell, bytes, n, selected ? style->crSelText : style->crText);
  }
}

// Behind the last character: the line-end mark, or "[EOF]" behind the last line.
void PaintLineEnd(const Painter* p, const LineScan* ls) {
  POINT tail = ls->scan.pt;
  bool last = LineScan_IsLastLine(ls);
  int32_t cells = last ? kEofCells : 1;
  Box box = CellBox(p, tail.x, ls->row + tail.y, cells);
  if (!Meets(p->rcClip, box)) return;
  if (last && p->style->bShowEof) {
    Text(p, box, kEofMark, kEofCells, p->style->crEof);
  } else if (!last && p->style->bShowLineEnd) {
    DrawLineEndMark(p, Saturate(box.left), Saturate(box.top));
  }
}

// The characters of the line's rows first..last (display rows) only: a long
// wrapped line is entered at its first visible row and left after its last.
void PaintLine(const Painter* p, LineScan* ls, int32_t first, int32_t last) {
  PaintSelection(p, ls);
  ByteScan_Reset(&ls->scan, ls->scan.text, ls->line);
  if (first > ls->row) ByteScan_ToRow(&ls->scan, first - ls->row);
  while (!ByteScan_AtEnd(&ls->scan)) {
    if (int64_t(ls->row) + ls->scan.pt.y > last) return;
    PaintChar(p, ls);
    ByteScan_Next(&ls->scan);
  }
  PaintLineEnd(p, ls);
}

// The display rows [*pFirst, *pLast] that meet the clip; false when none does.
bool VisibleRows(const Painter* p, int32_t* pFirst, int32_t* pLast) {
  if (p->rcClip.top >= p->rcClip.bottom || p->rcClip.left >= p->rcClip.right) return false;
  int64_t first = FloorDiv(p->rcClip.top + p->viewY, p->lh);
  int64_t last = FloorDiv(int64_t(p->rcClip.bottom) - 1 + p->viewY, p->lh);
  if (last < 0) return false;
  *pFirst = Saturate(first < 0 ? 0 : first);
  *pLast = Saturate(last);
  return true;
}

void PaintLines(const Painter* p) {
  int32_t first, last;
  if (!VisibleRows(p, &first, &last)) return;
  LineScan ls;
  LineScan_ResetAtRow(&ls, p->body->text, first);
  do {
    if (ls.row > last) break;
    PaintLine(p, &ls, first, last);
  } while (LineScan_NextLine(&ls));
}

void PaintLineNumbers(const Painter* p) {
  int32_t first, last;
  if (!VisibleRows(p, &first, &last)) return;
  LineScan ls;
  LineScan_ResetAtRow(&ls, p->body->text, first);
  do {
    if (ls.row > last) break;
    char number[16];
    int n = std::snprintf(number, sizeof(number), "%4d", ls.index + 1);
    Box box = {0, RowTop(p, ls.row), int64_t(p->cw) * n, RowTop(p, ls.row) + p->lh};
    if (Meets(p->rcClip, box)) Text(p, box, number, n, p->style->crEof);
  } while (LineScan_NextLine(&ls));
}

void PaintSeparator(const Painter* p, const RECT& text) {
  int32_t x = EditBody_LineNumberWidth(p->body) - 1;
  int32_t top = text.top > p->rcClip.top ? text.top : p->rcClip.top;
  int32_t bottom = text.bottom < p->rcClip.bottom ? text.bottom : p->rcClip.bottom;
  if (x < p->rcClip.left || x >= p->rcClip.right || top >= bottom) return;
  POINT pts[] = {{x, top}, {x, bottom}};  // the end point is not painted
  Polyline(p, pts, 2, p->style->crEof);
}

RECT Intersect(const RECT& a, const RECT& b) {
  RECT r;
  r.left = a.left > b.left ? a.left : b.left;
  r.top = a.top > b.top ? a.top : b.top;
  r.right = a.right < b.right ? a.right : b.right;
  r.bottom = a.bottom < b.bottom ? a.bottom : b.bottom;
  return r;
}

Painter MakePainter(TextEditorBody* body, const ViewStyle* style, const DrawSeam* seam, const RECT& clip) {
  Painter p;
  p.body = body;
  p.style = style;
  p.seam = seam;
  p.rcClip = clip;
  p.cw = EditBody_CellWidth(body);
  p.lh = EditBody_LineHeight(body);
  POINT view = EditBody_GetView(body);
  p.originX = int64_t(EditBody_TextRect(body).left) - view.x;
  p.viewY = view.y;
  p.sel = EditBody_GetSelection(body);
  p.bSelection = !TextRange_IsEmpty(p.sel);
  return p;
}

}  // namespace

void EditBody_Paint(TextEditorBody* body, const ViewStyle* style, const DrawSeam* seam, const RECT* update) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body) && style && seam && update);
  const RECT text = EditBody_TextRect(body);
  Painter p = MakePainter(body, style, seam, Intersect(text, *update));
  if (p.rcClip.left < p.rcClip.right && p.rcClip.top < p.rcClip.bottom) {
    Fill(&p, {p.rcClip.left, p.rcClip.top, p.rcClip.right, p.rcClip.bottom}, style->crBack);
    PaintLines(&p);
  }
  // The strip left of the text (line numbers and margin) from the document's top down.
  p.rcClip = *update;
  Fill(&p, {0, -p.viewY, text.left, update->bottom}, style->crBack);
  if (body->ebi.bLineNumber & 0xFF) {
    PaintSeparator(&p, text);
    PaintLineNumbers(&p);
  }
}
