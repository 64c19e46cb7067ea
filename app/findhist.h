// The histories of the find and replace dialogs in the settings file: the
// search strings in "検索ダイアログ", the replacements in "置換ダイアログ", each
// with its maximum ("最大履歴数"), its count ("履歴数") and one key per entry
// ("0", "1", ...) holding the text in quotes. Read when a dialog opens, written
// when it closes.
#pragma once

#include <cstdint>

#include "tools/history.h"
#include "tools/profile.h"

extern const char kFindHistorySection[];     // "検索ダイアログ"
extern const char kReplaceHistorySection[];  // "置換ダイアログ"

constexpr int32_t kFindHistoryDefaultMax = 64;
constexpr int32_t kFindHistoryMaxLimit = 256;
// Bytes an entry is read into, the terminator included.
constexpr int32_t kFindHistoryEntrySize = 1025;

// The stored maximum clamped to 0 .. 256.
int32_t FindHistory_ClampMax(int32_t nStoredMax);

// A new history from the section: the maximum (64 when the file says nothing),
// then the stored count of entries clamped to it, each appended unless an
// equal one is there already. Missing (empty) entries are left out: an empty
// item would offer nothing to search for. Null when memory runs out.
History* FindHistory_Read(const ProfileMethods* profile, const char* section);
// Writes the maximum, the count and every entry; keys left from a longer list
// stay. False when any write failed (the others are still made).
bool FindHistory_Write(const History* history, const ProfileMethods* profile, const char* section);
