// States and the state table of the automaton. State 0 is the start state and
// state 1 the only accepting one. The table owns every transition: they sit in
// one array, each state's list contiguous and in preference order, so that the
// walk can name a transition by its index.
#pragma once

#include <cstdint>

#include "tools/regexp/rgtrans.h"

struct state {
  uint8_t final;    // 1 only for the accepting state
  trans* head;      // first transition of the list, tried first; null when none
  int32_t nFirst;   // index of head in the table's transitions
  int32_t nTrans;   // length of the list
};

struct table {
  int32_t num;      // number of states; invariant: 2 <= num
  state* states;
  trans* pTrans;    // every transition, list after list; owned
  int32_t nTrans;
};

// A table of num states (num >= 2) without transitions, state 1 accepting.
// Null when memory runs out.
table* table_new(int32_t num);

// Frees the transitions (with what they own), the states and the table.
void table_free(table* t);

bool is_valid_state(const state* s);
// The invariants: at least two states, state 1 the only accepting one, every
// state valid and every transition leading to a state of this table.
bool is_valid_state_table(const table* t);
