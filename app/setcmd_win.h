// The settings commands: the settings dialog (40081), the display settings
// dialog (40082) and the key assignment dialog (40085). Each confirmed dialog
// is put in force at once and written to the settings file or the key file.
#pragma once

#include "app/appdata.h"
#include "tools/platform.h"

// 1 when the dialog was confirmed, 0 when cancelled.
LRESULT SettingsCommand_Settings(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT SettingsCommand_Display(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT SettingsCommand_KeyAssign(AppInfo* app, WPARAM wParam, LPARAM lParam);
