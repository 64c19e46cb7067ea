// The drawing seam: what the editor body needs of a device to paint on. The Win32
// adapter implements it with GDI on the memory device context (the editor font
// already selected, the background mode transparent); tests implement it with a
// recorder. Coordinates are client pixels.
#pragma once

#include <cstdint>

#include "tools/platform.h"

struct DrawSeam {
  void* pContext;  // handed to every call
  // Fills the rectangle (right and bottom exclusive) with a solid colour.
  void (*pfnFillRect)(void* pContext, const RECT* rc, COLORREF color);
  // A one-pixel polyline through count >= 2 points; as with LineTo, the last point
  // is not painted.
  void (*pfnPolyline)(void* pContext, const POINT* points, int32_t count, COLORREF color);
  // n bytes of code page 932 text whose first cell has its top-left corner at
  // (x, y), drawn in the colour over a transparent background, and nothing of
  // it outside rcClip: the cells it stands in (cut to what the paint may
  // touch), so that a glyph wider than its cells never covers its neighbours.
  void (*pfnText)(void* pContext, int32_t x, int32_t y, const RECT* rcClip, const char* bytes, int32_t n,
                  COLORREF color);
};
