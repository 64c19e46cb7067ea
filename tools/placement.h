// Where a dialog opens: under the mouse pointer, kept inside the work area.
#pragma once

#include "tools/platform.h"

// The top-left corner for a window of the given size so that the middle of its
// title bar (or, with bCenter, its middle) lies under the pointer, kept inside
// the work area. The right and bottom edges are pulled in first and the left
// and top edges win afterwards, so a window larger than the work area shows its
// caption and system menu. Sums are 64-bit: no size or point overflows.
POINT Placement_AtCursor(SIZE window, POINT cursor, int32_t nCaptionHeight, RECT work, bool bCenter);
