// The main window on a display of another density.
#pragma once

#include "tools/platform.h"

// WM_DPICHANGED: the editor control and the status bar (null: none yet) take the new DPI
// (wParam's high word, the vertical one), then the window takes the rectangle
// the system suggests (lParam), whose size change lays out the status bar and
// the editor.
LRESULT MainWindow_OnDpiChanged(HWND hWnd, HWND hEditor, HWND hStatusBar, WPARAM wParam, LPARAM lParam);
