// The editor's two default colour schemes, light and dark, the rule that picks
// one for the system's app theme, and the contrast of two colours by which the
// dark one was chosen (WCAG 2 relative luminance). Window-independent: the
// window layer asks the system which theme is in force (tools/systheme_win.h).
//
// Whose colours they are is the settings' business: colours the user chose are
// kept whatever the theme; without them the editor shows the theme's scheme.
#pragma once

#include "editctrl/viewstyle.h"
#include "tools/platform.h"

// The relative luminance of a colour: 0 for black to 1 for white.
double Color_Luminance(COLORREF color);
// The contrast ratio of two colours, (lighter + 0.05) / (darker + 0.05): from 1
// (the same) to 21 (black and white), whichever of the two is given first.
double Color_Contrast(COLORREF a, COLORREF b);

// The nine colours of the default scheme, the dark one when bDark; the marks
// shown and the font are left as they are.
void ColorScheme_Set(ViewStyle* style, bool bDark);

// True when the seven colours the settings file and the display settings
// dialog hold (text, background, selected text and background, end-of-file,
// line-end and half-width space marks) are those of the default scheme.
bool ColorScheme_IsDefault(const ViewStyle* style, bool bDark);

// What the editor shows at a start and after a change of the system's theme:
// the user's own colours stay as they are; without them the theme's scheme.
void ColorScheme_Follow(ViewStyle* style, bool bUserColours, bool bDark);

// A choice confirmed in the display settings dialog: colours equal to the
// theme's default scheme go on following the theme (all nine set to it; false),
// anything else is the user's own from now on (kept as it is; true).
bool ColorScheme_TakeChoice(ViewStyle* style, bool bDark);
