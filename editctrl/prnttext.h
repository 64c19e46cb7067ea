// Printing a document: the pages are laid out here, without a window, and drawn
// through the print seam. One font, black text, the page setup's margins, every
// line broken at the right margin character by character, tabs advancing to the
// next stop in space widths and never drawn, no header, footer or line numbers.
//
// The GDI adapter (prnttext_win) implements the seam on a printer device context;
// tests implement it with a recorder.
#pragma once

#include <cstdint>

#include "editctrl/textdata.h"
#include "tools/platform.h"

// What the seam is asked about the device, in its own units (device pixels).
enum PrintCap : int32_t {
  kPrintCapDpiX,    // pixels per inch across (LOGPIXELSX)
  kPrintCapDpiY,    // pixels per inch down (LOGPIXELSY)
  kPrintCapWidth,   // printable width (HORZRES)
  kPrintCapHeight,  // printable height (VERTRES)
};

// What the printer needs to be able to do. Calls that answer like their GDI
// namesakes return > 0 on success.
struct PrintSeam {
  void* pContext;  // handed to every call
  int32_t (*pfnGetDeviceCaps)(void* pContext, PrintCap cap);
  int32_t (*pfnStartDoc)(void* pContext);
  int32_t (*pfnEndDoc)(void* pContext);
  // Throws the job away (also in the middle of a page); the seam cleans up what
  // a started page holds.
  int32_t (*pfnAbortDoc)(void* pContext);
  // Starts a page with the print font selected, black text, transparent background.
  int32_t (*pfnStartPage)(void* pContext);
  int32_t (*pfnEndPage)(void* pContext);
  // Size of n bytes of code page 932 text in the print font; {0, 0} when unknown.
  SIZE (*pfnTextExtent)(void* pContext, const char* bytes, int32_t n);
  // n bytes drawn with the top-left corner of their first cell at (x, y).
  void (*pfnTextOut)(void* pContext, int32_t x, int32_t y, const char* bytes, int32_t n);
  // Lets the program's messages through (the cancel button among them); false once
  // the job is to stop. Asked before every page and every print line.
  bool (*pfnContinue)(void* pContext);
};

// Every call is there.
bool IsValidPrintSeam(const PrintSeam* seam);

// The unit of the margins, as the page setup dialog's flags name it.
constexpr uint32_t kPrintInThousandthsOfInches = 0x4;      // PSD_INTHOUSANDTHSOFINCHES
constexpr uint32_t kPrintInHundredthsOfMillimeters = 0x8;  // PSD_INHUNDREDTHSOFMILLIMETERS

struct PrintMargins {
  uint32_t dwFlags;  // one of the two units above; neither means no margins
  RECT rtMargin;     // left, top, right, bottom, from the edges of the printable area
};

// How a job ended. Everything but kPrintDone left nothing in the printer: a job
// that was started is aborted, never ended as if it had printed.
enum PrintResult : int32_t {
  kPrintDone,              // every page went to the printer
  kPrintCancelled,         // the user stopped it
  kPrintMarginsTooLarge,   // nothing fits between the margins (or the device has no
                           // printable area): no job was started
  kPrintStartDocFailed,    // the printer refused the job
  kPrintStartPageFailed,   // a page could not be started
  kPrintEndPageFailed,     // a page could not be finished
  kPrintEndDocFailed,      // the pages went out but the job did not end normally
  kPrintBusy,              // another job was still running: nothing was started
};

// The print font: the display font at pointSize tenths of a point on a device of
// dpiY pixels per inch (lfHeight = -MulDiv(pointSize, dpiY, 720)); its width is
// left to the font mapper, as a display font's width is in screen pixels. A point
// size of 0 or less prints at the default 14 points.
LOGFONTA PrintText_PrintFont(const LOGFONTA* display, int32_t pointSize, int32_t dpiY);
// A margin in device pixels at dpi: hundredths of a millimetre are first rounded
// to the nearest hundredth of an inch; negative margins count as 0.
int32_t PrintText_MarginToPixels(int32_t margin, uint32_t dwFlags, int32_t dpi);
// The printable rectangle: the device's printable area less the margins. It is
// empty (right <= left or bottom <= top) when the margins leave no room.
RECT PrintText_PrintableRect(const PrintSeam* seam, const PrintMargins* margins);

// Prints the whole document through the seam and reports how the job ended; the
// detail of a failure goes to the debug log. The document is only read, and must
// not change while the job runs (the seam's message pump runs inside the loop).
// An empty document starts and ends the job without a page.
PrintResult PrintText_Run(const PrintSeam* seam, TextData* text, const PrintMargins* margins);

// The job's result as a short text for the debug log.
const char* PrintText_ResultName(PrintResult result);
