// The load history's section of the settings file, "読込履歴": its maximum, its
// count and one key per entry ("0", "1", ...) holding the path in quotes.
#pragma once

#include "tools/history.h"
#include "tools/profile.h"

// A new history from the section: the stored maximum clamped to 0 .. 16, then
// the stored count of entries (clamped to the maximum), each appended unless
// an equal one is there already. An empty entry (a missing key) names no file
// and an entry longer than a path can be would have to be cut into another
// path: both are left out. Null when memory runs out.
History* LoadHistory_Read(const ProfileMethods* profile);
// Writes the maximum, the count and every entry; keys left from a longer list
// stay. False when any write failed.
bool LoadHistory_Write(const History* history, const ProfileMethods* profile);
