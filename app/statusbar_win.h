// The status bar (child 100 of the main window) and the window title: both show
// what the editor control reports. The status bar is subclassed so that its
// parent hears when it is moved, resized or destroyed.
#pragma once

#include <cstdint>

#include "tools/platform.h"

// The status bar's control id on the main window.
constexpr int kStatusBarId = 100;

// What the subclassed status bar tells its parent with WM_NOTIFY.
constexpr UINT kStatusBarDestroyCode = 0xFFFF0001u;  // it is being destroyed
constexpr UINT kStatusBarMovedCode = 0xFFFF0002u;    // it was moved or resized; lValue: the WINDOWPOS

struct StatusBarNotify {
  NMHDR hdr;
  LPARAM lValue;
};

// The status bar of hParent, id 100, empty, subclassed, its six parts set to
// the parent's client width; null when it cannot be made.
HWND StatusBar_Create(HWND hParent, HINSTANCE hInstance);
// Across the bottom of the parent's client area, the parts set for its width.
// The editor gets the height above it while it is visible. Nothing is moved
// that is where it belongs already.
void StatusBar_Layout(HWND hStatusBar, HWND hParent);
// The five texts from the editor: the selection, the document's size, the
// caret's place and character, Caps Lock and Num Lock. Nothing while either
// window is missing.
void StatusBar_Refresh(HWND hStatusBar, HWND hEditor);
// The bar drawn at another DPI: the system's status font made for it, and
// every part as wide as the widest text it holds (counts of ten digits).
void StatusBar_SetDpi(HWND hStatusBar, int32_t nDpi);
// The first part shows text (a long work's progress) at once; the next
// refresh shows the selection again.
void StatusBar_ShowProgress(HWND hStatusBar, const char* text);
// The sixth part: the encoding of the document's file (app/encguard.h).
void StatusBar_SetEncoding(HWND hStatusBar, const char* text);
// The status bar's height when it is visible, else 0.
int StatusBar_VisibleHeight(HWND hStatusBar);
// The parent's client area shared out: the status bar (null: none) across the
// bottom as StatusBar_Layout puts it, the editor in all the height above it
// while the bar is visible.
void StatusBar_LayoutWithEditor(HWND hParent, HWND hStatusBar, HWND hEditor);

// "[name *] - path" from the document's path (empty while untitled, named
// untitledName then) and the editor's modified flag; the window's text is set
// only when it differs. A note (the file is missing) follows the path.
void Title_Refresh(HWND hWnd, HWND hEditor, const char* path, const char* untitledName, const char* note = nullptr);
