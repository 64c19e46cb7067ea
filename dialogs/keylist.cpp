#include "dialogs/keylist.h"

#include "tools/charrule.h"
#include "tools/memory.h"
#include "tools/platform.h"

namespace {

constexpr int32_t kNameSize = 1024;

unsigned char Fold(unsigned char b) { return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b - 'A' + 'a') : b; }

int CompareKeys(KeyCode a, KeyCode b) {
  KeyAssignItem x = {a, 0};
  KeyAssignItem y = {b, 0};
  if (KeyAssignItem_Less(x, y)) return -1;
  return KeyAssignItem_Less(y, x) ? 1 : 0;
}

}  // namespace

void KeyListSort_Init(KeyListSort* sort) {
  sort->nColumn = KEYLIST_COLUMN_KEY;
  sort->bDescending = false;
}

bool IsValidKeyListSort(const KeyListSort* sort) {
  return sort && (sort->nColumn == KEYLIST_COLUMN_KEY || sort->nColumn == KEYLIST_COLUMN_COMMAND);
}

void KeyListSort_Click(KeyListSort* sort, int32_t column) {
  QWIL_ASSERT(IsValidKeyListSort(sort));
  if (column != KEYLIST_COLUMN_KEY && column != KEYLIST_COLUMN_COMMAND) return;
  if (column == sort->nColumn) {
    sort->bDescending = !sort->bDescending;
  } else {
    sort->nColumn = column;
    sort->bDescending = false;
  }
}

int KeyList_CompareNames(const char* a, const char* b) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
  const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
  bool bTrail = false;  // both sides stand on the second byte of the same two-byte character
  for (;; ++p, ++q) {
    unsigned char x = bTrail ? *p : Fold(*p);
    unsigned char y = bTrail ? *q : Fold(*q);
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) return 0;
    bTrail = !bTrail && Char_IsLeadByte(*p);
  }
}

int KeyListSort_Compare(const KeyListSort* sort, KeyCode codeA, const char* nameA, KeyCode codeB, const char* nameB) {
  QWIL_ASSERT(IsValidKeyListSort(sort));
  int order = sort->nColumn == KEYLIST_COLUMN_KEY ? CompareKeys(codeA, codeB) : KeyList_CompareNames(nameA, nameB);
  return sort->bDescending ? -order : order;
}

int32_t KeyList_IndexAfterDelete(int32_t deleted, int32_t rows) {
  if (rows <= 0 || deleted < 0) return -1;
  return deleted < rows ? deleted : rows - 1;
}

bool KeyList_CollectBindings(int32_t count, KeyListRowFunc pfnRow, void* context, KeyAssignItem** ppItems) {
  *ppItems = nullptr;
  if (count <= 0) return true;
  KeyAssignItem* items = static_cast<KeyAssignItem*>(Mem_Alloc(sizeof(KeyAssignItem) * static_cast<size_t>(count)));
  char* name = static_cast<char*>(Mem_Alloc(kNameSize));
  bool ok = items && name;
  for (int32_t i = 0; ok && i < count; ++i) {
    KeyCode code = 0;
    name[0] = '\0';
    ok = pfnRow(context, i, &code, name, kNameSize);
    name[kNameSize - 1] = '\0';
    items[i].dwKeyCode = code;
    items[i].nCommandId = CommandName_ToId(name);
  }
  Mem_Free(name);
  if (ok) ok = KeyAssignItem_Sort(items, count);
  if (!ok) {
    Mem_Free(items);
    return false;
  }
  *ppItems = items;
  return true;
}
