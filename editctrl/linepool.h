// LinePool: where a document's line records live.
//
// A document of two million lines would otherwise pay a malloc header and its
// rounding three times per line (line record, string record, bytes). The pool hands
// out fixed-size cells from large slabs, with a free list for cells of destroyed
// lines, and variable-size blocks for lines built whole by the loader. Everything
// is released at once when the pool (the document) is destroyed.
#pragma once

#include <cstddef>
#include <cstdint>

struct LinePoolSlab;

struct LinePool {
  LinePoolSlab* pSlabs;  // newest first; the newest is the one being carved
  void* pFree;           // free fixed-size cells, linked through their first word
  size_t nNextSlab;      // size of the next slab to allocate
  int64_t nCells;        // cells handed out and not yet returned (for checks)
};

LinePool* LinePool_Create();
// Releases every slab; cells handed out become invalid.
void LinePool_Destroy(LinePool* pool);

// A cell of the pool's fixed size (LinePool_CellSize), or null when out of memory.
void* LinePool_TakeCell(LinePool* pool);
// A block of cell size plus `extra` bytes; its head is returned like any cell,
// the extra bytes stay with the slab until the pool is destroyed.
void* LinePool_TakeBlock(LinePool* pool, size_t extra);
void LinePool_ReturnCell(LinePool* pool, void* cell);

size_t LinePool_CellSize();
bool IsValidLinePoolHandle(const LinePool* pool);
