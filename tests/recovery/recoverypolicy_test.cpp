// The rules of keeping a recovery file: when a step is due, what one may
// write, when a snapshot is made, the names, and the start-up scan.
#include "recovery/recoverypolicy.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace {

TEST(RecoveryPolicy, WhenTheNextStepIsDue) {
  const struct {
    const char* name;
    RecoverySchedule s;
    int64_t due;
  } cases[] = {
      {"nothing waits", {-1, false, -1, 0, 0}, -1},
      {"nothing waits after a step", {-1, false, 5000, 3, 0}, -1},
      {"the first edit, never a step", {10000, false, -1, 0, 0}, 10000 + kRecoveryDelayMs},
      {"an edit long after the last step", {10000, false, 2000, 3, 0}, 10000 + kRecoveryDelayMs},
      {"an edit right after a slow step", {10000, false, 9000, 600, 0}, 9000 + 6000},
      {"backlog goes on after the gap", {-1, true, 9000, 3, 0}, 9000 + kRecoveryMinGapMs},
      {"backlog after a long step waits ten times it", {-1, true, 9000, 40, 0}, 9000 + 400},
      {"backlog with nothing written yet", {-1, true, -1, 0, 0}, 0},
      {"backlog comes before the delay", {10000, true, 9000, 3, 0}, 9000 + kRecoveryMinGapMs},
      {"one failure waits a second", {10000, true, 9000, 3, 1}, 10000},
      {"three failures wait four seconds", {10000, true, 9000, 3, 3}, 13000},
      {"many failures wait a minute at most", {10000, true, 9000, 3, 40}, 9000 + kRecoveryMaxBackoffMs},
  };
  for (const auto& c : cases) EXPECT_EQ(c.due, RecoveryPolicy_DueAt(&c.s)) << c.name;
}

// An edit reaches the disk within the delay and one tick, however the
// steps fall, as long as the disk is quick.
TEST(RecoveryPolicy, AnEditIsOnDiskWithinFiveSecondsOfTicks) {
  for (int64_t edit = 0; edit < 3000; edit += 137) {
    RecoverySchedule s = {edit, false, edit - 50, 5, 0};
    const int64_t due = RecoveryPolicy_DueAt(&s);
    const int64_t tick = (due + kRecoveryTickMs - 1) / kRecoveryTickMs * kRecoveryTickMs;
    EXPECT_LE(tick - edit, 5000) << edit;
  }
}

TEST(RecoveryPolicy, TheBudgetFollowsThePaceOfTheDisk) {
  const int64_t mb = int64_t(1) << 20;
  const struct {
    const char* name;
    int64_t budget, bytes, ms, next;
  } cases[] = {
      {"a full step at the target keeps it", 4 * mb, 4 * mb, kRecoveryStepTargetMs, 4 * mb},
      {"a quick full step doubles it at most", 4 * mb, 4 * mb, 2, 8 * mb},
      {"a slow step shrinks it to its pace", 8 * mb, 8 * mb, 80, 4 * mb},
      {"a very slow one halves it at most", 8 * mb, 8 * mb, 800, 4 * mb},
      {"a small quick step says nothing", 4 * mb, 1000, 1, 4 * mb},
      {"a small slow step shrinks it", 4 * mb, 1000, 100, 2 * mb},
      {"never below the least", kRecoveryMinBudget, 1000, 500, kRecoveryMinBudget},
      {"never above the most", kRecoveryMaxBudget, kRecoveryMaxBudget, 1, kRecoveryMaxBudget},
      {"a step too quick to time", 4 * mb, 4 * mb, 0, 8 * mb},
  };
  for (const auto& c : cases) EXPECT_EQ(c.next, RecoveryPolicy_NextBudget(c.budget, c.bytes, c.ms)) << c.name;
}

