#include "editctrl/textdata.h"

#include <cstring>

#include "editctrl/linewrap.h"
#include "tools/charrule.h"
#include "tools/memory.h"

namespace {

bool SameProp(const TextDataProperty* a, const TextDataProperty* b) {
  return a->wrap == b->wrap && a->width == b->width && a->tabsize == b->tabsize;
}

void ClearCache(TextData* text) {
  text->cache = {text, -1, 0, 0, 0, 0};
}

TextBlock* NewBlock() {
  TextBlock* block = static_cast<TextBlock*>(Mem_Alloc(sizeof(TextBlock)));
  if (block) block->nLines = block->nRows = 0;
  return block;
}

// Room in the block array for n blocks.
bool ReserveBlocks(TextData* text, int64_t n) {
  if (n <= text->nBlockCap) return true;
  int64_t cap = text->nBlockCap ? int64_t(text->nBlockCap) * 2 : 16;
  if (cap < n) cap = n;
  if (cap > INT32_MAX / 2) return false;
  void* grown = Mem_Realloc(text->ppBlocks, sizeof(TextBlock*) * static_cast<size_t>(cap));
  if (!grown) return false;
  text->ppBlocks = static_cast<TextBlock**>(grown);
  text->nBlockCap = static_cast<int32_t>(cap);
  return true;
}

// Frees a line's own bytes and its layout.
void ReleaseLine(TextData* text, LineData* line) {
  const uint32_t slot = Line_GetLayoutSlot(line);
  if (slot) LayoutTable_Return(&text->layouts, slot);
  Line_SetLayoutSlot(line, 0);
  Line_FreeBytes(line);
}

// Gives a line with no layout the layout of its starts; false, nothing taken,
// when out of memory.
bool PutLayout(TextData* text, LineData* line, const int32_t* starts, int32_t rows, int32_t tailX) {
  const uint32_t slot = LayoutTable_Take(&text->layouts);
  if (!slot) return false;
  LineLayout* layout = LayoutTable_Get(&text->layouts, slot);
  if (!Layout_Reserve(layout, rows)) {
    LayoutTable_Return(&text->layouts, slot);
    return false;
  }
  Layout_Fill(layout, 0, starts, rows, tailX);
  Line_SetLayoutSlot(line, slot);
  return true;
}

// Lays out a line that has no layout yet under the document's properties: most
// lines have one row and need nothing. False, nothing taken, when out of memory.
bool LayLine(TextData* text, LineData* line) {
  QWIL_ASSERT(Line_GetLayoutSlot(line) == 0);
  const TextDataProperty& p = text->prop;
  if (!p.wrap) return true;
  const int32_t length = Line_GetLength(line);
  // Without a tab every byte is a column: a line and its end that fit a row
  // are one row, known without reading the bytes.
  if (Line_IsTabFree(line) && (length == 0 || int64_t(length) + 1 < p.width)) return true;
  const char* s = Line_GetString(line);
  int32_t tail = 0;
  int32_t tab = -1;
  const int32_t second = Wrap_NextRow(s, length, 0, p.width, p.tabsize, &tail, &tab);
  if (second < 0) return true;
  RowList* rows = &text->rows;
  rows->nCount = 0;
  if (!RowList_Add(rows, 0) || !RowList_Add(rows, second)) return false;
  if (!RowList_LayFrom(rows, 1, s, length, p.width, p.tabsize, &tail)) return false;
  return PutLayout(text, line, rows->pStarts, rows->nCount, tail);
}

// Drops every layout: the document as unwrapped.
void DropLayouts(TextData* text) {
  for (int32_t b = 0; b < text->nBlocks; ++b) {
    TextBlock* block = text->ppBlocks[b];
    for (int32_t i = 0; i < block->nLines; ++i) Line_SetLayoutSlot(&block->aLines[i], 0);
    block->nRows = block->nLines;
  }
  LayoutTable_Release(&text->layouts);
  text->height = text->count;
  text->prop.wrap = 0;
}

// The run of bytes up to the next CR or LF, and the line end behind it ("\r\n",
// "\r", "\n", or none at the end of the bytes).
struct TextRun {
  int32_t start;
  int32_t length;
  int32_t endLength;
};

TextRun NextRun(const char* bytes, int32_t n, int32_t from) {
  int32_t i = from;
  while (i < n && bytes[i] != '\r' && bytes[i] != '\n') ++i;
  TextRun run = {from, i - from, 0};
  if (i < n) run.endLength = (bytes[i] == '\r' && i + 1 < n && bytes[i + 1] == '\n') ? 2 : 1;
  return run;
}

// What a replacement brings: its line ends, the sizes of its first and last runs,
// and its bytes without line ends.
struct TextShape {
  int32_t lineEnds;
  TextRun first;
  TextRun last;
  int64_t textBytes;
};

TextShape ShapeOf(const char* bytes, int32_t n) {
  TextShape shape = {};
  shape.first = NextRun(bytes, n, 0);
  shape.last = shape.first;
  shape.textBytes = shape.first.length;
  while (shape.last.endLength > 0) {
    ++shape.lineEnds;
    shape.last = NextRun(bytes, n, shape.last.start + shape.last.length + shape.last.endLength);
    shape.textBytes += shape.last.length;
  }
  return shape;
}

LineEnd EndOfRun(const char* bytes, const TextRun& run) {
  return LineEnd_Of(bytes + run.start + run.length, run.endLength);
}

// The new lines behind the start line that a replacement with line ends brings,
// made (with their bytes and layouts) before anything in the document changes.
// Line i holds run i + 1 and the line end behind it; the last holds the last run,
// the tail of the replaced range's end line and that line's line end, which
// travels with the tail.
bool MakeFresh(TextData* text, const char* bytes, int32_t n, const TextShape* shape, LineEnd tailEnd,
               const char* tail, int32_t tailLength, LineData* fresh) {
  TextRun run = shape->first;
  for (int32_t i = 0; i < shape->lineEnds; ++i) {
    const TextRun next = NextRun(bytes, n, run.start + run.length + run.endLength);
    const bool last = i + 1 == shape->lineEnds;
    bool made = last ? Line_InitJoined(&fresh[i], bytes + next.start, next.length, tail, tailLength, tailEnd)
                     : Line_InitJoined(&fresh[i], bytes + next.start, next.length, nullptr, 0, EndOfRun(bytes, next));
    if (made && !LayLine(text, &fresh[i])) {
      Line_FreeBytes(&fresh[i]);
      made = false;
    }
    if (!made) {
      while (i-- > 0) ReleaseLine(text, &fresh[i]);
      return false;
    }
    run = next;
  }
  return true;
}

// The start line's new bytes, in three pieces: its kept head, the new bytes it
// gets, and the tail it gets from the end line (none when line ends follow).
struct Pieces {
  const char* a;
  int32_t na;
  const char* b;
  int32_t nb;
  const char* c;
  int32_t nc;
};

int32_t PiecesLength(const Pieces* p) { return p->na + p->nb + p->nc; }

void CopyPieces(const Pieces* p, int32_t from, int32_t n, char* dest) {
  const char* parts[3] = {p->a, p->b, p->c};
  const int32_t sizes[3] = {p->na, p->nb, p->nc};
  for (int32_t i = 0, base = 0; i < 3 && n > 0; base += sizes[i], ++i) {
    if (from >= base + sizes[i]) continue;
    const int32_t at = from - base;
    const int32_t take = sizes[i] - at < n ? sizes[i] - at : n;
    std::memcpy(dest, parts[i] + at, static_cast<size_t>(take));
    dest += take;
    from += take;
    n -= take;
  }
}

// The start line's layout after the edit, ready before anything changes: its
// row starts in text->rows, and room for them in the slot it will hold.
struct StartPlan {
  int32_t nFrom;  // the first row laid anew; text->rows holds the starts from it on
  int32_t nRows;  // 1: no layout
  int32_t nTailX;
  uint32_t nSlot;
  bool bTookSlot;
};

bool FillWindow(TextData* text, const Pieces* p, int32_t from, int32_t n) {
  if (n > text->nWindowCap) {
    void* grown = Mem_Realloc(text->pWindow, static_cast<size_t>(n));
    if (!grown) return false;
    text->pWindow = static_cast<char*>(grown);
    text->nWindowCap = n;
  }
  CopyPieces(p, from, n, text->pWindow);
  return true;
}

// Where the old rows resume: the old row starting at or behind the edit's old
// end at old + delta, once the new rows reach such a start. Then the rest of
// the line breaks as before, shifted.
struct Realign {
  const LineLayout* old;  // null: the rows cannot resume (a new tail, or no old rows)
  int32_t oldEnd;
  int32_t delta;
  int32_t next;           // the old row looked at
};

bool TryRealign(RowList* rows, Realign* r, int32_t at, int32_t* pTailX) {
  if (!r->old) return false;
  const int32_t oldAt = at - r->delta;
  if (oldAt < r->oldEnd) return false;
  while (r->next < r->old->nRows && Layout_RowStart(r->old, r->next) < oldAt) ++r->next;
  if (r->next >= r->old->nRows || Layout_RowStart(r->old, r->next) != oldAt) return false;
  for (int32_t j = r->next; j < r->old->nRows; ++j) {
    if (!RowList_Add(rows, Layout_RowStart(r->old, j) + r->delta)) return false;
  }
  *pTailX = r->old->nTailX;
  return true;
}

// The rows from the row start k0 to the line's end, through a window over the
// new bytes that grows as far as the rows need: a row's break depends only on
// the bytes up to a little more than the wrap width behind its start.
bool LayWindow(TextData* text, const Pieces* p, int32_t k0, Realign* r, int32_t* pTailX) {
  const TextDataProperty& prop = text->prop;
  const int32_t total = PiecesLength(p) - k0;
  const int64_t lookahead = int64_t(prop.width) + 2;
  int64_t want = int64_t(p->na - k0) + p->nb + 2 * lookahead + 64;
  int32_t size = want < total ? static_cast<int32_t>(want) : total;
  if (!FillWindow(text, p, k0, size)) return false;
  RowList* rows = &text->rows;
  int32_t tab = -1;  // found in the window as it is
  for (int32_t k = 0;;) {
    if (size < total && k + lookahead > size) {
      want = 2 * int64_t(size) > k + 2 * lookahead ? 2 * int64_t(size) : k + 2 * lookahead;
      size = want < total ? static_cast<int32_t>(want) : total;
      if (!FillWindow(text, p, k0, size)) return false;
      tab = -1;
      continue;
    }
    const int32_t next = Wrap_NextRow(text->pWindow, size, k, prop.width, prop.tabsize, pTailX, &tab);
    if (next < 0) return true;
    const int32_t at = k0 + next;
    if (at >= p->na + p->nb && TryRealign(rows, r, at, pTailX)) return true;
    if (!RowList_Add(rows, at)) return false;
    k = next;
  }
}

// Plans the start line's layout: the rows before the one holding the byte
// before the edit less one stay (a row's break looks at the character behind
// it, which may hold the edit's first byte), the rest are laid anew until they
// meet the old ones again. oldEnd < 0: the line's tail is new, nothing resumes.
bool PlanStart(TextData* text, const LineData* start, const Pieces* p, int32_t oldEnd, StartPlan* plan) {
  plan->nFrom = 0;
  plan->nRows = 1;
  plan->nSlot = Line_GetLayoutSlot(start);
  plan->bTookSlot = false;
  if (!text->prop.wrap) return true;
  const LineLayout* old = TextData_LineLayout(text, start);
  const int32_t sx = p->na;
  const int32_t held = sx > 0 && old ? Layout_RowOf(old, sx - 1) : 0;
  const int32_t from = held > 0 ? held - 1 : 0;
  RowList* rows = &text->rows;
  rows->nCount = 0;
  if (!RowList_Add(rows, old ? Layout_RowStart(old, from) : 0)) return false;
  Realign realign = {oldEnd >= 0 ? old : nullptr, oldEnd, sx + p->nb - oldEnd, held};
  if (!LayWindow(text, p, rows->pStarts[0], &realign, &plan->nTailX)) return false;
  plan->nFrom = from;
  plan->nRows = from + rows->nCount;
  if (plan->nRows == 1) return true;
  if (plan->nSlot == 0) {
    plan->nSlot = LayoutTable_Take(&text->layouts);
    if (plan->nSlot == 0) return false;
    plan->bTookSlot = true;
  }
  if (Layout_Reserve(LayoutTable_Get(&text->layouts, plan->nSlot), plan->nRows)) return true;
  if (plan->bTookSlot) LayoutTable_Return(&text->layouts, plan->nSlot);
  return false;
}

void CancelStart(TextData* text, const StartPlan* plan) {
  if (plan->bTookSlot) LayoutTable_Return(&text->layouts, plan->nSlot);
}

void CommitStart(TextData* text, LineData* start, const StartPlan* plan) {
  if (!text->prop.wrap) return;
  if (plan->nRows == 1) {
    if (plan->nSlot) LayoutTable_Return(&text->layouts, plan->nSlot);
    Line_SetLayoutSlot(start, 0);
    return;
  }
  Layout_Fill(LayoutTable_Get(&text->layouts, plan->nSlot), plan->nFrom, text->rows.pStarts, text->rows.nCount,
              plan->nTailX);
  Line_SetLayoutSlot(start, plan->nSlot);
}

// How the lines from the start line to the end line, replaced by K records (the
// start line's and the fresh ones), go back into blocks: in place when they fit
// the start line's block, else spread evenly over the start block and new
// blocks behind it, so that each is at least half full and typing goes on in
// place for a long while.
struct BlockPlan {
  int32_t nStart;        // block of the start line
  int32_t nEnd;          // block of the end line
  int32_t nPrefix;       // lines before the start line in its block
  int32_t nSuffixAt;     // slot of the first line behind the end line in its block
  int32_t nSuffix;       // lines behind the end line in its block
  int32_t nTotal;        // lines the blocks from nStart to nEnd will hold
  int32_t nTargets;      // blocks they will be: 0 in place
  TextBlock** ppTargets; // the start block (set at the commit), then nTargets - 1 new ones
  LineData* pSaved;      // room for the suffix when it must leave the start block
};

bool PlanBlocks(TextData* text, const LineCursor* sc, const LineCursor* ec, int32_t k, BlockPlan* plan) {
  std::memset(plan, 0, sizeof(*plan));
  plan->nStart = sc->nBlock;
  plan->nEnd = ec->nBlock;
  plan->nPrefix = sc->nSlot;
  plan->nSuffixAt = ec->nSlot + 1;
  plan->nSuffix = text->ppBlocks[ec->nBlock]->nLines - plan->nSuffixAt;
  const int64_t total = int64_t(plan->nPrefix) + k + plan->nSuffix;
  if (total > INT32_MAX / 2) return false;
  plan->nTotal = static_cast<int32_t>(total);
  if (plan->nStart == plan->nEnd && total <= kBlockLines) return true;
  plan->nTargets = static_cast<int32_t>((total + kBlockLines - 1) / kBlockLines);
  const int64_t blocks = int64_t(text->nBlocks) - (plan->nEnd - plan->nStart + 1) + plan->nTargets;
  if (!ReserveBlocks(text, blocks)) return false;
  if (plan->nStart == plan->nEnd && plan->nSuffix > 0) {
    plan->pSaved = static_cast<LineData*>(Mem_Alloc(sizeof(LineData) * static_cast<size_t>(plan->nSuffix)));
    if (!plan->pSaved) return false;
  }
  const size_t bytes = sizeof(TextBlock*) * static_cast<size_t>(plan->nTargets);
  plan->ppTargets = static_cast<TextBlock**>(Mem_Alloc(bytes));
  if (!plan->ppTargets) return false;
  std::memset(plan->ppTargets, 0, bytes);
  for (int32_t i = 1; i < plan->nTargets; ++i) {
    if (!(plan->ppTargets[i] = NewBlock())) return false;
  }
  return true;
}

// Frees the plan's working memory and, when the edit was given up, its blocks.
void FreeBlockPlan(BlockPlan* plan, bool bGivenUp) {
  if (plan->ppTargets && bGivenUp) {
    for (int32_t i = 1; i < plan->nTargets; ++i) Mem_Free(plan->ppTargets[i]);
  }
  Mem_Free(plan->ppTargets);
  Mem_Free(plan->pSaved);
}

int32_t SumRows(const TextData* text, const TextBlock* block) {
  if (!text->prop.wrap) return block->nLines;
  int32_t rows = 0;
  for (int32_t i = 0; i < block->nLines; ++i) rows += TextData_LineRows(text, &block->aLines[i]);
  return rows;
}

// Appends records to the target blocks in order, each filled to its count.
struct BlockWriter {
  TextBlock** ppTargets;
  int32_t nTarget;
  int32_t nSlot;
  int32_t nBase;
  int32_t nExtra;
};

int32_t TargetCount(const BlockWriter* w, int32_t j) { return w->nBase + (j < w->nExtra ? 1 : 0); }

void Advance(BlockWriter* w) {
  if (++w->nSlot == TargetCount(w, w->nTarget)) {
    w->ppTargets[w->nTarget]->nLines = w->nSlot;
    ++w->nTarget;
    w->nSlot = 0;
  }
}

void Put(BlockWriter* w, const LineData* line) {
  w->ppTargets[w->nTarget]->aLines[w->nSlot] = *line;
  Advance(w);
}

// Puts the target blocks in the place of the blocks from the start block to
// the end block, freeing those behind the start block.
void ReplaceBlocks(TextData* text, const BlockPlan* plan) {
  for (int32_t b = plan->nStart + 1; b <= plan->nEnd; ++b) Mem_Free(text->ppBlocks[b]);
  const int32_t after = plan->nEnd + 1;
  const int32_t moved = text->nBlocks - after;
  std::memmove(&text->ppBlocks[plan->nStart + plan->nTargets], &text->ppBlocks[after],
               sizeof(TextBlock*) * static_cast<size_t>(moved));
  for (int32_t i = 0; i < plan->nTargets; ++i) text->ppBlocks[plan->nStart + i] = plan->ppTargets[i];
  text->nBlocks = plan->nStart + plan->nTargets + moved;
}

// Rewrites the blocks from the start line's to the end line's as planned; the
// start line's record (already final) stands at its slot, the removed lines
// are released; rowChange is what the edit did to the rows of those lines.
// *pCache, on the start line before, gets its place after.
void CommitBlocks(TextData* text, BlockPlan* plan, const LineData* fresh, int32_t nFresh, int64_t rowChange,
                  LineCursor* pCache) {
  TextBlock* startBlock = text->ppBlocks[plan->nStart];
  const int32_t p = plan->nPrefix;
  if (plan->nTargets == 0) {
    std::memmove(&startBlock->aLines[p + 1 + nFresh], &startBlock->aLines[plan->nSuffixAt],
                 sizeof(LineData) * static_cast<size_t>(plan->nSuffix));
    if (nFresh > 0) std::memcpy(&startBlock->aLines[p + 1], fresh, sizeof(LineData) * static_cast<size_t>(nFresh));
    startBlock->nLines = plan->nTotal;
    startBlock->nRows = static_cast<int32_t>(startBlock->nRows + rowChange);
    return;
  }
  const LineData startLine = startBlock->aLines[p];
  const LineData* suffix = &text->ppBlocks[plan->nEnd]->aLines[plan->nSuffixAt];
  if (plan->pSaved) {
    std::memcpy(plan->pSaved, suffix, sizeof(LineData) * static_cast<size_t>(plan->nSuffix));
    suffix = plan->pSaved;
  }
  plan->ppTargets[0] = startBlock;
  BlockWriter w = {plan->ppTargets, 0, 0, plan->nTotal / plan->nTargets, plan->nTotal % plan->nTargets};
  // The prefix that stays in the start block stays where it is.
  for (int32_t i = 0; i < p; ++i) {
    if (w.nTarget == 0) {
      Advance(&w);
    } else {
      Put(&w, &startBlock->aLines[i]);
    }
  }
  const int32_t startTarget = w.nTarget;
  const int32_t startSlot = w.nSlot;
  Put(&w, &startLine);
  for (int32_t i = 0; i < nFresh; ++i) Put(&w, &fresh[i]);
  for (int32_t i = 0; i < plan->nSuffix; ++i) Put(&w, &suffix[i]);
  QWIL_ASSERT(w.nTarget == plan->nTargets && w.nSlot == 0);
  for (int32_t i = 0; i < startTarget; ++i) {
    pCache->nFirst += plan->ppTargets[i]->nLines;
    pCache->nFirstRow += SumRows(text, plan->ppTargets[i]);
  }
  for (int32_t i = 0; i < plan->nTargets; ++i) plan->ppTargets[i]->nRows = SumRows(text, plan->ppTargets[i]);
  pCache->nBlock = plan->nStart + startTarget;
  pCache->nSlot = startSlot;
  ReplaceBlocks(text, plan);
}

// A block left with few lines joins a neighbour when they fit one block, so
// that deletions do not leave the document a string of almost empty blocks.
// True when blocks were joined (the cache then no longer holds).
bool JoinSmall(TextData* text, int32_t b) {
  if (text->ppBlocks[b]->nLines >= kBlockLines / 4) return false;
  int32_t into = -1;
  if (b > 0 && text->ppBlocks[b - 1]->nLines + text->ppBlocks[b]->nLines <= kBlockLines) {
    into = b - 1;
  } else if (b + 1 < text->nBlocks && text->ppBlocks[b + 1]->nLines + text->ppBlocks[b]->nLines <= kBlockLines) {
    into = b;
  }
  if (into < 0) return false;
  TextBlock* to = text->ppBlocks[into];
  TextBlock* from = text->ppBlocks[into + 1];
  std::memcpy(&to->aLines[to->nLines], from->aLines, sizeof(LineData) * static_cast<size_t>(from->nLines));
  to->nLines += from->nLines;
  to->nRows += from->nRows;
  Mem_Free(from);
  std::memmove(&text->ppBlocks[into + 1], &text->ppBlocks[into + 2],
               sizeof(TextBlock*) * static_cast<size_t>(text->nBlocks - into - 2));
  --text->nBlocks;
  return true;
}

bool PointAfter(POINT a, POINT b) { return a.y > b.y || (a.y == b.y && a.x > b.x); }

bool SamePoint(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

// The cursor moved on to line index (at or after its own), without the cache.
LineCursor CursorOn(LineCursor c, int32_t index) {
  while (LineCursor_Index(&c) < index && LineCursor_Next(&c)) {
  }
  return c;
}

}  // namespace

bool IsValidTextDataProperty(const TextDataProperty* prop) { return IsValidLineDataProperty(prop); }

bool IsValidTextDataHandle(const TextData* text) {
  if (!text || !IsValidTextDataProperty(&text->prop)) return false;
  if (!(0 < text->count) || text->length < 0) return false;
  if (!text->ppBlocks || text->nBlocks < 1 || text->nBlocks > text->nBlockCap) return false;
  const TextBlock* first = text->ppBlocks[0];
  const TextBlock* last = text->ppBlocks[text->nBlocks - 1];
  if (first->nLines < 1 || first->nLines > kBlockLines || last->nLines < 1 || last->nLines > kBlockLines) return false;
  if (text->prop.wrap && !((0 < text->height) && (text->count <= text->height))) return false;
  if (!text->prop.wrap && (text->height != text->count || text->layouts.nLive != 0)) return false;
  const LineCursor& c = text->cache;
  if (c.nBlock < 0) return c.nBlock == -1;
  return c.text == text && c.nBlock < text->nBlocks && 0 <= c.nSlot && c.nSlot < text->ppBlocks[c.nBlock]->nLines &&
         LineCursor_Index(&c) < text->count && c.nFirstRow <= c.nRow && c.nRow < text->height;
}

namespace {

// The stored layout of a line against the wrap rule laid from its bytes.
bool LayoutHolds(const TextData* text, const LineData* line) {
  const TextDataProperty& p = text->prop;
  const LineLayout* layout = TextData_LineLayout(text, line);
  if (!p.wrap) return layout == nullptr;
  int32_t tail = 0;
  int32_t rows = 1;
  int32_t tab = -1;
  for (int32_t k = 0;; ++rows) {
    k = Wrap_NextRow(Line_GetString(line), Line_GetLength(line), k, p.width, p.tabsize, &tail, &tab);
    if (k < 0) break;
    if (!layout || rows >= layout->nRows || Layout_RowStart(layout, rows) != k) return false;
  }
  if (!layout) return rows == 1;
  return layout->nRows == rows && rows > 1 && layout->nTailX == tail;
}

}  // namespace

bool TextData_CheckDeep(const TextData* text) {
  if (!IsValidTextDataHandle(text)) return false;
  int64_t count = 0, length = 0, rows = 0, layouts = 0;
  bool cacheSeen = text->cache.nBlock < 0;
  for (int32_t b = 0; b < text->nBlocks; ++b) {
    const TextBlock* block = text->ppBlocks[b];
    if (block->nLines < 1 || block->nLines > kBlockLines) return false;
    if (b == text->cache.nBlock) {
      if (text->cache.nFirst != count || text->cache.nFirstRow != rows) return false;
    }
    int64_t blockRows = 0;
    for (int32_t i = 0; i < block->nLines; ++i) {
      const LineData* line = &block->aLines[i];
      if (!IsValidLineDataHandle(line) || !LayoutHolds(text, line)) return false;
      if (b == text->cache.nBlock && i == text->cache.nSlot) cacheSeen = text->cache.nRow == rows + blockRows;
      if (Line_GetLayoutSlot(line)) ++layouts;
      length += Line_GetLength(line);
      blockRows += TextData_LineRows(text, line);
    }
    if (blockRows != block->nRows) return false;
    count += block->nLines;
    rows += blockRows;
  }
  if (count != text->count || length != text->length || rows != text->height || !cacheSeen) return false;
  if (layouts != text->layouts.nLive) return false;
  return length + 2 * (count - 1) <= kTextMaxSize;
}

TextData* TextData_Create(const TextDataProperty* prop) {
  QWIL_ASSERT(IsValidTextDataProperty(prop));
  TextData* text = static_cast<TextData*>(Mem_Alloc(sizeof(TextData)));
  if (!text) return nullptr;
  std::memset(text, 0, sizeof(*text));
  text->prop = *prop;
  TextBlock* block = NewBlock();
  if (!block || !ReserveBlocks(text, 1)) {
    Mem_Free(block);
    Mem_Free(text->ppBlocks);
    Mem_Free(text);
    return nullptr;
  }
  Line_InitEmpty(&block->aLines[0], LINEEND_NONE);
  block->nLines = 1;
  block->nRows = 1;
  text->ppBlocks[0] = block;
  text->nBlocks = 1;
  text->count = 1;
  text->height = 1;
  LayoutTable_Init(&text->layouts);
  ClearCache(text);
  QWIL_ASSERT(IsValidTextDataHandle(text));
  return text;
}

void TextData_Destroy(TextData* text) {
  if (!text) return;
  for (int32_t b = 0; b < text->nBlocks; ++b) {
    TextBlock* block = text->ppBlocks[b];
    for (int32_t i = 0; i < block->nLines; ++i) {
      if (Line_IsOwn(&block->aLines[i])) Line_FreeBytes(&block->aLines[i]);
    }
    Mem_Free(block);
  }
  Mem_Free(text->ppBlocks);
  LayoutTable_Release(&text->layouts);
  RowList_Release(&text->rows);
  Mem_Free(text->pWindow);
  for (TextChunk* chunk = text->pChunks; chunk;) {
    TextChunk* next = chunk->pNext;
    Mem_Free(chunk);
    chunk = next;
  }
  Mem_Free(text);
}

bool TextData_SetProp(TextData* text, const TextDataProperty* prop) {
  QWIL_ASSERT(IsValidTextDataHandle(text) && IsValidTextDataProperty(prop));
  if (SameProp(&text->prop, prop)) return true;
  const bool wasWrapped = text->prop.wrap != 0;
  text->prop = *prop;
  ClearCache(text);
  if (wasWrapped) DropLayouts(text);
  text->prop.wrap = prop->wrap;
  if (!prop->wrap) return true;
  int64_t height = 0;
  for (int32_t b = 0; b < text->nBlocks; ++b) {
    TextBlock* block = text->ppBlocks[b];
    int32_t rows = 0;
    for (int32_t i = 0; i < block->nLines; ++i) {
      if (!LayLine(text, &block->aLines[i])) {
        DropLayouts(text);
        QWIL_ASSERT(IsValidTextDataHandle(text));
        return false;
      }
      rows += TextData_LineRows(text, &block->aLines[i]);
    }
    block->nRows = rows;
    height += rows;
  }
  text->height = static_cast<int32_t>(height);
  QWIL_ASSERT(IsValidTextDataHandle(text));
  return true;
}

bool TextData_Replace(TextData* text, TextRange range, const char* bytes, int32_t n, POINT* pEnd) {
  QWIL_ASSERT(IsValidTextDataHandle(text) && 0 <= n);
  const TextRange r = TextRange_Order(range.start, range.end);
  QWIL_ASSERT(TextData_RowsValid(text, r));
  const LineCursor sc = TextData_CursorAt(text, r.start.y);
  const LineCursor ec = CursorOn(sc, r.end.y);
  LineData* start = LineCursor_Line(&sc);
  const LineData* end = LineCursor_Line(&ec);
  const int32_t startIndex = LineCursor_Index(&sc);
  const int32_t endIndex = LineCursor_Index(&ec);
  QWIL_ASSERT(IsValidLineStringIndex(start, r.start.x) && IsValidLineStringIndex(end, r.end.x));
  const int32_t sx = r.start.x;
  const int32_t ex = r.end.x;
  const int32_t tailLength = Line_GetLength(end) - ex;
  int64_t removedBytes = 0;  // of the lines after the start line, up to the end line
  int64_t rowsBefore = TextData_LineRows(text, start);
  for (LineCursor c = sc; LineCursor_Index(&c) < endIndex && LineCursor_Next(&c);) {
    removedBytes += Line_GetLength(LineCursor_Line(&c));
    rowsBefore += TextData_LineRows(text, LineCursor_Line(&c));
  }

  const TextShape shape = ShapeOf(bytes, n);
  // Bytes that leave: the start line from sx on, the lines after it, but the end tail stays.
  const int64_t deleted = int64_t(Line_GetLength(start)) - sx + removedBytes - tailLength;
  const int64_t newLength = int64_t(text->length) - deleted + shape.textBytes;
  const int64_t newCount = int64_t(text->count) - (endIndex - startIndex) + shape.lineEnds;
  if (newLength + 2 * (newCount - 1) > kTextMaxSize) return false;

  // Everything that can fail comes first, so that a failure leaves the document as it was.
  const bool oneLine = shape.lineEnds == 0;
  const int64_t startLength = oneLine ? int64_t(sx) + n + tailLength : int64_t(sx) + shape.first.length;
  if (!Line_Reserve(start, static_cast<int32_t>(startLength) + 1)) return false;
  // Taken only now: the reserve may have moved the start line's bytes, the tail's own when one line.
  const char* tail = Line_GetString(end) + ex;
  const int32_t nFresh = shape.lineEnds;
  LineData local[8];
  LineData* fresh = local;
  if (nFresh > 8) {
    fresh = static_cast<LineData*>(Mem_Alloc(sizeof(LineData) * static_cast<size_t>(nFresh)));
    if (!fresh) return false;
  }
  const LineEnd tailEnd = Line_GetEnd(end);
  if (nFresh > 0 && !MakeFresh(text, bytes, n, &shape, tailEnd, tail, tailLength, fresh)) {
    if (fresh != local) Mem_Free(fresh);
    return false;
  }
  const Pieces pieces = oneLine ? Pieces{Line_GetString(start), sx, bytes, n, tail, tailLength}
                                : Pieces{Line_GetString(start), sx, bytes, shape.first.length, nullptr, 0};
  StartPlan plan;
  BlockPlan blocks;
  const bool planned = PlanStart(text, start, &pieces, oneLine && start == end ? ex : -1, &plan);
  if (!planned || !PlanBlocks(text, &sc, &ec, nFresh + 1, &blocks)) {
    if (planned) {
      FreeBlockPlan(&blocks, true);
      CancelStart(text, &plan);
    }
    for (int32_t i = 0; i < nFresh; ++i) ReleaseLine(text, &fresh[i]);
    if (fresh != local) Mem_Free(fresh);
    return false;
  }

  // From here on nothing can fail.
  if (oneLine && start == end) {
    Line_Replace(start, sx, ex, bytes, n);
  } else if (oneLine) {
    // The joined line ends as the end line did: undoing an insertion of lines
    // gives back the start line's own line end, the last line's none.
    Line_SetTail(start, sx, bytes, n, tail, tailLength);
    Line_SetEnd(start, tailEnd);
  } else {
    Line_SetTail(start, sx, bytes, shape.first.length, nullptr, 0);
    Line_SetEnd(start, EndOfRun(bytes, shape.first));
  }
  CommitStart(text, start, &plan);
  for (LineCursor c = sc; LineCursor_Index(&c) < endIndex && LineCursor_Next(&c);) {
    ReleaseLine(text, LineCursor_Line(&c));
  }
  int64_t rowsAfter = TextData_LineRows(text, start);
  for (int32_t i = 0; i < nFresh; ++i) rowsAfter += TextData_LineRows(text, &fresh[i]);
  LineCursor cache = sc;
  CommitBlocks(text, &blocks, fresh, nFresh, rowsAfter - rowsBefore, &cache);
  FreeBlockPlan(&blocks, false);
  if (fresh != local) Mem_Free(fresh);
  text->length = static_cast<int32_t>(newLength);
  text->count = static_cast<int32_t>(newCount);
  text->height = static_cast<int32_t>(text->height - rowsBefore + rowsAfter);
  text->cache = cache;
  if (JoinSmall(text, cache.nBlock)) {
    ClearCache(text);
    TextData_CursorAt(text, startIndex);
  }
  if (pEnd) *pEnd = oneLine ? POINT{sx + n, startIndex} : POINT{shape.last.length, startIndex + shape.lineEnds};
  QWIL_ASSERT(IsValidTextDataHandle(text));
  return true;
}

bool TextData_Insert(TextData* text, POINT pos, const char* bytes, int32_t n, POINT* pEnd) {
  return TextData_Replace(text, {pos, pos}, bytes, n, pEnd);
}

bool TextData_Delete(TextData* text, TextRange range) { return TextData_Replace(text, range, nullptr, 0, nullptr); }

bool TextData_Append(TextData* text, const char* bytes, int32_t n, POINT* pEnd) {
  return TextData_Insert(text, TextData_EndOfDocument(text), bytes, n, pEnd);
}

namespace {

void ReturnLayout(TextData* text, LineData* line) {
  if (Line_GetLayoutSlot(line)) LayoutTable_Return(&text->layouts, Line_GetLayoutSlot(line));
  Line_SetLayoutSlot(line, 0);
}

}  // namespace

bool TextData_AddLastLine(TextData* text, const LineData* line) {
  QWIL_ASSERT(IsValidTextDataHandle(text) && IsValidLineDataHandle(line) && Line_GetLayoutSlot(line) == 0);
  LineData record = *line;
  if (!LayLine(text, &record)) return false;
  TextBlock* last = text->ppBlocks[text->nBlocks - 1];
  if (last->nLines == kBlockLines) {
    last = NewBlock();
    if (!last || !ReserveBlocks(text, int64_t(text->nBlocks) + 1)) {
      Mem_Free(last);
      ReturnLayout(text, &record);
      return false;
    }
    text->ppBlocks[text->nBlocks++] = last;
  }
  // A line behind the last one changes no index or first row: the cache stays.
  last->aLines[last->nLines++] = record;
  const int32_t rows = TextData_LineRows(text, &record);
  last->nRows += rows;
  text->height += rows;
  text->count += 1;
  text->length += record.nLength;
  return true;
}

bool TextData_SetLastLine(TextData* text, const LineData* line) {
  QWIL_ASSERT(IsValidTextDataHandle(text) && IsValidLineDataHandle(line) && Line_GetLayoutSlot(line) == 0);
  LineData record = *line;
  if (!LayLine(text, &record)) return false;
  TextBlock* last = text->ppBlocks[text->nBlocks - 1];
  LineData* tail = &last->aLines[last->nLines - 1];
  const int32_t change = TextData_LineRows(text, &record) - TextData_LineRows(text, tail);
  text->length += record.nLength - tail->nLength;
  ReleaseLine(text, tail);
  *tail = record;
  last->nRows += change;
  text->height += change;
  return true;
}

int32_t TextData_GetText(TextData* text, char* dest, TextRange range, int32_t n) {
  QWIL_ASSERT(IsValidTextDataHandle(text));
  const TextRange r = TextRange_Order(range.start, range.end);
  LineCursor c = TextData_CursorAt(text, r.start.y);
  int64_t total = 0;
  for (;;) {
    const LineData* line = LineCursor_Line(&c);
    const int32_t y = LineCursor_Index(&c);
    int32_t from, to;
    TextRange_ClipToLine(r, y, Line_GetLength(line), &from, &to);
    if (dest) {
      const int64_t room = int64_t(n) - total;
      if (room <= 0) break;
      total += Line_CopyRange(line, dest + total, static_cast<int32_t>(room), from, to);
    } else if (to > from) {
      total += to - from;
    }
    if (y >= r.end.y || !LineCursor_Next(&c)) break;
    for (int i = 0; i < 2; ++i) {
      if (dest && total >= n) break;
      if (dest) dest[total] = "\r\n"[i];
      ++total;
    }
  }
  return static_cast<int32_t>(total);
}

int32_t TextData_GetCharCode(TextData* text, POINT pos) {
  return Line_GetCharCode(TextData_Lookup(text, pos.y, nullptr), pos.x);
}

bool TextData_IsPosition(const TextData* text, POINT p) {
  if (p.y < 0 || p.y >= text->count || p.x < 0) return false;
  const LineData* line = TextData_PeekLine(text, p.y);
  return p.x <= Line_GetLength(line) && !Char_IsSecondByte(Line_GetString(line), 0, p.x);
}

POINT TextData_EndOfDocument(TextData* text) { return {Line_GetLength(TextData_GetTail(text)), text->count - 1}; }

POINT TextData_EndOfLine(TextData* text, int32_t y) { return {Line_GetLength(TextData_Lookup(text, y, nullptr)), y}; }

POINT TextData_StartOfLine(TextData*, int32_t y) { return {0, y}; }

POINT TextData_NextPosition(TextData* text, POINT p) {
  const LineData* line = TextData_Lookup(text, p.y, nullptr);
  if (p.x < Line_GetLength(line)) return {p.x + Line_GetCharLength(line, p.x), p.y};
  if (p.y + 1 < text->count) return {0, p.y + 1};
  return p;
}

POINT TextData_PrevPosition(TextData* text, POINT p) {
  if (p.x > 0) {
    const char* s = Line_GetString(TextData_Lookup(text, p.y, nullptr));
    return {static_cast<LONG>(Char_Prev(s, s + p.x) - s), p.y};
  }
  if (p.y - 1 >= 0) return TextData_EndOfLine(text, p.y - 1);
  return p;
}

TextRange TextRange_Order(POINT a, POINT b) {
  if (PointAfter(a, b)) return {b, a};
  return {a, b};
}

bool TextRange_IsOrdered(TextRange range) { return !PointAfter(range.start, range.end); }

bool TextRange_IsEmpty(TextRange range) { return SamePoint(range.start, range.end); }

bool TextData_RowsValid(const TextData* text, TextRange range) {
  return 0 <= range.start.y && range.start.y < text->count && 0 <= range.end.y && range.end.y < text->count;
}

void TextRange_ClipToLine(TextRange range, int32_t y, int32_t lineLength, int32_t* pStart, int32_t* pEnd) {
  const POINT& s = range.start;
  const POINT& e = range.end;
  if (s.y == y && e.y == y) {
    *pStart = s.x;
    *pEnd = e.x;
  } else if (s.y < y && y < e.y) {
    *pStart = 0;
    *pEnd = lineLength;
  } else if (s.y == y && y < e.y) {
    *pStart = s.x;
    *pEnd = lineLength;
  } else if (s.y < y && y == e.y) {
    *pStart = 0;
    *pEnd = e.x;
  } else {
    *pStart = 0;
    *pEnd = 0;
  }
}

TextRange TextRange_Cover(TextRange a, TextRange b) {
  if (SamePoint(a.start, b.start)) return TextRange_Order(a.end, b.end);
  if (SamePoint(a.end, b.end)) return TextRange_Order(a.start, b.start);
  if (TextRange_IsEmpty(b)) return a;
  if (TextRange_IsEmpty(a)) return b;
  POINT from = PointAfter(a.start, b.start) ? b.start : a.start;
  POINT to = PointAfter(a.end, b.end) ? a.end : b.end;
  return {from, to};
}

int32_t TextData_GetTextSize(const TextData* text) { return text->length + 2 * (text->count - 1); }
