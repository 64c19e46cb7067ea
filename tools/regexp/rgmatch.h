// Matching a compiled pattern against a subject: one line's bytes, counted
// (a NUL inside the line is an ordinary character; the walk never reads at or
// past subject + length). The line start is the subject's first byte, which
// is where "^" holds, also when the search begins later in the line.
//
// Matching is a depth-first walk over the automaton that tries transitions in
// their preference order; the first successful path wins, not the longest.
// The walk keeps its path on a stack on the heap, never on the native stack,
// and every search is bounded (see rgnfa.h): when the bound is reached the
// answer is REGEXP_TOO_COMPLEX, never a wrong match and never a hang.
#pragma once

#include <cstdint>

#include "tools/regexp/rgnfa.h"

enum RegexpResult : int32_t {
  REGEXP_NOMATCH = 0,      // no match: the subject holds none from that position on
  REGEXP_MATCH = 1,        // matched; the match record holds the spans
  REGEXP_TOO_COMPLEX = 2,  // the search hit its step or depth bound: neither a match nor proof of none
  REGEXP_NOMEMORY = 3,     // a match record or the walk's stack could not be allocated: no answer either
};

struct span {
  const char* start;  // null when unset
  const char* end;    // exclusive; null when unset
};

// Span 0 is the whole match, span n group n.
struct match {
  int32_t count;  // copied from the pattern; invariant: count > 0
  span* spans;    // count spans, allocated with the record
  bool bDirty;    // some span was set since they were last cleared
};

// A match record for the pattern with every span unset; null when memory runs out.
match* match_new(const nfa* pattern);
void match_free(match* m);

// Span i: false (both outputs null) when i is outside 0..count-1, when the
// span's start or end is unset, or when its end precedes its start.
bool match_get_span(const match* m, int32_t i, const char** start, const char** end);

// Anchored attempt at pos (subject <= pos <= subject + length): the match has
// to start at pos. Fills m (allocated for this pattern) and returns a result.
int32_t regexp_match_at_into(match* m, const char* pos, nfa* pattern, const char* subject, int32_t length);

// The first start position from pos on that matches: pos itself (also at the
// end of the subject), then each following character start before the end.
int32_t regexp_search_into(match* m, const char* pos, nfa* pattern, const char* subject, int32_t length);

// The same with a match record of their own: the match (the caller frees it
// with match_free) or null, with the result in *result when result is not null.
match* regexp_match_at(const char* pos, nfa* pattern, const char* subject, int32_t length, int32_t* result);
match* regexp_search(const char* pos, nfa* pattern, const char* subject, int32_t length, int32_t* result);
