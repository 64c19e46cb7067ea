// Replace all over the editor body's document (the searches of search.h).
#pragma once

#include <cstdint>

#include "editctrl/editbody.h"
#include "editctrl/search.h"
#include "editctrl/searcher.h"

// Replaces every match from the start of the document, each replacement its
// own undo step: search forward, replace the match by the replacement's bytes
// as they are (no group references), go on from the end of the inserted text,
// stop when nothing more is found. The caret ends behind the last replacement.
//
// All or nothing: when a search cannot be answered or memory runs out, every
// replacement made is taken back, leaving the document, the undo and redo
// steps, the modified flag and the selection as they were. (Only when memory
// runs out even for taking them back do the ones left stay, as undo steps.)
// Refused while read-only. *pCount (optional) gets the replacements made;
// *pStatus SEARCH_FOUND (some were made), SEARCH_NOTFOUND (none), or the
// reason for false: SEARCH_REFUSED, SEARCH_TOO_COMPLEX, SEARCH_NOMEMORY, or
// SEARCH_STOPPED when progress (optional; lines, tools/progress.h) said stop:
// a replace all stopped halfway takes back what it did, as one that failed.
//
// The replacements of one line are applied to it together, as one change the
// window is told of, so that a long line with many matches costs time in
// proportion to its length, not to its length times the matches.
bool Search_ReplaceAll(TextEditorBody* body, const char* replacement, int32_t replacementLength, const char* pattern,
                       int32_t length, uint32_t options, int32_t* pCount, int32_t* pStatus,
                       const TextProgress* progress = nullptr);
// The same with a forward searcher the caller made (and frees).
bool Search_ReplaceAllWith(TextEditorBody* body, Searcher* searcher, const char* replacement, int32_t replacementLength,
                           int32_t* pCount, int32_t* pStatus, const TextProgress* progress = nullptr);
