// Window helpers shared by the program's windows and dialogs.
#pragma once

#include "tools/platform.h"

// The icon the shell shows for the program's own file, large or small; null when
// there is none. The caller owns it (DestroyIcon).
HICON Module_GetShellIcon(HINSTANCE hInstance, bool bSmall);

// The module's first icon, large or small: the one the shell shows for the
// program's file, read from the module itself rather than through the shell
// (whose first call costs the start-up tens of milliseconds). Null when the
// module has none; the caller owns it.
HICON Module_GetOwnIcon(HINSTANCE hInstance, bool bSmall);

// Registers a window class with the program file's large and small icons,
// no cursor of its own, the stock object as background brush and the menu
// resource (0 for none) as class menu. Returns the class atom, 0 on failure.
ATOM Window_RegisterClass(HINSTANCE hInstance, const char* pszClassName, WNDPROC pfnWndProc, UINT nClassStyle,
                          UINT nMenuId, int nStockObject);
// The same with nWndExtra bytes of window data.
ATOM Window_RegisterClassExtra(HINSTANCE hInstance, const char* pszClassName, WNDPROC pfnWndProc, UINT nClassStyle,
                               UINT nMenuId, int nStockObject, int nWndExtra);

// Sounds the beep of the type's icon (type & MB_ICONMASK), then shows the message
// box; the button pressed (0 when the box could not be shown).
int MessageBox_Beep(HWND hOwner, const char* pszText, const char* pszCaption, UINT nType);

// Loads menu resource nMenuId, makes the owner the foreground window and tracks
// popup nIndex of it at the mouse pointer with the flags; the menu is destroyed
// afterwards. The chosen command reaches the owner as WM_COMMAND. False when the
// menu or the pointer cannot be had.
bool Menu_TrackPopupAtCursor(HINSTANCE hInstance, UINT nMenuId, int nIndex, HWND hOwner, UINT nFlags);
// The position of the item with command id nId among the menu's own items, -1
// when it has none.
int Menu_FindPosition(HMENU hMenu, UINT nId);
