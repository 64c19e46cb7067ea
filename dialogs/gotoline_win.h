// The go-to-line dialog (134, "移動先の指定"): a line number with an up-down
// control over 1 .. the document's line count and a tooltip naming the range.
#pragma once

#include <cstdint>

#include "tools/platform.h"

// Shows the dialog over hOwner for a document of nLines lines with pos->y the
// current line (from 0). On OK true, and *pos = (0, the number typed - 1),
// not yet clamped: any number is taken. False on cancel.
bool ShowGoToLineDialog(HWND hOwner, int32_t nLines, POINT* pos);
