// The editor's drawing resources, one set per process and shared by every
// editor control: the view style, the font made from its LOGFONT and the brushes
// of its background and selected background. Each control holds a reference from
// creation to destruction; the last one to go frees them.
//
// The font's height in the style is meant at 96 DPI; the font is made for the
// DPI the controls are drawn at (the first control's, then whatever
// EditStyle_SetDpi was last given: the program has one editor window, and all
// its controls share the one font).
#pragma once

#include "editctrl/drawgdi_win.h"
#include "editctrl/viewstyle.h"
#include "tools/platform.h"

struct EditorStyle {
  int32_t nUsers;      // live controls holding the resources
  ViewStyle style;
  int32_t nDpi;        // what hFont, the caret and the strokes are made for
  HFONT hFont;         // from style.lfFont scaled to nDpi
  HBRUSH hbrBack;      // style.crBack
  HBRUSH hbrSelBack;   // style.crSelBack
  GdiGlyphFit glyphFit;  // which glyphs of hFont stay in their cells, as far as measured
  // The off-screen buffer every paint draws into: made once, grown as needed,
  // since making a bitmap costs more than drawing a row of text.
  HDC hdcBuffer;
  HBITMAP hbmBuffer;
  HGDIOBJ hbmOriginal;  // what hdcBuffer held before hbmBuffer
  int32_t nBufferWidth, nBufferHeight;
};

// The process's record (never null; its handles are null while nobody holds it).
const EditorStyle* EditStyle_Get();

// A new control's reference; the style becomes the given one. The first
// reference also sets the DPI (later ones keep the one there is). False, with
// nothing held or changed, when the font or a brush cannot be made.
bool EditStyle_Acquire(const ViewStyle* style, int32_t nDpi);
void EditStyle_Release();

// Replaces the style and makes its brushes and font anew, freeing the old ones.
// False, with the old resources kept, when something cannot be made.
bool EditStyle_Set(const ViewStyle* style);

// The font made anew for another DPI. False, with the old font kept, when it
// cannot be made. The controls must then take the new metrics (TextEditor_SetDpi).
bool EditStyle_SetDpi(int32_t nDpi);

// The style's font as it is made (scaled to the DPI): for the input method.
LOGFONTA EditStyle_ScreenFont();
// The caret's width and the width of the marks' strokes at the DPI.
int32_t EditStyle_CaretWidth();
int32_t EditStyle_StrokeWidth();

// What is known of the font's glyphs, for the paints to measure into.
GdiGlyphFit* EditStyle_GlyphFit();

// A memory DC whose bitmap, compatible with hdc, holds at least w x h pixels;
// null when it cannot be made. Owned here; freed with the last control.
HDC EditStyle_GetBuffer(HDC hdc, int32_t w, int32_t h);

// The text metrics of a font on the screen; false when they cannot be had.
bool EditStyle_MeasureFont(HFONT hFont, TEXTMETRICA* pTm);
