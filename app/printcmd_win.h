// The page setup (40134) and print (40132) commands on the main window, and the
// printer they share: one device mode and one device names handle for the run,
// with the last page setup and print dialog records, kept until the process ends
// (never in the settings file).
#pragma once

#include "app/appdata.h"
#include "tools/platform.h"

#include <commdlg.h>

// The common dialogs the commands call; tests put in their own.
struct PrintDialogMethods {
  BOOL (*pfnPageSetupDlg)(PAGESETUPDLGA* psd);
  BOOL (*pfnPrintDlg)(PRINTDLGA* pd);
  DWORD (*pfnExtendedError)();
};
// Puts in the dialogs the commands call (null: the system's) and returns those
// that were in force.
PrintDialogMethods PrintCommand_SetDialogMethods(const PrintDialogMethods* methods);

// Forgets the shared printer and both saved records (freeing the handles), as at
// the start of a run.
void PrintCommand_ResetSettings();
// The shared printer's handles, null until a dialog or a default query gave them.
HGLOBAL PrintCommand_GetDevMode();
HGLOBAL PrintCommand_GetDevNames();

// The commands (the command handler's form of app/command_win.h). Page setup
// shows the page setup dialog with the margins chosen before (in millimetres);
// print shows the print dialog with the printer chosen before and prints the
// whole document with the page setup's margins. With no printer either says so
// and shows no dialog; a job that fails is told in a message box.
LRESULT PrintCommand_PageSetup(AppInfo* app, WPARAM wParam, LPARAM lParam);
LRESULT PrintCommand_Print(AppInfo* app, WPARAM wParam, LPARAM lParam);

// While a job prints, the main window does nothing that could change or free the
// document or start a second job: true (with a beep, the cancel dialog brought to
// the front) when the action is to be refused.
bool PrintCommand_RefuseWhilePrinting();
