// The system's app theme (light or dark, as the user set it in the system's
// colour settings) and the dark title bar of the window manager.
#pragma once

#include "tools/platform.h"

// Dark when HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize
// holds AppsUseLightTheme = 0; light when it is another number, is absent
// (systems before the dark theme) or cannot be read.
bool SystemTheme_IsDark();

// True for the WM_SETTINGCHANGE the system sends when the app theme changed
// (lParam the text "ImmersiveColorSet"); false for every other one.
bool SystemTheme_IsChange(LPARAM lParam);

// Asks the window manager for a dark or a light title bar on the window
// (dwmapi.dll of the system folder, looked up when called). False, nothing
// changed, on systems without that library, its entry point or the attribute.
bool SystemTheme_SetDarkTitleBar(HWND hWnd, bool bDark);
