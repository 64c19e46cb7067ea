// Long work on the window's own thread, done in slices between its messages.
// The work reports its progress (tools/progress.h) every so often; each report
// lets the windows paint and answer the system, while the user's keys and
// clicks are held back (Escape stops work that may stop). After half a second
// the wait cursor and the progress show. A window asked to close meanwhile is
// closed once the work is over, never in the middle of it.
#pragma once

#include <cstdint>

#include "tools/platform.h"
#include "tools/progress.h"

// Work shorter than this shows neither the wait cursor nor its progress.
constexpr uint32_t kBusyShowAfterMs = 500;

// Shows how far the work has come, 0 to 100.
typedef void (*BusyShowProc)(void* pContext, int32_t nPercent);

struct BusyPump {
  HWND hWnd;                // the top-level window that waits for the work
  BusyShowProc pfnShow;
  void* pShowContext;
  TextProgress progress;    // what the work is given; its context is the pump
  uint32_t nStartMs;        // the clock when the work began
  int32_t nPercent;         // shown last; -1 while nothing is shown
  BYTE bActive;             // work runs
  BYTE bStoppable;          // Escape stops it
  BYTE bStopAsked;          // the work is told to stop at its next report
  BYTE bCloseAsked;         // the window is closed when the work is over
};

bool IsValidBusyPump(const BusyPump* pump);

void BusyPump_Init(BusyPump* pump, HWND hWnd);
// Work begins; what pfnShow gets is called from the work's reports. With
// bShowNow the progress (0) shows at once, with the wait cursor. False (the
// pump untouched) while other work runs: work never nests.
bool BusyPump_Begin(BusyPump* pump, bool bStoppable, bool bShowNow, BusyShowProc pfnShow, void* pContext);
// What the work is given to report to.
const TextProgress* BusyPump_Progress(BusyPump* pump);
// The work is over: the cursor is the window's again, and a close asked for
// meanwhile is posted to the window. True when its progress had been shown.
bool BusyPump_End(BusyPump* pump);
bool BusyPump_IsBusy(const BusyPump* pump);
// The window was asked to close: while work runs the close waits for it (and
// work that may stop is stopped); true then. False when nothing runs.
bool BusyPump_HoldClose(BusyPump* pump);

// The clock the pump reads, in milliseconds (GetTickCount unless a test gives
// one of its own; null gives GetTickCount back).
typedef uint32_t (*BusyClockProc)();
void BusyPump_SetClock(BusyClockProc pfnNow);
