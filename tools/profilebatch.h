// Profile writes gathered per section and written a section at a time.
//
// The platform's profile writer rewrites the whole file for every key, so the
// forty-odd keys of the settings cost forty-odd rewrites. A batch stands in for
// the profile seam while the keys are written; flushing it reads each touched
// section once, puts the new values in (keys already there keep their place and
// their spelling, new keys follow in the order they were written, removed keys
// go) and writes the section back in one call. The file ends up as it would
// have after the same writes one key at a time.
#pragma once

#include <cstdint>

#include "tools/profile.h"

struct ProfileBatchChange {
  char* pText;      // owned: the key, a NUL, the value, a NUL
  int32_t nKey;     // bytes of the key
  bool bRemove;     // the key is to go (no value)
  bool bDone;       // used while merging
};

struct ProfileBatchSection {
  char* pszName;                  // owned
  ProfileBatchChange* pChanges;   // owned, in the order written; one per key
  int32_t nChanges;
  int32_t nCapacity;
};

struct ProfileBatch {
  const ProfileMethods* pTarget;
  ProfileMethods methods;         // the seam to write through; pContext is this record
  ProfileBatchSection* pSections; // owned, in the order first written
  int32_t nSections;
  int32_t nCapacity;
  bool bDirect;                   // memory ran out: writes go straight to the target
  int32_t nFailed;                // target writes that failed so far
};

bool IsValidProfileBatch(const ProfileBatch* batch);

// A batch over target. Reads through the batch go to the target and do not
// see the writes still pending. The record must stay where it is while its
// methods are used. When memory runs out while gathering, what was gathered is
// written key by key at once and later writes go straight to the target, so
// nothing is lost and the order of writes holds.
void ProfileBatch_Init(ProfileBatch* batch, const ProfileMethods* target);
// Writes every gathered section and frees what the batch holds (it may be
// used again). A section whose lines cannot be read or merged, and every
// section of a target without section methods, is written key by key. False
// when any write the target was asked for failed.
bool ProfileBatch_Flush(ProfileBatch* batch);

// The merge on its own: old is the section's list as pfnReadSection gives it
// ("key=value\0...\0\0"); the result is the new list, a heap block (Mem_Free),
// with *pnLength the bytes before its final NUL. Null when memory runs out.
char* ProfileBatch_MergeLines(const char* old, ProfileBatchSection* section, int32_t* pnLength);
