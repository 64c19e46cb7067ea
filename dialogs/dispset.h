// The display settings dialog's data: the sixteen colours every colour box
// offers, the default scheme, which colour field each box edits, and the check
// of the two numbers. The dialog (dispset_win.cpp) only moves values between
// these and its controls.
#pragma once

#include <cstdint>

#include "editctrl/editsettings.h"
#include "tools/platform.h"

constexpr int32_t kDisplayColorCount = 16;
// White, silver, gray, maroon, red, yellow, lime, green, olive, teal, aqua,
// blue, navy, purple, fuchsia, black (0x00BBGGRR).
const COLORREF* DisplayColor_GetList();

// The colour boxes in the order the dialog fills and reads them.
struct DisplayColorBox {
  int32_t nControlId;
  const char* label;
  COLORREF ViewStyle::*pField;
};
constexpr int32_t kDisplayColorBoxCount = 7;
const DisplayColorBox* DisplayColor_GetBoxes();

// The default scheme's colour for a box's field: the dark scheme's when bDark
// (the system's app theme is dark).
COLORREF DisplayColor_Default(COLORREF ViewStyle::*pField, bool bDark);

// The text of a number field: a decimal integer (white space and a sign
// allowed before it, nothing but blanks after) within lo..hi. False, *pValue
// untouched, for anything else, an empty text included.
bool DisplaySettings_ParseNumber(const char* text, int32_t lo, int32_t hi, int32_t* pValue);
