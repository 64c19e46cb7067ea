// The find dialog (135, "検索") and the replace dialog (137, "置換"): modal over
// the main window, they keep the histories of both strings, rewrite the
// application's option word from their four check boxes before every action,
// and ask the owner to act with the request messages of dialogs/searchreq.h.
// Resizable in width only; draggable by any free spot.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tools/history.h"
#include "tools/platform.h"
#include "tools/profile_win.h"

extern const char kPropFindBoxParam[];  // "PROP_FINDBOXPARAM_X"

// The dialog's record, in the property while the dialog is open.
struct FindBoxParam {
  size_t cbSize;            // sizeof(FindBoxParam)
  uint32_t* pnOptions;      // the application's option word (not owned)
  int32_t nInitialWidth;    // the window's size when it opened: the least size, and the only height
  int32_t nInitialHeight;
  int32_t nClientWidth;     // the client size, the width updated at every layout
  int32_t nClientHeight;
  HWND hOwner;              // the target of the requests
  char* pszInitial;         // the proposed search string (owned), or null
  History* findHistory;     // owned
  History* replaceHistory;  // owned
  ProfileFile profile;      // where the histories are written when the dialog closes
};

bool IsValidFindBoxParam(const FindBoxParam* param);

// Each loads both histories from the owner's settings file, proposes the first
// line of the owner's selection as the search string and runs its dialog.
// True when the dialog was closed with its close button; false when it could
// not be shown (the owner is no main window, memory ran out).
bool FindDialog_Show(uint32_t* pnOptions, HWND hOwner);
bool ReplaceDialog_Show(uint32_t* pnOptions, HWND hOwner);
