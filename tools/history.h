// History: a bounded, most-recent-first list of strings. The load history (files
// loaded or saved under a new name, kept in the settings file), the clipboard
// history (texts that passed through the clipboard, kept for the run) and the
// find and replace dialogs' histories share these rules.
#pragma once

#include <cstdint>

#include "tools/ptrlist.h"

struct History {
  int32_t nMax;   // invariant: 0 <= nMax and list->num <= nMax
  PtrList* list;  // owned zero-terminated strings, the most recent first
};

// A new empty history keeping at most nMax entries (a negative nMax counts as 0);
// null when memory runs out.
History* History_Create(int32_t nMax);
// Frees every entry and the history.
void History_Destroy(History* history);
bool IsValidHistory(const History* history);

// An equal entry (byte for byte) moves to the front; otherwise a copy of text is
// put there. Entries past the maximum are dropped from the end. False when memory
// runs out; the history is then unchanged.
bool History_Add(History* history, const char* text);
// Reading a stored list: a copy of text goes to the end unless an equal entry is
// already there; then the list is cut to the maximum. False when memory runs out.
bool History_Append(History* history, const char* text);
// The entry at index, or null when there is none.
const char* History_GetEntry(const History* history, int32_t index);
int32_t History_GetCount(const History* history);
