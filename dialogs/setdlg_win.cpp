#include "dialogs/setdlg_win.h"

#include <shlobj.h>

#include <cstring>

#include "res/resource.h"
#include "tools/toolbase.h"
#include "tools/toolbase_win.h"
#include "tools/toolwind_win.h"

namespace {

const char kPropParam[] = "PROP_PARAM";
constexpr int32_t kTextSize = 1023;

SettingsDialogData* Data(HWND hDlg) { return static_cast<SettingsDialogData*>(GetPropA(hDlg, kPropParam)); }

void RefreshPreview(HWND hDlg) {
  char format[kTextSize] = {};
  GetDlgItemTextA(hDlg, IDC_DATEFORMAT, format, sizeof(format));
  char now[kTextSize] = {};
  DateFormat_ExpandNow(format, now, sizeof(now));
  char shown[kTextSize] = {};
  GetDlgItemTextA(hDlg, IDC_DATEPREVIEW, shown, sizeof(shown));
  // Set only when it changed, so that the preview does not flicker.
  if (std::strcmp(now, shown) != 0) SetDlgItemTextA(hDlg, IDC_DATEPREVIEW, now);
}

void CheckFlag(HWND hDlg, int id, BYTE flag) { CheckDlgButton(hDlg, id, flag ? BST_CHECKED : BST_UNCHECKED); }

BYTE Checked(HWND hDlg, int id) { return IsDlgButtonChecked(hDlg, id) == BST_CHECKED ? 1 : 0; }

INT_PTR OnInitDialog(HWND hDlg, WPARAM, LPARAM lParam) {
  SettingsDialogData* data = reinterpret_cast<SettingsDialogData*>(lParam);
  if (!SetPropA(hDlg, kPropParam, data)) {
    EndDialog(hDlg, IDCANCEL);
    return TRUE;
  }
  SetTimer(hDlg, kSettingsPreviewTimer, kSettingsPreviewMs, nullptr);
  Window_PlaceCaptionAtCursor(hDlg);
  SendDlgItemMessageA(hDlg, IDC_DOCFOLDER, EM_LIMITTEXT, kPathMax, 0);
  SendDlgItemMessageA(hDlg, IDC_DATEFORMAT, EM_LIMITTEXT, kDateFormatSize - 1, 0);
  SetDlgItemTextA(hDlg, IDC_DOCFOLDER, data->szDocumentFolder);
  SetDlgItemTextA(hDlg, IDC_DATEFORMAT, data->szDateFormat);
  CheckFlag(hDlg, IDC_COMPLETEEXT, data->bCompleteExtension);
  CheckFlag(hDlg, IDC_CONFIRMOVERWRITE, data->bConfirmOverwrite);
  CheckFlag(hDlg, IDC_RECYCLE, data->bKeepOverwrittenInRecycleBin);
  CheckFlag(hDlg, IDC_IMEON, data->bImeOnAtStart);
  HWND hTip = ToolTip_Create(hDlg);
  if (hTip) {
    ToolTip_AddTool(hTip, hDlg, GetDlgItem(hDlg, IDC_DOCFOLDER), "ファイル名指定ダイアログの初期フォルダです");
    ToolTip_AddTool(hTip, hDlg, GetDlgItem(hDlg, IDC_DATEPREVIEW), "プレビュー");
  }
  RefreshPreview(hDlg);
  return TRUE;
}

// The browser starts at the edit's folder and offers OK only on an item that
// has a file-system path.
int CALLBACK BrowseCallback(HWND hBrowser, UINT uMsg, LPARAM lParam, LPARAM lpData) {
  if (uMsg == BFFM_INITIALIZED) {
    const char* start = reinterpret_cast<const char*>(lpData);
    if (start[0] != '\0') SendMessageA(hBrowser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(start));
  } else if (uMsg == BFFM_SELCHANGED) {
    char path[MAX_PATH + 1] = {};
    BOOL ok = SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam), path);
    SendMessageA(hBrowser, BFFM_ENABLEOK, 0, ok ? TRUE : FALSE);
  }
  return 0;
}

