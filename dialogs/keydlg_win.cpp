#include "dialogs/keydlg_win.h"

#include <commctrl.h>

#include <cstring>

#include "dialogs/keyassign_win.h"
#include "dialogs/keylist.h"
#include "res/resource.h"
#include "tools/memory.h"
#include "tools/toolbase.h"
#include "tools/toolwind_win.h"

namespace {

const char kPropParam[] = "PROP_PARAM";
constexpr int32_t kHelpSize = 1024;
constexpr int32_t kNameSize = 1024;
constexpr int kKeyColumnWidth = 150;
constexpr int kCommandColumnWidth = 200;

// The bindings list's order lives as long as the program, not the dialog.
KeyListSort g_sort = {KEYLIST_COLUMN_KEY, false};

struct KeyDialog {
  const KeyAssignData* data;
  KeyAssignItem* pResult;  // the confirmed bindings, handed to the caller
  int32_t nResult;
  bool bChanged;
  int nClientWidth, nClientHeight;
  int nMinWidth, nMinHeight;
  HICON hIconLarge, hIconSmall;
};

KeyDialog* Find(HWND hDlg) { return static_cast<KeyDialog*>(GetPropA(hDlg, kPropParam)); }

HWND Bindings(HWND hDlg) { return GetDlgItem(hDlg, IDC_KEY_BINDINGS); }

int RowCount(HWND hList) { return static_cast<int>(SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0)); }

