// The regular-expression engine, as the searcher uses it: compile a pattern
// once with the search option word, then match it against one line at a time.
//
//   nfa* re = regexp_compile(pattern, flags);     // null: nothing can be found
//   match* m = match_new(re);
//   int32_t r = regexp_search_into(m, line + offset, re, line, lineLength);
//   if (r == REGEXP_MATCH) match_get_span(m, 0, &start, &end);
//   ... REGEXP_TOO_COMPLEX / REGEXP_NOMEMORY: no answer for this line ...
//   match_free(m);
//   nfa_free(re);
#pragma once

#include <cstdint>

#include "tools/regexp/rgmatch.h"
#include "tools/regexp/rgnfa.h"

// Parses the pattern (NUL-terminated code page 932 bytes), builds its
// automaton with the options (SF_IGNORECASE and SF_IGNOREWIDTH act on literal
// characters; the other bits are kept but unused here) and frees the tree.
// Null when memory runs out or the pattern passes the size bounds; every
// other byte string compiles.
nfa* regexp_compile(const char* pattern, uint32_t flags);
