#include "app/statusbar_win.h"

#include <commctrl.h>

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
const char kPropTexts[] = "PROP_STATUSBARTEXTS";

constexpr int kPartCount = 6;
// The last part names the encoding of the document's file; it is set apart
// from the others, which follow the editor.
constexpr int kEncodingPart = kPartCount - 1;
// The encoding's width ("UTF-16 LE (BOM)" fits), and the right edges of the
// parts before it, from the client area's right end.
constexpr int kEncodingWidth = 100;
constexpr int kPartOffsets[kPartCount - 1] = {390 + kEncodingWidth, 250 + kEncodingWidth, 90 + kEncodingWidth,
                                              45 + kEncodingWidth, kEncodingWidth};

// What the parts show, so that a refresh sends only what changed: every
// changed part costs the bar a repaint.
struct PartTexts {
  char text[kPartCount][kStatusTextSize];
};

WNDPROC OriginalProc(HWND hWnd) { return reinterpret_cast<WNDPROC>(GetPropA(hWnd, kPropOriginalProc)); }

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
  Mem_Free(RemovePropA(hWnd, kPropTexts));
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
  if (!SetPropA(hWnd, kPropTexts, shown)) {
    Mem_Free(shown);
    return false;
  }
  LONG_PTR original = GetWindowLongPtrA(hWnd, GWLP_WNDPROC);
  if (!original || !SetPropA(hWnd, kPropOriginalProc, reinterpret_cast<HANDLE>(original))) return false;
  SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc));
  return true;
}

void SetParts(HWND hStatusBar, int nWidth) {
  int edges[kPartCount];
  // The offsets are 96-DPI pixels; on a denser display the texts are wider.
  int32_t dpi = Dpi_ForWindow(hStatusBar);
  for (int i = 0; i < kPartCount - 1; ++i) edges[i] = nWidth - Dpi_Scale(kPartOffsets[i], dpi);
  edges[kPartCount - 1] = -1;
  SendMessageA(hStatusBar, SB_SETPARTS, kPartCount, reinterpret_cast<LPARAM>(edges));
}

void SetPartText(HWND hStatusBar, int nPart, const char* text) {
  SendMessageA(hStatusBar, SB_SETTEXTA, static_cast<WPARAM>(nPart), reinterpret_cast<LPARAM>(text));
}

bool IsToggled(int nVirtKey) { return (GetKeyState(nVirtKey) & 1) != 0; }

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
  PartTexts* shown = static_cast<PartTexts*>(GetPropA(hStatusBar, kPropTexts));
  PartTexts now;
  bool selection = TextEditor_HasSelection(hEditor);
  POINT from, to;
  TextEditor_GetSelection(hEditor, &from, &to);
  StatusText_Selection(now.text[0], kStatusTextSize, selection, TextEditor_GetSelectedLength(hEditor), from, to);
  StatusText_Document(now.text[1], kStatusTextSize, TextEditor_GetLineCount(hEditor), TextEditor_GetTextLength(hEditor));
  EditCaretInfo caret = {};
  TextEditor_GetCaretInfo(hEditor, &caret);
  StatusText_Caret(now.text[2], kStatusTextSize, selection, caret.ptDisplay, static_cast<uint32_t>(caret.nCode));
  StatusText_CapsLock(now.text[3], kStatusTextSize, IsToggled(VK_CAPITAL));
  StatusText_NumLock(now.text[4], kStatusTextSize, IsToggled(VK_NUMLOCK));
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
  if (shown) *shown = now;
}

void StatusBar_SetEncoding(HWND hStatusBar, const char* text) {
  if (!hStatusBar) return;
  PartTexts* shown = static_cast<PartTexts*>(GetPropA(hStatusBar, kPropTexts));
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
