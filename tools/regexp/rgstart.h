// What a compiled pattern tells about where its matches can start: the bytes
// a match can begin with, whether it is anchored at the line start, the
// literal text every match begins with and bytes every match holds. The search
// uses them to pass over start positions at which the walk would fail anyway,
// so results are the same with them as without.
#pragma once

#include <cstdint>

struct nfa;
struct trans;

// Fills the start fields of the pattern from its table. When memory runs out
// the fields stay off (no position is ruled out).
void RgStart_Analyse(nfa* pattern);

// Marks in set[256] every byte that can begin a character the consuming
// transition accepts.
void RgStart_FirstBytesOf(const trans* t, uint8_t set[256]);