int SelectedRow(HWND hList) {
  return static_cast<int>(SendMessageA(hList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

KeyCode RowCode(HWND hList, int row) {
  LVITEMA item = {};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!SendMessageA(hList, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return 0;
  return static_cast<KeyCode>(item.lParam);
}

void RowText(HWND hList, int row, int column, char* text, int32_t size) {
  text[0] = '\0';
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = size;
  SendMessageA(hList, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void SelectRow(HWND hList, int row) {
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(hList, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  SendMessageA(hList, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

// The row of code (appended when there is none) takes the command's name; -1
// when no row could be made.
int PutBinding(HWND hList, KeyCode code, int32_t id) {
  LVFINDINFOA find = {};
  find.flags = LVFI_PARAM;
  find.lParam = static_cast<LPARAM>(code);
  int row = static_cast<int>(SendMessageA(hList, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
  if (row < 0) {
    char keyText[kKeyCodeTextSize];
    KeyCode_Format(code, KeyName_Platform, keyText, sizeof(keyText));
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = RowCount(hList);
    item.pszText = keyText;
    item.lParam = static_cast<LPARAM>(code);
    row = static_cast<int>(SendMessageA(hList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return -1;
  }
  char name[64];
  CommandName_FromId(id, name, sizeof(name));
  LVITEMA item = {};
  item.iSubItem = KEYLIST_COLUMN_COMMAND;
  item.pszText = name;
  SendMessageA(hList, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return row;
}

void MarkChanged(HWND hDlg) {
  KeyDialog* dlg = Find(hDlg);
  if (!dlg || dlg->bChanged) return;
  dlg->bChanged = true;
  SetWindowTextA(hDlg, kKeyAssignChangedTitle);
}

// The help text of the selected command, the static set only when it differs.
void RefreshHelp(HWND hDlg) {
  char help[kHelpSize] = {};
  HWND hCommands = GetDlgItem(hDlg, IDC_KEY_COMMANDS);
  LRESULT sel = SendMessageA(hCommands, LB_GETCURSEL, 0, 0);
  if (sel != LB_ERR) {
    UINT id = static_cast<UINT>(SendMessageA(hCommands, LB_GETITEMDATA, static_cast<WPARAM>(sel), 0));
    if (LoadStringA(GetModuleHandleA(nullptr), id, help, sizeof(help)) <= 0) help[0] = '\0';
  }
  char shown[kHelpSize] = {};
  GetDlgItemTextA(hDlg, IDC_KEY_HELP, shown, sizeof(shown));
  if (std::strcmp(help, shown) != 0) SetDlgItemTextA(hDlg, IDC_KEY_HELP, help);
}

void AddBinding(HWND hDlg) {
  HWND hHotKey = GetDlgItem(hDlg, IDC_KEY_HOTKEY);
  KeyCode code = static_cast<KeyCode>(LOWORD(SendMessageA(hHotKey, HKM_GETHOTKEY, 0, 0)));
  if (code != 0) {
    HWND hCommands = GetDlgItem(hDlg, IDC_KEY_COMMANDS);
    LRESULT sel = SendMessageA(hCommands, LB_GETCURSEL, 0, 0);
    char name[kNameSize] = {};
    if (sel != LB_ERR && SendMessageA(hCommands, LB_GETTEXTLEN, static_cast<WPARAM>(sel), 0) < kNameSize) {
      SendMessageA(hCommands, LB_GETTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(name));
    }
    int32_t id = sel == LB_ERR ? 0 : CommandName_ToId(name);
    HWND hList = Bindings(hDlg);
    int row = PutBinding(hList, code, id);
    if (row >= 0) {
      SelectRow(hList, row);
      MarkChanged(hDlg);
    }
  }
  SetFocus(hHotKey);
}

void DeleteBinding(HWND hDlg) {
  HWND hList = Bindings(hDlg);
  int row = SelectedRow(hList);
  if (row < 0 || !SendMessageA(hList, LVM_DELETEITEM, static_cast<WPARAM>(row), 0)) return;
  int next = KeyList_IndexAfterDelete(row, RowCount(hList));
  if (next >= 0) SelectRow(hList, next);
  MarkChanged(hDlg);
}

// The row's key in the hot-key control and its command selected in the list
// ("UNKNOWN" and other names not listed leave none selected).
void ShowRow(HWND hDlg, int row) {
  HWND hList = Bindings(hDlg);
  SendDlgItemMessageA(hDlg, IDC_KEY_HOTKEY, HKM_SETHOTKEY, static_cast<WPARAM>(RowCode(hList, row) & 0xFFFF), 0);
  char name[kNameSize];
  RowText(hList, row, KEYLIST_COLUMN_COMMAND, name, sizeof(name));
  HWND hCommands = GetDlgItem(hDlg, IDC_KEY_COMMANDS);
  LRESULT at = SendMessageA(hCommands, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
  SendMessageA(hCommands, LB_SETCURSEL, at == LB_ERR ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(at), 0);
}

// The sort's view of the rows: codes are unique, so a row is found by its code.
struct SortRows {
  int32_t nCount;
  KeyCode* pCodes;
  char (*pNames)[64];
};

const char* SortName(const SortRows* rows, KeyCode code) {
  for (int32_t i = 0; i < rows->nCount; ++i) {
    if (rows->pCodes[i] == code) return rows->pNames[i];
  }
  return "";
}

int CALLBACK CompareRows(LPARAM a, LPARAM b, LPARAM context) {
  const SortRows* rows = reinterpret_cast<const SortRows*>(context);
  KeyCode codeA = static_cast<KeyCode>(a);
  KeyCode codeB = static_cast<KeyCode>(b);
  return KeyListSort_Compare(&g_sort, codeA, SortName(rows, codeA), codeB, SortName(rows, codeB));
}

void SortBindings(HWND hDlg, int column) {
  KeyListSort_Click(&g_sort, column);
  HWND hList = Bindings(hDlg);
  SortRows rows = {RowCount(hList), nullptr, nullptr};
  if (rows.nCount <= 1) return;
  rows.pCodes = static_cast<KeyCode*>(Mem_Alloc(sizeof(KeyCode) * static_cast<size_t>(rows.nCount)));
  rows.pNames = static_cast<char(*)[64]>(Mem_Alloc(sizeof(*rows.pNames) * static_cast<size_t>(rows.nCount)));
  if (rows.pCodes && rows.pNames) {
    for (int32_t i = 0; i < rows.nCount; ++i) {
      rows.pCodes[i] = RowCode(hList, i);
      RowText(hList, i, KEYLIST_COLUMN_COMMAND, rows.pNames[i], sizeof(rows.pNames[i]));
    }
    SendMessageA(hList, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&rows), reinterpret_cast<LPARAM>(CompareRows));
  }
  Mem_Free(rows.pCodes);
  Mem_Free(rows.pNames);
}

bool ReadRow(void* context, int32_t row, KeyCode* code, char* name, int32_t size) {
  HWND hList = static_cast<HWND>(context);
  *code = RowCode(hList, row);
  RowText(hList, row, KEYLIST_COLUMN_COMMAND, name, size);
  return true;
}

void Apply(HWND hDlg) {
  KeyDialog* dlg = Find(hDlg);
  if (!dlg) return;
  HWND hList = Bindings(hDlg);
  KeyAssignItem* items = nullptr;
  if (!KeyList_CollectBindings(RowCount(hList), ReadRow, hList, &items)) {
    // Out of memory: the dialog stays, with every row the user made.
    MessageBeep(MB_ICONEXCLAMATION);
    return;
  }
  Mem_Free(dlg->pResult);
  dlg->pResult = items;
  dlg->nResult = RowCount(hList);
  EndDialog(hDlg, IDOK);
}

void FillCommands(HWND hDlg) {
  HWND hCommands = GetDlgItem(hDlg, IDC_KEY_COMMANDS);
  const CommandName* table = CommandName_GetTable();
  for (int32_t i = 0; i < kCommandNameCount; ++i) {
    LRESULT at = SendMessageA(hCommands, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(table[i].name));
    if (at >= 0) SendMessageA(hCommands, LB_SETITEMDATA, static_cast<WPARAM>(at), table[i].id);
  }
  SendMessageA(hCommands, LB_SETCURSEL, 0, 0);
}

void AddColumn(HWND hList, int column, const char* title, int width) {
  LVCOLUMNA col = {};
  col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  col.pszText = const_cast<char*>(title);
  col.cx = width;
  col.iSubItem = column;
  SendMessageA(hList, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col));
}

void FillBindings(HWND hDlg, const KeyAssignData* data) {
  HWND hList = Bindings(hDlg);
  SendMessageA(hList, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP,
               LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
  AddColumn(hList, KEYLIST_COLUMN_KEY, "キー", kKeyColumnWidth);
  AddColumn(hList, KEYLIST_COLUMN_COMMAND, "機能", kCommandColumnWidth);
  for (int32_t i = 0; i < data->keyBindingCount; ++i) {
    PutBinding(hList, data->keyBindings[i].dwKeyCode, data->keyBindings[i].nCommandId);
  }
}

void RememberSizes(HWND hDlg, KeyDialog* dlg) {
  RECT client = {}, window = {};
  GetClientRect(hDlg, &client);
  GetWindowRect(hDlg, &window);
  dlg->nClientWidth = client.right;
  dlg->nClientHeight = client.bottom;
  dlg->nMinWidth = window.right - window.left;
  dlg->nMinHeight = window.bottom - window.top;
}

void SetIcons(HWND hDlg, KeyDialog* dlg) {
  HINSTANCE hInstance = GetModuleHandleA(nullptr);
  dlg->hIconLarge = Module_GetShellIcon(hInstance, false);
  dlg->hIconSmall = Module_GetShellIcon(hInstance, true);
  if (dlg->hIconLarge) SendMessageA(hDlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(dlg->hIconLarge));
  if (dlg->hIconSmall) SendMessageA(hDlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(dlg->hIconSmall));
}

INT_PTR OnInitDialog(HWND hDlg, WPARAM, LPARAM lParam) {
  KeyDialog* dlg = reinterpret_cast<KeyDialog*>(lParam);
  if (!SetPropA(hDlg, kPropParam, dlg)) {
    EndDialog(hDlg, IDCANCEL);
    return TRUE;
  }
  SetIcons(hDlg, dlg);
  RememberSizes(hDlg, dlg);
  Window_PlaceCaptionAtCursor(hDlg);
  HWND hHotKey = GetDlgItem(hDlg, IDC_KEY_HOTKEY);
  SendMessageA(hHotKey, HKM_SETRULES, HKCOMB_NONE, MAKELPARAM(HOTKEYF_CONTROL, 0));
  SendMessageA(hHotKey, HKM_SETHOTKEY, 0, 0);
  FillCommands(hDlg);
  FillBindings(hDlg, dlg->data);
  RefreshHelp(hDlg);
  return TRUE;
}

INT_PTR OnCommand(HWND hDlg, WPARAM wParam, LPARAM) {
  switch (LOWORD(wParam)) {
    case IDC_KEY_ADD: AddBinding(hDlg); return TRUE;
    case IDM_DELETE: DeleteBinding(hDlg); return TRUE;
    case IDOK: Apply(hDlg); return TRUE;
    case IDCANCEL: EndDialog(hDlg, IDCANCEL); return TRUE;
    case IDC_KEY_COMMANDS:
      if (HIWORD(wParam) == LBN_DBLCLK) {
        AddBinding(hDlg);
      } else {
        RefreshHelp(hDlg);  // selection changed or cancelled, focus gained or lost
      }
      return TRUE;
    default: return FALSE;
  }
}

INT_PTR OnBindingsNotify(HWND hDlg, const NMHDR* hdr) {
  switch (hdr->code) {
    case LVN_ITEMCHANGED: {
      const NMLISTVIEW* nm = reinterpret_cast<const NMLISTVIEW*>(hdr);
      UINT now = nm->uNewState & ~nm->uOldState;
      if (nm->iItem >= 0 && (nm->uChanged & LVIF_STATE) && (now & (LVIS_SELECTED | LVIS_FOCUSED))) {
        ShowRow(hDlg, nm->iItem);
      }
      RefreshHelp(hDlg);
      return TRUE;
    }
    case LVN_COLUMNCLICK:
      SortBindings(hDlg, reinterpret_cast<const NMLISTVIEW*>(hdr)->iSubItem);
      return TRUE;
    case LVN_KEYDOWN:
      if (reinterpret_cast<const NMLVKEYDOWN*>(hdr)->wVKey == VK_DELETE) DeleteBinding(hDlg);
      return TRUE;
    case NM_RCLICK:
      Menu_TrackPopupAtCursor(GetModuleHandleA(nullptr), IDM_CONTEXTMENU, IDM_CONTEXT_KEYASSIGN, hDlg, TPM_RIGHTBUTTON);
      return TRUE;
    default: return FALSE;
  }
}

INT_PTR OnNotify(HWND hDlg, WPARAM, LPARAM lParam) {
  const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
  if (hdr->idFrom != IDC_KEY_BINDINGS) return FALSE;
  return OnBindingsNotify(hDlg, hdr);
}

INT_PTR OnSize(HWND hDlg, WPARAM wParam, LPARAM lParam) {
  KeyDialog* dlg = Find(hDlg);
  if (!dlg || wParam == SIZE_MINIMIZED) return FALSE;
  int width = static_cast<short>(LOWORD(lParam));
  int height = static_cast<short>(HIWORD(lParam));
  int dx = width - dlg->nClientWidth;
  int dy = height - dlg->nClientHeight;
  HDWP hDwp = BeginDeferWindowPos(5);
  if (!hDwp) return TRUE;
  hDwp = Window_DeferMoveBy(hDwp, GetDlgItem(hDlg, IDOK), dx, dy);
  if (hDwp) hDwp = Window_DeferMoveBy(hDwp, GetDlgItem(hDlg, IDCANCEL), dx, dy);
  if (hDwp) hDwp = Window_DeferSizeBy(hDwp, GetDlgItem(hDlg, IDC_KEY_COMMANDS), 0, dy);
  if (hDwp) hDwp = Window_DeferSizeBy(hDwp, Bindings(hDlg), dx, dy);
  HWND hHelp = GetDlgItem(hDlg, IDC_KEY_HELP);
  if (hDwp) hDwp = Window_DeferMoveBy(hDwp, hHelp, 0, dy);
  if (hDwp) hDwp = Window_DeferSizeBy(hDwp, hHelp, dx, 0);
  if (hDwp) EndDeferWindowPos(hDwp);
  dlg->nClientWidth = width;
  dlg->nClientHeight = height;
  return TRUE;
}

INT_PTR OnGetMinMaxInfo(HWND hDlg, WPARAM, LPARAM lParam) {
  KeyDialog* dlg = Find(hDlg);
  if (!dlg) return FALSE;
  MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
  info->ptMinTrackSize.x = dlg->nMinWidth;
  info->ptMinTrackSize.y = dlg->nMinHeight;
  return TRUE;
}

INT_PTR OnClose(HWND hDlg, WPARAM, LPARAM) {
  KeyDialog* dlg = Find(hDlg);
  if (!dlg || !dlg->bChanged) {
    EndDialog(hDlg, IDCANCEL);
    return TRUE;
  }
  char title[128] = {};
  GetWindowTextA(hDlg, title, sizeof(title));
  switch (MessageBox_Beep(hDlg, kKeyAssignSaveQuestion, title, MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES: Apply(hDlg); break;
    case IDNO: EndDialog(hDlg, IDCANCEL); break;
    default: break;  // the dialog stays open
  }
  return TRUE;
}

INT_PTR OnDestroy(HWND hDlg, WPARAM, LPARAM) {
  KeyDialog* dlg = static_cast<KeyDialog*>(RemovePropA(hDlg, kPropParam));
  if (!dlg) return FALSE;
  // The window gives the icons back before they go.
  SendMessageA(hDlg, WM_SETICON, ICON_BIG, 0);
  SendMessageA(hDlg, WM_SETICON, ICON_SMALL, 0);
  if (dlg->hIconLarge) DestroyIcon(dlg->hIconLarge);
  if (dlg->hIconSmall) DestroyIcon(dlg->hIconSmall);
  dlg->hIconLarge = dlg->hIconSmall = nullptr;
  return FALSE;
}

constexpr MessageRow kMessages[] = {
    {WM_INITDIALOG, OnInitDialog},      {WM_COMMAND, OnCommand}, {WM_NOTIFY, OnNotify},
    {WM_SIZE, OnSize},                  {WM_GETMINMAXINFO, OnGetMinMaxInfo},
    {WM_CLOSE, OnClose},                {WM_NCHITTEST, Dialog_OnSurfaceHitTest}, {WM_DESTROY, OnDestroy},
};

INT_PTR CALLBACK KeyAssignProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return Dialog_Dispatch(kMessages, sizeof(kMessages) / sizeof(kMessages[0]), hDlg, uMsg, wParam, lParam);
}

}  // namespace

bool ShowKeyAssignDialog(HWND hOwner, const KeyAssignData* data, KeyAssignItem** ppItems, int32_t* pnCount) {
  QWIL_ASSERT(IsValidKeyAssignData(data));
  *ppItems = nullptr;
  *pnCount = 0;
  KeyDialog dlg = {};
  dlg.data = data;
  dlg.bChanged = false;
  INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_KEYASSIGN), hOwner, KeyAssignProc,
                                   reinterpret_cast<LPARAM>(&dlg));
  if (result != IDOK) {
    Mem_Free(dlg.pResult);
    return false;
  }
  *ppItems = dlg.pResult;
  *pnCount = dlg.nResult;
  return true;
}
