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

// The next cells of the run's row, in its colour, and room for the bytes.
bool JoinsRun(const GdiDraw* d, int32_t x, int32_t y, const RECT* clip, int32_t n, COLORREF color) {
  return d->nRun > 0 && y == d->nRunY && x == d->nRunNextX && color == d->crRun && d->nRun + n <= kGdiDrawRunMax &&
         clip->left == d->rcRun.right && clip->top == d->rcRun.top && clip->bottom == d->rcRun.bottom;
}

void AddToRun(GdiDraw* d, int32_t x, int32_t y, const RECT* clip, const char* bytes, int32_t n, COLORREF color) {
  if (!JoinsRun(d, x, y, clip, n, color)) {
    Flush(d);
    d->nRunX = x;
    d->nRunY = y;
    d->nRunNextX = x;
    d->rcRun = *clip;
    d->crRun = color;
  }
  for (int32_t i = 0; i < n; ++i) {
    d->run[d->nRun] = bytes[i];
    d->dx[d->nRun] = d->nCellWidth;
    ++d->nRun;
  }
  d->nRunNextX += n * d->nCellWidth;
  d->rcRun.right = clip->right;
}

void FillRectColour(void* pContext, const RECT* rc, COLORREF color) {
  GdiDraw* d = static_cast<GdiDraw*>(pContext);
  Flush(d);
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

void PolylineColour(void* pContext, const POINT* points, int32_t count, COLORREF color) {
  GdiDraw* d = static_cast<GdiDraw*>(pContext);
  Flush(d);
  // A mark whose pen cannot be made is left out.
  if (count < 2 || !SelectPen(d, color)) return;
  MoveToEx(d->hdc, points[0].x, points[0].y, nullptr);
  for (int32_t i = 1; i < count; ++i) LineTo(d->hdc, points[i].x, points[i].y);
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
  if (draw->hPen) {
    SelectObject(draw->hdc, GetStockObject(BLACK_PEN));
    DeleteObject(draw->hPen);
    draw->hPen = nullptr;
  }
}
