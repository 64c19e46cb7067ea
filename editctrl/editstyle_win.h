// The editor's drawing resources, one set per process and shared by every
// editor control: the view style, the font made from its LOGFONT and the brushes
// of its background and selected background. Each control holds a reference from
// creation to destruction; the last one to go frees them.
#pragma once

#include "editctrl/viewstyle.h"
#include "tools/platform.h"

struct EditorStyle {
  int32_t nUsers;      // live controls holding the resources
  ViewStyle style;
  HFONT hFont;         // from style.lfFont
  HBRUSH hbrBack;      // style.crBack
  HBRUSH hbrSelBack;   // style.crSelBack
  // The off-screen buffer every paint draws into: made once, grown as needed,
  // since making a bitmap costs more than drawing a row of text.
  HDC hdcBuffer;
  HBITMAP hbmBuffer;
  HGDIOBJ hbmOriginal;  // what hdcBuffer held before hbmBuffer
  int32_t nBufferWidth, nBufferHeight;
};

// The process's record (never null; its handles are null while nobody holds it).
const EditorStyle* EditStyle_Get();

// A new control's reference; the style becomes the given one. False, with
// nothing held or changed, when the font or a brush cannot be made.
bool EditStyle_Acquire(const ViewStyle* style);
void EditStyle_Release();

// Replaces the style and makes its brushes and font anew, freeing the old ones.
// False, with the old resources kept, when something cannot be made.
bool EditStyle_Set(const ViewStyle* style);

// A memory DC whose bitmap, compatible with hdc, holds at least w x h pixels;
// null when it cannot be made. Owned here; freed with the last control.
HDC EditStyle_GetBuffer(HDC hdc, int32_t w, int32_t h);

// The text metrics of a font on the screen; false when they cannot be had.
bool EditStyle_MeasureFont(HFONT hFont, TEXTMETRICA* pTm);
