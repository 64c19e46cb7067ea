// Printing on a printer device context: the GDI side of the print seam, the
// cancel dialog and the abort procedure around one job.
#pragma once

#include "editctrl/prnttext.h"
#include "tools/platform.h"

#include <commdlg.h>

// Prints the whole document on hdc (from the print dialog; the caller keeps it and
// deletes it afterwards: Wine takes no second job on a device context whose job
// was aborted) and reports how the job ended; the debug log keeps the detail.
// pPageSetup gives the margins (Flags and rtMargin; null: none), pDocInfo the
// job's name (cbSize need not be set; null: no name), pFont the display font
// (null: the device's default face), printed at pointSize tenths of a point.
// While the pages go out, the modeless cancel dialog (owned by hOwner) and the
// abort procedure let the program's messages through: the caller keeps the
// document from changing or going away until this returns (should hOwner be
// destroyed meanwhile, the job stops before it reads the document again). One job
// at a time; a second call meanwhile gives kPrintBusy.
PrintResult PrintText_Print(TextData* text, const PAGESETUPDLGA* pPageSetup, HDC hdc, const DOCINFOA* pDocInfo,
                            const LOGFONTA* pFont, int32_t pointSize, HWND hOwner);

// Whether a job is running: the main window refuses to close, to load a file and
// to print again until it is over.
bool PrintText_IsPrinting();
// The cancel dialog of the job that is running, or null.
HWND PrintText_GetCancelDialog();
