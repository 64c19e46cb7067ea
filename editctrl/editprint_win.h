// Printing the document of an editor control: the control's side of the print
// command, over the print engine of prnttext_win.
#pragma once

#include <cstdint>

#include "editctrl/prnttext.h"
#include "tools/platform.h"

#include <commdlg.h>

// Prints the whole document of the editor control hWnd on the device context of
// pPrintDlg (hDC, from the print dialog; the caller deletes it afterwards) with
// the margins of pPageSetup (null: none) under the job name of pDocInfo (null:
// none), in the control's display font at pointSize tenths of a point, and
// reports how the job ended (the debug log keeps the detail).
// While the pages go out the document is read-only, so that nothing the cancel
// dialog's message pump lets through can change it; the flag is given back as it
// was when the job is over. The cancel dialog is owned by the control's parent.
// kPrintStartDocFailed for a window that is no editor control or a missing
// device context; kPrintBusy while another job runs.
PrintResult TextEditor_Print(HWND hWnd, const PAGESETUPDLGA* pPageSetup, const DOCINFOA* pDocInfo,
                             const PRINTDLGA* pPrintDlg, int32_t pointSize);
