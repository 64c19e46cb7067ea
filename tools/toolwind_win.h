// Window helpers shared by the program's windows and dialogs.
#pragma once

#include "tools/platform.h"

// The icon the shell shows for the program's own file, large or small; null when
// there is none. The caller owns it (DestroyIcon).
HICON Module_GetShellIcon(HINSTANCE hInstance, bool bSmall);

// Registers a window class with the program file's large and small shell icons,
// no cursor of its own, the stock object as background brush and the menu
// resource (0 for none) as class menu. Returns the class atom, 0 on failure.
ATOM Window_RegisterClass(HINSTANCE hInstance, const char* pszClassName, WNDPROC pfnWndProc, UINT nClassStyle,
                          UINT nMenuId, int nStockObject);
// The same with nWndExtra bytes of window data.
ATOM Window_RegisterClassExtra(HINSTANCE hInstance, const char* pszClassName, WNDPROC pfnWndProc, UINT nClassStyle,
                               UINT nMenuId, int nStockObject, int nWndExtra);
