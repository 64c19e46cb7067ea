// The window layer of the command table: each fixed command id paired with its
// handler, the dispatch of WM_COMMAND (a lookup, then the default handlers of
// the id ranges in order), and the menu rules applied when a popup opens.
#pragma once

#include "app/appdata.h"
#include "tools/platform.h"

// A command's handler gets the message's parameters; what it returns is the
// message's result (the save commands: 1 when saved).
typedef LRESULT (*CommandHandler)(AppInfo* app, WPARAM wParam, LPARAM lParam);

struct CommandHandlerRow {
  int32_t id;
  CommandHandler pfnHandler;
};

// The handlers in id order: one for every row of the command table.
const CommandHandlerRow* Command_GetHandlers(int32_t* pnCount);
// The handler of a fixed id, or null.
CommandHandler Command_FindHandler(int32_t id);

// WM_COMMAND on the main window: the id's handler; otherwise the default
// handlers in order (a load history entry opens its file), and then
// DefWindowProcA.
LRESULT Command_Dispatch(AppInfo* app, WPARAM wParam, LPARAM lParam);

// WM_INITMENUPOPUP: the Help popup cut after About, every item of a popup other
// than the system menu enabled, then the table's rules gray and check items by
// the editor's and the window's state.
void Command_InitMenuPopup(AppInfo* app, HMENU hPopup, bool bSystemMenu);
