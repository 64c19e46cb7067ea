// The load history on the main window: the list (AppInfo's pLoadHistory, also
// kept in the window property "PROP_LOADFILEHISTORY"), the File popup rebuilt
// around it, and its section of the settings file written at every change.
// The document commands tell it of every file opened or saved under a new
// name, and open its entries themselves (app/docfile_win.h).
#pragma once

#include "app/appdata.h"
#include "tools/platform.h"

// Reads the history from the settings file, attaches it to the main window and
// rebuilds the File popup. False when memory runs out (no history then).
bool FileHistory_Create(AppInfo* app);
// Frees the history and removes the property.
void FileHistory_Destroy(AppInfo* app);

// path moves to (or joins at) the front; the File popup is rebuilt and the
// section written again.
void FileHistory_Add(AppInfo* app, const char* path);
// The File popup from its rows, the history's entries in their slot.
void FileHistory_RebuildMenu(const AppInfo* app);
