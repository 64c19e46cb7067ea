// The base of a recovery journal: the document file as it was loaded or saved,
// which the edits since are replayed over, so that a modified large document
// needs no copy of its text on disk to be recovered.
//
// The file is named by its size and write time, and its document by the line
// count, the length and a sample: a hash of 64 lines spread evenly over it
// (their lengths and up to 1 KiB from each end of each). What this cannot
// catch is a file rewritten with the same size and write time whose changes
// keep every line count and length and miss the sampled bytes; such a file
// would be taken as the base, and the replay's own length checks catch only
// part of what follows. The writer makes its own snapshot of the text soon
// after a base is first used, which ends the dependence on the file.
#pragma once

#include <cstdint>

#include "recovery/recoveryformat.h"
#include "editctrl/textdata.h"
#include "tools/fileio.h"

// The sample of a document; O(lines) pointer steps, the bytes hashed bounded.
uint64_t RecoveryBase_Sample(const TextData* text);
// A file base for a document read from (or saved to) the file described.
RecoveryBase RecoveryBase_OfFile(const TextData* text, const FileInfo* info);
RecoveryBase RecoveryBase_Empty();
// Whether the file on disk is still the one described (size and write time).
bool RecoveryBase_FileUnchanged(const RecoveryBase* base, const FileInfo* info);
// Whether a document read from the base file is the one described.
bool RecoveryBase_TextMatches(const RecoveryBase* base, const TextData* text);
