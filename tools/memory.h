// The core's allocator: malloc, realloc and free behind one seam, so that running
// out of memory is an ordinary false result everywhere and tests can make any
// chosen allocation fail.
#pragma once

#include <cstddef>

void* Mem_Alloc(size_t size);
void* Mem_Realloc(void* p, size_t size);
void Mem_Free(void* p);

// Fault injection for tests: after `successes` more allocations succeed, every
// further one fails until Mem_ClearFault. Not for use outside tests.
void Mem_FailAfter(long successes);
void Mem_ClearFault();
// Allocations (Alloc and Realloc) made so far; lets a test count an operation's.
long Mem_AllocationCount();
// Blocks allocated and not yet freed; lets a test see that an operation frees
// everything it took.
long Mem_LiveBlocks();
