// The view and window commands of the main window: the status bar, the editor's
// frame, line numbers, wrapping and the five marks, full-screen mode, always on
// top and always at the back, and minimize, maximize and restore.
//
// The view toggles keep AppInfo's copy of the editor settings in step with the
// editor; the settings file is written at close, as the window is then.
#pragma once

#include "app/appdata.h"
#include "tools/platform.h"

LRESULT ViewCommand_StatusBar(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT ViewCommand_Frame3D(AppInfo* app, WPARAM wParam, LPARAM lParam);
// Any of line numbers, wrapping and the five marks, by the command id.
LRESULT ViewCommand_Toggle(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT ViewCommand_FullScreen(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT ViewCommand_AlwaysOnTop(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT ViewCommand_AlwaysAtBack(AppInfo* app, WPARAM wParam, LPARAM lParam);
// The font dialog on the editor's font: on OK the editor shows the choice, the
// printing size follows it and the settings file is written; 1, or 0 when
// cancelled.
LRESULT ViewCommand_Font(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT ViewCommand_Minimize(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT ViewCommand_Maximize(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT ViewCommand_Restore(AppInfo* app, WPARAM wParam, LPARAM lParam);

// WM_WINDOWPOSCHANGING: while always at the back is on (and always on top off)
// every change of place or z-order puts the window at the bottom.
void ViewCommand_KeepAtBack(AppInfo* app, WINDOWPOS* pos);

// The window's z-order changed without moving, sizing, activating or
// repainting it, and without another WM_WINDOWPOSCHANGING.
constexpr UINT kQuietZOrderFlags =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOCOPYBITS | SWP_NOSENDCHANGING;
// The window topmost or not, quietly (as always on top is put in force at start).
void ViewCommand_SetTopmost(HWND hWnd, bool bTopmost);

// Whether the window is in full-screen mode: WS_POPUP in place of its frame.
bool ViewCommand_IsFullScreen(HWND hWnd);
// A restore ends full-screen mode: the frame comes back. Nothing for a window
// that is not in it.
void ViewCommand_LeaveFullScreen(HWND hWnd);
