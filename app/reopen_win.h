// The command that reopens a document's file, written in UTF-8 or UTF-16,
// converted to Shift_JIS (app/encguard.h).
#pragma once

#include "app/appdata.h"
#include "tools/platform.h"

// "Shift_JIS に変換して開き直す" (40152): the document's file, read again and
// converted, becomes a new modified document, untitled or under the file's
// name as the user chooses; the file itself is not touched. What code page 932
// cannot hold is listed first, and is converted to "?" only when the user says
// so. Has the command handler's form (app/command_win.h).
LRESULT FileCommand_ReopenAsShiftJis(AppInfo* app, WPARAM wParam, LPARAM lParam);
