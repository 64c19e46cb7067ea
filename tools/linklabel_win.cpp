#include "tools/linklabel_win.h"

#include "tools/linklabel.h"
#include "tools/toolwind_win.h"

namespace {

const char kPropOriginalProc[] = "LLPROP_ORIGINALPROC";
const char kPropControlState[] = "LLPROP_CONTROLSTATE";
const char kPropCursor[] = "LLPROP_CURSOR";
const char kPropFont[] = "LLPROP_FONT";

constexpr UINT_PTR kWatchTimer = 1;
constexpr uintptr_t kStateHot = 1;

uintptr_t GetState(HWND hWnd) { return reinterpret_cast<uintptr_t>(GetPropA(hWnd, kPropControlState)); }
void SetState(HWND hWnd, uintptr_t state) {
  SetPropA(hWnd, kPropControlState, reinterpret_cast<HANDLE>(state));
  InvalidateRect(hWnd, nullptr, TRUE);
}

// The current pointer, not the message's position: the watch timer and the
// returned notifications carry none.
bool IsPointerInside(HWND hWnd) {
  POINT pt;
  RECT rc;
  if (!GetCursorPos(&pt) || !ScreenToClient(hWnd, &pt) || !GetClientRect(hWnd, &rc)) return false;
  return PtInRect(&rc, pt) != 0;
}

void NotifyParent(HWND hWnd, UINT code, WPARAM wKeys, LPARAM lPos) {
  HWND hParent = GetParent(hWnd);
  if (!hParent) return;
  LinkLabelNotify rec = {};
  rec.hdr.hwndFrom = hWnd;
  rec.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hWnd));
  rec.hdr.code = code;
  rec.wKeys = wKeys;
  rec.lPos = lPos;
  SendMessageA(hParent, WM_NOTIFY, rec.hdr.idFrom, reinterpret_cast<LPARAM>(&rec));
}

LRESULT CallOriginal(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  WNDPROC pfn = reinterpret_cast<WNDPROC>(GetPropA(hWnd, kPropOriginalProc));
  return pfn ? CallWindowProcA(pfn, hWnd, uMsg, wParam, lParam) : DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

void CALLBACK OnWatchTimer(HWND hWnd, UINT, UINT_PTR idEvent, DWORD) {
  if (IsPointerInside(hWnd)) return;
  KillTimer(hWnd, idEvent);
  NotifyParent(hWnd, kLinkLabelLeave, 0, 0);
}

void Paint(HWND hWnd, HDC hdc) {
  RECT rc;
  GetClientRect(hWnd, &rc);
  FillRect(hdc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  bool bHot = (GetState(hWnd) & kStateHot) != 0;
  if (GetCapture() == hWnd && bHot) FrameRect(hdc, &rc, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  HFONT hFont = reinterpret_cast<HFONT>(SendMessageA(hWnd, WM_GETFONT, 0, 0));
  if (!hFont) return;
  char text[1024] = {};
  int n = GetWindowTextA(hWnd, text, sizeof(text));
  HGDIOBJ hOld = SelectObject(hdc, hFont);
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, bHot ? kLinkLabelHotColor : kLinkLabelColor);
  TextOutA(hdc, 0, 0, text, n);
  SelectObject(hdc, hOld);
}

LRESULT OnPaint(HWND hWnd, WPARAM, LPARAM) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hWnd, &ps);
  if (hdc) Paint(hWnd, hdc);
  EndPaint(hWnd, &ps);
  return 0;
}

// The same picture into a caller's device context.
LRESULT OnPrintClient(HWND hWnd, WPARAM wParam, LPARAM) {
  Paint(hWnd, reinterpret_cast<HDC>(wParam));
  return 0;
}

LRESULT OnSetCursor(HWND hWnd, WPARAM, LPARAM) {
  SetCursor(static_cast<HCURSOR>(GetPropA(hWnd, kPropCursor)));
  return TRUE;
}

// A plain static is transparent to the mouse; the label must see it.
LRESULT OnNcHitTest(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  if (IsPointerInside(hWnd)) return HTCLIENT;
  return CallOriginal(hWnd, WM_NCHITTEST, wParam, lParam);
}

LRESULT OnMouseMove(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  if (IsPointerInside(hWnd)) {
    // The shortest period the system has: the label goes dark soon after the pointer leaves.
    SetTimer(hWnd, kWatchTimer, 0, OnWatchTimer);
    NotifyParent(hWnd, kLinkLabelHover, wParam, lParam);
  }
  return CallOriginal(hWnd, WM_MOUSEMOVE, wParam, lParam);
}

