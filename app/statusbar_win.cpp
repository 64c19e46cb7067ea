#include "app/statusbar_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "app/statustext.h"
#include "editctrl/dpi_win.h"
#include "editctrl/dpiscale.h"
#include "editctrl/editctrl.h"
#include "tools/memory.h"
#include "tools/toolbase.h"
#include "tools/toolwind_win.h"

namespace {

const char kPropOriginalProc[] = "PROP_STATUSBARORIGINALPROC";

constexpr int kPartCount = 6;
// The last part names the encoding of the document's file; it is set apart
// from the others, which follow the editor.
constexpr int kEncodingPart = kPartCount - 1;
// The widest name of an encoding the last part shows.
constexpr char kWidestEncoding[] = "UTF-16 LE (BOM)";
// Pixels at 96 DPI beside each part's text (the bar's borders and its inset),
// and the least a lock part is given.
constexpr int kPartPadding = 10;
constexpr int kLockPartMin = 45;

// What the parts show, so that a refresh sends only what changed (every
// changed part costs the bar a repaint); the font and widths the bar was
// given for its DPI; and the bar's own procedure. The record is the bar's
// GWLP_USERDATA: every message reads it, and a window property is a trip to the
// window server under Wine. The procedure is also left in its property, for
// whoever looks there.
struct PartTexts {
  WNDPROC pfnOriginal;
  char text[kPartCount][kStatusTextSize];
  HFONT hFont;                  // owned; null: the bar's own
  int32_t nDpi;                 // what the font and the widths are for
  int32_t nWidths[kPartCount];  // parts 1 on, from the widest texts they hold
};

PartTexts* TextsOf(HWND hStatusBar) {
  return reinterpret_cast<PartTexts*>(GetWindowLongPtrA(hStatusBar, GWLP_USERDATA));
}

WNDPROC OriginalProc(HWND hWnd) {
  const PartTexts* texts = TextsOf(hWnd);
  return texts ? texts->pfnOriginal : nullptr;
}

void NotifyParent(HWND hWnd, UINT code, LPARAM lValue) {
  StatusBarNotify notify = {};
  notify.hdr.hwndFrom = hWnd;
  notify.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hWnd));
  notify.hdr.code = code;
  notify.lValue = lValue;
  SendMessageA(GetParent(hWnd), WM_NOTIFY, notify.hdr.idFrom, reinterpret_cast<LPARAM>(&notify));
}

// The bar's own procedure comes back before it goes.
LRESULT OnDestroy(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  WNDPROC original = OriginalProc(hWnd);
  NotifyParent(hWnd, kStatusBarDestroyCode, 0);
  SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
  RemovePropA(hWnd, kPropOriginalProc);
  PartTexts* texts = TextsOf(hWnd);
  SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
  if (texts && texts->hFont) {
    SendMessageA(hWnd, WM_SETFONT, 0, FALSE);
    DeleteObject(texts->hFont);
  }
  Mem_Free(texts);
  return CallWindowProcA(original, hWnd, WM_DESTROY, wParam, lParam);
}

LRESULT OnWindowPosChanged(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  NotifyParent(hWnd, kStatusBarMovedCode, lParam);
  return CallWindowProcA(OriginalProc(hWnd), hWnd, WM_WINDOWPOSCHANGED, wParam, lParam);
}

constexpr MessageRow kMessages[] = {
    {WM_DESTROY, OnDestroy},
    {WM_WINDOWPOSCHANGED, OnWindowPosChanged},
};

LRESULT CALLBACK SubclassProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  WNDPROC original = OriginalProc(hWnd);
  if (!original) return DefWindowProcA(hWnd, uMsg, wParam, lParam);
  MessageHandler handler = Message_FindHandler(kMessages, sizeof(kMessages) / sizeof(kMessages[0]), uMsg);
  return handler ? handler(hWnd, wParam, lParam) : CallWindowProcA(original, hWnd, uMsg, wParam, lParam);
}

