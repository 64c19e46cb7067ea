#include "tools/regexp/rgstate.h"

#include <cstring>

#include "tools/memory.h"

table* table_new(int32_t num) {
  if (num < 2) return nullptr;
  table* t = static_cast<table*>(Mem_Alloc(sizeof(table)));
  if (!t) return nullptr;
  t->states = static_cast<state*>(Mem_Alloc(sizeof(state) * static_cast<size_t>(num)));
  if (!t->states) {
    Mem_Free(t);
    return nullptr;
  }
  std::memset(t->states, 0, sizeof(state) * static_cast<size_t>(num));
  t->states[1].final = 1;
  t->num = num;
  t->pTrans = nullptr;
  t->nTrans = 0;
  return t;
}

void table_free(table* t) {
  if (!t) return;
  for (int32_t i = 0; i < t->nTrans; ++i) trans_release(&t->pTrans[i]);
  Mem_Free(t->pTrans);
  Mem_Free(t->states);
  Mem_Free(t);
}

bool is_valid_state(const state* s) {
  if (s->final > 1) return false;
  if ((s->head == nullptr) != (s->nTrans == 0)) return false;
  return is_valid_trans(s->head);
}

bool is_valid_state_table(const table* t) {
  if (!t || t->num < 2 || !t->states || t->states[1].final != 1) return false;
  for (int32_t i = 0; i < t->num; ++i) {
    const state* s = &t->states[i];
    if ((s->final == 1) != (i == 1) || !is_valid_state(s)) return false;
    int32_t n = 0;
    for (const trans* x = s->head; x; x = x->next, ++n) {
      if (x->to < t->states || x->to >= t->states + t->num) return false;
      if (x != &t->pTrans[s->nFirst + n] || x->nTo != x->to - t->states) return false;
      if ((x->bLast == 1) != (x->next == nullptr)) return false;
    }
    if (n != s->nTrans) return false;
  }
  return true;
}
