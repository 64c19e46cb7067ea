// The main window of class "Qwil": the frame that holds the status bar (child
// 100) and the editor control (child 101), owns the menu bar and receives every
// command as WM_COMMAND. Its record is the application record AppInfo, in the
// window property "PROP_APPINFO" from WM_CREATE to WM_DESTROY; each message has
// a handler of its own.
#pragma once

#include <cstdint>

#include "app/appdata.h"
#include "tools/platform.h"

extern const char kMainWindowClass[];  // "Qwil"
extern const char kMainWindowTitle[];  // "Qwilpad"

constexpr int kEditorControlId = 101;

// Registers the classes "Qwil" (the program's icons, menu 140, no cursor, the
// null brush) and "TextEditorControl"; false when the system refuses either.
// Registering again in the same process succeeds.
bool MainWindow_RegisterClass(HINSTANCE hInstance);
void MainWindow_UnregisterClass(HINSTANCE hInstance);

// Creates the (hidden) main window on app: the window's place and size from the
// settings, the status bar and the editor made with them, the load history read.
// app->hInstance must be set and app must not be attached to a window yet; null
// when creation fails (app then unattached again).
HWND MainWindow_Create(AppInfo* app);

// The start-up document and the first show: argument 1, when it names an
// existing file, opened under its shell name; otherwise an untitled document.
// Then the saved placement, and the window shown maximized or normal.
void MainWindow_Start(AppInfo* app, int32_t argc, char** argv);

// The record of a main window, or null for any other window (or after WM_DESTROY).
AppInfo* MainWindow_GetAppInfo(HWND hWnd);

// Runs the thread's message loop until WM_QUIT (its code) or a failure of the
// queue (1). A message that the accelerator table of the main window's record
// translates is not dispatched again.
int MainWindow_RunMessageLoop(HWND hWnd);

// The find options of the window's record; 0 for a window without one.
uint32_t GetFindMode(HWND hWnd);
// Copies the default document name (cut between characters to size bytes);
// false for a window without a record.
bool GetDefaultDocumentName(HWND hWnd, char* buffer, int32_t size);

