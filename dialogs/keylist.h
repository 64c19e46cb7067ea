// The key assignment dialog's decisions that need no window: the order of the
// bindings list (kept for the whole run), the row selected after a delete, and
// the bindings gathered from the rows when the dialog is confirmed.
#pragma once

#include <cstdint>

#include "dialogs/keyassign.h"

constexpr const char* kKeyAssignTitle = "キーの割り当て";
constexpr const char* kKeyAssignChangedTitle = "キーの割り当て *";
constexpr const char* kKeyAssignSaveQuestion = "設定を保存しますか？";

constexpr int32_t KEYLIST_COLUMN_KEY = 0;
constexpr int32_t KEYLIST_COLUMN_COMMAND = 1;

// The column the rows are sorted by and its direction.
struct KeyListSort {
  int32_t nColumn;  // invariant: KEYLIST_COLUMN_KEY or KEYLIST_COLUMN_COMMAND
  bool bDescending;
};

// The order the list starts in: by key, ascending.
void KeyListSort_Init(KeyListSort* sort);
bool IsValidKeyListSort(const KeyListSort* sort);
// A click on a column's header: the column already sorted by flips its
// direction; another column is sorted by ascending.
void KeyListSort_Click(KeyListSort* sort, int32_t column);
// Compares two rows (key code and command name) in the sort's order: the key
// column in item order, the command column by name with single-byte letters
// folded. Negative, 0 or positive.
int KeyListSort_Compare(const KeyListSort* sort, KeyCode codeA, const char* nameA, KeyCode codeB, const char* nameB);

// Names compared byte by byte with single-byte letters folded; the second
// byte of a two-byte character is compared as it is.
int KeyList_CompareNames(const char* a, const char* b);

// The row to select after row deleted went, rows rows remaining: the row now at
// the same index, or the last one when the deleted row was last; -1 when none.
int32_t KeyList_IndexAfterDelete(int32_t deleted, int32_t rows);

// Gives row's key code and command name (name holds size bytes); false stops
// the gathering.
typedef bool (*KeyListRowFunc)(void* context, int32_t row, KeyCode* code, char* name, int32_t size);
// Gathers count rows into bindings sorted in item order, each command from its
// name (CommandName_ToId). On success *ppItems is a heap array (Mem_Free) of
// count items, null when count is 0. False, with null, when memory runs out or
// a row cannot be read.
bool KeyList_CollectBindings(int32_t count, KeyListRowFunc pfnRow, void* context, KeyAssignItem** ppItems);
