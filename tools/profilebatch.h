// Profile writes gathered per section and written a section at a time.
//
// The platform's profile writer rewrites the whole file for every key, so the
// forty-odd keys of the settings cost forty-odd rewrites. A batch stands in for
// the profile seam while the keys are written. Flushing it reads each touched
// section once and replays its writes, in their order, on the lines as the
// profile functions would (tools/profileline.h): a key is the first line whose
// name matches; writing the value it has changes nothing, writing a new key puts
// it at the section's end in the spelling written, removing a key takes its first
// line only. A section that changed is written back in one call; sections new
// to the file appear in the order of their first writes.
//
// A section the section writer would not give back as the writes one key at a
// time leave it is written key by key instead: one with a line without "=", one
// that the file holds twice or with comment lines (the target's section reader
// fails for those), and one the writes make and leave empty. So the file ends
// up as it would have after the same writes one key at a time, byte for byte.
#pragma once

#include <cstdint>

#include "tools/profile.h"

struct ProfileBatchChange {
  char* pText;      // owned: the key, a NUL, the value, a NUL
  int32_t nKey;     // bytes of the key
  bool bRemove;     // the key is to go (no value)
};

struct ProfileBatchSection {
  char* pszName;                  // owned
  ProfileBatchChange* pChanges;   // owned: every write, in the order made
  int32_t nChanges;
  int32_t nCapacity;
  int32_t nFirstWrite;            // the batch's count of writes before its first value; -1 for none yet
};

struct ProfileBatch {
  const ProfileMethods* pTarget;
  ProfileMethods methods;         // the seam to write through; pContext is this record
  ProfileBatchSection* pSections; // owned, in the order first written
  int32_t nSections;
  int32_t nCapacity;
  int32_t nWrites;                // gathered so far
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

struct ProfileBatchMerge {
  int32_t nLength;  // bytes of the list before its final NUL
  bool bChanged;    // a write changed what the section holds
  bool bBare;       // the list has a line without "=", which a section write drops
};

// The merge on its own: old is the section's list as pfnReadSection gives it
// ("key=value\0...\0\0"); the result is the list after the section's writes, a
// heap block (Mem_Free). Null when memory runs out.
char* ProfileBatch_MergeLines(const char* old, const ProfileBatchSection* section, ProfileBatchMerge* merge);
