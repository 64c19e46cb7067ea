// The find dialog (135, "検索") and the replace dialog (137, "置換"): modal over
// the main window, they add to the histories of both strings, rewrite the
// option word of their record from their four check boxes before every
// action, and ask the owner to act with the request messages of
// dialogs/searchreq.h. Resizable in width only; draggable by any free spot.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tools/history.h"
#include "tools/platform.h"


// What the caller hands the dialog and gets back. The histories stay the
// caller's (it reads them before and keeps them after); the dialog only adds
// to them.
struct FindDialogData {
  HWND hOwner;              // the main window: the target of the requests
  uint32_t nOptions;        // in: the check boxes; out: the options of the last request sent
  const char* pszInitial;   // the proposed search string, or null
  History* findHistory;     // the search strings, most recent first
  History* replaceHistory;  // the replacements
};

// The dialog's record, in the property while the dialog is open.
struct FindBoxParam {
  size_t cbSize;            // sizeof(FindBoxParam)
  uint32_t* pnOptions;      // the option word of the caller's record
  int32_t nInitialWidth;    // the window's size when it opened: the least size, and the only height
  int32_t nInitialHeight;
  int32_t nClientWidth;     // the client size, the width updated at every layout
  int32_t nClientHeight;
  HWND hOwner;              // the target of the requests
  const char* pszInitial;   // the proposed search string, or null
  History* findHistory;     // the caller's
  History* replaceHistory;
};

bool IsValidFindBoxParam(const FindBoxParam* param);

// Each runs its dialog over data's owner. True when the dialog was closed with
// its close button; false when it could not be shown.
bool FindDialog_Show(HINSTANCE hInstance, FindDialogData* data);
bool ReplaceDialog_Show(HINSTANCE hInstance, FindDialogData* data);
