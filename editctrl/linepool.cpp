#include "editctrl/linepool.h"

#include <cstring>

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
// the number of slabs small. Untouched slab ends cost address space, not memory.
constexpr size_t kFirstSlab = 4096;
constexpr size_t kLargestSlab = size_t(16) << 20;

char* SlabArea(LinePoolSlab* slab) { return reinterpret_cast<char*>(slab + 1); }

LinePoolSlab* NewSlab(size_t* pNextSize, size_t need) {
  size_t size = *pNextSize;
  if (size < need) size = (need + kAlign - 1) & ~(kAlign - 1);
  LinePoolSlab* slab = static_cast<LinePoolSlab*>(Mem_Alloc(sizeof(LinePoolSlab) + size));
  if (!slab) return nullptr;
  slab->pNext = nullptr;
  slab->nSize = size;
  slab->nUsed = 0;
  if (*pNextSize < kLargestSlab) *pNextSize *= 2;
  return slab;
}

void FreeSlabs(LinePoolSlab* slab) {
  while (slab) {
    LinePoolSlab* next = slab->pNext;
    Mem_Free(slab);
    slab = next;
  }
}

bool SlabHasRoom(const LinePoolSlab* slab, size_t n) { return slab && slab->nSize - slab->nUsed >= n; }

void* CarveFrom(LinePoolSlab* slab, size_t n) {
  void* p = SlabArea(slab) + slab->nUsed;
  slab->nUsed += n;
  return p;
}

bool IndexByteSlab(LinePool* pool, LinePoolSlab* slab) {
  if (pool->nByteSlabs == pool->nByteIndexCap) {
    int32_t cap = pool->nByteIndexCap ? pool->nByteIndexCap * 2 : 8;
    void* grown = Mem_Realloc(pool->ppByteIndex, sizeof(LinePoolSlab*) * static_cast<size_t>(cap));
    if (!grown) return false;
    pool->ppByteIndex = static_cast<LinePoolSlab**>(grown);
    pool->nByteIndexCap = cap;
  }
  int32_t at = pool->nByteSlabs;
  while (at > 0 && reinterpret_cast<uintptr_t>(pool->ppByteIndex[at - 1]) > reinterpret_cast<uintptr_t>(slab)) {
    pool->ppByteIndex[at] = pool->ppByteIndex[at - 1];
    --at;
  }
  pool->ppByteIndex[at] = slab;
  ++pool->nByteSlabs;
  return true;
}

}  // namespace

size_t LinePool_CellSize() { return kCellSize; }

bool IsValidLinePoolHandle(const LinePool* pool) {
  return pool != nullptr && pool->nNextCellSlab >= kFirstSlab && pool->nNextByteSlab >= kFirstSlab &&
         pool->nCells >= 0 && 0 <= pool->nByteSlabs && pool->nByteSlabs <= pool->nByteIndexCap;
}

LinePool* LinePool_Create() {
  LinePool* pool = static_cast<LinePool*>(Mem_Alloc(sizeof(LinePool)));
  if (!pool) return nullptr;
  std::memset(pool, 0, sizeof(*pool));
  pool->nNextCellSlab = kFirstSlab;
  pool->nNextByteSlab = kFirstSlab;
  return pool;
}

void LinePool_Destroy(LinePool* pool) {
  if (!pool) return;
  FreeSlabs(pool->pCellSlabs);
  FreeSlabs(pool->pByteSlabs);
  Mem_Free(pool->ppByteIndex);
  Mem_Free(pool);
}

void* LinePool_TakeCell(LinePool* pool) {
  QWIL_ASSERT(IsValidLinePoolHandle(pool));
  void* cell = pool->pFree;
  if (cell) {
    QWIL_UNPOISON(cell, kCellSize);
    pool->pFree = *static_cast<void**>(cell);
  } else {
    if (!SlabHasRoom(pool->pCellSlabs, kCellSize)) {
      LinePoolSlab* slab = NewSlab(&pool->nNextCellSlab, kCellSize);
      if (!slab) return nullptr;
      slab->pNext = pool->pCellSlabs;
      pool->pCellSlabs = slab;
    }
    cell = CarveFrom(pool->pCellSlabs, kCellSize);
  }
  ++pool->nCells;
  return cell;
}

void LinePool_ReturnCell(LinePool* pool, void* cell) {
  QWIL_ASSERT(IsValidLinePoolHandle(pool) && pool->nCells > 0);
  *static_cast<void**>(cell) = pool->pFree;
  pool->pFree = cell;
  --pool->nCells;
  // The link word stays readable; the rest of the cell is off limits until reuse.
  QWIL_POISON(static_cast<char*>(cell) + sizeof(void*), kCellSize - sizeof(void*));
}

char* LinePool_TakeBytes(LinePool* pool, size_t n) {
  QWIL_ASSERT(IsValidLinePoolHandle(pool));
  if (!SlabHasRoom(pool->pByteSlabs, n)) {
    LinePoolSlab* slab = NewSlab(&pool->nNextByteSlab, n);
    if (!slab) return nullptr;
    if (!IndexByteSlab(pool, slab)) {
      Mem_Free(slab);
      return nullptr;
    }
    slab->pNext = pool->pByteSlabs;
    pool->pByteSlabs = slab;
  }
  return static_cast<char*>(CarveFrom(pool->pByteSlabs, n));
}

bool LinePool_OwnsBytes(const LinePool* pool, const char* p) {
  // Addresses of unrelated blocks are compared as integers.
  const uintptr_t at = reinterpret_cast<uintptr_t>(p);
  int32_t lo = 0, hi = pool->nByteSlabs;
  while (lo < hi) {
    int32_t mid = lo + (hi - lo) / 2;
    LinePoolSlab* slab = pool->ppByteIndex[mid];
    const uintptr_t area = reinterpret_cast<uintptr_t>(SlabArea(slab));
    if (at < area) {
      hi = mid;
    } else if (at >= area + slab->nSize) {
      lo = mid + 1;
    } else {
      return true;
    }
  }
  return false;
}
