// Find next, find previous and replace all over the editor body's document:
// the line searcher (searcher.h) run line by line. Positions are (byte column,
// line); a match never spans lines, and empty matches are never found: a line
// whose search gives an empty match is passed over as a whole.
//
// A search that meets a line it cannot answer ("too complex", or memory ran
// out) stops there and reports it instead of looking further, as a match found
// beyond that line might not be the next one. Such a result is no match for
// the caller (false), with its own status so that the window can say why.
#pragma once

#include <cstdint>

#include "editctrl/editbody.h"
#include "editctrl/searcher.h"
#include "editctrl/textdata.h"

// The first match from `from` to the end of the document: on from's line at
// or after its column, then on every following line. *pFound gets the match,
// or the empty range at `from` when there is none; the searcher's status says
// why (it must have been made forward; SEARCH_STOPPED when its progress
// report said stop). `from` is clamped into the document;
// a column inside a two-byte character counts as the character's end.
bool Search_FindForward(TextData* text, Searcher* searcher, POINT from, TextRange* pFound);
// The same for a caller that knows a character start `known` on from's line at
// or before its column (where text it just inserted began), so that the
// search never has to look at the line before it.
bool Search_FindForwardFrom(TextData* text, Searcher* searcher, POINT from, int32_t known, TextRange* pFound);
// The same backward, from `from` up to the start of the document (the searcher
// made backward); a column inside a two-byte character counts as its start.
bool Search_FindBackward(TextData* text, Searcher* searcher, POINT from, TextRange* pFound);

// Forward from the end of the selection, and when nothing is found there, once
// more from the start of the document. *pFound gets the match; the selection
// is left to the caller, which selects the match with the anchor at its start
// and the caret at its end, repainting what changed. *pStatus (optional) tells
// SEARCH_FOUND, SEARCH_NOTFOUND, SEARCH_TOO_COMPLEX, SEARCH_NOMEMORY or
// SEARCH_STOPPED (progress, optional, said stop: nothing was found and nothing
// changed); only nothing found at all wraps around. Progress counts lines
// (tools/progress.h; Searcher_SetProgress).
bool Search_FindNext(TextEditorBody* body, const char* pattern, int32_t length, uint32_t options, TextRange* pFound,
                     int32_t* pStatus, const TextProgress* progress = nullptr);
// Backward from the start of the selection, then from the end of the document.
bool Search_FindPrev(TextEditorBody* body, const char* pattern, int32_t length, uint32_t options, TextRange* pFound,
                     int32_t* pStatus, const TextProgress* progress = nullptr);
