#include "editctrl/textblock.h"

#include <cstring>

#include "editctrl/linewrap.h"
#include "tools/memory.h"
#include "tools/platform.h"

namespace {

void FreeStarts(LineLayout* layout) {
  if (layout->nCapacity > 0) Mem_Free(layout->pStarts);
  std::memset(layout, 0, sizeof(*layout));
}

bool AddPage(LayoutTable* table) {
  void* grown = Mem_Realloc(table->ppPages, sizeof(LineLayout*) * (static_cast<size_t>(table->nPages) + 1));
  if (!grown) return false;
  table->ppPages = static_cast<LineLayout**>(grown);
  LineLayout* page = static_cast<LineLayout*>(Mem_Alloc(sizeof(LineLayout) * kLayoutPage));
  if (!page) return false;
  std::memset(page, 0, sizeof(LineLayout) * kLayoutPage);
  table->ppPages[table->nPages++] = page;
  return true;
}

}  // namespace

void LayoutTable_Init(LayoutTable* table) { std::memset(table, 0, sizeof(*table)); }

void LayoutTable_Release(LayoutTable* table) {
  for (uint32_t slot = 1; slot <= table->nHigh; ++slot) FreeStarts(LayoutTable_Get(table, slot));
  for (int32_t i = 0; i < table->nPages; ++i) Mem_Free(table->ppPages[i]);
  Mem_Free(table->ppPages);
  LayoutTable_Init(table);
}

uint32_t LayoutTable_Take(LayoutTable* table) {
  uint32_t slot = table->nFree;
  if (slot != 0) {
    table->nFree = LayoutTable_Get(table, slot)->nNextFree;
  } else {
    if (table->nHigh >= kLineMaxLayoutSlot) return 0;
    if ((table->nHigh >> kLayoutPageShift) >= static_cast<uint32_t>(table->nPages) && !AddPage(table)) return 0;
    slot = ++table->nHigh;
  }
  std::memset(LayoutTable_Get(table, slot), 0, sizeof(LineLayout));
  ++table->nLive;
  return slot;
}

void LayoutTable_Return(LayoutTable* table, uint32_t slot) {
  LineLayout* layout = LayoutTable_Get(table, slot);
  FreeStarts(layout);
  layout->nNextFree = table->nFree;
  table->nFree = slot;
  --table->nLive;
}

bool Layout_Reserve(LineLayout* layout, int32_t rows) {
  const int32_t need = rows - 1;
  if (need <= 2 && layout->nCapacity == 0) return true;
  if (need <= layout->nCapacity) return true;
  int32_t* old = layout->nCapacity ? layout->pStarts : nullptr;
  int32_t* grown = static_cast<int32_t*>(Mem_Realloc(old, sizeof(int32_t) * static_cast<size_t>(need)));
  if (!grown) return false;
  if (!old) {
    grown[0] = layout->aStarts[0];
    grown[1] = layout->aStarts[1];
  }
  layout->pStarts = grown;
  layout->nCapacity = need;
  return true;
}

void Layout_Fill(LineLayout* layout, int32_t from, const int32_t* starts, int32_t count, int32_t tailX) {
  const int32_t rows = from + count;
  QWIL_ASSERT(rows > 1 && count >= 1 && (from > 0 || starts[0] == 0));
  QWIL_ASSERT(layout->nCapacity ? rows - 1 <= layout->nCapacity : rows - 1 <= 2);
  int32_t* to = layout->nCapacity ? layout->pStarts : layout->aStarts;
  if (count > 1) std::memcpy(to + from, starts + 1, sizeof(int32_t) * static_cast<size_t>(count - 1));
  layout->nRows = rows;
  layout->nTailX = tailX;
}

int32_t Layout_RowOf(const LineLayout* layout, int32_t x) {
  int32_t lo = 0, hi = layout->nRows - 1;
  while (lo < hi) {
    const int32_t mid = lo + (hi - lo + 1) / 2;
    if (Layout_RowStart(layout, mid) <= x) {
      lo = mid;
    } else {
      hi = mid - 1;
    }
  }
  return lo;
}

bool RowList_Add(RowList* list, int32_t start) {
  if (list->nCount == list->nCapacity) {
    const int64_t cap = list->nCapacity ? int64_t(list->nCapacity) * 2 : 64;
    if (cap > INT32_MAX) return false;
    void* grown = Mem_Realloc(list->pStarts, sizeof(int32_t) * static_cast<size_t>(cap));
    if (!grown) return false;
    list->pStarts = static_cast<int32_t*>(grown);
    list->nCapacity = static_cast<int32_t>(cap);
  }
  list->pStarts[list->nCount++] = start;
  return true;
}

void RowList_Release(RowList* list) {
  Mem_Free(list->pStarts);
  std::memset(list, 0, sizeof(*list));
}

bool RowList_LayFrom(RowList* list, int32_t from, const char* s, int32_t length, int32_t width, int32_t tabsize,
                     int32_t* pTailX) {
  QWIL_ASSERT(0 <= from && from < list->nCount);
  list->nCount = from + 1;
  int32_t tab = -1;
  for (int32_t k = list->pStarts[from];;) {
    k = Wrap_NextRow(s, length, k, width, tabsize, pTailX, &tab);
    if (k < 0) return true;
    if (!RowList_Add(list, k)) return false;
  }
}
