// The menus of the load history and the clipboard history: the limits of the
// two lists, the command ids of their entries and the texts of their items.
// The window layer builds the menus from the item texts made here.
#pragma once

#include <cstdint>

constexpr int32_t kLoadHistoryMaxLimit = 16;
constexpr int32_t kLoadHistoryDefaultMax = 10;
constexpr int32_t kClipboardHistoryMax = 36;

// Menu ids of the entries: clipboard entry i is 32769 + i (the ids up to 36864
// belong to it), load entry i is 36865 + i.
constexpr int32_t kClipboardHistoryFirstId = 32769;
constexpr int32_t kClipboardHistoryLastId = 36864;
constexpr int32_t kLoadHistoryFirstId = 36865;

// Bytes of an item text, the terminator included.
constexpr int32_t kFileMenuTextSize = 260;
constexpr int32_t kClipboardMenuTextSize = 64;

// The stored maximum of the load history clamped to 0 .. 16, and the stored count
// clamped to 0 .. that maximum.
int32_t LoadHistory_ClampMax(int32_t nStoredMax);
int32_t LoadHistory_ClampCount(int32_t nStoredCount, int32_t nMax);
// The entry index of a menu id, or -1 when the id is not the history's.
int32_t LoadHistory_IndexFromId(int32_t id);
int32_t ClipboardHistory_IndexFromId(int32_t id);

// The File menu text of load history entry index, cut to size bytes (the menu uses
// kFileMenuTextSize): "&0 " to "&9 " give the first ten their access keys, two
// blanks stand before the others; an entry of more than 22 bytes shows as the
// first 22 bytes of its folder, " ... " and its file name; every "&" of the
// entry is doubled so that the menu draws it. Returns the length.
int32_t LoadHistory_FormatMenuText(const char* entry, int32_t index, char* buffer, int32_t size);
// The popup text of clipboard history entry index, cut to size bytes (the menu uses
// kClipboardMenuTextSize): "&0 " .. "&9 ", "&a " .. "&z ", then the text with its
// control bytes left out and every "&" doubled, never ending on a lead byte.
// Returns the length.
int32_t ClipboardHistory_FormatMenuText(const char* entry, int32_t index, char* buffer, int32_t size);
