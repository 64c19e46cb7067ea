#include "dialogs/about_win.h"

#include <shellapi.h>

#include "dialogs/about.h"
#include "tools/dlg/dyndlg.h"
#include "tools/linklabel_win.h"
#include "tools/toolwind_win.h"
#include "tools/version_win.h"
#include "tools/memory.h"

const char kPropAboutDialogData[] = "PROP_ABOUTDIALOGDATA";

namespace {

struct AboutDialogData {
  HICON hIconLarge;
  HICON hIconSmall;
  const char* const* ppszAddress;
};

HWND g_hOpen = nullptr;

bool ShellOpenAddress(HWND hOwner, const char* pszAddress) {
  HINSTANCE h = ShellExecuteA(hOwner, "open", pszAddress, nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(h) > 32;
}

AboutOpenAddressProc g_pfnOpen = ShellOpenAddress;

// The name and version from the program's version resource; without one the
// line and the title stay empty.
void SetVersionTexts(HWND hDlg) {
  DWORD translation = 0;
  void* block = Version_Load(GetModuleHandleA(nullptr), &translation);
  if (!block) return;
  char product[kAboutTextSize] = {};
  char description[kAboutTextSize] = {};
  char version[kAboutTextSize] = {};
  Version_GetString(sizeof(product), block, translation, "ProductName", product);
  Version_GetString(sizeof(description), block, translation, "FileDescription", description);
  Version_GetString(sizeof(version), block, translation, "ProductVersion", version);
  Mem_Free(block);
  const char* name = About_ChooseName(product, description);
  char text[kAboutTextSize];
  About_FormatVersionText(name, version, text, sizeof(text));
  SetDlgItemTextA(hDlg, kAboutVersion, text);
  About_FormatTitle(name, text, sizeof(text));
  SetWindowTextA(hDlg, text);
}

void SetResourcesText(HWND hDlg) {
  char text[kAboutResourcesSize] = {};
  int32_t nSystem = 0;
  if (System_GetFreeResources(&nSystem, nullptr, nullptr)) About_FormatResources(nSystem, text, sizeof(text));
  SetDlgItemTextA(hDlg, kAboutResources, text);
}

int32_t TextWidth(HWND hStatic) {
  char text[1024] = {};
  int n = GetWindowTextA(hStatic, text, sizeof(text));
  HDC hdc = GetDC(hStatic);
  if (!hdc) return 0;
  HGDIOBJ hOld = SelectObject(hdc, reinterpret_cast<HFONT>(SendMessageA(hStatic, WM_GETFONT, 0, 0)));
  SIZE size = {};
  GetTextExtentPoint32A(hdc, text, n, &size);
  SelectObject(hdc, hOld);
  ReleaseDC(hStatic, hdc);
  return size.cx;
}

int32_t WindowWidth(HWND hWnd) {
  RECT rc = {};
  GetWindowRect(hWnd, &rc);
  return rc.right - rc.left;
}

// Each line too narrow for its text grows by its own lack; the box by the
// largest, with the OK button centred again.
void FitToTexts(HWND hDlg) {
  const int ids[3] = {kAboutVersion, kAboutLink, kAboutResources};
  int32_t textWidths[3];
  int32_t staticWidths[3];
  for (int i = 0; i < 3; ++i) {
    HWND hStatic = GetDlgItem(hDlg, ids[i]);
    textWidths[i] = TextWidth(hStatic);
    staticWidths[i] = WindowWidth(hStatic);
  }
  HWND hOk = GetDlgItem(hDlg, IDOK);
  RECT rcDlg = {}, rcOk = {};
  GetWindowRect(hDlg, &rcDlg);
  GetWindowRect(hOk, &rcOk);
  AboutFit fit = About_Fit(textWidths, staticWidths, rcDlg.right - rcDlg.left, rcOk.right - rcOk.left);
  if (fit.nGrow <= 0) return;
  for (int i = 0; i < 3; ++i) {
    if (textWidths[i] > staticWidths[i]) Window_SizeBy(GetDlgItem(hDlg, ids[i]), textWidths[i] - staticWidths[i], 0);
  }
  Window_SizeBy(hDlg, fit.nGrow, 0);
  Window_MoveBy(hOk, fit.nButtonX - (rcOk.left - rcDlg.left), 0);
}

INT_PTR OnInitDialog(HWND hDlg, WPARAM, LPARAM lParam) {
  AboutDialogData* data = reinterpret_cast<AboutDialogData*>(lParam);
  g_hOpen = hDlg;
  if (!SetPropA(hDlg, kPropAboutDialogData, data)) {
    EndDialog(hDlg, IDCANCEL);
    return TRUE;
  }
  SendMessageA(hDlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(data->hIconLarge));
  SendMessageA(hDlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(data->hIconSmall));
  Window_CenterAtCursor(hDlg);
  SetVersionTexts(hDlg);
  SetResourcesText(hDlg);
  HWND hLink = GetDlgItem(hDlg, kAboutLink);
  SetWindowTextA(hLink, *data->ppszAddress);
  LinkLabel_Attach(hLink);
  SendDlgItemMessageA(hDlg, kAboutIcon, STM_SETICON, reinterpret_cast<WPARAM>(data->hIconLarge), 0);
  HWND hTip = ToolTip_Create(hDlg);
  if (hTip) ToolTip_AddTool(hTip, hDlg, hLink, "サポートサイトへ");
  FitToTexts(hDlg);
  return TRUE;
}

INT_PTR OnCommand(HWND hDlg, WPARAM wParam, LPARAM) {
  switch (LOWORD(wParam)) {
    case IDOK:
    case IDCANCEL: EndDialog(hDlg, LOWORD(wParam)); return TRUE;
    default: return FALSE;
  }
}

// A click opens the page and closes the box; the label's other notifications
// go back to it, which is how it lights up and goes dark.
INT_PTR OnNotify(HWND hDlg, WPARAM wParam, LPARAM lParam) {
  const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
  if (!hdr || hdr->idFrom != static_cast<UINT_PTR>(kAboutLink)) return FALSE;
  if (hdr->code == kLinkLabelClick) {
    const AboutDialogData* data = static_cast<const AboutDialogData*>(GetPropA(hDlg, kPropAboutDialogData));
    if (data) g_pfnOpen(hDlg, *data->ppszAddress);
    EndDialog(hDlg, IDOK);
  } else {
    SendMessageA(hdr->hwndFrom, WM_NOTIFY, wParam, lParam);
  }
  return TRUE;
}

INT_PTR OnDestroy(HWND hDlg, WPARAM, LPARAM) {
  RemovePropA(hDlg, kPropAboutDialogData);
  if (g_hOpen == hDlg) g_hOpen = nullptr;
  return FALSE;
}

constexpr MessageRow kAboutMessages[] = {
    {WM_INITDIALOG, OnInitDialog}, {WM_COMMAND, OnCommand},  {WM_NOTIFY, OnNotify},
    {WM_NCHITTEST, Dialog_OnSurfaceHitTest}, {WM_DESTROY, OnDestroy},
};

INT_PTR CALLBACK AboutProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return Dialog_Dispatch(kAboutMessages, sizeof(kAboutMessages) / sizeof(kAboutMessages[0]), hDlg, uMsg, wParam,
                         lParam);
}

// The box as it starts: narrow lines that grow to their texts.
void* MakeTemplate() {
  constexpr uint32_t kText = WS_VISIBLE | SS_LEFT;
  const DynDlgItem items[] = {
      {DynDlg_Ordinal(kDynDlgStatic), nullptr, WS_VISIBLE | SS_ICON, 0, 7, 7, 20, 21, kAboutIcon},
      {DynDlg_Ordinal(kDynDlgStatic), nullptr, kText, 0, 30, 7, 1, 8, kAboutVersion},
      {DynDlg_Ordinal(kDynDlgStatic), nullptr, kText, 0, 30, 16, 1, 8, kAboutLink},
      {DynDlg_Ordinal(kDynDlgStatic), nullptr, kText, 0, 30, 25, 1, 8, kAboutResources},
      {DynDlg_Ordinal(kDynDlgButton), u"OK", WS_VISIBLE | WS_GROUP | BS_DEFPUSHBUTTON, 0, 45, 35, 45, 14, IDOK},
  };
  DynDlgTemplate tmpl = {};
  tmpl.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SYSMODAL | DS_CONTEXTHELP |
               DS_SETFONT;
  tmpl.cdit = static_cast<int16_t>(sizeof(items) / sizeof(items[0]));
  tmpl.cx = 38;
  tmpl.cy = 56;
  tmpl.font = u"ＭＳ Ｐゴシック";
  tmpl.height = 9;
  return DynDlg_Create(&tmpl, items);
}

}  // namespace

