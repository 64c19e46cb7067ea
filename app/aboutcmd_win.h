// The About command (40071): the About box over the main window.
#pragma once

#include "app/appdata.h"
#include "tools/platform.h"

// Always 0; a box already open is brought to the front instead.
LRESULT HelpCommand_About(AppInfo* app, WPARAM wParam, LPARAM lParam);
