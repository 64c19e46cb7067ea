// The drawing seam over a GDI device context (the editor's memory DC). Text
// comes from the body one character at a time; characters that follow each other
// on a row in one colour are gathered and drawn by one ExtTextOutA whose advance
// array keeps every character on its cell, so the grid stays exact for any font.
#pragma once

#include <cstdint>

#include "editctrl/drawseam.h"
#include "tools/platform.h"

constexpr int32_t kGdiDrawRunMax = 256;

struct GdiDraw {
  HDC hdc;              // the editor font selected, background mode transparent
  int32_t nCellWidth;   // pixels per byte of text: one cell each
  HBRUSH hbrBack;       // used for fills of crBack
  COLORREF crBack;
  HBRUSH hbrSelBack;    // used for fills of crSelBack
  COLORREF crSelBack;
  COLORREF crTextSet;   // the text colour the DC has, or CLR_INVALID
  HPEN hPen;            // the pen of crPen, made when first needed
  COLORREF crPen;
  int32_t nPenWidth;    // the strokes' width; 1 unless set after GdiDraw_Begin
  // The run of text waiting to be drawn.
  int32_t nRunX, nRunY;
  int32_t nRunNextX;    // where a character must start to join it
  COLORREF crRun;
  int32_t nRun;
  char run[kGdiDrawRunMax];
  INT dx[kGdiDrawRunMax];
};

// Starts drawing on hdc. The brushes are borrowed (process-wide); anything made
// here is freed by GdiDraw_End, which also draws the waiting text.
void GdiDraw_Begin(GdiDraw* draw, HDC hdc, int32_t nCellWidth, HBRUSH hbrBack, COLORREF crBack, HBRUSH hbrSelBack,
                   COLORREF crSelBack);
DrawSeam GdiDraw_Seam(GdiDraw* draw);
void GdiDraw_End(GdiDraw* draw);
