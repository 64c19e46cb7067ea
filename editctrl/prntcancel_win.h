// The cancel dialog shown while a document prints ("印刷中", resource 152): a
// modeless dialog with one button that sets the job's abort flag. The flag's
// address lives in the dialog's window property "g_bAbort" for its lifetime.
#pragma once

#include "tools/platform.h"

// Creates the dialog, visible, owned by hOwner (may be null). *pbAbort becomes 1
// when the user presses the button or Esc, closes the dialog, or the dialog goes
// away without PrintCancel_Destroy (its owner was destroyed): the job must not go
// on then. The flag must outlive the dialog. Null when it cannot be created.
HWND PrintCancel_Create(HINSTANCE hInstance, HWND hOwner, volatile BYTE* pbAbort);
// Destroys the dialog, if it is still there, without touching the flag.
void PrintCancel_Destroy(HWND hDlg);
// The flag of a cancel dialog, or null when hDlg is none.
volatile BYTE* PrintCancel_GetAbortFlag(HWND hDlg);
