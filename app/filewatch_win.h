// The main window looks at its document's file whenever it comes back to the
// user: back from another program, restored from minimized, after one of its
// own dialogs has closed. A file another program changed is offered for reload
// (or, the document being modified, the user is told that the next save will
// ask); a file that is gone is named so in the title. One question at a time: a
// look that comes while a dialog, a print job or a question is up is made once
// it is over (long work too: app/appbusy_win.h).
#pragma once

#include "app/appdata.h"
#include "tools/platform.h"

// Posted to the main window: look at the file now.
constexpr UINT kFileWatchLookMsg = WM_APP + 1;

// The window became active (or its program did): a look is posted, once, so
// that it is made after the activation.
void FileWatchWin_Schedule(AppInfo* app);
// The posted look.
void FileWatchWin_Look(AppInfo* app);
// A dialog, a print job or a minimized spell is over: a look put off is posted.
void FileWatchWin_LookIfPending(AppInfo* app);
