#include "tools/profilebatch.h"

#include <cstring>

#include "tools/memory.h"
#include "tools/profileline.h"

namespace {

// The largest section list read back: far beyond any settings file.
constexpr int32_t kSectionReadMax = 1 << 24;
constexpr int32_t kSectionReadFirst = 8192;

int32_t Length(const char* s) { return static_cast<int32_t>(std::strlen(s)); }

const char* ChangeValue(const ProfileBatchChange& c) { return c.pText + c.nKey + 1; }

ProfileBatchSection* FindSection(ProfileBatch* batch, const char* name) {
  int32_t n = Length(name);
  for (int32_t i = 0; i < batch->nSections; ++i) {
    ProfileBatchSection& s = batch->pSections[i];
    if (Profile_NamesEqual(s.pszName, Length(s.pszName), name, n)) return &s;
  }
  return nullptr;
}

// Grows an array of records to hold one more; false when memory runs out.
template <typename T>
bool Reserve(T** items, int32_t count, int32_t* capacity) {
  if (count < *capacity) return true;
  if (*capacity > (1 << 20)) return false;
  int32_t grown = *capacity < 8 ? 8 : *capacity * 2;
  void* p = Mem_Realloc(*items, sizeof(T) * static_cast<size_t>(grown));
  if (!p) return false;
  *items = static_cast<T*>(p);
  *capacity = grown;
  return true;
}

char* CopyName(const char* name) {
  size_t n = std::strlen(name) + 1;
  char* copy = static_cast<char*>(Mem_Alloc(n));
  if (copy) std::memcpy(copy, name, n);
  return copy;
}

ProfileBatchSection* AddSection(ProfileBatch* batch, const char* name) {
  if (!Reserve(&batch->pSections, batch->nSections, &batch->nCapacity)) return nullptr;
  char* copy = CopyName(name);
  if (!copy) return nullptr;
  ProfileBatchSection* s = &batch->pSections[batch->nSections++];
  s->pszName = copy;
  s->pChanges = nullptr;
  s->nChanges = s->nCapacity = 0;
  s->nFirstWrite = -1;
  return s;
}

// The key and value as one block, behind the section's earlier writes.
bool AddChange(ProfileBatchSection* section, const char* key, const char* value) {
  int32_t nKey = Length(key);
  int32_t nValue = value ? Length(value) : 0;
  if (!Reserve(&section->pChanges, section->nChanges, &section->nCapacity)) return false;
  char* text = static_cast<char*>(Mem_Alloc(static_cast<size_t>(nKey) + nValue + 2));
  if (!text) return false;
  std::memcpy(text, key, static_cast<size_t>(nKey) + 1);
  std::memcpy(text + nKey + 1, value ? value : "", static_cast<size_t>(nValue) + 1);
  ProfileBatchChange* c = &section->pChanges[section->nChanges++];
  c->pText = text;
  c->nKey = nKey;
  c->bRemove = value == nullptr;
  return true;
}

void FreeSections(ProfileBatch* batch) {
  for (int32_t i = 0; i < batch->nSections; ++i) {
    ProfileBatchSection& s = batch->pSections[i];
    for (int32_t j = 0; j < s.nChanges; ++j) Mem_Free(s.pChanges[j].pText);
    Mem_Free(s.pChanges);
    Mem_Free(s.pszName);
  }
  Mem_Free(batch->pSections);
  batch->pSections = nullptr;
  batch->nSections = batch->nCapacity = 0;
  batch->nWrites = 0;
}

// Sections new to the file appear where their first values make them: in the
// order of those (a section only removed from makes nothing, and goes last).
void OrderByFirstWrite(ProfileBatch* batch) {
  auto rank = [](const ProfileBatchSection& s) { return s.nFirstWrite < 0 ? INT32_MAX : s.nFirstWrite; };
  for (int32_t i = 1; i < batch->nSections; ++i) {
    ProfileBatchSection moving = batch->pSections[i];
    int32_t j = i;
    for (; j > 0 && rank(batch->pSections[j - 1]) > rank(moving); --j) batch->pSections[j] = batch->pSections[j - 1];
    batch->pSections[j] = moving;
  }
}

bool TargetWrite(ProfileBatch* batch, const char* section, const char* key, const char* value) {
  bool ok = batch->pTarget->pfnWrite(batch->pTarget->pContext, section, key, value);
  if (!ok) ++batch->nFailed;
  return ok;
}

void ReplaySection(ProfileBatch* batch, const ProfileBatchSection& s) {
  for (int32_t j = 0; j < s.nChanges; ++j) {
    const ProfileBatchChange& c = s.pChanges[j];
    TargetWrite(batch, s.pszName, c.pText, c.bRemove ? nullptr : ChangeValue(c));
  }
}

// The section's lines as the target holds them, a heap block, or null when
// they cannot be had.
char* ReadLines(const ProfileMethods* target, const char* section) {
  for (int32_t size = kSectionReadFirst; size <= kSectionReadMax; size *= 2) {
    char* buffer = static_cast<char*>(Mem_Alloc(static_cast<size_t>(size)));
    if (!buffer) return nullptr;
    int32_t n = target->pfnReadSection(target->pContext, section, buffer, size);
    if (n >= 0 && n < size - 2) {
      buffer[n] = buffer[n + 1] = '\0';
      return buffer;
    }
    Mem_Free(buffer);
    if (n < 0) return nullptr;  // the section is not to be written whole
  }
  return nullptr;
}

void FlushSection(ProfileBatch* batch, ProfileBatchSection* s) {
  const ProfileMethods* target = batch->pTarget;
  char* old = target->pfnReadSection ? ReadLines(target, s->pszName) : nullptr;
  ProfileBatchMerge merge = {};
  char* lines = old ? ProfileBatch_MergeLines(old, s, &merge) : nullptr;
  // Written whole, a section the writes make and leave empty would not be made.
  const bool madeEmpty = lines && old[0] == '\0' && merge.nLength == 0 && s->nFirstWrite >= 0;
  Mem_Free(old);
  if (!lines || merge.bBare || madeEmpty) {
    ReplaySection(batch, *s);
  } else if (merge.bChanged && !target->pfnWriteSection(target->pContext, s->pszName, lines)) {
    ++batch->nFailed;
  }
  Mem_Free(lines);
}

// Memory ran out while gathering: what was gathered goes out key by key now,
// in its order, and so does everything after it.
void GoDirect(ProfileBatch* batch) {
  OrderByFirstWrite(batch);
  for (int32_t i = 0; i < batch->nSections; ++i) ReplaySection(batch, batch->pSections[i]);
  FreeSections(batch);
  batch->bDirect = true;
}

int32_t BatchRead(void* pContext, const char* section, const char* key, const char* def, char* buffer,
                  int32_t size) {
  ProfileBatch* batch = static_cast<ProfileBatch*>(pContext);
  return batch->pTarget->pfnRead(batch->pTarget->pContext, section, key, def, buffer, size);
}

// A section new to the file is made by its first value, in that write's
// spelling of the name (removals before it make nothing).
bool SpellAsFirstWritten(ProfileBatch* batch, ProfileBatchSection* s, const char* section) {
  char* copy = CopyName(section);
  if (!copy) return false;
  Mem_Free(s->pszName);
  s->pszName = copy;
  s->nFirstWrite = batch->nWrites;
  return true;
}

bool BatchWrite(void* pContext, const char* section, const char* key, const char* value) {
  ProfileBatch* batch = static_cast<ProfileBatch*>(pContext);
  QWIL_ASSERT(IsValidProfileBatch(batch));
  if (!batch->bDirect) {
    ProfileBatchSection* s = FindSection(batch, section);
    if (!s) s = AddSection(batch, section);
    if (s && value && s->nFirstWrite < 0 && !SpellAsFirstWritten(batch, s, section)) s = nullptr;
    if (s && AddChange(s, key, value)) {
      ++batch->nWrites;
      return true;
    }
    GoDirect(batch);
  }
  return TargetWrite(batch, section, key, value);
}

void AppendBytes(char* out, int32_t* n, const char* s, int32_t length) {
  std::memcpy(out + *n, s, static_cast<size_t>(length));
  *n += length;
}

// A line of the section being merged: an old line, or one a write added.
struct MergeLine {
  const char* pKey;                  // the name, blanks around it excluded
  int32_t nKey;
  const char* pLine;                 // the old line as it was read, or null
  const char* pValue;                // its value (blanks before it excluded), null for a line without "="
  const ProfileBatchChange* pChange; // the write that gave the value it has now, or null
  bool bGone;
};

MergeLine OldLine(const char* line) {
  MergeLine m = {};
  const int32_t nLine = Length(line);
  const char* eq = static_cast<const char*>(std::memchr(line, '=', static_cast<size_t>(nLine)));
  int32_t start = 0, end = 0;
  Profile_TrimBlanks(line, eq ? static_cast<int32_t>(eq - line) : nLine, &start, &end);
  m.pKey = line + start;
  m.nKey = end - start;
  m.pLine = line;
  if (eq) {
    const int32_t after = static_cast<int32_t>(eq - line) + 1;
    Profile_TrimBlanks(eq + 1, nLine - after, &start, &end);
    m.pValue = eq + 1 + start;
  }
  return m;
}

// A value is stored without the blanks before it.
const char* StoredValue(const char* value) {
  int32_t start = 0, end = 0;
  Profile_TrimBlanks(value, Length(value), &start, &end);
  return value + start;
}

const char* ValueNow(const MergeLine& m) { return m.pChange ? StoredValue(ChangeValue(*m.pChange)) : m.pValue; }

// One write as the profile functions make it on the lines; true when it
// changed them.
bool ApplyChange(MergeLine* lines, int32_t* n, const ProfileBatchChange* c) {
  MergeLine* hit = nullptr;
  for (int32_t i = 0; i < *n && !hit; ++i) {
    if (!lines[i].bGone && Profile_NamesEqual(lines[i].pKey, lines[i].nKey, c->pText, c->nKey)) hit = &lines[i];
  }
  if (c->bRemove) {
    if (hit) hit->bGone = true;
    return hit != nullptr;
  }
  if (hit) {
    const char* now = ValueNow(*hit);
    if (now && std::strcmp(now, StoredValue(ChangeValue(*c))) == 0) return false;
    hit->pChange = c;
    return true;
  }
  MergeLine& added = lines[(*n)++];
  added = {};
  added.pKey = c->pText;
  added.nKey = c->nKey;
  added.pChange = c;
  return true;
}

void AppendLine(char* out, int32_t* n, const MergeLine& m) {
  if (!m.pChange) {
    AppendBytes(out, n, m.pLine, Length(m.pLine) + 1);
    return;
  }
  AppendBytes(out, n, m.pKey, m.nKey);
  AppendBytes(out, n, "=", 1);
  const char* value = ChangeValue(*m.pChange);
  AppendBytes(out, n, value, Length(value) + 1);
}

}  // namespace

