#include "tools/memory.h"

#include <cstdlib>

namespace {

struct MemFault {
  bool armed;
  long remaining;
  long count;
  long live;
};

MemFault g_fault = {false, 0, 0, 0};

bool Mem_ShouldFail() {
  ++g_fault.count;
  if (!g_fault.armed) return false;
  if (g_fault.remaining > 0) {
    --g_fault.remaining;
    return false;
  }
  return true;
}

}  // namespace

void* Mem_Alloc(size_t size) {
  if (Mem_ShouldFail()) return nullptr;
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block) ++g_fault.live;
  return block;
}

void* Mem_Realloc(void* p, size_t size) {
  if (Mem_ShouldFail()) return nullptr;
  void* block = std::realloc(p, size == 0 ? 1 : size);
  if (block && !p) ++g_fault.live;
  return block;
}

void Mem_Free(void* p) {
  if (p) --g_fault.live;
  std::free(p);
}

void Mem_FailAfter(long successes) {
  g_fault.armed = true;
  g_fault.remaining = successes;
}

void Mem_ClearFault() { g_fault.armed = false; }

long Mem_AllocationCount() { return g_fault.count; }

long Mem_LiveBlocks() { return g_fault.live; }
