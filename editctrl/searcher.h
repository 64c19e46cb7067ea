// The line searcher: made once per search from the search string and the
// option word, it finds in one line at a time the first match at or after an
// offset (forward) or the last match before it (backward). Matches never span
// lines; the subject is one line's bytes without its line end, NUL-terminated
// behind its length.
//
// Eight variants, chosen at creation from the regular-expression and
// whole-word bits and the direction:
//   plain, forward          the first plain match at or after offset
//   plain, backward         the match with the greatest start among those ending at or before offset
//   plain, words, forward   the first plain match from offset that is a whole word
//   plain, words, backward  as backward, among the matches that are whole words
//   pattern, forward        the pattern search from offset
//   pattern, backward       anchored attempts at each character start before offset,
//                           the nearest first; the first non-empty match (it may extend past offset)
//   pattern, words, forward the pattern search from offset, going on one character after the start
//                           of every match that is empty or not a whole word
//   pattern, words, backward as backward, passing over matches that are not whole words
//
// Every answer is bounded. A pattern search draws its steps from one account
// kept for the whole search over the document: it starts with a fixed
// allowance, and every byte a search moves past adds a share. Past that the
// line's answer is "too complex" (neither a match nor proof of none), so a
// hostile pattern ends with an answer on a long line as on many short ones.
#pragma once

#include <cstdint>

#include "editctrl/plainmatch.h"
#include "tools/progress.h"

struct nfa;
struct match;

// What a search came to.
enum SearchStatus : int32_t {
  SEARCH_NOTFOUND = 0,     // nothing matches where the search looked
  SEARCH_FOUND = 1,        // a match; the searcher holds its span
  SEARCH_TOO_COMPLEX = 2,  // a pattern search ran out of steps: no answer
  SEARCH_NOMEMORY = 3,     // memory ran out (or the pattern passes the engine's size bounds): no answer
  SEARCH_REFUSED = 4,      // a replacement was refused: the document is read-only, or the request is malformed
  SEARCH_STOPPED = 5,      // the search's progress report said stop: no answer, nothing changed
};

struct Searcher {
  uint32_t nOptions;     // the option word
  bool bForward;
  int32_t nVariant;      // index into the variant table, fixed at creation
  PlainPattern plain;    // the search string (also kept, unused, for patterns)
  nfa* pRegexp;          // the compiled pattern with SF_REGEXP (owned), else null
  match* pMatch;         // its match record (owned)
  const char* pStart;    // the last match in the last line searched, or null
  const char* pEnd;
  int32_t nStatus;       // SearchStatus of the last search
  // The step account of pattern searches (see above); zeros mean the defaults.
  int64_t nStepBase;     // the allowance the account starts with
  int64_t nStepsPerByte; // the share of each byte moved past
  int64_t nStepCeiling;  // the most one line's search may draw
  int64_t nStepCarry;    // what the account holds now
  int64_t nStepsTaken;   // steps pattern searches drew from it since the last reset
  // Told how far searches over the document have come, in lines: the line a
  // search reached (counted from the search's direction's start) plus the
  // base. It may stop them. Reports at most every kSearchProgressLines lines.
  ProgressTicker progress;
  int64_t nProgressBase;
};

constexpr int64_t kSearchProgressLines = 1 << 16;

bool IsValidSearcherHandle(const Searcher* searcher);

// A searcher for length bytes of pattern (a negative length counts as 0) with
// the options. The string is copied. With SF_REGEXP it is compiled as a
// pattern up to its first NUL byte. Null when memory runs out or the pattern
// cannot be compiled.
Searcher* Searcher_Create(const char* pattern, int32_t length, uint32_t options, bool forward);
void Searcher_Free(Searcher* searcher);
// Puts the progress report of searches over the document in place (null:
// none), out of a total of `total` lines, the reports starting from `base`.
void Searcher_SetProgress(Searcher* searcher, const TextProgress* progress, int64_t base, int64_t total);

// Runs the searcher's variant over one line (offset is clamped to 0..length
// and must be a character start). Returns the match start, or null with the
// reason in Searcher_GetStatus.
const char* Searcher_Find(Searcher* searcher, const char* line, int32_t length, int32_t offset);
// The same for a caller that knows a character start `known` at or before
// offset closer than the line start, such as where the text just inserted
// before offset began: the search then never looks at the line before it
// (except to find the character before a whole word that starts at offset
// when known equals offset).
const char* Searcher_FindFrom(Searcher* searcher, const char* line, int32_t length, int32_t offset, int32_t known);

// Searches the line's bytes from offset on as if other text stood before
// them: a character of class prevClass (Char_Class), or, when prevClass is 0,
// nothing: offset is then a line start, where "^" holds. offset must be a
// character start. For replace all, which looks for the next match behind a
// replacement in the line as it was before the replacement.
const char* Searcher_FindAfter(Searcher* searcher, const char* line, int32_t length, int32_t offset, uint32_t prevClass);

// The span of the last match (pointers into the line), or false with nulls.
bool Searcher_GetMatch(const Searcher* searcher, const char** start, const char** end);
int32_t Searcher_GetStatus(const Searcher* searcher);

// Limits of the step account (tests use small ones); 0 keeps a default. The
// account starts again from its allowance, as it also does with Reset.
void Searcher_SetStepLimits(Searcher* searcher, int64_t base, int64_t perByte, int64_t ceiling);
void Searcher_ResetSteps(Searcher* searcher);
// The steps pattern searches took since the searcher was made or its account
// reset: what a search cost, counted by the engine (0 for plain searches).
int64_t Searcher_GetStepsTaken(const Searcher* searcher);

// The whole-word test of the match [start, end) of a non-empty match in the
// line: each end is at the line's end or between characters of different
// classes.
bool Search_IsWholeWord(const char* line, int32_t length, int32_t start, int32_t end);
