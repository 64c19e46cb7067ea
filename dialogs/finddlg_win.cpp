#include "dialogs/finddlg_win.h"

#include <cstring>

#include "dialogs/searchreq.h"
#include "res/resource.h"
#include "tools/charfold.h"
#include "tools/debuglog.h"
#include "tools/toolbase.h"
#include "tools/toolwind_win.h"

const char kPropFindBoxParam[] = "PROP_FINDBOXPARAM_X";

namespace {

struct OptionBox {
  int nId;
  uint32_t nBit;
};
constexpr OptionBox kOptionBoxes[] = {
    {IDC_FIND_IGNORECASE, SF_IGNORECASE},
    {IDC_FIND_IGNOREWIDTH, SF_IGNOREWIDTH},
    {IDC_FIND_WHOLEWORD, SF_WHOLEWORD},
    {IDC_FIND_REGEXP, SF_REGEXP},
};

// A text buffer for one combo box: the read is cut to what a request carries.
constexpr int32_t kComboBufferSize = kSearchRequestTextMax + 1;

FindBoxParam* Find(HWND hDlg) { return static_cast<FindBoxParam*>(GetPropA(hDlg, kPropFindBoxParam)); }

// The combo box's edit text, cut between characters to 1022 bytes; its length.
int32_t ReadCombo(HWND hDlg, int nId, char* buffer) {
  char wide[kComboBufferSize * 2];
  int n = GetDlgItemTextA(hDlg, nId, wide, sizeof(wide));
  if (n < 0) n = 0;
  int32_t length = String_CutLength(wide, n, kFindComboTextMax);
  std::memcpy(buffer, wide, static_cast<size_t>(length));
  buffer[length] = '\0';
  return length;
}

// The item whose text is byte for byte text (the combo box's own search
// ignores case), or CB_ERR.
int FindExact(HWND hCombo, const char* text) {
  int n = static_cast<int>(SendMessageA(hCombo, CB_GETCOUNT, 0, 0));
  char item[kComboBufferSize * 2];
  for (int i = 0; i < n; ++i) {
    LRESULT len = SendMessageA(hCombo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    if (len < 0 || len >= static_cast<LRESULT>(sizeof(item))) continue;
    SendMessageA(hCombo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
    if (std::strcmp(item, text) == 0) return i;
  }
  return CB_ERR;
}

// The text goes to the top of the list and is selected; the list keeps no
// more items than the history.
void PutOnTop(HWND hCombo, const char* text, const History* history) {
  int at = FindExact(hCombo, text);
  if (at != CB_ERR) SendMessageA(hCombo, CB_DELETESTRING, static_cast<WPARAM>(at), 0);
  SendMessageA(hCombo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text));
  int nMax = history ? history->nMax : 0;
  while (SendMessageA(hCombo, CB_GETCOUNT, 0, 0) > (nMax > 0 ? nMax : 1)) {
    SendMessageA(hCombo, CB_DELETESTRING, static_cast<WPARAM>(SendMessageA(hCombo, CB_GETCOUNT, 0, 0) - 1), 0);
  }
  SendMessageA(hCombo, CB_SETCURSEL, 0, 0);
}

void Remember(HWND hDlg, int nId, History* history, const char* text) {
  if (history && !History_Add(history, text)) QWIL_LOG("a search string could not join its history");
  HWND hCombo = GetDlgItem(hDlg, nId);
  if (hCombo) PutOnTop(hCombo, text, history);
}

void FillCombo(HWND hCombo, const History* history) {
  SendMessageA(hCombo, CB_LIMITTEXT, static_cast<WPARAM>(kFindComboTextMax), 0);
  int32_t n = history ? History_GetCount(history) : 0;
  for (int32_t i = 0; i < n; ++i) {
    SendMessageA(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(History_GetEntry(history, i)));
  }
}

void EnableItem(HWND hDlg, int nId, bool bEnable) {
  HWND hItem = GetDlgItem(hDlg, nId);
  if (hItem) EnableWindow(hItem, bEnable ? TRUE : FALSE);
}

// Find next, find previous and replace all need a search string; replace
// waits for a match found.
void UpdateButtons(HWND hDlg, LRESULT nTextLength) {
  bool bText = nTextLength > 0;
  EnableItem(hDlg, IDC_FIND_NEXT, bText);
  EnableItem(hDlg, IDC_FIND_PREV, bText);
  EnableItem(hDlg, IDC_FIND_REPLACEALL, bText);
  EnableItem(hDlg, IDC_FIND_REPLACE, false);
}

void UpdateButtonsFromText(HWND hDlg) {
  UpdateButtons(hDlg, GetWindowTextLengthA(GetDlgItem(hDlg, IDC_FIND_TEXT)));
}

void UpdateButtonsFromSelection(HWND hDlg) {
  HWND hCombo = GetDlgItem(hDlg, IDC_FIND_TEXT);
  LRESULT sel = SendMessageA(hCombo, CB_GETCURSEL, 0, 0);
  UpdateButtons(hDlg, sel == CB_ERR ? 0 : SendMessageA(hCombo, CB_GETLBTEXTLEN, static_cast<WPARAM>(sel), 0));
}

void StoreOptions(HWND hDlg, FindBoxParam* param) {
  uint32_t options = 0;
  for (const OptionBox& box : kOptionBoxes) {
    if (IsDlgButtonChecked(hDlg, box.nId) == BST_CHECKED) options |= box.nBit;
  }
  *param->pnOptions = options;
}

LRESULT SendRequest(HWND hDlg, const FindBoxParam* param, UINT uMsg, const char* find, int32_t nFind,
                    const char* replace, int32_t nReplace) {
  SearchRequest request = {hDlg, *param->pnOptions, find, nFind, replace, nReplace};
  return SendMessageA(param->hOwner, uMsg, static_cast<WPARAM>(request.nOptions),
                      reinterpret_cast<LPARAM>(&request));
}

void ShowInitialText(HWND hDlg, const FindBoxParam* param) {
  if (!param->pszInitial) return;
  HWND hCombo = GetDlgItem(hDlg, IDC_FIND_TEXT);
  int at = FindExact(hCombo, param->pszInitial);
  if (at == CB_ERR) {
    SetWindowTextA(hCombo, param->pszInitial);
    return;
  }
  SendMessageA(hCombo, CB_DELETESTRING, static_cast<WPARAM>(at), 0);
  SendMessageA(hCombo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(param->pszInitial));
  SendMessageA(hCombo, CB_SETCURSEL, 0, 0);
}

INT_PTR OnInitDialog(HWND hDlg, WPARAM, LPARAM lParam) {
  FindBoxParam* param = reinterpret_cast<FindBoxParam*>(lParam);
  QWIL_ASSERT(IsValidFindBoxParam(param));
  if (!SetPropA(hDlg, kPropFindBoxParam, param)) {
    EndDialog(hDlg, IDABORT);
    return TRUE;
  }
  RECT rc;
  GetWindowRect(hDlg, &rc);
  param->nInitialWidth = rc.right - rc.left;
  param->nInitialHeight = rc.bottom - rc.top;
  GetClientRect(hDlg, &rc);
  param->nClientWidth = rc.right;
  param->nClientHeight = rc.bottom;
  Window_PlaceCaptionAtCursor(hDlg);
  for (const OptionBox& box : kOptionBoxes) {
    CheckDlgButton(hDlg, box.nId, (*param->pnOptions & box.nBit) ? BST_CHECKED : BST_UNCHECKED);
  }
  FillCombo(GetDlgItem(hDlg, IDC_FIND_TEXT), param->findHistory);
  ShowInitialText(hDlg, param);
  HWND hReplace = GetDlgItem(hDlg, IDC_FIND_REPLACETEXT);
  if (hReplace) FillCombo(hReplace, param->replaceHistory);
  UpdateButtonsFromText(hDlg);
  return TRUE;
}

void OnFind(HWND hDlg, FindBoxParam* param, UINT uMsg) {
  char find[kComboBufferSize];
  int32_t nFind = ReadCombo(hDlg, IDC_FIND_TEXT, find);
  Remember(hDlg, IDC_FIND_TEXT, param->findHistory, find);
  StoreOptions(hDlg, param);
  LRESULT found = SendRequest(hDlg, param, uMsg, find, nFind, nullptr, -1);
  // The owner may have closed the dialog while answering.
  if (IsWindow(hDlg)) EnableItem(hDlg, IDC_FIND_REPLACE, found != 0);
}

void OnReplace(HWND hDlg, FindBoxParam* param) {
  char find[kComboBufferSize];
  char replace[kComboBufferSize];
  int32_t nFind = ReadCombo(hDlg, IDC_FIND_TEXT, find);
  int32_t nReplace = ReadCombo(hDlg, IDC_FIND_REPLACETEXT, replace);
  Remember(hDlg, IDC_FIND_REPLACETEXT, param->replaceHistory, replace);
  StoreOptions(hDlg, param);
  SendRequest(hDlg, param, kSearchMsgReplace, find, nFind, replace, nReplace);
  // Then on to the next match, as find next would go.
  if (IsWindow(hDlg)) OnFind(hDlg, param, kSearchMsgFindNext);
}

void OnReplaceAll(HWND hDlg, FindBoxParam* param) {
  char find[kComboBufferSize];
  char replace[kComboBufferSize];
  int32_t nFind = ReadCombo(hDlg, IDC_FIND_TEXT, find);
  int32_t nReplace = ReadCombo(hDlg, IDC_FIND_REPLACETEXT, replace);
  Remember(hDlg, IDC_FIND_TEXT, param->findHistory, find);
  Remember(hDlg, IDC_FIND_REPLACETEXT, param->replaceHistory, replace);
  StoreOptions(hDlg, param);
  HWND hButton = GetDlgItem(hDlg, IDC_FIND_REPLACEALL);
  bool bWasEnabled = hButton && IsWindowEnabled(hButton);
  bool bHadFocus = hButton && GetFocus() == hButton;
  if (hButton) EnableWindow(hButton, FALSE);
  SendRequest(hDlg, param, kSearchMsgReplaceAll, find, nFind, replace, nReplace);
  if (!IsWindow(hDlg) || !hButton) return;
  EnableWindow(hButton, bWasEnabled ? TRUE : FALSE);
  // A disabled button loses the focus; the keyboard user keeps it.
  if (bHadFocus && bWasEnabled) SendMessageA(hDlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hButton), TRUE);
}

bool IsOptionBox(int nId) {
  for (const OptionBox& box : kOptionBoxes) {
    if (box.nId == nId) return true;
  }
  return false;
}

INT_PTR OnCommand(HWND hDlg, WPARAM wParam, LPARAM) {
  FindBoxParam* param = Find(hDlg);
  int nId = LOWORD(wParam);
  int nCode = HIWORD(wParam);
  if (!param) return FALSE;
  switch (nId) {
    case IDC_FIND_NEXT: OnFind(hDlg, param, kSearchMsgFindNext); return TRUE;
    case IDC_FIND_PREV: OnFind(hDlg, param, kSearchMsgFindPrev); return TRUE;
    case IDC_FIND_REPLACE: OnReplace(hDlg, param); return TRUE;
    case IDC_FIND_REPLACEALL: OnReplaceAll(hDlg, param); return TRUE;
    case IDCANCEL: EndDialog(hDlg, IDCANCEL); return TRUE;
    case IDC_FIND_TEXT:
      if (nCode == CBN_EDITCHANGE) UpdateButtonsFromText(hDlg);
      if (nCode == CBN_SELCHANGE) UpdateButtonsFromSelection(hDlg);
      return TRUE;
    default:
      if (IsOptionBox(nId) && nCode == BN_CLICKED) UpdateButtonsFromText(hDlg);
      return FALSE;
  }
}

INT_PTR OnDestroy(HWND hDlg, WPARAM, LPARAM) {
  RemovePropA(hDlg, kPropFindBoxParam);
  return FALSE;
}

INT_PTR OnGetMinMaxInfo(HWND hDlg, WPARAM, LPARAM lParam) {
  FindBoxParam* param = Find(hDlg);
  if (!param) return FALSE;
  MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
  info->ptMinTrackSize.x = param->nInitialWidth;
  info->ptMinTrackSize.y = param->nInitialHeight;
  info->ptMaxTrackSize.y = param->nInitialHeight;
  return TRUE;
}

// The surface drags the dialog, and only the side edges size it.
LRESULT WidthOnlyHitTest(HWND hDlg, LPARAM lParam) {
  LRESULT hit = Window_SurfaceHitTest(hDlg, lParam);
  switch (hit) {
    case HTTOP:
    case HTBOTTOM: return HTBORDER;
    case HTTOPLEFT:
    case HTBOTTOMLEFT: return HTLEFT;
    case HTTOPRIGHT:
    case HTBOTTOMRIGHT: return HTRIGHT;
    default: return hit;
  }
}

INT_PTR OnNcHitTest(HWND hDlg, WPARAM, LPARAM lParam) { return Dialog_SetResult(hDlg, WidthOnlyHitTest(hDlg, lParam)); }

constexpr int kWidened[] = {IDC_FIND_TEXT, IDC_FIND_REPLACETEXT};
constexpr int kMoved[] = {IDC_FIND_NEXT, IDC_FIND_PREV, IDC_FIND_REPLACE, IDC_FIND_REPLACEALL, IDCANCEL};

INT_PTR OnSize(HWND hDlg, WPARAM wParam, LPARAM lParam) {
  FindBoxParam* param = Find(hDlg);
  if (!param || wParam == SIZE_MINIMIZED) return FALSE;
  int dx = static_cast<int>(static_cast<short>(LOWORD(lParam))) - param->nClientWidth;
  if (dx == 0) return TRUE;
  HDWP hDwp = BeginDeferWindowPos(7);
  if (!hDwp) return TRUE;
  for (int nId : kWidened) {
    HWND hItem = GetDlgItem(hDlg, nId);
    if (hItem && hDwp) hDwp = Window_DeferSizeBy(hDwp, hItem, dx, 0);
  }
  for (int nId : kMoved) {
    HWND hItem = GetDlgItem(hDlg, nId);
    if (hItem && hDwp) hDwp = Window_DeferMoveBy(hDwp, hItem, dx, 0);
  }
  if (hDwp) EndDeferWindowPos(hDwp);
  param->nClientWidth += dx;
  InvalidateRect(hDlg, nullptr, TRUE);
  return TRUE;
}

constexpr MessageRow kMessages[] = {
    {WM_INITDIALOG, OnInitDialog},         {WM_COMMAND, OnCommand},     {WM_DESTROY, OnDestroy},
    {WM_GETMINMAXINFO, OnGetMinMaxInfo},   {WM_NCHITTEST, OnNcHitTest}, {WM_SIZE, OnSize},
};

INT_PTR CALLBACK FindDialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return Dialog_Dispatch(kMessages, sizeof(kMessages) / sizeof(kMessages[0]), hDlg, uMsg, wParam, lParam);
}

bool ShowDialog(HINSTANCE hInstance, int nDialogId, FindDialogData* data) {
  if (!data || !data->hOwner || !data->findHistory || !data->replaceHistory) return false;
  FindBoxParam param = {};
  param.cbSize = sizeof(param);
  param.pnOptions = &data->nOptions;
  param.hOwner = data->hOwner;
  param.pszInitial = data->pszInitial;
  param.findHistory = data->findHistory;
  param.replaceHistory = data->replaceHistory;
  INT_PTR result = DialogBoxParamA(hInstance, MAKEINTRESOURCEA(nDialogId), data->hOwner, FindDialogProc,
                                   reinterpret_cast<LPARAM>(&param));
  return result == IDCANCEL;
}

}  // namespace

bool IsValidFindBoxParam(const FindBoxParam* param) {
  return param && param->cbSize == sizeof(FindBoxParam) && param->pnOptions && param->hOwner;
}

bool FindDialog_Show(HINSTANCE hInstance, FindDialogData* data) { return ShowDialog(hInstance, IDD_FIND, data); }

bool ReplaceDialog_Show(HINSTANCE hInstance, FindDialogData* data) {
  return ShowDialog(hInstance, IDD_REPLACE, data);
}
