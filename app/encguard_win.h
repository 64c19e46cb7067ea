// The encoding guard on the main window (app/encguard.h): a document read from
// a file in UTF-8 or UTF-16 is read-only with its encoding in the status bar,
// is never saved while so, and is made writable only when the user says so.
#pragma once

#include "app/appdata.h"
#include "tools/platform.h"

// Around every load of a document into the editor: Begin lifts the guard's own
// read-only, which would refuse the load, and End sets the guard for what was
// loaded (path: the file; null: a new document) or, when nothing was
// (bLoaded false), puts the read-only back. bLifted is what Begin returned.
bool EncGuardWin_BeginLoad(AppInfo* app);
void EncGuardWin_EndLoad(AppInfo* app, const char* path, bool bLifted, bool bLoaded);
// False, after saying why, while the document is kept read-only for its encoding.
bool EncGuardWin_AllowsSave(const AppInfo* app);
// Before the read-only command turns read-only off: true to go on. While
// guarding, asks whether to edit the bytes as Shift_JIS; Yes ends the guard.
bool EncGuardWin_AllowsWriting(AppInfo* app);
