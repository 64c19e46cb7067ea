// The settings dialog (resource 136): the document folder, the date format
// with its ticking preview, and the four switches of the save dialog, the
// recycle bin and the input method.
#pragma once

#include "app/appdata.h"
#include "tools/platform.h"

// The preview's refresh period (timer 1).
constexpr UINT kSettingsPreviewTimer = 1;
constexpr UINT kSettingsPreviewMs = 300;

// Runs the dialog modally on app's settings. True on OK, the record then
// holding the new values; false on Cancel, the record unchanged.
bool ShowSettingsDialog(HWND hOwner, AppInfo* app);
