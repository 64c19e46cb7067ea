#include "editctrl/linepool.h"

#include "editctrl/linebyte.h"
#include "editctrl/linedata.h"
#include "tools/memory.h"
#include "tools/platform.h"

// Cells on the free list are poisoned for AddressSanitizer, so that a stale line
// pointer is caught even though the slab itself stays allocated.
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define QWIL_POISON(p, n) ASAN_POISON_MEMORY_REGION((p), (n))
#define QWIL_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION((p), (n))
#else
#define QWIL_POISON(p, n) ((void)(p), (void)(n))
#define QWIL_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

struct LinePoolSlab {
  LinePoolSlab* pNext;
  size_t nSize;  // bytes of the carving area behind this header
  size_t nUsed;  // bytes carved so far
};

namespace {

// A line record and its string record travel together as one cell.
constexpr size_t kCellSize = sizeof(LineData) + sizeof(ByteString);
constexpr size_t kAlign = alignof(LineData) > alignof(ByteString) ? alignof(LineData) : alignof(ByteString);
static_assert(kCellSize % kAlign == 0, "cells keep their successors aligned");
static_assert(sizeof(LinePoolSlab) % kAlign == 0, "the carving area starts aligned");

// Small documents get small slabs; large ones grow to 16 MiB slabs, which keeps
// the number of slabs (and the waste at their ends) small.
constexpr size_t kFirstSlab = 4096;
constexpr size_t kLargestSlab = size_t(16) << 20;

size_t RoundUp(size_t n) { return (n + kAlign - 1) & ~(kAlign - 1); }

char* SlabArea(LinePoolSlab* slab) { return reinterpret_cast<char*>(slab + 1); }

bool AddSlab(LinePool* pool, size_t need) {
  size_t size = pool->nNextSlab;
  if (size < need) size = RoundUp(need);
  LinePoolSlab* slab = static_cast<LinePoolSlab*>(Mem_Alloc(sizeof(LinePoolSlab) + size));
  if (!slab) return false;
  slab->pNext = pool->pSlabs;
  slab->nSize = size;
  slab->nUsed = 0;
  pool->pSlabs = slab;
  if (pool->nNextSlab < kLargestSlab) pool->nNextSlab *= 2;
  return true;
}

void* Carve(LinePool* pool, size_t size) {
  LinePoolSlab* slab = pool->pSlabs;
  if (!slab || slab->nSize - slab->nUsed < size) {
    if (!AddSlab(pool, size)) return nullptr;
    slab = pool->pSlabs;
  }
  void* p = SlabArea(slab) + slab->nUsed;
  slab->nUsed += size;
  return p;
}

}  // namespace

size_t LinePool_CellSize() { return kCellSize; }

bool IsValidLinePoolHandle(const LinePool* pool) {
  return pool != nullptr && pool->nNextSlab >= kFirstSlab && pool->nCells >= 0;
}

LinePool* LinePool_Create() {
  LinePool* pool = static_cast<LinePool*>(Mem_Alloc(sizeof(LinePool)));
  if (!pool) return nullptr;
  pool->pSlabs = nullptr;
  pool->pFree = nullptr;
  pool->nNextSlab = kFirstSlab;
  pool->nCells = 0;
  return pool;
}

void LinePool_Destroy(LinePool* pool) {
  if (!pool) return;
  LinePoolSlab* slab = pool->pSlabs;
  while (slab) {
    LinePoolSlab* next = slab->pNext;
    Mem_Free(slab);
    slab = next;
  }
  Mem_Free(pool);
}

void* LinePool_TakeCell(LinePool* pool) {
  QWIL_ASSERT(IsValidLinePoolHandle(pool));
  void* cell = pool->pFree;
  if (cell) {
    QWIL_UNPOISON(cell, kCellSize);
    pool->pFree = *static_cast<void**>(cell);
  } else {
    cell = Carve(pool, kCellSize);
    if (!cell) return nullptr;
  }
  ++pool->nCells;
  return cell;
}

void* LinePool_TakeBlock(LinePool* pool, size_t extra) {
  QWIL_ASSERT(IsValidLinePoolHandle(pool));
  void* block = Carve(pool, kCellSize + RoundUp(extra));
  if (block) ++pool->nCells;
  return block;
}

void LinePool_ReturnCell(LinePool* pool, void* cell) {
  QWIL_ASSERT(IsValidLinePoolHandle(pool) && pool->nCells > 0);
  *static_cast<void**>(cell) = pool->pFree;
  pool->pFree = cell;
  --pool->nCells;
  // The link word stays readable; the rest of the cell is off limits until reuse.
  QWIL_POISON(static_cast<char*>(cell) + sizeof(void*), kCellSize - sizeof(void*));
}
