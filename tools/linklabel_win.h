// The link label: a static text control turned into a link after creation,
// underlined, blue, red while the pointer is over it, with a pointing hand and
// a pressed look while the button is held; a click is reported to the parent.
#pragma once

#include <cstdint>

#include "tools/platform.h"

#include <commctrl.h>

// Notification codes the label sends its parent in WM_NOTIFY (the control's id
// as wParam, a LinkLabelNotify as lParam).
constexpr UINT kLinkLabelClick = 1025;  // pressed and released over the label
constexpr UINT kLinkLabelLeave = 1026;  // the pointer has left it
constexpr UINT kLinkLabelHover = 1027;  // the pointer is over it: wKeys and lPos of the move
// The parent sends 1026 and 1027 back to the label itself (same message, same
// record, to hdr.hwndFrom); only then does the label switch its hot state, so a
// parent that keeps them keeps the label from lighting up.

// The record: the common header and the two values of the move (zero for the
// other codes), pointer-sized as the message arguments they come from.
struct LinkLabelNotify {
  NMHDR hdr;
  WPARAM wKeys;
  LPARAM lPos;
};

// The colours of the text.
constexpr COLORREF kLinkLabelColor = RGB(0, 0, 255);
constexpr COLORREF kLinkLabelHotColor = RGB(255, 0, 0);

// Makes the static control a link label: an underlined copy of its font and the
// hand cursor are made (the label owns them; they go with its window) and the
// control is subclassed. False, nothing changed, when the control has no font
// or the font or the cursor cannot be made.
bool LinkLabel_Attach(HWND hStatic);
// Whether the label is hot (lit up by the pointer); false for other windows.
bool LinkLabel_IsHot(HWND hLabel);