bool IsValidProfileBatch(const ProfileBatch* batch) {
  if (!batch || !IsValidProfileMethods(batch->pTarget) || batch->methods.pContext != batch) return false;
  if (batch->nSections < 0 || batch->nSections > batch->nCapacity) return false;
  if (batch->bDirect && batch->nSections != 0) return false;
  for (int32_t i = 0; i < batch->nSections; ++i) {
    const ProfileBatchSection& s = batch->pSections[i];
    if (!s.pszName || s.nChanges < 0 || s.nChanges > s.nCapacity) return false;
    if (s.nFirstWrite < -1 || s.nFirstWrite >= batch->nWrites) return false;
  }
  return true;
}

void ProfileBatch_Init(ProfileBatch* batch, const ProfileMethods* target) {
  QWIL_ASSERT(IsValidProfileMethods(target));
  std::memset(batch, 0, sizeof(*batch));
  batch->pTarget = target;
  batch->methods.pContext = batch;
  batch->methods.pfnRead = BatchRead;
  batch->methods.pfnWrite = BatchWrite;
  QWIL_ASSERT(IsValidProfileBatch(batch));
}

bool ProfileBatch_Flush(ProfileBatch* batch) {
  QWIL_ASSERT(IsValidProfileBatch(batch));
  OrderByFirstWrite(batch);
  for (int32_t i = 0; i < batch->nSections; ++i) FlushSection(batch, &batch->pSections[i]);
  FreeSections(batch);
  bool ok = batch->nFailed == 0;
  batch->nFailed = 0;
  batch->bDirect = false;
  return ok;
}

