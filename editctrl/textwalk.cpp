// Finding lines: by index or display row, walking blocks (each knows its lines
// and rows) from the nearest of the first block, the last and the cache, then
// the lines of the one block found; and cursors stepping line by line.
#include "editctrl/textdata.h"

namespace {

int64_t Distance(int64_t a, int64_t b) { return a < b ? b - a : a - b; }

LineCursor BlockStart(const TextData* text, int32_t block, int32_t first, int32_t firstRow) {
  return {text, block, 0, first, firstRow, firstRow};
}

LineCursor HeadCursor(const TextData* text) { return BlockStart(text, 0, 0, 0); }

LineCursor TailCursor(const TextData* text) {
  const TextBlock* last = text->ppBlocks[text->nBlocks - 1];
  return BlockStart(text, text->nBlocks - 1, text->count - last->nLines, text->height - last->nRows);
}

inline const TextBlock* BlockOf(const LineCursor* c) { return c->text->ppBlocks[c->nBlock]; }

inline int32_t RowsAt(const TextData* text, const TextBlock* block, int32_t slot) {
  return TextData_LineRows(text, &block->aLines[slot]);
}

void ToNextBlock(LineCursor* c) {
  const TextBlock* b = BlockOf(c);
  c->nFirst += b->nLines;
  c->nFirstRow += b->nRows;
  ++c->nBlock;
  c->nSlot = 0;
  c->nRow = c->nFirstRow;
}

void ToPrevBlock(LineCursor* c) {
  --c->nBlock;
  const TextBlock* b = BlockOf(c);
  c->nFirst -= b->nLines;
  c->nFirstRow -= b->nRows;
  c->nSlot = 0;
  c->nRow = c->nFirstRow;
}

// The start of the block holding line index, walking from c's block.
void BlockToIndex(LineCursor* c, int32_t index) {
  while (index >= c->nFirst + BlockOf(c)->nLines) ToNextBlock(c);
  while (index < c->nFirst) ToPrevBlock(c);
}

void BlockToRow(LineCursor* c, int32_t row) {
  const TextData* text = c->text;
  while (row >= c->nFirstRow + BlockOf(c)->nRows && c->nBlock + 1 < text->nBlocks) ToNextBlock(c);
  while (row < c->nFirstRow && c->nBlock > 0) ToPrevBlock(c);
}

// Within the block: the line at slot, stepping from the cursor's slot, or from
// the block's end when that is nearer.
void SlotToIndex(LineCursor* c, int32_t slot) {
  const TextBlock* b = BlockOf(c);
  if (!c->text->prop.wrap) {
    c->nSlot = slot;
    c->nRow = c->nFirstRow + slot;
    return;
  }
  if (slot < c->nSlot - slot) {
    c->nSlot = 0;
    c->nRow = c->nFirstRow;
  } else if (b->nLines - slot < Distance(slot, c->nSlot)) {
    c->nSlot = b->nLines;
    c->nRow = c->nFirstRow + b->nRows;
  }
  while (c->nSlot < slot) c->nRow += RowsAt(c->text, b, c->nSlot++);
  while (c->nSlot > slot) c->nRow -= RowsAt(c->text, b, --c->nSlot);
}

// The nearest of head, tail and cache to line index; ties go to the ends.
LineCursor StartForIndex(const TextData* text, int32_t index) {
  const LineCursor* cache = &text->cache;
  if (cache->nBlock >= 0) {
    const int32_t ci = LineCursor_Index(cache);
    if (index == ci) return *cache;
    if (index < ci && ci - index < index) return *cache;
    if (index > ci && index - ci < text->count - index) return *cache;
  }
  return index < text->count - index ? HeadCursor(text) : TailCursor(text);
}

LineCursor StartForRow(const TextData* text, int32_t row) {
  LineCursor best = HeadCursor(text);
  const LineCursor tail = TailCursor(text);
  if (Distance(row, tail.nFirstRow) < Distance(row, best.nFirstRow)) best = tail;
  if (text->cache.nBlock >= 0 && Distance(row, text->cache.nRow) < Distance(row, best.nRow)) best = text->cache;
  return best;
}

LineCursor CursorAt(const TextData* text, int32_t index) {
  if (index < 0) index = 0;
  if (index > text->count - 1) index = text->count - 1;
  LineCursor c = StartForIndex(text, index);
  const int32_t block = c.nBlock;
  BlockToIndex(&c, index);
  if (c.nBlock != block) c.nSlot = 0, c.nRow = c.nFirstRow;
  SlotToIndex(&c, index - c.nFirst);
  return c;
}

}  // namespace

