// Commands that move the caret in the editor: to the start or end of the
// document or of the caret's line, the selection collapsed there.
#pragma once

#include "app/appdata.h"
#include "tools/platform.h"

LRESULT EditCommand_DocumentStart(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT EditCommand_DocumentEnd(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT EditCommand_LineStart(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT EditCommand_LineEnd(AppInfo* app, WPARAM wParam, LPARAM lParam);
