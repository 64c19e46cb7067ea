// Sizes meant for a 96-DPI display (the settings' font height, the caret's
// width, the width of the strokes of the marks) turned into pixels of a display
// of another density. Window-independent; the windows ask their DPI themselves.
#pragma once

#include <cstdint>

#include "tools/platform.h"

constexpr int32_t kBaseDpi = 96;
// Densities outside this range are taken for a fault of whoever reported them.
constexpr int32_t kMinDpi = 48;
constexpr int32_t kMaxDpi = 960;

// The DPI itself when it lies in [kMinDpi, kMaxDpi], else kBaseDpi.
int32_t Dpi_Sanitize(int32_t dpi);

// value x dpi / 96, rounded half away from zero (a negative font height, which
// asks for a character height, stays negative). Saturates at the int32 range.
int32_t Dpi_Scale(int32_t value, int32_t dpi);

// The width of a line or a caret: scaled like any size, but never below 1 pixel.
int32_t Dpi_ScaleLine(int32_t width, int32_t dpi);

// The font as it is made for a display of that DPI: height and width scaled,
// everything else (face, weight, character set) as given.
LOGFONTA Dpi_ScaleFont(const LOGFONTA* font, int32_t dpi);

// The width of the one-pixel strokes of the marks and of the line-number
// separator: whole multiples only (1 up to 191 DPI, 2 from 192), since a stroke
// of a width between pixels turns blurred or lopsided.
int32_t Dpi_StrokeWidth(int32_t dpi);
