// The main window of class "Qwil": the frame that holds the editor control (and
// will hold the status bar), owns the menu bar and receives every command as
// WM_COMMAND.
// One record holds the window's state; each message has a handler of its own.
#pragma once

#include "tools/platform.h"

extern const char kMainWindowClass[];  // "Qwil"
extern const char kMainWindowTitle[];  // "Qwilpad"

// The main window's state. The caller of MainWindow_Create owns the record and
// keeps it alive until the message loop has ended; the window holds it as its
// property "PROP_MAINWINDOW" from WM_CREATE to WM_DESTROY.
struct MainWindow {
  HWND hWnd;  // null until WM_CREATE and again after WM_DESTROY
  HINSTANCE hInstance;
  HACCEL hAccel;    // the message loop's accelerator table, or null
  HWND hEditor;     // the editor control, child 101 over the client area
};

// The control identifier of the editor control.
constexpr int kEditorControlId = 101;

// The record has a module and is attached to the window it names, or to none yet.
bool IsValidMainWindow(const MainWindow* pMain);

// Registers the class "Qwil" with the program's icons and menu 140; false when
// the system refuses. Registering again in the same process succeeds.
bool MainWindow_RegisterClass(HINSTANCE hInstance);
void MainWindow_UnregisterClass(HINSTANCE hInstance);

// Creates the (hidden) main window on pMain, which must not be attached yet;
// null when creation fails, and pMain is then left unattached.
HWND MainWindow_Create(HINSTANCE hInstance, MainWindow* pMain);

// Opens a file into the editor (null: an empty document); false when it cannot
// be read, the document then as it was.
bool MainWindow_OpenFile(MainWindow* pMain, const char* path);

// The record of a main window, or null for any other window.
MainWindow* MainWindow_FromHandle(HWND hWnd);

// Runs the thread's message loop until WM_QUIT and returns its exit code, or 1
// if the message queue fails. A message that the accelerator table of the main
// window translates is not dispatched again.
int MainWindow_RunMessageLoop(HWND hWnd);
