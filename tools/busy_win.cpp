#include "tools/busy_win.h"

namespace {

uint32_t TickClock() { return GetTickCount(); }

BusyClockProc g_pfnClock = TickClock;

// Messages handled in one report at most, so that a window flooded with them
// still lets the work go on.
constexpr int kMessagesPerReport = 256;

bool IsKey(UINT m) { return m >= WM_KEYFIRST && m <= WM_KEYLAST; }

bool IsClientMouse(UINT m) { return m >= WM_MOUSEFIRST && m <= WM_MOUSELAST; }

bool IsFrameButton(UINT m) {
  return m == WM_NCLBUTTONDOWN || m == WM_NCLBUTTONDBLCLK || m == WM_NCRBUTTONDOWN || m == WM_NCRBUTTONDBLCLK ||
         m == WM_NCMBUTTONDOWN || m == WM_NCMBUTTONDBLCLK || m == WM_NCXBUTTONDOWN || m == WM_NCXBUTTONDBLCLK;
}

// The frame's own buttons and borders move, size and close the window; the
// menu bar and the system menu would start commands, so they wait.
bool IsFrameMove(WPARAM hit) {
  return hit == HTCAPTION || hit == HTCLOSE || hit == HTMINBUTTON || hit == HTMAXBUTTON ||
         (hit >= HTLEFT && hit <= HTBOTTOMRIGHT);
}

void ShowWaitCursor() { SetCursor(LoadCursor(nullptr, IDC_WAIT)); }

// A key or a click of the user's is held back; true when the message is
// taken here (dropped, or turned into a stop or a close).
bool TakeInput(BusyPump* pump, const MSG& msg) {
  if (IsKey(msg.message)) {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && pump->bStoppable) pump->bStopAsked = 1;
    if (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_F4) BusyPump_HoldClose(pump);
    return true;
  }
  if (IsClientMouse(msg.message)) return true;
  if (IsFrameButton(msg.message)) return !IsFrameMove(msg.wParam);
  // The window's timers (the recovery writer's) wait too: they come again.
  return msg.message == WM_TIMER && msg.hwnd == pump->hWnd;
}

void PumpMessages(BusyPump* pump) {
  MSG msg;
  for (int i = 0; i < kMessagesPerReport && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    if (msg.message == WM_QUIT) {
      // The loop outside ends the run; the work stops if it may.
      PostQuitMessage(static_cast<int>(msg.wParam));
      if (pump->bStoppable) pump->bStopAsked = 1;
      return;
    }
    if (TakeInput(pump, msg)) continue;
    DispatchMessageA(&msg);
  }
}

int32_t PercentOf(int64_t done, int64_t total) {
  if (total <= 0 || done <= 0) return 0;
  if (done >= total) return 100;
  return static_cast<int32_t>(done * 100 / total);
}

void Show(BusyPump* pump, int32_t percent) {
  if (percent == pump->nPercent) return;
  if (pump->nPercent < 0) ShowWaitCursor();
  pump->nPercent = percent;
  if (pump->pfnShow) pump->pfnShow(pump->pShowContext, percent);
}

// The window under the pointer sets its own cursor again, as a move of the
// mouse would have it.
void RestoreCursor() {
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  POINT pt;
  if (!GetCursorPos(&pt)) return;
  HWND hWnd = WindowFromPoint(pt);
  if (!hWnd || GetWindowThreadProcessId(hWnd, nullptr) != GetCurrentThreadId()) return;
  LRESULT hit = SendMessageA(hWnd, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
  SendMessageA(hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hWnd), MAKELPARAM(LOWORD(hit), WM_MOUSEMOVE));
}

bool Report(void* pContext, int64_t done, int64_t total) {
  BusyPump* pump = static_cast<BusyPump*>(pContext);
  if (pump->nPercent >= 0 || g_pfnClock() - pump->nStartMs >= kBusyShowAfterMs) Show(pump, PercentOf(done, total));
  PumpMessages(pump);
  // A mouse moved over the windows had them set their own cursors.
  if (pump->nPercent >= 0) ShowWaitCursor();
  return !pump->bStopAsked;
}

}  // namespace

bool IsValidBusyPump(const BusyPump* pump) {
  return pump && pump->progress.pfnReport == Report && pump->progress.pContext == pump && pump->nPercent >= -1 &&
         pump->nPercent <= 100 && (pump->bActive || (!pump->bStopAsked && !pump->bCloseAsked));
}

void BusyPump_Init(BusyPump* pump, HWND hWnd) {
  *pump = BusyPump();
  pump->hWnd = hWnd;
  pump->progress.pfnReport = Report;
  pump->progress.pContext = pump;
  pump->nPercent = -1;
}

bool BusyPump_Begin(BusyPump* pump, bool bStoppable, bool bShowNow, BusyShowProc pfnShow, void* pContext) {
  QWIL_ASSERT(IsValidBusyPump(pump));
  if (pump->bActive) return false;
  pump->pfnShow = pfnShow;
  pump->pShowContext = pContext;
  pump->nStartMs = g_pfnClock();
  pump->nPercent = -1;
  pump->bActive = 1;
  pump->bStoppable = bStoppable ? 1 : 0;
  pump->bStopAsked = 0;
  pump->bCloseAsked = 0;
  if (bShowNow) Show(pump, 0);
  return true;
}

const TextProgress* BusyPump_Progress(BusyPump* pump) { return &pump->progress; }

bool BusyPump_End(BusyPump* pump) {
  QWIL_ASSERT(IsValidBusyPump(pump) && pump->bActive);
  bool close = pump->bCloseAsked != 0;
  bool shown = pump->nPercent >= 0;
  pump->bActive = pump->bStopAsked = pump->bCloseAsked = 0;
  pump->nPercent = -1;
  pump->pfnShow = nullptr;
  pump->pShowContext = nullptr;
  if (shown) RestoreCursor();
  if (close && pump->hWnd) PostMessageA(pump->hWnd, WM_CLOSE, 0, 0);
  return shown;
}

bool BusyPump_IsBusy(const BusyPump* pump) { return pump && pump->bActive; }

bool BusyPump_HoldClose(BusyPump* pump) {
  if (!BusyPump_IsBusy(pump)) return false;
  pump->bCloseAsked = 1;
  if (pump->bStoppable) pump->bStopAsked = 1;
  return true;
}

void BusyPump_SetClock(BusyClockProc pfnNow) { g_pfnClock = pfnNow ? pfnNow : TickClock; }
