// The drawing style of the editor: which marks are shown, the colours and the
// font. One record per process, shared by every editor control and copied in
// and out whole.
#pragma once

#include "tools/platform.h"

struct ViewStyle {
  BYTE bShowEof;        // "[EOF]" behind the last line
  BYTE bShowLineEnd;    // a mark behind every line that has a next line
  BYTE bShowTab;        // a mark on tabs
  BYTE bShowSpace;      // a mark on one-byte spaces
  BYTE bShowZenSpace;   // a mark on the full-width space (code 0x8140)
  COLORREF crText;      // unselected characters
  COLORREF crBack;      // background of the text, the margin and the line-number column
  COLORREF crSelText;   // selected characters
  COLORREF crSelBack;   // background of selected cells
  COLORREF crEof;       // "[EOF]", the line numbers and their separator
  COLORREF crLineEnd;   // line-end mark
  COLORREF crTab;       // tab mark
  COLORREF crSpace;     // half-width space mark
  COLORREF crZenSpace;  // full-width space mark
  LOGFONTA lfFont;      // the editor font
};
