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
