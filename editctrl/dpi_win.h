// The DPI a window is drawn at.
#pragma once

#include <cstdint>

#include "tools/platform.h"

// The window's own DPI where the system knows one per window (Windows 10 1607 and
// later, asked at run time so that older systems still start the program), else
// the screen's; 96 when neither can be had.
int32_t Dpi_ForWindow(HWND hWnd);
