#include "tools/regexp/rgnfa.h"

#include <cstring>

#include "tools/memory.h"
#include "tools/platform.h"

namespace {

// The builder follows the tree with a stack of work items instead of
// recursion. An item either builds a node's transitions between two states or
// adds one transition that has to wait until a subtree is built (the exit and
// the back step of a lazy loop). Items come off the stack in the order the
// recursive builder would make its calls, so states are numbered and
// transitions added in exactly that order.
enum BuildKind : int32_t { BUILD_NODE, BUILD_ADD };

struct BuildItem {
  const tree* node;
  int32_t from;
  int32_t to;
  int32_t kind;
  uint8_t epsilon;
};

struct Builder {
  BuildItem* pItems;
  int32_t nItems;
  int32_t nCapacity;
  int32_t next;        // next free state number
  int64_t nTrans;      // transitions added so far
  table* pTable;       // null in the counting pass
  trans* pTemp;        // the second pass's transitions, in the order added
  uint32_t flags;
  bool bFailed;
};

bool Push(Builder* B, const tree* node, int32_t from, int32_t to, int32_t kind, uint8_t epsilon) {
  if (B->nItems == B->nCapacity) {
    int32_t grown = B->nCapacity ? B->nCapacity * 2 : 64;
    BuildItem* items = static_cast<BuildItem*>(Mem_Realloc(B->pItems, sizeof(BuildItem) * static_cast<size_t>(grown)));
    if (!items) return false;
    B->pItems = items;
    B->nCapacity = grown;
  }
  B->pItems[B->nItems++] = {node, from, to, kind, epsilon};
  return true;
}

// A transition goes to the head of its source state's list: the one added
// later is tried earlier.
void Add(Builder* B, int32_t from, int32_t to, const tree* node, uint8_t epsilon) {
  if (B->pTable) {
    trans* t = &B->pTemp[B->nTrans];
    if (!trans_init(t, node, epsilon, B->flags)) {
      B->bFailed = true;
      return;
    }
    state* s = &B->pTable->states[from];
    t->to = &B->pTable->states[to];
    t->nTo = to;
    t->next = s->head;
    s->head = t;
    s->nTrans += 1;
  }
  B->nTrans += 1;
}

bool IsConsuming(int32_t type) { return type == NODE_CHAR || type == NODE_CHARCLASS || type == NODE_ANYCHAR; }

bool BuildNode(Builder* B, const BuildItem* item) {
  const tree* node = item->node;
  const int32_t from = item->from;
  const int32_t to = item->to;
  if (!node) return true;
  if (node->type == NODE_ALT) {
    return Push(B, node->right, from, to, BUILD_NODE, 0) && Push(B, node->left, from, to, BUILD_NODE, 0);
  }
  if (node->type == NODE_CONCAT) {
    const int32_t m = B->next++;
    return Push(B, node->right, m, to, BUILD_NODE, 0) && Push(B, node->left, from, m, BUILD_NODE, 0);
  }
  if (node->type == NODE_STAR || node->type == NODE_LAZY_STAR) {
    const int32_t s = B->next;
    const int32_t c = B->next + 1;
    B->next += 2;
    Add(B, from, s, node, 1);
    if (node->type == NODE_STAR) {
      Add(B, c, s, node, 1);
      Add(B, s, to, node, 1);  // the body's transitions out of s come later: tried first
      return Push(B, node->left, s, c, BUILD_NODE, 0);
    }
    // The exit is added last, after the body: leaving the loop is tried first.
    return Push(B, node, s, to, BUILD_ADD, 1) && Push(B, node, c, s, BUILD_ADD, 1) &&
           Push(B, node->left, s, c, BUILD_NODE, 0);
  }
  if (node->type >= NODE_MIN && node->type <= NODE_MAX) Add(B, from, to, node, IsConsuming(node->type) ? 0 : 1);
  return true;
}

// One pass over the tree; returns false when memory runs out or the counts
// pass the bounds.
bool RunPass(Builder* B, const tree* root) {
  B->next = 2;
  B->nTrans = 0;
  B->nItems = 0;
  if (!Push(B, root, 0, 1, BUILD_NODE, 0)) return false;
  while (B->nItems > 0 && !B->bFailed) {
    BuildItem item = B->pItems[--B->nItems];
    if (item.kind == BUILD_ADD) {
      Add(B, item.from, item.to, item.node, item.epsilon);
    } else if (!BuildNode(B, &item)) {
      return false;
    }
    if (B->next > kRegexpMaxStates || B->nTrans > kRegexpMaxTrans) return false;
  }
  return !B->bFailed;
}

// Lays each state's list out contiguously, in list order, so that a
// transition can be named by its index and the next one tried is the next in
// the array. What the transitions own moves with them.
bool PackTransitions(table* t, int32_t nTrans) {
  t->pTrans = static_cast<trans*>(Mem_Alloc(sizeof(trans) * (nTrans > 0 ? static_cast<size_t>(nTrans) : 1)));
  if (!t->pTrans) return false;
  int32_t index = 0;
  for (int32_t i = 0; i < t->num; ++i) {
    state* s = &t->states[i];
    s->nFirst = index;
    for (const trans* x = s->head; x; x = x->next) t->pTrans[index++] = *x;
    for (int32_t k = s->nFirst; k < index; ++k) {
      trans* x = &t->pTrans[k];
      x->bLast = k + 1 == index ? 1 : 0;
      x->next = x->bLast ? nullptr : x + 1;
    }
    s->head = s->nTrans ? &t->pTrans[s->nFirst] : nullptr;
  }
  t->nTrans = nTrans;
  return true;
}

void ReleaseTemp(trans* temp, int64_t n) {
  for (int64_t i = 0; i < n; ++i) trans_release(&temp[i]);
  Mem_Free(temp);
}

// The first pass only counts; the second adds the transitions into a table
// of the size counted.
table* BuildTable(const tree* root, uint32_t flags) {
  Builder B;
  std::memset(&B, 0, sizeof(B));
  B.flags = flags;
  table* result = nullptr;
  if (RunPass(&B, root)) {
    const int64_t nTrans = B.nTrans;
    B.nTrans = 0;  // from here on: the transitions initialized, which a failure releases
    B.pTable = table_new(B.next);
    B.pTemp = static_cast<trans*>(Mem_Alloc(sizeof(trans) * (nTrans > 0 ? static_cast<size_t>(nTrans) : 1)));
    if (B.pTable && B.pTemp && RunPass(&B, root) && PackTransitions(B.pTable, static_cast<int32_t>(nTrans))) {
      result = B.pTable;
      Mem_Free(B.pTemp);
    } else {
      ReleaseTemp(B.pTemp, B.nTrans);
      if (B.pTable) B.pTable->nTrans = 0;
      table_free(B.pTable);
    }
  }
  Mem_Free(B.pItems);
  return result;
}

bool AllocateWork(nfa* pattern) {
  const size_t n = static_cast<size_t>(pattern->table->nTrans > 0 ? pattern->table->nTrans : 1);
  pattern->visited = static_cast<uint64_t*>(Mem_Alloc(sizeof(uint64_t) * n));
  if (!pattern->visited) return false;
  std::memset(pattern->visited, 0, sizeof(uint64_t) * n);
  pattern->nGeneration = 0;
  return true;
}

}  // namespace

