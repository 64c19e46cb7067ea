// The parts a document is made of (editctrl/TEXTSTORE.md): blocks of packed line
// records, and the table of wrapped layouts kept only for lines of more than
// one row.
#pragma once

#include <cstdint>

#include "editctrl/linedata.h"

// Lines a block holds at most.
constexpr int32_t kBlockLines = 1024;

struct TextBlock {
  int32_t nLines;  // records in use, 1..kBlockLines
  int32_t nRows;   // display rows of those lines (nLines while unwrapped)
  LineData aLines[kBlockLines];
};

// The rows of one wrapped line of more than one row: their count, where each
// starts (a byte index; row 0 starts at 0) and the column behind the line's
// last character, on its last row. The starts of rows 1 and 2 are kept inline;
// more go to an array that grows to exactly what it must hold and never shrinks.
struct LineLayout {
  int32_t nRows;   // > 1 while in use, 0 while free or not yet filled
  int32_t nTailX;
  union {
    int32_t aStarts[2];  // nCapacity == 0: the starts of rows 1 and 2
    int32_t* pStarts;    // nCapacity > 0: the starts of rows 1..nRows-1 (owned)
  };
  int32_t nCapacity;
  uint32_t nNextFree;  // while free: the next free slot, 0 for none
};

// Layouts by slot (1 upward; a line holds its slot, 0 for none), in pages.
constexpr int32_t kLayoutPageShift = 12;
constexpr int32_t kLayoutPage = 1 << kLayoutPageShift;
struct LayoutTable {
  LineLayout** ppPages;
  int32_t nPages;
  uint32_t nHigh;   // slots handed out at least once: 1..nHigh
  uint32_t nFree;   // first free slot, 0 for none
  int64_t nLive;    // slots in use
};

// A growing list of row starts, the working memory of a layout.
struct RowList {
  int32_t* pStarts;
  int32_t nCount;
  int32_t nCapacity;
};

void LayoutTable_Init(LayoutTable* table);
void LayoutTable_Release(LayoutTable* table);  // every layout and page
inline LineLayout* LayoutTable_Get(const LayoutTable* table, uint32_t slot) {
  const uint32_t i = slot - 1;
  return &table->ppPages[i >> kLayoutPageShift][i & (kLayoutPage - 1)];
}
// A free slot (its layout of no rows yet), or 0 when out of memory or slots.
uint32_t LayoutTable_Take(LayoutTable* table);
void LayoutTable_Return(LayoutTable* table, uint32_t slot);

inline int32_t Layout_RowStart(const LineLayout* layout, int32_t row) {
  if (row <= 0) return 0;
  return layout->nCapacity ? layout->pStarts[row - 1] : layout->aStarts[row - 1];
}
// Makes room for `rows` rows without changing what the layout holds; false when
// out of memory.
bool Layout_Reserve(LineLayout* layout, int32_t rows);
// Gives the layout the rows from row `from` on: count starts, the first of them
// row from's own, which stays, and the tail column. The rows before stay too;
// the room for from + count rows (> 1) is reserved.
void Layout_Fill(LineLayout* layout, int32_t from, const int32_t* starts, int32_t count, int32_t tailX);
// The row holding byte index x (the last row whose start is at or before it).
int32_t Layout_RowOf(const LineLayout* layout, int32_t x);

bool RowList_Add(RowList* list, int32_t start);
void RowList_Release(RowList* list);

// The rows of bytes s[0..length) from row `from` on, given the starts of the rows
// up to it in list (list->nCount > from): the list is cut behind row `from` and
// filled with the starts that follow; *pTailX gets the tail. False when out of
// memory (the list then holds what fitted).
bool RowList_LayFrom(RowList* list, int32_t from, const char* s, int32_t length, int32_t width, int32_t tabsize,
                     int32_t* pTailX);
