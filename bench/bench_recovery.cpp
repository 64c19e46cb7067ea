// qwilbench recovery FILE: the recovery file of a document kept while it is
// edited, timed step by step (bench/recoveryrun.h).
#include <filesystem>
#include <string>

#include <unistd.h>

#include "bench/bench.h"
#include "bench/recoveryrun.h"

namespace {

void NoChange(void*, const DisplayRange*, const DisplayRange*) {}

std::string MakeFolder(const BenchArgs* args) {
  const char* dir = Bench_Option(args, "--dir");
  std::string folder = dir ? dir : "/tmp/qwilbench-recovery-" + std::to_string(getpid());
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return folder + "/";
}

}  // namespace

int Bench_Recovery(const BenchArgs* args) {
  const char* path = Bench_Positional(args, 0);
  if (!path) return Bench_Usage("recovery needs a FILE");
  const long keys = Bench_OptionLong(args, "--keys", 2000);
  if (keys < 10) return Bench_Usage("--keys must be 10 or more");
  TextEditorBody* body = Bench_LoadBody(path, 0, NoChange, nullptr);
  if (!body) return 1;
  const std::string folder = MakeFolder(args);
  RecoveryFigures figures;
  const bool ok =
      RecoveryRun_Measure(body, path, folder.c_str(), static_cast<uint32_t>(getpid()), keys, Bench_NowMs, &figures);
  RecoveryRun_Print("", body->text, &figures);
  EditBody_Destroy(body);
  if (!Bench_Option(args, "--dir")) {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
  return ok ? 0 : 1;
}

// qwilbench snapshot FILE: the recovery snapshot of a whole loaded document,
// written in slices tick after tick as the window's timer would, from the first
// tick to the one that puts it in place.
int Bench_Snapshot(const BenchArgs* args) {
  const char* path = Bench_Positional(args, 0);
  if (!path) return Bench_Usage("snapshot needs a FILE");
  TextEditorBody* body = Bench_LoadBody(path, 0, NoChange, nullptr);
  if (!body) return 1;
  const std::string folder = MakeFolder(args);
  RecoveryWriter* w = Recovery_Create(folder.c_str(), static_cast<uint32_t>(getpid()), 1);
  if (!w) {
    EditBody_Destroy(body);
    return 1;
  }
  RecoveryRun r = {body, w, {Bench_NowMs, Bench_NowMs(), 0}, 1};
  Recovery_SetClock(w, RecoveryRun_ReadClock, &r.clock);
  const EditWatcher watcher = {Recovery_Observe, w};
  EditBody_AddWatcher(body, &watcher);
  const RecoveryDisk disk = {false, 0, 0};
  Recovery_NoteRestored(w, nullptr, &disk, nullptr);  // a text of no file: its first tick makes a snapshot
  RecoveryRun_TypeAt(body, 0, 'x');
  RecoveryRunSteps steps;
  const double start = Bench_NowMs();
  for (int i = 0; i < 1000000 && !(w->current.bSnapshot && !w->bBuilding && Recovery_HasFile(w)); ++i) {
    r.clock.nAhead += kRecoveryFileBaseMs;
    RecoveryRun_Tick(&r, &steps);
  }
  const double ms = Bench_NowMs() - start;
  const bool done = w->current.bSnapshot && Recovery_HasFile(w);
  std::printf("snapshot=%s steps=%d bytes=%lld ms=%.1f max_step_ms=%.2f rss_kb=%ld\n", done ? "ok" : "failed",
              steps.steps, static_cast<long long>(steps.nBytes), ms, steps.dMax, Bench_PeakRssKb());
  EditBody_RemoveWatcher(body, &watcher);
  Recovery_Discard(w);
  Recovery_Destroy(w);
  EditBody_Destroy(body);
  if (!Bench_Option(args, "--dir")) {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
  return done ? 0 : 1;
}