TEST(RecoveryPolicy, WhenASnapshotIsMade) {
  const int64_t mb = int64_t(1) << 20;
  const int64_t budget = 4 * mb;
  constexpr RecoveryFileState kNone = RECOVERYFILE_NONE, kOpen = RECOVERYFILE_OPEN, kTorn = RECOVERYFILE_TORN;
  constexpr RecoveryBaseKind kFile = RECOVERYBASE_FILE, kEmpty = RECOVERYBASE_EMPTY;
  const struct {
    const char* name;
    RecoveryShape s;
    bool snapshot;
  } cases[] = {
      {"first file of a small document", {kNone, false, kFile, true, 0, mb, 0, budget}, true},
      {"first file of a large one: a journal", {kNone, false, kFile, true, 10, 100 * mb, 0, budget}, false},
      {"large untitled: a journal", {kNone, false, kEmpty, true, 10, 100 * mb, 0, budget}, false},
      {"large with no base", {kNone, false, kFile, false, 10, 100 * mb, 0, budget}, true},
      {"a torn file", {kTorn, true, kEmpty, true, 0, 100 * mb, 0, budget}, true},
      {"a young journal over the file", {kOpen, false, kFile, true, 100, 100 * mb, 59999, budget}, false},
      {"an old journal over the file", {kOpen, false, kFile, true, 100, 100 * mb, 60000, budget}, true},
      {"its file changed on disk", {kOpen, false, kFile, false, 100, 100 * mb, 10, budget}, true},
      {"an old untitled journal", {kOpen, false, kEmpty, true, 100, 100 * mb, 600000, budget}, false},
      {"a journal past its text by the slack", {kOpen, true, kEmpty, true, 2 * mb + 1, mb, 10, budget}, true},
      {"a journal within the slack", {kOpen, true, kEmpty, true, 2 * mb, mb, 10, budget}, false},
      {"a snapshot no longer leans on the disk", {kOpen, true, kEmpty, false, 10, 100 * mb, 600000, budget}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(c.snapshot, RecoveryPolicy_WantsSnapshot(&c.s)) << c.name;
}

TEST(RecoveryPolicy, NamesCarryTheProcessAndComeApartAgain) {
  char name[kRecoveryNameSize];
  RecoveryName_Format(0x1A2B, 0x01D9F00DCAFE0001ULL, false, name);
  EXPECT_STREQ("qwilpad-00001A2B-01D9F00DCAFE0001.qwr", name);
  uint32_t pid = 0;
  uint64_t token = 0;
  bool isNew = true;
  ASSERT_TRUE(RecoveryName_Parse(name, &pid, &token, &isNew));
  EXPECT_EQ(0x1A2Bu, pid);
  EXPECT_EQ(0x01D9F00DCAFE0001ULL, token);
  EXPECT_FALSE(isNew);
  RecoveryName_Format(0xFFFFFFFF, ~0ULL, true, name);
  EXPECT_STREQ("qwilpad-FFFFFFFF-FFFFFFFFFFFFFFFF.qwr.new", name);
  ASSERT_TRUE(RecoveryName_Parse(name, &pid, &token, &isNew));
  EXPECT_TRUE(isNew);
  for (const char* other : {"qwilpad-00001A2B-01D9F00DCAFE0001.qwr.tmp", "qwilpad-00001a2b-01D9F00DCAFE0001.qwr",
                            "qwilpad-00001A2B-01D9F00DCAFE000.qwr", "qwilpad-00001A2B_01D9F00DCAFE0001.qwr",
                            "qwilpad-00001A2B-01D9F00DCAFE0001.qwx", "Qwilpad.ini", "", "~qwil0000.tmp",
                            "qwilpad-00001A2B-01D9F00DCAFE0001.qwrnew"}) {
    EXPECT_FALSE(RecoveryName_Parse(other, &pid, &token, &isNew)) << other;
  }
}

struct Running {
  std::set<std::pair<uint32_t, uint64_t>> processes;
  static bool Alive(void* context, uint32_t pid, uint64_t token) {
    const Running* r = static_cast<const Running*>(context);
    return r->processes.count({pid, token}) > 0;
  }
};

std::string NameOf(uint32_t pid, uint64_t token, bool isNew) {
  char name[kRecoveryNameSize];
  RecoveryName_Format(pid, token, isNew, name);
  return name;
}

// Two windows never offer each other's text while both run; what a process
// left when it ended is offered, even when its id now belongs to another.
TEST(RecoveryPolicy, TheStartUpScanOffersOnlyWhatEndedProcessesLeft) {
  Running running;
  running.processes = {{100, 1}, {200, 2}};
  const uint32_t self = 300;
  const uint64_t selfToken = 3;
  const struct {
    std::string name;
    RecoveryScanAction action;
  } cases[] = {
      {NameOf(300, 3, false), RECOVERYSCAN_OWN},
      {NameOf(300, 3, true), RECOVERYSCAN_OWN},
      {NameOf(100, 1, false), RECOVERYSCAN_LIVE},
      {NameOf(200, 2, true), RECOVERYSCAN_LIVE},
      {NameOf(100, 9, false), RECOVERYSCAN_OFFER},  // id 100 came round again
      {NameOf(300, 2, false), RECOVERYSCAN_OFFER},  // an earlier process of this id
      {NameOf(400, 4, false), RECOVERYSCAN_OFFER},
      {NameOf(400, 4, true), RECOVERYSCAN_REMOVE},
      {"Qwilpad.ini", RECOVERYSCAN_IGNORE},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.action, RecoveryScan_Classify(c.name.c_str(), self, selfToken, Running::Alive, &running)) << c.name;
  }
}

}  // namespace
