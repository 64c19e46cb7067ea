// LinePool: where a document's line records, and the bytes of its loaded lines, live.
//
// A document of two million lines would otherwise pay a malloc header and its
// rounding three times per line (line record, string record, bytes). The pool hands
// out fixed-size cells (a line record with its string record) from large slabs,
// with a free list for the cells of destroyed lines, and lends loaded lines their
// bytes from byte slabs, packed without alignment. Lent bytes are never freed one
// by one: a loaded line that grows moves its bytes to a heap buffer of its own.
// Everything is released at once when the pool (the document) is destroyed.
#pragma once

#include <cstddef>
#include <cstdint>

struct LinePoolSlab;

struct LinePool {
  LinePoolSlab* pCellSlabs;  // newest first; the newest is the one being carved
  LinePoolSlab* pByteSlabs;
  void* pFree;               // free cells, linked through their first word
  size_t nNextCellSlab;      // sizes of the next slabs to allocate
  size_t nNextByteSlab;
  int64_t nCells;            // cells handed out and not yet returned
  // Byte slabs sorted by address, so that lent bytes are recognised in log time.
  LinePoolSlab** ppByteIndex;
  int32_t nByteSlabs;
  int32_t nByteIndexCap;
};

LinePool* LinePool_Create();
// Releases every slab; cells and bytes handed out become invalid.
void LinePool_Destroy(LinePool* pool);

// A cell of LinePool_CellSize bytes, or null when out of memory.
void* LinePool_TakeCell(LinePool* pool);
void LinePool_ReturnCell(LinePool* pool, void* cell);
size_t LinePool_CellSize();

// n bytes lent until the pool is destroyed (no alignment), or null.
char* LinePool_TakeBytes(LinePool* pool, size_t n);
// Whether p points into bytes the pool lent.
bool LinePool_OwnsBytes(const LinePool* pool, const char* p);

bool IsValidLinePoolHandle(const LinePool* pool);
