// The start-up question about a recovery file left by a window that ended
// without saving: its text, and what the window does with the answer.
#pragma once

#include <cstdint>

#include "recovery/recoveryread.h"

enum RecoveryQuestion : int32_t {
  RECOVERYQ_NONE,     // nothing to show: the file is another running window's
  RECOVERYQ_RESTORE,  // Yes restores the text (Recovery_NoteRestored), No removes the file
  RECOVERYQ_TELL,     // only OK: nothing can be restored
};

// The path the restored document keeps, or null: one longer than a path may be
// could only be cut into another, so that document is restored untitled (and
// the question says so); null for an untitled one too.
const char* RecoveryText_KeptPath(const RecoveredDocument* doc);

// The message for what reading a recovery file gave, into buffer (size
// bytes, cut between characters), naming the document by its path or, for
// an untitled one, untitledName; which box it is, and in *pRemove whether the
// file goes once the user has answered (No to RESTORE; a damaged file or one
// whose base is gone after TELL; not a file that could not be read this
// time, which is offered again at the next start).
RecoveryQuestion RecoveryText_Question(const RecoveredDocument* doc, const char* untitledName, char* buffer,
                                       int32_t size, bool* pRemove);
