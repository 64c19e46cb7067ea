// The load history on the main window: the list in the window property
// "PROP_LOADFILEHISTORY", the File popup rebuilt around it, its section of the
// settings file written at every change, and opening an entry.
#pragma once

#include <cstdint>

#include "app/appdata.h"
#include "tools/history.h"
#include "tools/platform.h"

extern const char kPropLoadFileHistory[];  // "PROP_LOADFILEHISTORY"

// Reads the history from the settings file, attaches it to the main window and
// rebuilds the File popup. False when memory runs out (no history then).
bool FileHistory_Create(AppInfo* app);
// Frees the history and removes the property.
void FileHistory_Destroy(HWND hWnd);
// The main window's history, or null.
History* FileHistory_Get(HWND hWnd);

// path moves to (or joins at) the front; the File popup is rebuilt and the
// section written again.
void FileHistory_Add(AppInfo* app, const char* path);
// The File popup from its rows, the history's entries in their slot.
void FileHistory_RebuildMenu(const AppInfo* app);
// Command 36865 + index: after the save question, the entry is opened, or the
// load error says it can no longer be read.
LRESULT FileHistory_OpenEntry(AppInfo* app, int32_t index);
