// Decisions of the view and window commands that need no window: which flag a
// view toggle flips, the style bits of full-screen mode, and how the two
// exclusive window modes (always on top, always at the back) change.
#pragma once

#include <cstdint>

#include "editctrl/editsettings.h"

// Where a view toggle's flag lives: the editor's own settings (line numbers,
// wrapping) or the process-wide view style (the five marks).
enum ViewToggleKind : int32_t {
  VIEWTOGGLE_NONE,
  VIEWTOGGLE_SETTINGS,
  VIEWTOGGLE_STYLE,
};
ViewToggleKind ViewCommand_Kind(int32_t id);
// Flips the one flag of toggle id in settings (its style for the marks); false,
// nothing changed, for an id that is no view toggle.
bool ViewCommand_Toggle(int32_t id, EditorSettings* settings);

// Whether a window of that style is in full-screen mode (WS_POPUP set).
bool WindowMode_IsFullScreen(uint32_t style);
// The window style after the full-screen command: with WS_POPUP set, the frame's
// title bar, system menu and boxes come back and WS_POPUP goes; otherwise they go
// and WS_POPUP comes (*pbEntering then true: the window is to be maximized).
uint32_t WindowMode_FullScreenStyle(uint32_t style, bool* pbEntering);

// The window's modes as the commands see them: the two settings and whether the
// window really is topmost now.
struct WindowModes {
  bool bAlwaysOnTop;
  bool bAlwaysAtBack;
  bool bTopmost;
};
// What the window must do after a mode command.
enum WindowModeAction : uint32_t {
  WMACT_MAKE_TOPMOST = 1u << 0,
  WMACT_MAKE_NOT_TOPMOST = 1u << 1,
  WMACT_REDRAW = 1u << 2,          // frame and children, after becoming topmost
  WMACT_BRING_TO_FRONT = 1u << 3,  // top of the z-order and the foreground
};
// Always on top: off when the window is topmost, else on (and at the back off).
uint32_t WindowMode_ToggleOnTop(WindowModes* modes);
// Always at the back: off when on; else on, always on top off and the window no
// longer topmost. Its first move puts it to the bottom.
uint32_t WindowMode_ToggleAtBack(WindowModes* modes);
// Whether a change of the window's place or z-order is to put it at the bottom.
bool WindowMode_KeepsAtBack(const WindowModes* modes);