int32_t TextData_LineRows(const TextData* text, const LineData* line) {
  const uint32_t slot = Line_GetLayoutSlot(line);
  return slot ? LayoutTable_Get(&text->layouts, slot)->nRows : 1;
}

const LineLayout* TextData_LineLayout(const TextData* text, const LineData* line) {
  const uint32_t slot = Line_GetLayoutSlot(line);
  return slot ? LayoutTable_Get(&text->layouts, slot) : nullptr;
}

LineCursor TextData_CursorAt(TextData* text, int32_t index) {
  QWIL_ASSERT(IsValidTextDataHandle(text));
  text->cache = CursorAt(text, index);
  return text->cache;
}

LineCursor TextData_CursorAtRow(TextData* text, int32_t row) {
  QWIL_ASSERT(IsValidTextDataHandle(text));
  if (row < 0) row = 0;
  LineCursor c = StartForRow(text, row);
  const int32_t block = c.nBlock;
  BlockToRow(&c, row);
  const TextBlock* b = BlockOf(&c);
  if (c.nBlock != block || Distance(row, c.nFirstRow) < Distance(row, c.nRow)) c.nSlot = 0, c.nRow = c.nFirstRow;
  if (!text->prop.wrap) {
    const int32_t slot = row - c.nFirstRow;
    SlotToIndex(&c, slot < b->nLines ? slot : b->nLines - 1);
  } else {
    while (c.nSlot + 1 < b->nLines && row >= c.nRow + RowsAt(text, b, c.nSlot)) c.nRow += RowsAt(text, b, c.nSlot++);
    while (c.nSlot > 0 && row < c.nRow) c.nRow -= RowsAt(text, b, --c.nSlot);
  }
  text->cache = c;
  return c;
}

LineData* TextData_Lookup(TextData* text, int32_t index, int32_t* pIndex) {
  LineCursor c = TextData_CursorAt(text, index);
  if (pIndex) *pIndex = LineCursor_Index(&c);
  return LineCursor_Line(&c);
}

const LineData* TextData_PeekLine(const TextData* text, int32_t index) {
  QWIL_ASSERT(0 <= index && index < text->count);
  const LineCursor c = CursorAt(text, index);
  return LineCursor_Line(&c);
}

int32_t TextData_GetLineFirstRow(TextData* text, int32_t index) { return TextData_CursorAt(text, index).nRow; }

LineData* TextData_RowToLine(TextData* text, int32_t row, int32_t* pIndex, int32_t* pFirstRow) {
  LineCursor c = TextData_CursorAtRow(text, row);
  if (pIndex) *pIndex = LineCursor_Index(&c);
  if (pFirstRow) *pFirstRow = c.nRow;
  return LineCursor_Line(&c);
}

bool LineCursor_IsLast(const LineCursor* c) {
  return c->nBlock + 1 == c->text->nBlocks && c->nSlot + 1 == BlockOf(c)->nLines;
}

bool LineCursor_Next(LineCursor* c) {
  const TextBlock* b = BlockOf(c);
  if (c->nSlot + 1 < b->nLines) {
    c->nRow += RowsAt(c->text, b, c->nSlot);
    ++c->nSlot;
    return true;
  }
  if (c->nBlock + 1 >= c->text->nBlocks) return false;
  ToNextBlock(c);
  return true;
}

bool LineCursor_Prev(LineCursor* c) {
  if (c->nSlot == 0) {
    if (c->nBlock == 0) return false;
    ToPrevBlock(c);
    const TextBlock* b = BlockOf(c);
    c->nSlot = b->nLines - 1;
    c->nRow = c->nFirstRow + b->nRows - RowsAt(c->text, b, c->nSlot);
    return true;
  }
  --c->nSlot;
  c->nRow -= RowsAt(c->text, BlockOf(c), c->nSlot);
  return true;
}
