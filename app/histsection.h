// The stored form every history of the settings file shares: a section with
// its maximum ("最大履歴数"), its count ("履歴数") and one key per entry ("0",
// "1", ...). The histories differ only in their limits and in which entries
// they take.
#pragma once

#include <cstdint>

#include "tools/history.h"
#include "tools/profile.h"

extern const char kHistoryMaxKey[];    // "最大履歴数"
extern const char kHistoryCountKey[];  // "履歴数"

// The largest entry buffer a history may ask for, the terminator included.
constexpr int32_t kHistorySectionEntryMax = 1025;

// Appends the section's entries 0 .. nCount - 1 to the history, each read into
// nEntrySize bytes (at most kHistorySectionEntryMax); empty entries and those
// longer than nMaxLength bytes are left out. Stops when the history refuses one
// (out of memory).
void HistorySection_ReadEntries(History* history, const ProfileMethods* profile, const char* section, int32_t nCount,
                                int32_t nEntrySize, int32_t nMaxLength);
// Writes the maximum, the count and the first nCount entries; keys left from a
// longer list stay. False when any write failed (the others are still made).
bool HistorySection_Write(const History* history, const ProfileMethods* profile, const char* section, int32_t nMax,
                          int32_t nCount);
