#include "editctrl/prntcancel_win.h"

#include "res/resource.h"
#include "tools/toolwind_win.h"

namespace {

const char kPropAbort[] = "g_bAbort";

volatile BYTE* AbortFlag(HWND hDlg) { return static_cast<volatile BYTE*>(GetPropA(hDlg, kPropAbort)); }

void SetAbort(HWND hDlg) {
  volatile BYTE* pbAbort = AbortFlag(hDlg);
  if (pbAbort) *pbAbort = 1;
}

INT_PTR OnInitDialog(HWND hDlg, WPARAM, LPARAM lParam) {
  if (!SetPropA(hDlg, kPropAbort, reinterpret_cast<HANDLE>(lParam))) {
    // Without the property the button could not stop the job.
    reinterpret_cast<volatile BYTE*>(lParam)[0] = 1;
  }
  return TRUE;
}

INT_PTR OnCommand(HWND hDlg, WPARAM wParam, LPARAM) {
  switch (LOWORD(wParam)) {
    case IDOK:
    case IDCANCEL:
      SetAbort(hDlg);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR OnClose(HWND hDlg, WPARAM, LPARAM) {
  SetAbort(hDlg);
  return TRUE;
}

// PrintCancel_Destroy takes the flag away first; a dialog that still has it is
// going because its owner went, and the job must stop.
INT_PTR OnDestroy(HWND hDlg, WPARAM, LPARAM) {
  SetAbort(hDlg);
  RemovePropA(hDlg, kPropAbort);
  return TRUE;
}

constexpr MessageRow kMessages[] = {
    {WM_INITDIALOG, OnInitDialog},
    {WM_COMMAND, OnCommand},
    {WM_CLOSE, OnClose},
    {WM_DESTROY, OnDestroy},
};

INT_PTR CALLBACK PrintCancelProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return Dialog_Dispatch(kMessages, sizeof(kMessages) / sizeof(kMessages[0]), hDlg, uMsg, wParam, lParam);
}

}  // namespace

HWND PrintCancel_Create(HINSTANCE hInstance, HWND hOwner, volatile BYTE* pbAbort) {
  QWIL_ASSERT(pbAbort);
  return CreateDialogParamA(hInstance, MAKEINTRESOURCEA(IDD_PRINTCANCEL), hOwner, PrintCancelProc,
                            reinterpret_cast<LPARAM>(pbAbort));
}

void PrintCancel_Destroy(HWND hDlg) {
  if (!hDlg || !IsWindow(hDlg)) return;
  RemovePropA(hDlg, kPropAbort);
  DestroyWindow(hDlg);
}

volatile BYTE* PrintCancel_GetAbortFlag(HWND hDlg) { return hDlg ? AbortFlag(hDlg) : nullptr; }
