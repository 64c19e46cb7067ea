// Painting the editor body through the drawing seam: the background, the
// selection, the characters one cell each (each kept to its cells), the marks for
// tabs, spaces, full-width spaces and line ends, the control mark for every byte
// code page 932 has no character for, "[EOF]", and the line-number column with
// its separator.
// Only what meets the update rectangle is drawn: fills are cut to it, and
// characters, marks and numbers whose cells do not meet it are left out. Lines
// above it are skipped by the document's row cache, without a walk from the head.
#pragma once

#include "editctrl/drawseam.h"
#include "editctrl/editbody.h"
#include "editctrl/viewstyle.h"

void EditBody_Paint(TextEditorBody* body, const ViewStyle* style, const DrawSeam* seam, const RECT* update);
