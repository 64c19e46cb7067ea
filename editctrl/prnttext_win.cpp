#include "editctrl/prnttext_win.h"

#include "editctrl/prntcancel_win.h"
#include "tools/debuglog.h"

static_assert(kPrintInThousandthsOfInches == PSD_INTHOUSANDTHSOFINCHES, "margin unit flags");
static_assert(kPrintInHundredthsOfMillimeters == PSD_INHUNDREDTHSOFMILLIMETERS, "margin unit flags");

namespace {

// The printer of one job: the seam's context.
struct PrintDevice {
  HDC hdc;
  DOCINFOA docInfo;
  LOGFONTA font;        // the print font, sized for the device
  HFONT hFont;          // the font of the open page, or null
  int nSavedDC;         // SaveDC of the open page, 0 when no page is open
  HWND hCancel;         // the cancel dialog, or null
  volatile BYTE bAbort;  // 1 once the job is to stop
};

// The job that runs. The abort procedure has no context of its own to find it by.
PrintDevice* g_pJob = nullptr;

PrintDevice* Device(void* pContext) { return static_cast<PrintDevice*>(pContext); }

// Lets the waiting messages through, the cancel dialog's first. A quit message is
// put back for the program's own loop, and stops the job.
bool PumpMessages(PrintDevice* dev) {
  MSG msg;
  while (!dev->bAbort && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      dev->bAbort = 1;
      break;
    }
    if (dev->hCancel && IsDialogMessageA(dev->hCancel, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return !dev->bAbort;
}

// Called by the printer driver while it spools.
BOOL CALLBACK AbortProc(HDC, int) { return g_pJob ? PumpMessages(g_pJob) : TRUE; }

int32_t GetCaps(void* c, PrintCap cap) {
  static const int kIndex[] = {LOGPIXELSX, LOGPIXELSY, HORZRES, VERTRES};
  return GetDeviceCaps(Device(c)->hdc, kIndex[cap]);
}

int32_t StartDocument(void* c) { return StartDocA(Device(c)->hdc, &Device(c)->docInfo); }
int32_t EndDocument(void* c) { return EndDoc(Device(c)->hdc); }

// What a page set up goes back: the saved state, then the font that was selected.
void ClosePage(PrintDevice* dev) {
  if (dev->nSavedDC) RestoreDC(dev->hdc, dev->nSavedDC);
  dev->nSavedDC = 0;
  if (dev->hFont) DeleteObject(dev->hFont);
  dev->hFont = nullptr;
}

int32_t AbortDocument(void* c) {
  ClosePage(Device(c));
  return AbortDoc(Device(c)->hdc);
}

// Black text over nothing, the print font; a font that cannot be made fails the page.
int32_t StartOnePage(void* c) {
  PrintDevice* dev = Device(c);
  int32_t n = StartPage(dev->hdc);
  if (n < 1) return n;
  dev->nSavedDC = SaveDC(dev->hdc);
  SetTextColor(dev->hdc, RGB(0, 0, 0));
  SetBkColor(dev->hdc, RGB(255, 255, 255));
  SetBkMode(dev->hdc, TRANSPARENT);
  SetMapMode(dev->hdc, MM_TEXT);
  dev->hFont = CreateFontIndirectA(&dev->font);
  if (!dev->hFont || !SelectObject(dev->hdc, dev->hFont)) {
    QWIL_LOG("印刷のフォントが作れませんでした。");
    return -1;
  }
  return 1;
}

int32_t EndOnePage(void* c) {
  ClosePage(Device(c));
  return EndPage(Device(c)->hdc);
}

SIZE TextExtent(void* c, const char* bytes, int32_t n) {
  SIZE size;
  if (!GetTextExtentPoint32A(Device(c)->hdc, bytes, n, &size)) size.cx = size.cy = 0;
  return size;
}

void TextOutput(void* c, int32_t x, int32_t y, const char* bytes, int32_t n) {
  TextOutA(Device(c)->hdc, x, y, bytes, n);
}

bool Continue(void* c) { return PumpMessages(Device(c)); }

PrintSeam MakeSeam(PrintDevice* dev) {
  PrintSeam seam;
  seam.pContext = dev;
  seam.pfnGetDeviceCaps = GetCaps;
  seam.pfnStartDoc = StartDocument;
  seam.pfnEndDoc = EndDocument;
  seam.pfnAbortDoc = AbortDocument;
  seam.pfnStartPage = StartOnePage;
  seam.pfnEndPage = EndOnePage;
  seam.pfnTextExtent = TextExtent;
  seam.pfnTextOut = TextOutput;
  seam.pfnContinue = Continue;
  return seam;
}

void InitDevice(PrintDevice* dev, HDC hdc, const DOCINFOA* pDocInfo, const LOGFONTA* pFont, int32_t pointSize) {
  dev->hdc = hdc;
  DOCINFOA none = {};
  dev->docInfo = pDocInfo ? *pDocInfo : none;
  dev->docInfo.cbSize = sizeof(DOCINFOA);
  LOGFONTA fallback = {};  // no font given: the device's default face
  dev->font = PrintText_PrintFont(pFont ? pFont : &fallback, pointSize, GetDeviceCaps(hdc, LOGPIXELSY));
  dev->hFont = nullptr;
  dev->nSavedDC = 0;
  dev->hCancel = nullptr;
  dev->bAbort = 0;
}

PrintMargins MarginsOf(const PAGESETUPDLGA* pPageSetup) {
  PrintMargins margins = {};
  if (pPageSetup) {
    margins.dwFlags = pPageSetup->Flags & (PSD_INTHOUSANDTHSOFINCHES | PSD_INHUNDREDTHSOFMILLIMETERS);
    margins.rtMargin = pPageSetup->rtMargin;
  }
  return margins;
}

}  // namespace

PrintResult PrintText_Print(TextData* text, const PAGESETUPDLGA* pPageSetup, HDC hdc, const DOCINFOA* pDocInfo,
                            const LOGFONTA* pFont, int32_t pointSize, HWND hOwner) {
  QWIL_ASSERT(IsValidTextDataHandle(text));
  if (g_pJob) {
    QWIL_LOG("印刷中のため、次の印刷は始めません。");
    return kPrintBusy;
  }
  if (!hdc) {
    QWIL_LOG("印刷ジョブが開始できませんでした。");
    return kPrintStartDocFailed;
  }
  PrintDevice dev;
  InitDevice(&dev, hdc, pDocInfo, pFont, pointSize);
  PrintSeam seam = MakeSeam(&dev);
  PrintMargins margins = MarginsOf(pPageSetup);
  // Margins that leave no room are told before any dialog shows.
  RECT rc = PrintText_PrintableRect(&seam, &margins);
  if (rc.right <= rc.left || rc.bottom <= rc.top) return PrintText_Run(&seam, text, &margins);

  g_pJob = &dev;
  dev.hCancel = PrintCancel_Create(GetModuleHandleA(nullptr), hOwner, &dev.bAbort);
  if (!dev.hCancel) QWIL_LOG("印刷中止のダイアログが作れませんでした。");
  SetAbortProc(hdc, AbortProc);
  PrintResult result = PrintText_Run(&seam, text, &margins);
  // A driver told by the abort procedure to stop fails the page it was on.
  if (dev.bAbort && result != kPrintDone && result != kPrintEndDocFailed) result = kPrintCancelled;
  PrintCancel_Destroy(dev.hCancel);
  dev.hCancel = nullptr;
  g_pJob = nullptr;
  DebugLog_Printf("%s(%d) : 印刷の結果: %s \r\n", __FILE__, __LINE__, PrintText_ResultName(result));
  return result;
}

bool PrintText_IsPrinting() { return g_pJob != nullptr; }

HWND PrintText_GetCancelDialog() { return g_pJob ? g_pJob->hCancel : nullptr; }