bool Subclass(HWND hWnd) {
  PartTexts* shown = static_cast<PartTexts*>(Mem_Alloc(sizeof(PartTexts)));
  if (!shown) return false;
  std::memset(shown, 0, sizeof(*shown));
  LONG_PTR original = GetWindowLongPtrA(hWnd, GWLP_WNDPROC);
  if (!original || !SetPropA(hWnd, kPropOriginalProc, reinterpret_cast<HANDLE>(original))) {
    Mem_Free(shown);
    return false;
  }
  shown->pfnOriginal = reinterpret_cast<WNDPROC>(original);
  SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(shown));
  SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc));
  return true;
}

int32_t ScreenDpi() {
  HDC hdc = GetDC(nullptr);
  int32_t dpi = hdc ? GetDeviceCaps(hdc, LOGPIXELSY) : kBaseDpi;
  if (hdc) ReleaseDC(nullptr, hdc);
  return Dpi_Sanitize(dpi);
}

// The system's status bar font, made for the DPI (the system gives it for the
// screen's); null when it cannot be had.
HFONT MakeFont(int32_t dpi) {
  NONCLIENTMETRICSA ncm = {};
  ncm.cbSize = sizeof(ncm);
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) return nullptr;
  LOGFONTA lf = ncm.lfStatusFont;
  int32_t screen = ScreenDpi();
  lf.lfHeight = MulDiv(lf.lfHeight, dpi, screen);
  lf.lfWidth = MulDiv(lf.lfWidth, dpi, screen);
  return CreateFontIndirectA(&lf);
}

int32_t TextWidth(HDC hdc, const char* text) {
  SIZE size = {};
  GetTextExtentPoint32A(hdc, text, static_cast<int>(std::strlen(text)), &size);
  return size.cx;
}

// Each part as wide as the widest text it can hold in the bar's font: counts
// of ten digits, the widest character with its code, the longest encoding's
// name; the last part has the size grip beside it.
void MeasureParts(HWND hStatusBar, PartTexts* texts) {
  char widest[kPartCount][kStatusTextSize];
  StatusText_Document(widest[1], kStatusTextSize, INT32_MAX, INT32_MAX);
  StatusText_Caret(widest[2], kStatusTextSize, false, POINT{INT32_MAX - 1, INT32_MAX - 1}, 0x8140);
  StatusText_CapsLock(widest[3], kStatusTextSize, true);
  StatusText_NumLock(widest[4], kStatusTextSize, true);
  String_CopyCut(widest[kEncodingPart], kStatusTextSize, kWidestEncoding);
  HDC hdc = GetDC(hStatusBar);
  if (!hdc) return;
  HFONT hFont = reinterpret_cast<HFONT>(SendMessageA(hStatusBar, WM_GETFONT, 0, 0));
  HGDIOBJ old = hFont ? SelectObject(hdc, hFont) : nullptr;
  // A digit more than the widest count: digits of another face may be wider.
  int32_t slack = TextWidth(hdc, "8") + Dpi_Scale(kPartPadding, texts->nDpi);
  for (int i = 1; i < kPartCount; ++i) texts->nWidths[i] = TextWidth(hdc, widest[i]) + slack;
  for (int i = 3; i <= 4; ++i) texts->nWidths[i] = std::max(texts->nWidths[i], Dpi_Scale(kLockPartMin, texts->nDpi));
  texts->nWidths[kPartCount - 1] += GetSystemMetrics(SM_CXVSCROLL) * texts->nDpi / ScreenDpi();
  if (old) SelectObject(hdc, old);
  ReleaseDC(hStatusBar, hdc);
}

