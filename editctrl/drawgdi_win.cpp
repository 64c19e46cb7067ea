#include "editctrl/drawgdi_win.h"

namespace {

void SetTextColour(GdiDraw* d, COLORREF color) {
  if (d->crTextSet == color) return;
  SetTextColor(d->hdc, color);
  d->crTextSet = color;
}

void Flush(GdiDraw* d) {
  if (d->nRun == 0) return;
  SetTextColour(d, d->crRun);
  ExtTextOutA(d->hdc, d->nRunX, d->nRunY, 0, nullptr, d->run, static_cast<UINT>(d->nRun), d->dx);
  d->nRun = 0;
}

bool JoinsRun(const GdiDraw* d, int32_t x, int32_t y, int32_t n, COLORREF color) {
  return d->nRun > 0 && y == d->nRunY && x == d->nRunNextX && color == d->crRun && d->nRun + n <= kGdiDrawRunMax;
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

void TextColour(void* pContext, int32_t x, int32_t y, const char* bytes, int32_t n, COLORREF color) {
  GdiDraw* d = static_cast<GdiDraw*>(pContext);
  if (n <= 0) return;
  if (n > kGdiDrawRunMax) {  // longer than any run: drawn by itself, cell by cell
    for (int32_t i = 0; i < n; i += kGdiDrawRunMax) {
      int32_t part = n - i < kGdiDrawRunMax ? n - i : kGdiDrawRunMax;
      TextColour(pContext, x + i * d->nCellWidth, y, bytes + i, part, color);
    }
    return;
  }
  if (!JoinsRun(d, x, y, n, color)) {
    Flush(d);
    d->nRunX = x;
    d->nRunY = y;
    d->nRunNextX = x;
    d->crRun = color;
  }
  for (int32_t i = 0; i < n; ++i) {
    d->run[d->nRun] = bytes[i];
    d->dx[d->nRun] = d->nCellWidth;
    ++d->nRun;
  }
  d->nRunNextX += n * d->nCellWidth;
}

}  // namespace

void GdiDraw_Begin(GdiDraw* draw, HDC hdc, int32_t nCellWidth, HBRUSH hbrBack, COLORREF crBack, HBRUSH hbrSelBack,
                   COLORREF crSelBack) {
  draw->hdc = hdc;
  draw->nCellWidth = nCellWidth;
  draw->hbrBack = hbrBack;
  draw->crBack = crBack;
  draw->hbrSelBack = hbrSelBack;
  draw->crSelBack = crSelBack;
  draw->crTextSet = CLR_INVALID;
  draw->hPen = nullptr;
  draw->crPen = 0;
  draw->nPenWidth = 1;
  draw->nRunX = draw->nRunY = draw->nRunNextX = 0;
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