nfa* nfa_build(const tree* root, int32_t group_count, uint32_t flags) {
  QWIL_ASSERT(is_valid_tree(root));
  if (group_count < 0 || group_count >= INT32_MAX) return nullptr;
  nfa* pattern = static_cast<nfa*>(Mem_Alloc(sizeof(nfa)));
  if (!pattern) return nullptr;
  std::memset(pattern, 0, sizeof(nfa));
  pattern->count = group_count + 1;
  pattern->table = BuildTable(root, flags);
  if (!pattern->table || !AllocateWork(pattern)) {
    nfa_free(pattern);
    return nullptr;
  }
  RgStart_Analyse(pattern->table, &pattern->start);
  QWIL_ASSERT(is_valid_nfa(pattern));
  return pattern;
}

void nfa_free(nfa* pattern) {
  if (!pattern) return;
  table_free(pattern->table);
  Mem_Free(pattern->visited);
  Mem_Free(pattern->pFrames);
  Mem_Free(pattern);
}

bool is_valid_nfa(const nfa* pattern) {
  return pattern && pattern->count > 0 && is_valid_state_table(pattern->table) && pattern->visited &&
         pattern->start.nPrefix >= 0 && pattern->start.nPrefix <= kRegexpMaxPrefix &&
         pattern->start.nRequired >= 0 && pattern->start.nRequired <= kRegexpMaxRequired &&
         pattern->nFrameCapacity >= 0;
}

void nfa_set_limits(nfa* pattern, int64_t steps, int32_t frames) {
  pattern->nStepLimit = steps > 0 ? steps : 0;
  pattern->nFrameLimit = frames > 0 ? frames : 0;
}

int64_t nfa_default_budget(int32_t bytes) {
  const int64_t steps = kRegexpBaseSteps + kRegexpStepsPerByte * int64_t(bytes > 0 ? bytes : 0);
  return steps < kRegexpMaxSteps ? steps : kRegexpMaxSteps;
}

void nfa_share_budget(nfa* pattern, int64_t steps) {
  pattern->bSharedBudget = steps > 0;
  pattern->nSharedSteps = steps > 0 ? steps : 0;
}
