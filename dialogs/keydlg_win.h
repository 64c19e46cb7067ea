// The key assignment dialog (resource 147): a hot-key control, the named
// commands, and the bindings list (one row per key code) with add, delete, a
// column sort kept for the whole run, resizing, and the save question at the
// close box once something changed.
#pragma once

#include "dialogs/keyassign.h"
#include "tools/platform.h"

// Runs the dialog modally over data's bindings, leaving data unchanged. True on
// OK, with the rows' bindings in *ppItems (sorted in item order, a heap array the
// caller frees with Mem_Free; null when the list was empty) and their number in
// *pnCount. False on Cancel, with null and 0.
bool ShowKeyAssignDialog(HWND hOwner, const KeyAssignData* data, KeyAssignItem** ppItems, int32_t* pnCount);
