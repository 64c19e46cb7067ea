#include "recovery/recoverypolicy.h"

#include <cstdio>
#include <cstring>

namespace {

int64_t Max(int64_t a, int64_t b) { return a > b ? a : b; }
int64_t Min(int64_t a, int64_t b) { return a < b ? a : b; }

int64_t Backoff(int32_t failures) {
  if (failures <= 0) return 0;
  if (failures > 16) return kRecoveryMaxBackoffMs;
  return Min(int64_t(1000) << (failures - 1), kRecoveryMaxBackoffMs);
}

constexpr char kPrefix[] = "qwilpad-";
constexpr char kSuffix[] = ".qwr";
constexpr char kNewSuffix[] = ".new";
constexpr size_t kPrefixLength = sizeof(kPrefix) - 1;

// n upper-case hexadecimal digits at p; false for anything else.
bool ParseHex(const char* p, int n, uint64_t* pValue) {
  uint64_t v = 0;
  for (int i = 0; i < n; ++i) {
    const char c = p[i];
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return false;
    }
    v = v << 4 | uint64_t(digit);
  }
  *pValue = v;
  return true;
}

}  // namespace

int64_t RecoveryPolicy_DueAt(const RecoverySchedule* s) {
  if (s->tOldestPending < 0 && !s->bBacklog) return -1;
  int64_t due = s->bBacklog ? (s->tLastStep < 0 ? 0 : s->tLastStep) : s->tOldestPending + kRecoveryDelayMs;
  if (s->tLastStep >= 0) {
    const int64_t gap = Max(kRecoveryMinGapMs, kRecoveryGapFactor * s->nLastStepMs);
    due = Max(due, s->tLastStep + Max(gap, Backoff(s->nFailures)));
  }
  return due;
}

int64_t RecoveryPolicy_NextBudget(int64_t budget, int64_t bytes, int64_t ms) {
  int64_t next = budget;
  // A step too quick for the clock to see counts as a millisecond.
  const int64_t pace = bytes * kRecoveryStepTargetMs / Max(ms, 1);
  if (ms > kRecoveryStepTargetMs) {
    next = Max(pace, budget / 2);
  } else if (bytes >= budget / 2) {
    // Only a step that used its budget tells what the disk could take.
    next = Min(pace, budget * 2);
  }
  return Max(Min(next, kRecoveryMaxBudget), kRecoveryMinBudget);
}

bool RecoveryPolicy_WantsSnapshot(const RecoveryShape* s) {
  if (s->state == RECOVERYFILE_TORN) return true;
  if (s->state == RECOVERYFILE_NONE) return !s->bBaseHolds || s->nTextSize <= s->nBudget;
  if (!s->bSnapshot) {
    if (!s->bBaseHolds) return true;
    if (s->base == RECOVERYBASE_FILE && s->nFileAgeMs >= kRecoveryFileBaseMs) return true;
  }
  return s->nJournalBytes > s->nTextSize + kRecoveryCompactSlack;
}

void RecoveryName_Format(uint32_t pid, uint64_t token, bool bNew, char* buffer) {
  std::snprintf(buffer, kRecoveryNameSize, "%s%08X-%08X%08X%s%s", kPrefix, static_cast<unsigned>(pid),
                static_cast<unsigned>(token >> 32), static_cast<unsigned>(token & 0xFFFFFFFFu), kSuffix,
                bNew ? kNewSuffix : "");
}

bool RecoveryName_Parse(const char* name, uint32_t* pPid, uint64_t* pToken, bool* pNew) {
  const size_t n = std::strlen(name);
  const size_t base = kPrefixLength + 8 + 1 + 16 + sizeof(kSuffix) - 1;
  if ((n != base && n != base + sizeof(kNewSuffix) - 1) || std::strncmp(name, kPrefix, kPrefixLength) != 0) {
    return false;
  }
  const char* p = name + kPrefixLength;
  uint64_t pid = 0;
  if (!ParseHex(p, 8, &pid) || p[8] != '-' || !ParseHex(p + 9, 16, pToken)) return false;
  if (std::strncmp(p + 25, kSuffix, sizeof(kSuffix) - 1) != 0) return false;
  if (n > base && std::strcmp(name + base, kNewSuffix) != 0) return false;
  *pPid = static_cast<uint32_t>(pid);
  *pNew = n > base;
  return true;
}

RecoveryScanAction RecoveryScan_Classify(const char* name, uint32_t selfPid, uint64_t selfToken,
                                         RecoveryAliveProc pfnAlive, void* pContext) {
  uint32_t pid;
  uint64_t token;
  bool isNew;
  if (!RecoveryName_Parse(name, &pid, &token, &isNew)) return RECOVERYSCAN_IGNORE;
  if (pid == selfPid && token == selfToken) return RECOVERYSCAN_OWN;
  if (pid != selfPid && pfnAlive(pContext, pid, token)) return RECOVERYSCAN_LIVE;
  return isNew ? RECOVERYSCAN_REMOVE : RECOVERYSCAN_OFFER;
}
