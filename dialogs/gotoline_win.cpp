#include "dialogs/gotoline_win.h"

#include <commctrl.h>

#include "dialogs/gotoline.h"
#include "res/resource.h"
#include "tools/toolwind_win.h"

const char kPropPoint[] = "PROP_POINT";

namespace {

struct GoToLineData {
  POINT* pPos;
  int32_t nLines;
};

INT_PTR OnInitDialog(HWND hDlg, WPARAM, LPARAM lParam) {
  GoToLineData* data = reinterpret_cast<GoToLineData*>(lParam);
  if (!SetPropA(hDlg, kPropPoint, data)) {
    EndDialog(hDlg, IDCANCEL);
    return TRUE;
  }
  Window_PlaceCaptionAtCursor(hDlg);
  HWND hEdit = GetDlgItem(hDlg, IDC_GOTO_LINE);
  HWND hSpin = GetDlgItem(hDlg, IDC_GOTO_SPIN);
  int32_t current = data->pPos->y < INT32_MAX ? data->pPos->y + 1 : INT32_MAX;
  SetDlgItemInt(hDlg, IDC_GOTO_LINE, static_cast<UINT>(current), TRUE);
  SendMessageA(hSpin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(hEdit), 0);
  // The 32-bit range: a document may have far more lines than 32767.
  SendMessageA(hSpin, UDM_SETRANGE32, 1, static_cast<LPARAM>(data->nLines));
  SendMessageA(hSpin, UDM_SETPOS32, 0, static_cast<LPARAM>(current));
  char hint[48];
  GoToLine_FormatRange(data->nLines, hint, sizeof(hint));
  HWND hTip = ToolTip_Create(hDlg);
  if (hTip) ToolTip_AddTool(hTip, hDlg, hEdit, hint);
  SendMessageA(hEdit, EM_SETSEL, 0, -1);
  return TRUE;
}

void OnOk(HWND hDlg) {
  GoToLineData* data = static_cast<GoToLineData*>(GetPropA(hDlg, kPropPoint));
  char text[64] = {};
  GetDlgItemTextA(hDlg, IDC_GOTO_LINE, text, sizeof(text));
  int32_t line = 0;
  // Not a number: the dialog stays, the field selected for another try.
  if (!data || !GoToLine_Parse(text, &line)) {
    HWND hEdit = GetDlgItem(hDlg, IDC_GOTO_LINE);
    SendMessageA(hEdit, EM_SETSEL, 0, -1);
    SetFocus(hEdit);
    return;
  }
  *data->pPos = POINT{0, line};
  EndDialog(hDlg, IDOK);
}

INT_PTR OnCommand(HWND hDlg, WPARAM wParam, LPARAM) {
  switch (LOWORD(wParam)) {
    case IDOK: OnOk(hDlg); return TRUE;
    case IDCANCEL: EndDialog(hDlg, IDCANCEL); return TRUE;
    default: return FALSE;
  }
}

INT_PTR OnDestroy(HWND hDlg, WPARAM, LPARAM) {
  RemovePropA(hDlg, kPropPoint);
  return FALSE;
}

constexpr MessageRow kMessages[] = {
    {WM_INITDIALOG, OnInitDialog},
    {WM_COMMAND, OnCommand},
    {WM_NCHITTEST, Dialog_OnSurfaceHitTest},
    {WM_DESTROY, OnDestroy},
};

INT_PTR CALLBACK GoToLineProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return Dialog_Dispatch(kMessages, sizeof(kMessages) / sizeof(kMessages[0]), hDlg, uMsg, wParam, lParam);
}

}  // namespace

bool ShowGoToLineDialog(HWND hOwner, int32_t nLines, POINT* pos) {
  QWIL_ASSERT(pos && nLines >= 1);
  GoToLineData data = {pos, nLines};
  HINSTANCE hInstance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hOwner, GWLP_HINSTANCE));
  return DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_GOTOLINE), hOwner, GoToLineProc,
                         reinterpret_cast<LPARAM>(&data)) == IDOK;
}
