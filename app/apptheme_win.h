// The main window under the system's app theme: the title bar dark on a dark
// desktop, and the editor in the theme's default scheme unless the colours are
// the user's own (AppInfo.bUserColours), at the start and whenever the theme
// changes while the program runs.
#pragma once

#include "app/appdata.h"
#include "tools/platform.h"

// At WM_CREATE, before the editor is made: its colours and the title bar for
// the theme in force.
void AppTheme_Attach(AppInfo* app);

// WM_SETTINGCHANGE of the main window (its lParam): a change of the app theme
// repaints the editor with the new theme's scheme (colours of the user's own
// stay) and turns the title bar.
void AppTheme_OnSettingChange(AppInfo* app, LPARAM lParam);

// The colours confirmed in the display settings dialog: equal to the theme's
// default scheme they follow the theme from now on, anything else is the user's.
void AppTheme_TakeDisplayChoice(AppInfo* app, EditorSettings* settings);
