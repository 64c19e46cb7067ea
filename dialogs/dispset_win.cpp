#include "dialogs/dispset_win.h"

#include <commctrl.h>

#include <cstdio>

#include "dialogs/dispset.h"
#include "res/resource.h"
#include "tools/systheme_win.h"
#include "tools/toolbase.h"
#include "tools/toolwind_win.h"

namespace {

const char kPropParam[] = "PROP_PARAM";

EditorSettings* Settings(HWND hDlg) { return static_cast<EditorSettings*>(GetPropA(hDlg, kPropParam)); }

// The item whose data is the colour, appended when the list has none (a colour
// written into the settings file by hand), selected.
void SelectColor(HWND hBox, COLORREF color) {
  LRESULT n = SendMessageA(hBox, CB_GETCOUNT, 0, 0);
  LRESULT found = CB_ERR;
  for (LRESULT i = 0; i < n && found == CB_ERR; ++i) {
    if (static_cast<COLORREF>(SendMessageA(hBox, CB_GETITEMDATA, i, 0)) == color) found = i;
  }
  if (found == CB_ERR) found = SendMessageA(hBox, CB_ADDSTRING, 0, static_cast<LPARAM>(color));
  SendMessageA(hBox, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
}

void FillColorBoxes(HWND hDlg) {
  const DisplayColorBox* boxes = DisplayColor_GetBoxes();
  const COLORREF* colors = DisplayColor_GetList();
  for (int32_t b = 0; b < kDisplayColorBoxCount; ++b) {
    HWND hBox = GetDlgItem(hDlg, boxes[b].nControlId);
    // Without CBS_HASSTRINGS the "string" is the item's data.
    for (int32_t i = 0; i < kDisplayColorCount; ++i) SendMessageA(hBox, CB_ADDSTRING, 0, static_cast<LPARAM>(colors[i]));
  }
}

void SetUpNumber(HWND hDlg, HWND hTip, int nEdit, int nSpin, int32_t lo, int32_t hi, int32_t value) {
  HWND hEdit = GetDlgItem(hDlg, nEdit);
  HWND hSpin = GetDlgItem(hDlg, nSpin);
  SendMessageA(hSpin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(hEdit), 0);
  SendMessageA(hSpin, UDM_SETRANGE32, static_cast<WPARAM>(lo), static_cast<LPARAM>(hi));
  char tip[32];
  std::snprintf(tip, sizeof(tip), "%d ～ %d", static_cast<int>(lo), static_cast<int>(hi));
  if (hTip) ToolTip_AddTool(hTip, hDlg, hEdit, tip);
  SetDlgItemInt(hDlg, nEdit, static_cast<UINT>(value), TRUE);
}

void ShowValues(HWND hDlg, const EditorSettings* s) {
  CheckDlgButton(hDlg, IDC_SHOWTAB, s->style.bShowTab ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(hDlg, IDC_SHOWSPACE, s->style.bShowSpace ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(hDlg, IDC_SHOWZENSPACE, s->style.bShowZenSpace ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(hDlg, IDC_SHOWLINEEND, s->style.bShowLineEnd ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(hDlg, IDC_SHOWEOF, s->style.bShowEof ? BST_CHECKED : BST_UNCHECKED);
  const DisplayColorBox* boxes = DisplayColor_GetBoxes();
  for (int32_t b = 0; b < kDisplayColorBoxCount; ++b) {
    SelectColor(GetDlgItem(hDlg, boxes[b].nControlId), s->style.*boxes[b].pField);
  }
}

INT_PTR OnInitDialog(HWND hDlg, WPARAM, LPARAM lParam) {
  EditorSettings* s = reinterpret_cast<EditorSettings*>(lParam);
  if (!SetPropA(hDlg, kPropParam, s)) {
    EndDialog(hDlg, IDCANCEL);
    return TRUE;
  }
  Window_PlaceCaptionAtCursor(hDlg);
  HWND hTip = ToolTip_Create(hDlg);
  SetUpNumber(hDlg, hTip, IDC_TAB, IDC_TAB_SPIN, kEditorTabMin, kEditorTabMax, s->nTab);
  SetUpNumber(hDlg, hTip, IDC_MARGIN, IDC_MARGIN_SPIN, kEditorMarginMin, kEditorMarginMax, s->nLeftMargin);
  FillColorBoxes(hDlg);
  if (hTip) ToolTip_AddTool(hTip, hDlg, GetDlgItem(hDlg, IDC_DEFAULTCOLORS), "デフォルトの配色に戻します");
  ShowValues(hDlg, s);
  return TRUE;
}

// The scheme of the theme in force when the button is pressed.
void SelectDefaultColors(HWND hDlg) {
  const DisplayColorBox* boxes = DisplayColor_GetBoxes();
  bool bDark = SystemTheme_IsDark();
  for (int32_t b = 0; b < kDisplayColorBoxCount; ++b) {
    SelectColor(GetDlgItem(hDlg, boxes[b].nControlId), DisplayColor_Default(boxes[b].pField, bDark));
  }
}

// An edit's number within lo..hi; otherwise its text is selected and focused
// and the dialog stays (no message, no beep).
bool ReadNumber(HWND hDlg, int nEdit, int32_t lo, int32_t hi, int32_t* pValue) {
  char text[32] = {};
  GetDlgItemTextA(hDlg, nEdit, text, sizeof(text));
  if (DisplaySettings_ParseNumber(text, lo, hi, pValue)) return true;
  HWND hEdit = GetDlgItem(hDlg, nEdit);
  SendMessageA(hEdit, EM_SETSEL, 0, -1);
  SendMessageA(hDlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hEdit), TRUE);
  return false;
}

BYTE Checked(HWND hDlg, int nId) { return IsDlgButtonChecked(hDlg, nId) == BST_CHECKED ? 1 : 0; }

void StoreAndClose(HWND hDlg) {
  EditorSettings* s = Settings(hDlg);
  int32_t tab = 0, margin = 0;
  if (!s || !ReadNumber(hDlg, IDC_TAB, kEditorTabMin, kEditorTabMax, &tab) ||
      !ReadNumber(hDlg, IDC_MARGIN, kEditorMarginMin, kEditorMarginMax, &margin)) {
    return;
  }
  s->nTab = tab;
  s->nLeftMargin = margin;
  s->style.bShowEof = Checked(hDlg, IDC_SHOWEOF);
  s->style.bShowLineEnd = Checked(hDlg, IDC_SHOWLINEEND);
  s->style.bShowTab = Checked(hDlg, IDC_SHOWTAB);
  s->style.bShowSpace = Checked(hDlg, IDC_SHOWSPACE);
  s->style.bShowZenSpace = Checked(hDlg, IDC_SHOWZENSPACE);
  const DisplayColorBox* boxes = DisplayColor_GetBoxes();
  for (int32_t b = 0; b < kDisplayColorBoxCount; ++b) {
    HWND hBox = GetDlgItem(hDlg, boxes[b].nControlId);
    LRESULT sel = SendMessageA(hBox, CB_GETCURSEL, 0, 0);
    if (sel != CB_ERR) s->style.*boxes[b].pField = static_cast<COLORREF>(SendMessageA(hBox, CB_GETITEMDATA, sel, 0));
  }
  EndDialog(hDlg, IDOK);
}

INT_PTR OnCommand(HWND hDlg, WPARAM wParam, LPARAM) {
  switch (LOWORD(wParam)) {
    case IDOK: StoreAndClose(hDlg); return TRUE;
    case IDCANCEL: EndDialog(hDlg, IDCANCEL); return TRUE;
    case IDC_DEFAULTCOLORS: SelectDefaultColors(hDlg); return TRUE;
    default: return FALSE;
  }
}

INT_PTR OnMeasureItem(HWND hDlg, WPARAM, LPARAM lParam) {
  MEASUREITEMSTRUCT* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
  if (mis->CtlType != ODT_COMBOBOX) return FALSE;
  RECT rc = {0, 0, 4, 12};
  MapDialogRect(hDlg, &rc);
  mis->itemHeight = static_cast<UINT>(rc.bottom > 12 ? rc.bottom : 12);
  return TRUE;
}

// A swatch inset from the item's edge, framed in gray, with the focus mark
// around it; the frame also when there is no item.
INT_PTR OnDrawItem(HWND, WPARAM, LPARAM lParam) {
  const DRAWITEMSTRUCT* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  if (dis->CtlType != ODT_COMBOBOX) return FALSE;
  RECT rc = dis->rcItem;
  FillRect(dis->hDC, &rc, GetSysColorBrush(COLOR_WINDOW));
  InflateRect(&rc, -4, -4);
  if (dis->itemID != static_cast<UINT>(-1)) {
    HBRUSH hBrush = CreateSolidBrush(static_cast<COLORREF>(dis->itemData));
    if (hBrush) {
      FillRect(dis->hDC, &rc, hBrush);
      DeleteObject(hBrush);
    }
  }
  InflateRect(&rc, 1, 1);
  FrameRect(dis->hDC, &rc, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  InflateRect(&rc, 2, 2);
  if (dis->itemState & ODS_FOCUS) DrawFocusRect(dis->hDC, &rc);
  return TRUE;
}

INT_PTR OnDestroy(HWND hDlg, WPARAM, LPARAM) {
  RemovePropA(hDlg, kPropParam);
  return FALSE;
}

constexpr MessageRow kMessages[] = {
    {WM_INITDIALOG, OnInitDialog}, {WM_COMMAND, OnCommand},     {WM_MEASUREITEM, OnMeasureItem},
    {WM_DRAWITEM, OnDrawItem},     {WM_NCHITTEST, Dialog_OnSurfaceHitTest}, {WM_DESTROY, OnDestroy},
};

INT_PTR CALLBACK DisplaySettingsProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return Dialog_Dispatch(kMessages, sizeof(kMessages) / sizeof(kMessages[0]), hDlg, uMsg, wParam, lParam);
}

}  // namespace

bool ShowDisplaySettingsDialog(HWND hOwner, EditorSettings* settings) {
  QWIL_ASSERT(IsValidEditorSettings(settings));
  // The dialog works on a copy: Cancel leaves the caller's record as it was.
  EditorSettings copy = *settings;
  HINSTANCE hInstance = GetModuleHandleA(nullptr);
  INT_PTR result = DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_DISPSETTINGS), hOwner, DisplaySettingsProc,
                                   reinterpret_cast<LPARAM>(&copy));
  if (result != IDOK) return false;
  *settings = copy;
  return true;
}