LRESULT OnLButtonDown(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  SetCapture(hWnd);
  InvalidateRect(hWnd, nullptr, FALSE);
  return CallOriginal(hWnd, WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT OnLButtonUp(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  if (GetCapture() == hWnd) {
    ReleaseCapture();
    InvalidateRect(hWnd, nullptr, FALSE);
    if (IsPointerInside(hWnd)) NotifyParent(hWnd, kLinkLabelClick, 0, 0);
  }
  return CallOriginal(hWnd, WM_LBUTTONUP, wParam, lParam);
}

LRESULT OnNotify(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
  if (!hdr || hdr->hwndFrom != hWnd) return CallOriginal(hWnd, WM_NOTIFY, wParam, lParam);
  if (hdr->code == kLinkLabelLeave) {
    SetState(hWnd, 0);
  } else if (hdr->code == kLinkLabelHover && IsPointerInside(hWnd)) {
    SetState(hWnd, kStateHot);
  }
  return 0;
}

LRESULT OnDestroy(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  WNDPROC pfn = reinterpret_cast<WNDPROC>(RemovePropA(hWnd, kPropOriginalProc));
  KillTimer(hWnd, kWatchTimer);
  RemovePropA(hWnd, kPropControlState);
  HCURSOR hCursor = static_cast<HCURSOR>(RemovePropA(hWnd, kPropCursor));
  HFONT hFont = static_cast<HFONT>(RemovePropA(hWnd, kPropFont));
  if (pfn) SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfn));
  // The control forgets the font before it goes.
  if (pfn) CallWindowProcA(pfn, hWnd, WM_SETFONT, 0, FALSE);
  if (hFont) DeleteObject(hFont);
  if (hCursor) DestroyCursor(hCursor);
  return pfn ? CallWindowProcA(pfn, hWnd, WM_DESTROY, wParam, lParam) : DefWindowProcA(hWnd, WM_DESTROY, wParam, lParam);
}

constexpr MessageRow kLabelMessages[] = {
    {WM_PAINT, OnPaint},           {WM_PRINTCLIENT, OnPrintClient}, {WM_SETCURSOR, OnSetCursor},
    {WM_NCHITTEST, OnNcHitTest},   {WM_MOUSEMOVE, OnMouseMove},     {WM_LBUTTONDOWN, OnLButtonDown},
    {WM_LBUTTONUP, OnLButtonUp},   {WM_NOTIFY, OnNotify},           {WM_DESTROY, OnDestroy},
};

LRESULT CALLBACK LinkLabelProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  MessageHandler handler =
      Message_FindHandler(kLabelMessages, sizeof(kLabelMessages) / sizeof(kLabelMessages[0]), uMsg);
  return handler ? handler(hWnd, wParam, lParam) : CallOriginal(hWnd, uMsg, wParam, lParam);
}

HFONT MakeUnderlinedFont(HWND hWnd) {
  HFONT hFont = reinterpret_cast<HFONT>(SendMessageA(hWnd, WM_GETFONT, 0, 0));
  if (!hFont) return nullptr;
  LOGFONTA lf = {};
  if (GetObjectA(hFont, sizeof(lf), &lf) == 0) return nullptr;
  lf.lfUnderline = TRUE;
  return CreateFontIndirectA(&lf);
}

HCURSOR MakeHandCursor(HWND hWnd) {
  uint8_t andMask[kHandCursorMaskBytes];
  uint8_t xorMask[kHandCursorMaskBytes];
  HandCursor_MakeMasks(andMask, xorMask);
  HINSTANCE hInstance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hWnd, GWLP_HINSTANCE));
  return CreateCursor(hInstance, kHandCursorHotX, kHandCursorHotY, kHandCursorSize, kHandCursorSize, andMask,
                      xorMask);
}

}  // namespace

bool LinkLabel_Attach(HWND hStatic) {
  QWIL_ASSERT(IsWindow(hStatic));
  if (GetPropA(hStatic, kPropOriginalProc)) return false;  // already a label
  HFONT hFont = MakeUnderlinedFont(hStatic);
  if (!hFont) return false;
  HCURSOR hCursor = MakeHandCursor(hStatic);
  if (!hCursor) {
    DeleteObject(hFont);
    return false;
  }
  LONG_PTR original = GetWindowLongPtrA(hStatic, GWLP_WNDPROC);
  if (!original || !SetPropA(hStatic, kPropOriginalProc, reinterpret_cast<HANDLE>(original)) ||
      !SetPropA(hStatic, kPropControlState, nullptr) || !SetPropA(hStatic, kPropCursor, hCursor) ||
      !SetPropA(hStatic, kPropFont, hFont)) {
    RemovePropA(hStatic, kPropOriginalProc);
    RemovePropA(hStatic, kPropControlState);
    RemovePropA(hStatic, kPropCursor);
    RemovePropA(hStatic, kPropFont);
    DestroyCursor(hCursor);
    DeleteObject(hFont);
    return false;
  }
  SetWindowLongPtrA(hStatic, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LinkLabelProc));
  SendMessageA(hStatic, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), TRUE);
  return true;
}

bool LinkLabel_IsHot(HWND hLabel) {
  if (!IsWindow(hLabel) || !GetPropA(hLabel, kPropOriginalProc)) return false;
  return (GetState(hLabel) & kStateHot) != 0;
}
