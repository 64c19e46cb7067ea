// The main window's long work (opening, reloading, saving, searching, replace
// all) in slices between its messages (tools/busy_win): the title says what
// is done to which document and the status bar how far it has come; Escape
// stops what may stop, and a close waits until the work is over.
#pragma once

#include "app/appdata.h"
#include "app/busytext.h"
#include "tools/progress.h"

struct AppBusy;

// The main window's, from its WM_CREATE to its WM_DESTROY; null without memory
// (the work then runs without showing progress).
AppBusy* AppBusy_Create(HWND hWnd);
void AppBusy_Destroy(AppBusy* busy);

// Work begins on the document named (a path or a name): the progress to give
// it, or null while other work runs (the caller then refuses). With bShowNow
// the title and the status say so at once, otherwise after half a second.
// Loads, searches and replace all may be stopped; saves may not.
const TextProgress* AppBusy_Begin(AppInfo* app, BusyWork work, const char* name, bool bShowNow = false);
// The work is over: the title and the status bar show the document again
// (when they had shown the work).
void AppBusy_End(AppInfo* app);
// Null (no record) is never busy.
bool AppBusy_IsBusy(const AppInfo* app);
// A close while busy waits for the work to be over (true); false when idle.
bool AppBusy_HoldClose(AppInfo* app);
