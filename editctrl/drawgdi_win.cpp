#include "editctrl/drawgdi_win.h"

#include <cstring>

#include "tools/charrule.h"

namespace {

// ---- Which glyphs stay inside their cells ----

// The row of a character's code: 0 for a one-byte character, 1 + the lead
// byte's place among the lead bytes for a two-byte one.
int32_t FitRow(unsigned char lead) {
  if (lead < 0x81) return 0;
  return 1 + (lead <= 0x9F ? lead - 0x81 : 31 + lead - 0xE0);
}

bool TestBit(const BYTE* bits, int32_t code) { return (bits[code >> 3] >> (code & 7)) & 1; }

void SetBit(BYTE* bits, int32_t code) { bits[code >> 3] = static_cast<BYTE>(bits[code >> 3] | (1 << (code & 7))); }

// A glyph fits when its ink starts at or behind its first cell's left edge and
// ends within its cells. Without the ink's extent only the advance can tell;
// without even that, the glyph is taken not to fit and is drawn alone.
bool MeasureFits(HDC hdc, UINT code, int32_t room) {
  ABC abc;
  if (GetCharABCWidthsA(hdc, code, code, &abc)) return abc.abcA >= 0 && abc.abcA + int32_t(abc.abcB) <= room;
  INT advance = 0;
  return GetCharWidth32A(hdc, code, code, &advance) && advance <= room;
}

// Measured once per font, the first time the character is drawn.
bool CharFits(GdiDraw* d, const unsigned char* u, int32_t length) {
  const int32_t row = length == 2 ? FitRow(u[0]) : 0;
  const int32_t code = length == 2 ? u[1] : u[0];
  if (length == 2 && (code < 0x40 || code > 0xFC)) return false;
  GdiGlyphFit* fit = d->pFit;
  if (!TestBit(fit->measured[row], code)) {
    const UINT full = length == 2 ? (UINT(u[0]) << 8) | UINT(code) : UINT(code);
    if (MeasureFits(d->hdc, full, length * fit->nCellWidth)) SetBit(fit->fits[row], code);
    SetBit(fit->measured[row], code);
  }
  return TestBit(fit->fits[row], code);
}

// Every character of the text stays inside its own cells.
bool TextFits(GdiDraw* d, const char* bytes, int32_t n) {
  const unsigned char* u = reinterpret_cast<const unsigned char*>(bytes);
  for (int32_t i = 0; i < n;) {
    const int32_t length = (Char_IsLeadByte(u[i]) && i + 1 < n) ? 2 : 1;
    if (!CharFits(d, u + i, length)) return false;
    i += length;
  }
  return true;
}

// ---- Drawing ----

void SetTextColour(GdiDraw* d, COLORREF color) {
  if (d->crTextSet == color) return;
  SetTextColor(d->hdc, color);
  d->crTextSet = color;
}

void Flush(GdiDraw* d) {
  if (d->nRun == 0) return;
  SetTextColour(d, d->crRun);
  ExtTextOutA(d->hdc, d->nRunX, d->nRunY, ETO_CLIPPED, &d->rcRun, d->run, static_cast<UINT>(d->nRun), d->dx);
  d->nRun = 0;
}

// The cells between the run's end and x, when the text at x may join the run
// across them: -1 when it may not. A gap (spaces and tabs, which are never drawn
// as text, or a mark's cells) is bridged by spaces, which have no ink, so that a
// row of words is one call and not one per word; both sides must be whole cells.
int32_t JoiningGap(const GdiDraw* d, int32_t x, int32_t y, const RECT* clip, int32_t n, COLORREF color) {
  if (d->nRun == 0 || y != d->nRunY || color != d->crRun || clip->top != d->rcRun.top ||
      clip->bottom != d->rcRun.bottom) {
    return -1;
  }
  if (x == d->nRunNextX) return clip->left == d->rcRun.right && d->nRun + n <= kGdiDrawRunMax ? 0 : -1;
  const int32_t gap = x - d->nRunNextX;
  if (gap < 0 || gap % d->nCellWidth != 0 || gap / d->nCellWidth > kGdiDrawGapMax) return -1;
  if (clip->left != x || d->rcRun.right != d->nRunNextX) return -1;
  return d->nRun + gap / d->nCellWidth + n <= kGdiDrawRunMax ? gap / d->nCellWidth : -1;
}

void Append(GdiDraw* d, char byte) {
  d->run[d->nRun] = byte;
  d->dx[d->nRun] = d->nCellWidth;
  ++d->nRun;
}

void AddToRun(GdiDraw* d, int32_t x, int32_t y, const RECT* clip, const char* bytes, int32_t n, COLORREF color) {
  const int32_t gap = JoiningGap(d, x, y, clip, n, color);
  if (gap < 0) {
    Flush(d);
    d->nRunX = x;
    d->nRunY = y;
    d->nRunNextX = x;
    d->rcRun = *clip;
    d->crRun = color;
  }
  for (int32_t i = 0; i < gap; ++i) Append(d, ' ');
  for (int32_t i = 0; i < n; ++i) Append(d, bytes[i]);
  d->nRunNextX = x + n * d->nCellWidth;
  d->rcRun.right = clip->right;
}

bool SelectPen(GdiDraw* d, COLORREF color) {
  if (d->hPen && d->crPen == color) return true;
  // Width 0 is the one-pixel pen, drawn exactly where the points say.
  HPEN pen = CreatePen(PS_SOLID, d->nPenWidth > 1 ? d->nPenWidth : 0, color);
  if (!pen) return false;
  SelectObject(d->hdc, pen);
  if (d->hPen) DeleteObject(d->hPen);
  d->hPen = pen;
  d->crPen = color;
  return true;
}

// The waiting marks of one colour, as one PolyPolyline.
void FlushMarks(GdiDraw* d, GdiMarks* m) {
  if (m->nLines > 0 && SelectPen(d, m->color)) PolyPolyline(d->hdc, m->points, m->counts, static_cast<DWORD>(m->nLines));
  m->nLines = 0;
  m->nPoints = 0;
}

void FlushAllMarks(GdiDraw* d) {
  for (int32_t i = 0; i < d->nMarkColours; ++i) FlushMarks(d, &d->marks[i]);
  d->nMarkColours = 0;
}

// The marks' pile of their colour, with room for a stroke of count points.
GdiMarks* MarksFor(GdiDraw* d, COLORREF color, int32_t count) {
  GdiMarks* m = nullptr;
  for (int32_t i = 0; i < d->nMarkColours && !m; ++i) {
    if (d->marks[i].color == color) m = &d->marks[i];
  }
  if (!m) {
    if (d->nMarkColours == kGdiMarkColours) FlushAllMarks(d);
    m = &d->marks[d->nMarkColours++];
    m->color = color;
    m->nLines = m->nPoints = 0;
  }
  if (m->nLines == kGdiMarkLines || m->nPoints + count > kGdiMarkPoints) FlushMarks(d, m);
  return m;
}

void FillRectColour(void* pContext, const RECT* rc, COLORREF color) {
  GdiDraw* d = static_cast<GdiDraw*>(pContext);
  Flush(d);
  FlushAllMarks(d);  // drawn before the fill, as they came
  HBRUSH brush = nullptr;
  if (color == d->crBack) brush = d->hbrBack;
  if (color == d->crSelBack && !brush) brush = d->hbrSelBack;
  if (brush) {
    FillRect(d->hdc, rc, brush);
    return;
  }
  // Any other colour: an opaque empty text fills without making a brush.
  COLORREF old = SetBkColor(d->hdc, color);
  ExtTextOutA(d->hdc, 0, 0, ETO_OPAQUE, rc, "", 0, nullptr);
  SetBkColor(d->hdc, old);
}

// Marks wait for a fill or the end and are then drawn a colour at a time: they
// stand in cells of their own, where text has no ink, so the order between
// them and the text does not matter, and a row of marked spaces no longer cuts
// its words into runs of their own. A mark whose pen cannot be made is left out.
void PolylineColour(void* pContext, const POINT* points, int32_t count, COLORREF color) {
  GdiDraw* d = static_cast<GdiDraw*>(pContext);
  if (count < 2) return;
  if (count > kGdiMarkPoints) {  // no mark is, but a stroke that long is drawn at once
    if (SelectPen(d, color)) Polyline(d->hdc, points, count);
    return;
  }
  GdiMarks* m = MarksFor(d, color, count);
  for (int32_t i = 0; i < count; ++i) m->points[m->nPoints + i] = points[i];
  m->nPoints += count;
  m->counts[m->nLines++] = static_cast<DWORD>(count);
}

void TextColour(void* pContext, int32_t x, int32_t y, const RECT* clip, const char* bytes, int32_t n,
                COLORREF color) {
  GdiDraw* d = static_cast<GdiDraw*>(pContext);
  if (n <= 0 || clip->left >= clip->right || clip->top >= clip->bottom) return;
  if (n > kGdiDrawRunMax) {  // longer than any run: drawn in parts, each cut to its cells
    for (int32_t i = 0; i < n; i += kGdiDrawRunMax) {
      const int32_t part = n - i < kGdiDrawRunMax ? n - i : kGdiDrawRunMax;
      const int32_t left = x + i * d->nCellWidth, right = left + part * d->nCellWidth;
      RECT cut = {clip->left > left ? clip->left : left, clip->top, clip->right < right ? clip->right : right,
                  clip->bottom};
      TextColour(pContext, left, y, &cut, bytes + i, part, color);
    }
    return;
  }
  if (TextFits(d, bytes, n)) {
    AddToRun(d, x, y, clip, bytes, n, color);
    return;
  }
  // Alone, so that the clip is its own cells and no neighbour's.
  Flush(d);
  AddToRun(d, x, y, clip, bytes, n, color);
  Flush(d);
}

}  // namespace

