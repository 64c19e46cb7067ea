// The document's file side on the main window: opening (with the load error
// when a file cannot be read), the save question before a modified document is
// given up, saving (with the save error), and the file commands built on them.
//
// Every handler has the command handler's form (app/command_win.h).
#pragma once

#include <cstdint>

#include "app/appdata.h"
#include "app/busytext.h"
#include "app/docfile.h"
#include "tools/platform.h"

// The file's text (path null: an empty untitled document) replaces the
// document. On success the path's shell form (or its full form) becomes the
// document's path, the title is refreshed and path joins the load history.
// False when it could not be loaded: the old document, path and title stay,
// and the load error names the file and why (a read-only editor refuses
// without a word). A load that takes long shows its progress and may be
// stopped with Escape (app/appbusy_win.h), which keeps the old document as
// it was and tells nothing.
bool Document_Open(AppInfo* app, const char* path);
// The same for work (opening or reloading); with bShowNow the title says at
// once which file is being opened (the start-up's file).
bool Document_OpenAs(AppInfo* app, const char* path, BusyWork work, bool bShowNow);
// True when the caller may go on: the document is not modified, was saved, or
// the user chose not to save. Asks with the document's name as caption.
bool Document_AskToSave(AppInfo* app);
// Writes the document to path, the file then holding all of it or, on any
// failure, what it held before (the save error says so). Clears the modified
// flag on success. The recycle-bin setting sends the old file there only once
// the new bytes are written.
bool Document_Save(AppInfo* app, const char* path);

// The document's file read again, without the save question; the caret stays
// where it was as far as the new text has room for it. False (the load error
// told) when it cannot be read.
bool Document_Reload(AppInfo* app);

// The title for the document as it is now (app/statusbar_win.h, Title_Refresh).
void Document_RefreshTitle(const AppInfo* app);

// The messages, owned by the main window.
void Document_ShowLoadError(const AppInfo* app, const char* path, LoadError reason);
void Document_ShowSaveError(const AppInfo* app, const char* path, TextFileStatus status);

// The file commands (ids 40001 to 40006, 40136 and 40146), and the entries of
// the load history (36865 + index): after the save question, the entry is
// opened, or the load error says it can no longer be read.
// Save over the document's own file asks first when another program changed
// it since it was loaded or saved: overwrite, save under another name, or not.
LRESULT FileCommand_New(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT FileCommand_Open(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT FileCommand_Save(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT FileCommand_SaveAs(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT FileCommand_Exit(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT FileCommand_SaveAndExit(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT FileCommand_InsertFile(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT FileCommand_Reload(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT FileCommand_OpenHistoryEntry(AppInfo* app, WPARAM wParam, LPARAM lParam);
