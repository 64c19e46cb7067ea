// The entry of every GoogleTest program of the project. A skipped test says so
// on a line of its own ("SKIPPED <suite.name>: <reason>", which ./test.sh
// collects for its summary), and a run in which nothing passed and nothing
// failed ends with 77, the code ctest reports as skipped, never as passed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef QWIL_TEST_TMPDIR
#include <sys/stat.h>
#endif

namespace {

constexpr int kSkippedExitCode = 77;

// The reason given to GTEST_SKIP on one line (a reason may span several).
std::string SkipReason(const ::testing::TestResult& result) {
  std::string reason;
  for (int i = 0; i < result.total_part_count(); ++i) {
    const ::testing::TestPartResult& part = result.GetTestPartResult(i);
    if (!part.skipped()) continue;
    reason += part.message();
  }
  for (char& c : reason) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return reason.empty() ? "no reason given" : reason;
}

class SkipReporter : public ::testing::EmptyTestEventListener {
  void OnTestEnd(const ::testing::TestInfo& info) override {
    if (!info.result()->Skipped()) return;
    std::printf("SKIPPED %s.%s: %s\n", info.test_suite_name(), info.name(), SkipReason(*info.result()).c_str());
    std::fflush(stdout);
  }
};

}  // namespace

int main(int argc, char** argv) {
#ifdef QWIL_TEST_TMPDIR
  // The build tree's own folder for temporary files (::testing::TempDir()),
  // unless the caller named one.
  const char* named = std::getenv("TEST_TMPDIR");
  if (!named || !*named) {
    mkdir(QWIL_TEST_TMPDIR, 0755);
    setenv("TEST_TMPDIR", QWIL_TEST_TMPDIR "/", 1);
  }
#endif
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest* unit = ::testing::UnitTest::GetInstance();
  unit->listeners().Append(new SkipReporter);
  int rc = RUN_ALL_TESTS();
  // Listing the tests runs none of them.
  if (::testing::GTEST_FLAG(list_tests)) return rc;
  if (rc == 0 && unit->successful_test_count() == 0) return kSkippedExitCode;
  return rc;
}