void SetParts(HWND hStatusBar, int nWidth) {
  PartTexts* texts = TextsOf(hStatusBar);
  if (!texts) return;
  if (texts->nDpi == 0) StatusBar_SetDpi(hStatusBar, Dpi_ForWindow(hStatusBar));
  // The first part (the menu's help, the selection, the progress of long work)
  // keeps a quarter of the bar: in a narrow window the others give way evenly.
  int fixed = 0;
  for (int i = 1; i < kPartCount; ++i) fixed += texts->nWidths[i];
  const int room = nWidth - nWidth / 4;
  int edges[kPartCount];
  int right = nWidth;
  for (int i = kPartCount - 1; i > 0; --i) {
    right -= fixed > room && room > 0 ? MulDiv(texts->nWidths[i], room, fixed) : texts->nWidths[i];
    edges[i - 1] = right;
  }
  edges[kPartCount - 1] = -1;
  SendMessageA(hStatusBar, SB_SETPARTS, kPartCount, reinterpret_cast<LPARAM>(edges));
}

void SetPartText(HWND hStatusBar, int nPart, const char* text) {
  SendMessageA(hStatusBar, SB_SETTEXTA, static_cast<WPARAM>(nPart), reinterpret_cast<LPARAM>(text));
}

}  // namespace

HWND StatusBar_Create(HWND hParent, HINSTANCE) {
  HWND hStatusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBARS_SIZEGRIP | CCS_BOTTOM, "",
                                        hParent, kStatusBarId);
  if (!hStatusBar) return nullptr;
  if (!Subclass(hStatusBar)) {
    DestroyWindow(hStatusBar);
    return nullptr;
  }
  RECT rc;
  GetClientRect(hParent, &rc);
  SetParts(hStatusBar, rc.right - rc.left);
  return hStatusBar;
}

int StatusBar_VisibleHeight(HWND hStatusBar) {
  if (!hStatusBar || !IsWindowVisible(hStatusBar)) return 0;
  RECT rc;
  GetWindowRect(hStatusBar, &rc);
  return rc.bottom - rc.top;
}

void StatusBar_Layout(HWND hStatusBar, HWND hParent) {
  RECT client;
  GetClientRect(hParent, &client);
  RECT own;
  GetClientRect(hStatusBar, &own);
  int nHeight = own.bottom - own.top;
  RECT target = {0, client.bottom - nHeight, client.right, client.bottom};
  RECT now;
  GetWindowRect(hStatusBar, &now);
  MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&now), 2);
  // Moving it tells the parent, which lays itself out again: a move to where it
  // already is would never end.
  if (!EqualRect(&now, &target)) {
    MoveWindow(hStatusBar, target.left, target.top, target.right - target.left, nHeight, TRUE);
  }
  SetParts(hStatusBar, client.right - client.left);
}

void StatusBar_LayoutWithEditor(HWND hParent, HWND hStatusBar, HWND hEditor) {
  if (hStatusBar) StatusBar_Layout(hStatusBar, hParent);
  RECT rc;
  GetClientRect(hParent, &rc);
  int nHeight = rc.bottom - rc.top - StatusBar_VisibleHeight(hStatusBar);
  SetWindowPos(hEditor, nullptr, 0, 0, rc.right - rc.left, nHeight < 0 ? 0 : nHeight, SWP_NOZORDER | SWP_NOMOVE);
}

