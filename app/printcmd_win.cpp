#include "app/printcmd_win.h"

#include "app/printcmd.h"
#include "editctrl/editprint_win.h"
#include "editctrl/prnttext_win.h"
#include "tools/debuglog.h"
#include "tools/toolwind_win.h"

#include <cderr.h>

static_assert(kPdReturnDc == PD_RETURNDC && kPdReturnDefault == PD_RETURNDEFAULT, "print dialog flags");
static_assert(kPdSelection == PD_SELECTION && kPdPageNums == PD_PAGENUMS, "print dialog flags");
static_assert(kPdNoSelection == PD_NOSELECTION && kPdNoPageNums == PD_NOPAGENUMS, "print dialog flags");
static_assert(kPdPrintToFile == PD_PRINTTOFILE && kPdHidePrintToFile == PD_HIDEPRINTTOFILE, "print dialog flags");
static_assert(kPdUseDevModeCopiesAndCollate == PD_USEDEVMODECOPIESANDCOLLATE, "print dialog flags");
static_assert(kPsdMargins == PSD_MARGINS && kPsdReturnDefault == PSD_RETURNDEFAULT, "page setup flags");
static_assert(kPsdInThousandthsOfInches == PSD_INTHOUSANDTHSOFINCHES, "page setup flags");
static_assert(kPsdInHundredthsOfMillimeters == PSD_INHUNDREDTHSOFMILLIMETERS, "page setup flags");
static_assert(kPdErrNoDevices == PDERR_NODEVICES && kPdErrNoDefaultPrn == PDERR_NODEFAULTPRN, "dialog errors");

namespace {

// The printing settings of the run: one record per process, as the printer is.
struct PrintSettings {
  HGLOBAL hDevMode;     // the shared printer, or null
  HGLOBAL hDevNames;
  PAGESETUPDLGA psd;    // the last page setup record
  BYTE bPageSetup;      // psd came from a confirmed dialog or a default query
  PRINTDLGA pd;         // the last print dialog record
  BYTE bPrint;          // pd likewise
};
PrintSettings g_settings = {};

BOOL SystemPageSetupDlg(PAGESETUPDLGA* psd) { return PageSetupDlgA(psd); }
BOOL SystemPrintDlg(PRINTDLGA* pd) { return PrintDlgA(pd); }
DWORD SystemExtendedError() { return CommDlgExtendedError(); }
constexpr PrintDialogMethods kSystemDialogs = {SystemPageSetupDlg, SystemPrintDlg, SystemExtendedError};
PrintDialogMethods g_dialogs = kSystemDialogs;

void FreeHandle(HGLOBAL h) {
  if (h && GlobalFlags(h) != GMEM_INVALID_HANDLE) GlobalFree(h);
}

// A dialog hands back the printer it was given, or one it made in its place
// (having freed the old one, or leaving it to us): the new pair becomes the
// shared one.
void TakePrinter(HGLOBAL hDevMode, HGLOBAL hDevNames) {
  if (g_settings.hDevMode != hDevMode) FreeHandle(g_settings.hDevMode);
  if (g_settings.hDevNames != hDevNames) FreeHandle(g_settings.hDevNames);
  g_settings.hDevMode = hDevMode;
  g_settings.hDevNames = hDevNames;
}

void SavePageSetup(const PAGESETUPDLGA* psd, bool bSuccess) {
  g_settings.psd = *psd;
  TakePrinter(psd->hDevMode, psd->hDevNames);
  if (bSuccess) g_settings.bPageSetup = 1;
}

void SavePrintDialog(const PRINTDLGA* pd, bool bSuccess) {
  g_settings.pd = *pd;
  g_settings.pd.hDC = nullptr;  // deleted once the job is over
  TakePrinter(pd->hDevMode, pd->hDevNames);
  if (bSuccess) g_settings.bPrint = 1;
}

// The default query takes no printer (the dialog refuses one with
// PSD_RETURNDEFAULT) and hands back the default printer's: a printer chosen in
// the print dialog before stays the shared one, and the query's pair goes.
void SaveDefaultPageSetup(PAGESETUPDLGA* psd, bool bSuccess) {
  if (g_settings.hDevMode || g_settings.hDevNames) {
    if (psd->hDevMode != g_settings.hDevMode) FreeHandle(psd->hDevMode);
    if (psd->hDevNames != g_settings.hDevNames) FreeHandle(psd->hDevNames);
    psd->hDevMode = g_settings.hDevMode;
    psd->hDevNames = g_settings.hDevNames;
  }
  SavePageSetup(psd, bSuccess);
}

// The saved page setup made ready for hOwner, or the default printer's margins
// asked for the first time. False (the extended error in *pdwError) when
// there is no printer to ask.
bool PreparePageSetup(HWND hOwner, PAGESETUPDLGA* psd, DWORD* pdwError) {
  *pdwError = 0;
  if (g_settings.bPageSetup) {
    *psd = g_settings.psd;
    psd->Flags = PrintFlags_PreparedPageSetup(psd->Flags);
    psd->hDevMode = g_settings.hDevMode;
    psd->hDevNames = g_settings.hDevNames;
    psd->hwndOwner = hOwner;
    return true;
  }
  *psd = PAGESETUPDLGA{};
  psd->lStructSize = sizeof(PAGESETUPDLGA);
  psd->Flags = kPageSetupDefaultQueryFlags;
  psd->hwndOwner = hOwner;
  bool bOk = g_dialogs.pfnPageSetupDlg(psd) != FALSE;
  if (!bOk) *pdwError = g_dialogs.pfnExtendedError();
  if (bOk) PrintMargins_FillDefault(&psd->rtMargin);
  SaveDefaultPageSetup(psd, bOk);
  return bOk;
}

// The saved print dialog record, or the default printer asked for the first
// time. False (the extended error in *pdwError) when there is none.
bool PreparePrintDialog(HWND hOwner, PRINTDLGA* pd, DWORD* pdwError) {
  *pdwError = 0;
  if (g_settings.bPrint) {
    *pd = g_settings.pd;
  } else {
    *pd = PRINTDLGA{};
    pd->lStructSize = sizeof(PRINTDLGA);
    pd->Flags = kPrintDefaultQueryFlags;
    pd->hDevMode = g_settings.hDevMode;
    pd->hDevNames = g_settings.hDevNames;
    bool bOk = g_dialogs.pfnPrintDlg(pd) != FALSE;
    if (!bOk) *pdwError = g_dialogs.pfnExtendedError();
    SavePrintDialog(pd, bOk);
    if (!bOk) return false;
  }
  pd->hDevMode = g_settings.hDevMode;
  pd->hDevNames = g_settings.hDevNames;
  pd->hDC = nullptr;
  pd->hwndOwner = hOwner;
  return true;
}

void ShowDialogError(const AppInfo* app, DWORD dwError) {
  const char* text = PrintMessage_ForDialogError(dwError);
  if (!text) return;
  DebugLog_Printf("%s(%d) : 印刷の設定の失敗: 0x%lX \r\n", __FILE__, __LINE__, static_cast<unsigned long>(dwError));
  MessageBox_Beep(app->hWnd, text, kPrintMessageCaption, MB_OK | MB_ICONEXCLAMATION);
}

// The print dialog shown; false (nothing to print) when it was cancelled or failed.
bool AskPrinter(AppInfo* app, PRINTDLGA* pd) {
  DWORD dwError = 0;
  if (!PreparePrintDialog(app->hWnd, pd, &dwError)) {
    ShowDialogError(app, dwError);
    return false;
  }
  pd->Flags = PrintFlags_ShownPrintDialog(pd->Flags);
  bool bOk = g_dialogs.pfnPrintDlg(pd) != FALSE;
  if (!bOk) dwError = g_dialogs.pfnExtendedError();
  SavePrintDialog(pd, bOk);
  if (!bOk) ShowDialogError(app, dwError);
  return bOk;
}

PrintResult PrintDocument(AppInfo* app, const PRINTDLGA* pd) {
  PAGESETUPDLGA psd;
  DWORD dwError = 0;
  // A printer that answers the print dialog has margins; should it give none,
  // the page prints edge to edge rather than not at all.
  const PAGESETUPDLGA* pMargins = PreparePageSetup(app->hWnd, &psd, &dwError) ? &psd : nullptr;
  DOCINFOA di = {};
  di.cbSize = sizeof(DOCINFOA);
  di.lpszDocName = AppInfo_GetDocumentName(app);
  return TextEditor_Print(app->hEditor, pMargins, &di, pd, app->nPrintPointSize);
}

}  // namespace

