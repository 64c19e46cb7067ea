// The drawing seam over a GDI device context (the editor's memory DC). Text
// comes from the body one character at a time, each with the cells it must stay
// in; characters that follow each other on a row in one colour are gathered and
// drawn by one ExtTextOutA whose advance array keeps every character on its cell
// and whose clip is the run's cells, so the grid stays exact for any font (a
// few empty cells between two words are bridged by spaces). A glyph whose ink
// would reach past its own cells into a neighbour's is drawn by itself, clipped
// to its cells. Marks are gathered by colour and drawn by one PolyPolyline each
// before the next fill and at the end.
#pragma once

#include <cstdint>

#include "editctrl/drawseam.h"
#include "tools/platform.h"

constexpr int32_t kGdiDrawRunMax = 256;
// The most empty cells a run bridges to the next text of its row.
constexpr int32_t kGdiDrawGapMax = 16;

// Which glyphs of a font stay inside their cells (one for a one-byte code, two
// for a two-byte one), each measured the first time it is drawn and kept with
// the font, so that text costs no measuring once its characters have been
// seen. Codes are kept in rows: the one-byte codes, then the two-byte codes of
// each lead byte.
constexpr int32_t kGlyphFitRows = 1 + 60;  // the one-byte row, one row per lead byte
struct GdiGlyphFit {
  HFONT hFont;          // what was measured for; null: nothing measured
  int32_t nCellWidth;   // the cell width it was measured against
  BYTE measured[kGlyphFitRows][32];  // one bit per code: the byte, or the trail byte
  BYTE fits[kGlyphFitRows][32];
};

// Forgets every measured row (the font was made anew).
void GdiGlyphFit_Reset(GdiGlyphFit* fit);

// Marks of one colour waiting to be drawn together.
constexpr int32_t kGdiMarkColours = 4;
constexpr int32_t kGdiMarkPoints = 512;
constexpr int32_t kGdiMarkLines = 128;
struct GdiMarks {
  COLORREF color;
  int32_t nPoints;
  int32_t nLines;
  POINT points[kGdiMarkPoints];
  DWORD counts[kGdiMarkLines];
};

struct GdiDraw {
  HDC hdc;              // the editor font selected, background mode transparent
  int32_t nCellWidth;   // pixels per byte of text: one cell each
  GdiGlyphFit* pFit;    // the font's glyphs, measured as needed
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
  RECT rcRun;           // the cells of the run: its clip
  COLORREF crRun;
  int32_t nRun;
  char run[kGdiDrawRunMax];
  INT dx[kGdiDrawRunMax];
  int32_t nMarkColours;  // piles in use
  GdiMarks marks[kGdiMarkColours];
};

// Starts drawing on hdc. The brushes and the glyph record are borrowed
// (process-wide; the record is measured anew when hdc's font or the cell width
// is not what it was measured for); anything made here is freed by
// GdiDraw_End, which also draws the waiting text.
void GdiDraw_Begin(GdiDraw* draw, HDC hdc, int32_t nCellWidth, GdiGlyphFit* pFit, HBRUSH hbrBack, COLORREF crBack,
                   HBRUSH hbrSelBack, COLORREF crSelBack);
DrawSeam GdiDraw_Seam(GdiDraw* draw);
void GdiDraw_End(GdiDraw* draw);