void ShowAboutDialog(HWND hOwner, const char* pszAddress) {
  QWIL_ASSERT(pszAddress);
  if (g_hOpen && IsWindow(g_hOpen)) {
    SetWindowPos(g_hOpen, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(g_hOpen);
    ShowWindow(g_hOpen, SW_SHOW);
    return;
  }
  void* block = MakeTemplate();
  if (!block) return;
  HINSTANCE hInstance = GetModuleHandleA(nullptr);
  AboutDialogData data = {Module_GetShellIcon(hInstance, false), Module_GetShellIcon(hInstance, true), &pszAddress};
  DialogBoxIndirectParamA(hInstance, static_cast<LPCDLGTEMPLATEA>(block), hOwner, AboutProc,
                          reinterpret_cast<LPARAM>(&data));
  g_hOpen = nullptr;
  if (data.hIconLarge) DestroyIcon(data.hIconLarge);
  if (data.hIconSmall) DestroyIcon(data.hIconSmall);
  DynDlg_Free(block);
}

HWND AboutDialog_GetOpen() { return g_hOpen && IsWindow(g_hOpen) ? g_hOpen : nullptr; }

void AboutDialog_SetOpenAddress(AboutOpenAddressProc pfnOpen) { g_pfnOpen = pfnOpen ? pfnOpen : ShellOpenAddress; }