void GdiGlyphFit_Reset(GdiGlyphFit* fit) { std::memset(fit, 0, sizeof(*fit)); }

void GdiDraw_Begin(GdiDraw* draw, HDC hdc, int32_t nCellWidth, GdiGlyphFit* pFit, HBRUSH hbrBack, COLORREF crBack,
                   HBRUSH hbrSelBack, COLORREF crSelBack) {
  draw->hdc = hdc;
  draw->nCellWidth = nCellWidth;
  draw->pFit = pFit;
  HFONT font = static_cast<HFONT>(GetCurrentObject(hdc, OBJ_FONT));
  if (pFit->hFont != font || pFit->nCellWidth != nCellWidth) {
    GdiGlyphFit_Reset(pFit);
    pFit->hFont = font;
    pFit->nCellWidth = nCellWidth;
  }
  draw->hbrBack = hbrBack;
  draw->crBack = crBack;
  draw->hbrSelBack = hbrSelBack;
  draw->crSelBack = crSelBack;
  draw->crTextSet = CLR_INVALID;
  draw->hPen = nullptr;
  draw->crPen = 0;
  draw->nPenWidth = 1;
  draw->nRunX = draw->nRunY = draw->nRunNextX = 0;
  draw->rcRun = RECT{0, 0, 0, 0};
  draw->crRun = 0;
  draw->nRun = 0;
  draw->nMarkColours = 0;
}

DrawSeam GdiDraw_Seam(GdiDraw* draw) {
  DrawSeam seam;
  seam.pContext = draw;
  seam.pfnFillRect = FillRectColour;
  seam.pfnPolyline = PolylineColour;
  seam.pfnText = TextColour;
  return seam;
}

void GdiDraw_End(GdiDraw* draw) {
  Flush(draw);
  FlushAllMarks(draw);
  if (draw->hPen) {
    SelectObject(draw->hdc, GetStockObject(BLACK_PEN));
    DeleteObject(draw->hPen);
    draw->hPen = nullptr;
  }
}
