#include "tools/profilebatch.h"

#include <cstring>

#include "tools/charrule.h"
#include "tools/memory.h"

namespace {

// The largest section list read back: far beyond any settings file.
constexpr int32_t kSectionReadMax = 1 << 24;
constexpr int32_t kSectionReadFirst = 8192;

char FoldAscii(char c) { return ('a' <= c && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Names compare as the profile functions compare them: single-byte letters
// without case, a two-byte character only as itself (its trail byte may look
// like a letter).
bool NameEquals(const char* a, int32_t na, const char* b, int32_t nb) {
  if (na != nb) return false;
  for (int32_t i = 0; i < na; ++i) {
    if (Char_IsLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < na) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
      return false;
    }
  }
  return true;
}

int32_t Length(const char* s) { return static_cast<int32_t>(std::strlen(s)); }

const char* ChangeValue(const ProfileBatchChange& c) { return c.pText + c.nKey + 1; }

ProfileBatchChange* FindChange(ProfileBatchSection* section, const char* key, int32_t nKey) {
  for (int32_t i = 0; i < section->nChanges; ++i) {
    ProfileBatchChange& c = section->pChanges[i];
    if (NameEquals(c.pText, c.nKey, key, nKey)) return &c;
  }
  return nullptr;
}

ProfileBatchSection* FindSection(ProfileBatch* batch, const char* name) {
  int32_t n = Length(name);
  for (int32_t i = 0; i < batch->nSections; ++i) {
    ProfileBatchSection& s = batch->pSections[i];
    if (NameEquals(s.pszName, Length(s.pszName), name, n)) return &s;
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

ProfileBatchSection* AddSection(ProfileBatch* batch, const char* name) {
  if (!Reserve(&batch->pSections, batch->nSections, &batch->nCapacity)) return nullptr;
  size_t n = std::strlen(name) + 1;
  char* copy = static_cast<char*>(Mem_Alloc(n));
  if (!copy) return nullptr;
  std::memcpy(copy, name, n);
  ProfileBatchSection* s = &batch->pSections[batch->nSections++];
  s->pszName = copy;
  s->pChanges = nullptr;
  s->nChanges = s->nCapacity = 0;
  return s;
}

// The key and value as one block: a later write of the same key replaces the
// earlier one in its place.
bool SetChange(ProfileBatchSection* section, const char* key, const char* value) {
  int32_t nKey = Length(key);
  int32_t nValue = value ? Length(value) : 0;
  char* text = static_cast<char*>(Mem_Alloc(static_cast<size_t>(nKey) + nValue + 2));
  if (!text) return false;
  std::memcpy(text, key, static_cast<size_t>(nKey) + 1);
  std::memcpy(text + nKey + 1, value ? value : "", static_cast<size_t>(nValue) + 1);
  ProfileBatchChange* c = FindChange(section, key, nKey);
  if (!c) {
    if (!Reserve(&section->pChanges, section->nChanges, &section->nCapacity)) {
      Mem_Free(text);
      return false;
    }
    c = &section->pChanges[section->nChanges++];
  } else {
    Mem_Free(c->pText);
  }
  c->pText = text;
  c->nKey = nKey;
  c->bRemove = value == nullptr;
  c->bDone = false;
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
  }
  return nullptr;
}

void FlushSection(ProfileBatch* batch, ProfileBatchSection* s) {
  const ProfileMethods* target = batch->pTarget;
  char* old = target->pfnReadSection ? ReadLines(target, s->pszName) : nullptr;
  int32_t n = 0;
  char* lines = old ? ProfileBatch_MergeLines(old, s, &n) : nullptr;
  bool hadLines = old && old[0] != '\0';
  Mem_Free(old);
  if (!lines) {
    ReplaySection(batch, *s);
    return;
  }
  // Only removals of keys that were not there: the file stays as it is.
  if (n > 0 || hadLines) {
    if (!target->pfnWriteSection(target->pContext, s->pszName, lines)) ++batch->nFailed;
  }
  Mem_Free(lines);
}

// Memory ran out while gathering: what was gathered goes out key by key now,
// in its order, and so does everything after it.
void GoDirect(ProfileBatch* batch) {
  for (int32_t i = 0; i < batch->nSections; ++i) ReplaySection(batch, batch->pSections[i]);
  FreeSections(batch);
  batch->bDirect = true;
}

int32_t BatchRead(void* pContext, const char* section, const char* key, const char* def, char* buffer,
                  int32_t size) {
  ProfileBatch* batch = static_cast<ProfileBatch*>(pContext);
  return batch->pTarget->pfnRead(batch->pTarget->pContext, section, key, def, buffer, size);
}

bool BatchWrite(void* pContext, const char* section, const char* key, const char* value) {
  ProfileBatch* batch = static_cast<ProfileBatch*>(pContext);
  QWIL_ASSERT(IsValidProfileBatch(batch));
  if (!batch->bDirect) {
    ProfileBatchSection* s = FindSection(batch, section);
    if (!s) s = AddSection(batch, section);
    if (s && SetChange(s, key, value)) return true;
    GoDirect(batch);
  }
  return TargetWrite(batch, section, key, value);
}

void AppendBytes(char* out, int32_t* n, const char* s, int32_t length) {
  std::memcpy(out + *n, s, static_cast<size_t>(length));
  *n += length;
}

}  // namespace

bool IsValidProfileBatch(const ProfileBatch* batch) {
  if (!batch || !IsValidProfileMethods(batch->pTarget) || batch->methods.pContext != batch) return false;
  if (batch->nSections < 0 || batch->nSections > batch->nCapacity) return false;
  if (batch->bDirect && batch->nSections != 0) return false;
  for (int32_t i = 0; i < batch->nSections; ++i) {
    const ProfileBatchSection& s = batch->pSections[i];
    if (!s.pszName || s.nChanges < 0 || s.nChanges > s.nCapacity) return false;
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
  for (int32_t i = 0; i < batch->nSections; ++i) FlushSection(batch, &batch->pSections[i]);
  FreeSections(batch);
  bool ok = batch->nFailed == 0;
  batch->nFailed = 0;
  batch->bDirect = false;
  return ok;
}

char* ProfileBatch_MergeLines(const char* old, ProfileBatchSection* section, int32_t* pnLength) {
  *pnLength = 0;
  size_t nOld = 0;
  while (old[nOld] != '\0') nOld += std::strlen(old + nOld) + 1;
  size_t size = nOld + 2;
  for (int32_t i = 0; i < section->nChanges; ++i) {
    ProfileBatchChange& c = section->pChanges[i];
    c.bDone = false;
    size += static_cast<size_t>(c.nKey) + std::strlen(ChangeValue(c)) + 2;
  }
  char* out = static_cast<char*>(Mem_Alloc(size));
  if (!out) return nullptr;
  int32_t n = 0;
  for (const char* line = old; *line != '\0'; line += std::strlen(line) + 1) {
    int32_t nLine = Length(line);
    const char* eq = static_cast<const char*>(std::memchr(line, '=', static_cast<size_t>(nLine)));
    int32_t nKey = eq ? static_cast<int32_t>(eq - line) : nLine;
    ProfileBatchChange* c = FindChange(section, line, nKey);
    // Only the first line of a key is the key; the profile reader never sees
    // a second one, and the writer would not touch it either.
    if (!c || c->bDone) {
      AppendBytes(out, &n, line, nLine + 1);
      continue;
    }
    c->bDone = true;
    if (c->bRemove) continue;
    AppendBytes(out, &n, line, nKey);
    AppendBytes(out, &n, "=", 1);
    const char* value = ChangeValue(*c);
    AppendBytes(out, &n, value, Length(value) + 1);
  }
  for (int32_t i = 0; i < section->nChanges; ++i) {
    const ProfileBatchChange& c = section->pChanges[i];
    if (c.bDone || c.bRemove) continue;
    AppendBytes(out, &n, c.pText, c.nKey);
    AppendBytes(out, &n, "=", 1);
    const char* value = ChangeValue(c);
    AppendBytes(out, &n, value, Length(value) + 1);
  }
  out[n] = out[n + 1] = '\0';
  *pnLength = n;
  return out;
}