void BrowseFolder(HWND hDlg) {
  char folder[kPathBufferSize] = {};
  GetDlgItemTextA(hDlg, IDC_DOCFOLDER, folder, kPathMax + 1);
  char display[MAX_PATH + 1] = {};
  BROWSEINFOA bi = {};
  bi.hwndOwner = hDlg;
  bi.pszDisplayName = display;
  bi.lpszTitle = "ファイル名を指定するダイアログで開く初期フォルダを指定します";
  bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  bi.lpfn = BrowseCallback;
  bi.lParam = reinterpret_cast<LPARAM>(folder);
  PIDLIST_ABSOLUTE pidl = SHBrowseForFolderA(&bi);
  if (!pidl) return;
  char path[MAX_PATH + 1] = {};
  if (SHGetPathFromIDListA(pidl, path) && std::strlen(path) <= static_cast<size_t>(kPathMax)) {
    SetDlgItemTextA(hDlg, IDC_DOCFOLDER, path);
  }
  CoTaskMemFree(pidl);
}

void Close(HWND hDlg, INT_PTR result) {
  KillTimer(hDlg, kSettingsPreviewTimer);
  EndDialog(hDlg, result);
}

// Stored as typed: no folder or format is refused.
void StoreAndClose(HWND hDlg) {
  SettingsDialogData* data = Data(hDlg);
  if (data) {
    data->bCompleteExtension = Checked(hDlg, IDC_COMPLETEEXT);
    data->bConfirmOverwrite = Checked(hDlg, IDC_CONFIRMOVERWRITE);
    data->bKeepOverwrittenInRecycleBin = Checked(hDlg, IDC_RECYCLE);
    data->bImeOnAtStart = Checked(hDlg, IDC_IMEON);
    char format[kDateFormatSize] = {};
    GetDlgItemTextA(hDlg, IDC_DATEFORMAT, format, sizeof(format));
    String_CopyCut(data->szDateFormat, sizeof(data->szDateFormat), format);
    char folder[kPathBufferSize] = {};
    GetDlgItemTextA(hDlg, IDC_DOCFOLDER, folder, kPathMax + 1);
    String_CopyCut(data->szDocumentFolder, kPathMax + 1, folder);
  }
  Close(hDlg, data ? IDOK : IDCANCEL);
}

INT_PTR OnCommand(HWND hDlg, WPARAM wParam, LPARAM) {
  switch (LOWORD(wParam)) {
    case IDOK: StoreAndClose(hDlg); return TRUE;
    case IDCANCEL: Close(hDlg, IDCANCEL); return TRUE;
    case IDC_BROWSE: BrowseFolder(hDlg); return TRUE;
    case IDC_DATEFORMAT:
      if (HIWORD(wParam) == EN_UPDATE) RefreshPreview(hDlg);
      return TRUE;
    default: return FALSE;
  }
}

INT_PTR OnTimer(HWND hDlg, WPARAM wParam, LPARAM) {
  if (wParam != kSettingsPreviewTimer) return FALSE;
  // The time in the preview goes on as the format's own update would show it.
  RefreshPreview(hDlg);
  return TRUE;
}

INT_PTR OnClose(HWND hDlg, WPARAM, LPARAM) {
  Close(hDlg, IDCANCEL);
  return TRUE;
}

INT_PTR OnDestroy(HWND hDlg, WPARAM, LPARAM) {
  KillTimer(hDlg, kSettingsPreviewTimer);
  RemovePropA(hDlg, kPropParam);
  return FALSE;
}

constexpr MessageRow kMessages[] = {
    {WM_INITDIALOG, OnInitDialog}, {WM_COMMAND, OnCommand},     {WM_TIMER, OnTimer},
    {WM_CLOSE, OnClose},           {WM_NCHITTEST, Dialog_OnSurfaceHitTest}, {WM_DESTROY, OnDestroy},
};

INT_PTR CALLBACK SettingsProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return Dialog_Dispatch(kMessages, sizeof(kMessages) / sizeof(kMessages[0]), hDlg, uMsg, wParam, lParam);
}

}  // namespace

bool ShowSettingsDialog(HWND hOwner, SettingsDialogData* data) {
  QWIL_ASSERT(data && std::memchr(data->szDocumentFolder, '\0', sizeof(data->szDocumentFolder)) &&
              std::memchr(data->szDateFormat, '\0', sizeof(data->szDateFormat)));
  HINSTANCE hInstance = GetModuleHandleA(nullptr);
  return DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_SETTINGS), hOwner, SettingsProc,
                         reinterpret_cast<LPARAM>(data)) == IDOK;
}
