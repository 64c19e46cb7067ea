#include "editctrl/colorscheme.h"

#include <cmath>

namespace {

struct Scheme {
  COLORREF crText, crBack, crSelText, crSelBack, crEof, crLineEnd, crMarks;
};

// Black on white, the selection inverted; the end-of-file mark and the line
// numbers gray, the white-space marks a faint silver.
constexpr Scheme kLight = {RGB(0, 0, 0),       RGB(255, 255, 255), RGB(255, 255, 255), RGB(0, 0, 0),
                           RGB(128, 128, 128), RGB(192, 192, 192), RGB(192, 192, 192)};

// Light gray on near-black. Every colour drawn on the background, and the
// selected text on the selection, keeps at least 4.5:1; the selection itself
// stands 3:1 off the background, so that it shows as a block. The end-of-file
// mark and the line numbers stand out more than the white-space marks, as in
// the light scheme.
constexpr Scheme kDark = {RGB(0xD4, 0xD4, 0xD4), RGB(0x1E, 0x1E, 0x1E), RGB(0xFF, 0xFF, 0xFF),
                          RGB(0x3A, 0x6E, 0xA5), RGB(0xA0, 0xA0, 0xA0), RGB(0x8A, 0x8A, 0x8A),
                          RGB(0x8A, 0x8A, 0x8A)};

const Scheme& SchemeOf(bool bDark) { return bDark ? kDark : kLight; }

// One sRGB channel (0..255) to linear light.
double Linear(unsigned channel) {
  double c = channel / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

double Color_Luminance(COLORREF color) {
  return 0.2126 * Linear(GetRValue(color)) + 0.7152 * Linear(GetGValue(color)) + 0.0722 * Linear(GetBValue(color));
}

double Color_Contrast(COLORREF a, COLORREF b) {
  double la = Color_Luminance(a), lb = Color_Luminance(b);
  double lighter = la > lb ? la : lb, darker = la > lb ? lb : la;
  return (lighter + 0.05) / (darker + 0.05);
}

void ColorScheme_Set(ViewStyle* style, bool bDark) {
  const Scheme& s = SchemeOf(bDark);
  style->crText = s.crText;
  style->crBack = s.crBack;
  style->crSelText = s.crSelText;
  style->crSelBack = s.crSelBack;
  style->crEof = s.crEof;
  style->crLineEnd = s.crLineEnd;
  style->crTab = style->crSpace = style->crZenSpace = s.crMarks;
}

bool ColorScheme_IsDefault(const ViewStyle* style, bool bDark) {
  const Scheme& s = SchemeOf(bDark);
  return style->crText == s.crText && style->crBack == s.crBack && style->crSelText == s.crSelText &&
         style->crSelBack == s.crSelBack && style->crEof == s.crEof && style->crLineEnd == s.crLineEnd &&
         style->crSpace == s.crMarks;
}

void ColorScheme_Follow(ViewStyle* style, bool bUserColours, bool bDark) {
  if (!bUserColours) ColorScheme_Set(style, bDark);
}

bool ColorScheme_TakeChoice(ViewStyle* style, bool bDark) {
  if (!ColorScheme_IsDefault(style, bDark)) return true;
  ColorScheme_Set(style, bDark);
  return false;
}
