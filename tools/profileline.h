// How the platform's profile functions see the lines of a settings file: which
// names are the same, and which sections a write of the whole section would
// give back as writes of its keys one at a time leave them.
//
// Measured on the platform (tests/win/profilebatch_win_test.cpp): names compare
// without the blanks (space, tab) around them and without the case of
// single-byte letters; a two-byte character is only itself (a full-width
// letter has no other case, a full-width space is no blank). The section reader
// gives the lines of the first section of a name only, without its comment
// lines (";"), and the section writer drops those comments, the lines without
// "=", and the keys of every other section of the name.
#pragma once

#include <cstdint>

#include "tools/stream.h"

// The bytes of s[0, n) without the blanks around them: *pStart and *pEnd.
void Profile_TrimBlanks(const char* s, int32_t n, int32_t* pStart, int32_t* pEnd);
// Whether two names (of n bytes each) are one key or one section to the
// profile functions.
bool Profile_NamesEqual(const char* a, int32_t na, const char* b, int32_t nb);

// Whether writing the section of the file read by `file` whole keeps every line
// of the file that writing its keys one at a time keeps: false when the file
// holds the section twice or comment lines in it, when it is not plain code
// page 932 text (a byte order mark), or when it cannot be read to the end. A
// missing file is an empty reader.
bool Profile_SectionWritesWhole(ByteReader file, const char* section);