char* ProfileBatch_MergeLines(const char* old, const ProfileBatchSection* section, ProfileBatchMerge* merge) {
  *merge = {};
  int32_t nOld = 0;
  size_t size = 2;
  for (const char* line = old; *line != '\0'; line += std::strlen(line) + 1, ++nOld) size += std::strlen(line) + 1;
  for (int32_t i = 0; i < section->nChanges; ++i) {
    const ProfileBatchChange& c = section->pChanges[i];
    size += static_cast<size_t>(c.nKey) + std::strlen(ChangeValue(c)) + 2;
  }
  MergeLine* lines = static_cast<MergeLine*>(Mem_Alloc(sizeof(MergeLine) * (size_t(nOld) + section->nChanges + 1)));
  char* out = static_cast<char*>(Mem_Alloc(size));
  if (!lines || !out) {
    Mem_Free(lines);
    Mem_Free(out);
    return nullptr;
  }
  int32_t n = 0;
  for (const char* line = old; *line != '\0'; line += std::strlen(line) + 1) lines[n++] = OldLine(line);
  for (int32_t i = 0; i < section->nChanges; ++i) {
    if (ApplyChange(lines, &n, &section->pChanges[i])) merge->bChanged = true;
  }
  int32_t length = 0;
  for (int32_t i = 0; i < n; ++i) {
    if (lines[i].bGone) continue;
    if (!lines[i].pChange && !lines[i].pValue) merge->bBare = true;
    AppendLine(out, &length, lines[i]);
  }
  Mem_Free(lines);
  out[length] = out[length + 1] = '\0';
  merge->nLength = length;
  return out;
}