void StatusBar_Refresh(HWND hStatusBar, HWND hEditor) {
  if (!hEditor || !hStatusBar) return;
  PartTexts* shown = TextsOf(hStatusBar);
  PartTexts now;
  bool selection = TextEditor_HasSelection(hEditor);
  POINT from, to;
  TextEditor_GetSelection(hEditor, &from, &to);
  StatusText_Selection(now.text[0], kStatusTextSize, selection, TextEditor_GetSelectedLength(hEditor), from, to);
  StatusText_Document(now.text[1], kStatusTextSize, TextEditor_GetLineCount(hEditor), TextEditor_GetTextLength(hEditor));
  EditCaretInfo caret = {};
  TextEditor_GetCaretInfo(hEditor, &caret);
  StatusText_Caret(now.text[2], kStatusTextSize, selection, caret.ptDisplay, static_cast<uint32_t>(caret.nCode));
  // Both locks in one read of the keyboard (each GetKeyState is a trip to the
  // window server under Wine); a read that fails shows them off.
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  StatusText_CapsLock(now.text[3], kStatusTextSize, (keys[VK_CAPITAL] & 1) != 0);
  StatusText_NumLock(now.text[4], kStatusTextSize, (keys[VK_NUMLOCK] & 1) != 0);
  now.text[kEncodingPart][0] = '\0';
  if (shown) std::strcpy(now.text[kEncodingPart], shown->text[kEncodingPart]);
  bool changed[kPartCount];
  int nChanged = 0;
  for (int i = 0; i < kPartCount; ++i) {
    changed[i] = !shown || std::strcmp(shown->text[i], now.text[i]) != 0;
    nChanged += changed[i] ? 1 : 0;
  }
  if (nChanged == 0) return;
  // The bar repaints itself at once for every text set; several are set with
  // drawing off and painted together when the queue is idle.
  bool batch = nChanged > 1 && IsWindowVisible(hStatusBar);
  if (batch) SendMessageA(hStatusBar, WM_SETREDRAW, FALSE, 0);
  for (int i = 0; i < kPartCount; ++i) {
    if (changed[i]) SetPartText(hStatusBar, i, now.text[i]);
  }
  if (batch) {
    SendMessageA(hStatusBar, WM_SETREDRAW, TRUE, 0);
    for (int i = 0; i < kPartCount; ++i) {
      RECT rc;
      if (changed[i] && SendMessageA(hStatusBar, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&rc))) {
        InvalidateRect(hStatusBar, &rc, FALSE);
      }
    }
  }
  if (shown) std::memcpy(shown->text, now.text, sizeof(now.text));
}

void StatusBar_SetDpi(HWND hStatusBar, int32_t nDpi) {
  PartTexts* texts = TextsOf(hStatusBar);
  if (!texts) return;
  texts->nDpi = Dpi_Sanitize(nDpi);
  HFONT hFont = MakeFont(texts->nDpi);
  if (hFont) {
    SendMessageA(hStatusBar, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), TRUE);
    if (texts->hFont) DeleteObject(texts->hFont);
    texts->hFont = hFont;
  }
  MeasureParts(hStatusBar, texts);
  HWND hParent = GetParent(hStatusBar);
  RECT rc;
  if (hParent && GetClientRect(hParent, &rc)) SetParts(hStatusBar, rc.right - rc.left);
}

void StatusBar_ShowProgress(HWND hStatusBar, const char* text) {
  if (!hStatusBar) return;
  PartTexts* shown = TextsOf(hStatusBar);
  if (shown) String_CopyCut(shown->text[0], kStatusTextSize, text);
  SetPartText(hStatusBar, 0, text);
  UpdateWindow(hStatusBar);
}

void StatusBar_SetEncoding(HWND hStatusBar, const char* text) {
  if (!hStatusBar) return;
  PartTexts* shown = TextsOf(hStatusBar);
  if (shown && std::strcmp(shown->text[kEncodingPart], text) == 0) return;
  if (shown) String_CopyCut(shown->text[kEncodingPart], kStatusTextSize, text);
  SetPartText(hStatusBar, kEncodingPart, text);
}

void Title_Refresh(HWND hWnd, HWND hEditor, const char* path, const char* untitledName, const char* note) {
  if (!hWnd || !hEditor) return;
  char title[kTitleTextSize];
  char shown[kTitleTextSize];
  Title_Format(title, sizeof(title), path, untitledName, TextEditor_GetModified(hEditor), note);
  GetWindowTextA(hWnd, shown, sizeof(shown));
  if (std::strcmp(title, shown) != 0) SetWindowTextA(hWnd, title);
}