PrintDialogMethods PrintCommand_SetDialogMethods(const PrintDialogMethods* methods) {
  PrintDialogMethods old = g_dialogs;
  g_dialogs = methods ? *methods : kSystemDialogs;
  return old;
}

void PrintCommand_ResetSettings() {
  FreeHandle(g_settings.hDevMode);
  FreeHandle(g_settings.hDevNames);
  g_settings = PrintSettings{};
}

HGLOBAL PrintCommand_GetDevMode() { return g_settings.hDevMode; }
HGLOBAL PrintCommand_GetDevNames() { return g_settings.hDevNames; }

bool PrintCommand_RefuseWhilePrinting() {
  if (!PrintText_IsPrinting()) return false;
  MessageBeep(MB_ICONEXCLAMATION);
  HWND hCancel = PrintText_GetCancelDialog();
  if (hCancel) SetWindowPos(hCancel, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return true;
}

LRESULT PrintCommand_PageSetup(AppInfo* app, WPARAM, LPARAM) {
  if (PrintCommand_RefuseWhilePrinting()) return 0;
  PAGESETUPDLGA psd;
  DWORD dwError = 0;
  if (!PreparePageSetup(app->hWnd, &psd, &dwError)) {
    ShowDialogError(app, dwError);
    return 0;
  }
  psd.Flags = PrintFlags_ShownPageSetup(psd.Flags);
  bool bOk = g_dialogs.pfnPageSetupDlg(&psd) != FALSE;
  if (!bOk) dwError = g_dialogs.pfnExtendedError();
  SavePageSetup(&psd, bOk);
  if (!bOk) ShowDialogError(app, dwError);
  return bOk ? 1 : 0;
}

LRESULT PrintCommand_Print(AppInfo* app, WPARAM, LPARAM) {
  if (PrintCommand_RefuseWhilePrinting()) return 0;
  PRINTDLGA pd;
  if (!AskPrinter(app, &pd)) return 0;
  HWND hWnd = app->hWnd;
  PrintResult result = PrintDocument(app, &pd);
  if (pd.hDC) DeleteDC(pd.hDC);
  DebugLog_Printf("%s(%d) : 印刷: %s \r\n", __FILE__, __LINE__, PrintText_ResultName(result));
  // The window may have gone while the job ran (the job then stopped).
  const char* text = PrintMessage_ForResult(result);
  if (text && IsWindow(hWnd)) MessageBox_Beep(hWnd, text, kPrintMessageCaption, MB_OK | MB_ICONEXCLAMATION);
  return result == kPrintDone ? 1 : 0;
}
