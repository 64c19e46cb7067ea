#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <iconv.h>
#include <sys/resource.h>

#include "bench/bench.h"

namespace {

struct BenchCommand {
  const char* name;
  int (*run)(const BenchArgs* args);
  const char* usage;
};

const BenchCommand kCommands[] = {
    {"load", Bench_Load, "load FILE [--wrap COLUMNS] [--tab N]         lines= bytes= height= ms= rss_kb="},
    {"roundtrip", Bench_Roundtrip, "roundtrip FILE OUT                            load FILE, save OUT: ms="},
    {"type", Bench_Type,
     "type FILE --keys N [--line L] [--wrap COLUMNS]\n"
     "                                                N characters typed at the end of line L\n"
     "                                                (default: the last line): us_per_key="},
    {"rows", Bench_Rows, "rows FILE --moves N [--wrap COLUMNS]          N row-down/up caret moves near the end: us_per_move="},
    {"convert", Bench_Convert, "convert ID < IN > OUT                         one conversion command on stdin's bytes"},
    {"datefmt", Bench_DateFmt,
     "datefmt FORMAT \"YYYY-MM-DD HH:MM:SS W\"        the formatted text (W: day of week, 0 = Sunday)"},
    {"regex", Bench_Regex,
     "regex PATTERN SUBJECT [--flags N] [--repeat N] [--tail TEXT] [--times N]\n"
     "                                                        match=START,END group1=START,END ...\n"
     "                                                        or \"no match\" or \"too complex\"\n"
     "  qwilbench regex PATTERN --lines FILE | --generate MB [--flags N]\n"
     "                                                        lines= bytes= matches= too_complex= ms= mb_per_s="},
    {"find", Bench_Find,
     "find FILE PATTERN [--flags N] [--count]       each match forward from the start as\n"
     "                                                \"LINE COL_START COL_END\" (line from 1, byte columns from 0),\n"
     "                                                or count= status= bytes= ms= mb_per_s="},
    {"replace-all", Bench_ReplaceAll,
     "replace-all FILE PATTERN REPLACEMENT OUT [--flags N]\n"
     "                                                replacements= status= undo_steps= ms=, then saves OUT"},
    {"recovery", Bench_Recovery,
     "recovery FILE [--keys N] [--dir DIR]          the recovery file kept while typing (a journal over\n"
     "                                                FILE, then a snapshot in slices) and read back:\n"
     "                                                journal_max_ms= snapshot_max_ms= read_journal_ms= ..."},
    {"snapshot", Bench_Snapshot,
     "snapshot FILE [--dir DIR]                     the recovery snapshot of the whole document, written in slices\n"
     "                                                tick after tick: snapshot=ok steps= bytes= ms= rss_kb="},
    {"wrap", Bench_Wrap, "wrap FILE [--wrap COLUMNS]                    wrapping switched on, then off: on_ms= off_ms= rss_kb="},
    {"detect", Bench_Detect,
     "detect [--each-line] FILE...                  the encoding of each file's leading bytes (or of each\n"
     "                                                line alone), counted: files= shiftjis= utf8= ... max_ms="},
    {"tosjis", Bench_ToSjis,
     "tosjis FILE OUT [--question]                  FILE in the encoding detected, converted to code page\n"
     "                                                932 (iconv), each problem as \"?\" when allowed:\n"
     "                                                encoding= status= unmappable= malformed= ms="},
    {"print", Bench_Print,
     "print FILE                                    the pages of FILE on an A4 printer at 600 dpi that only\n"
     "                                                counts (12-point cells, 20 mm margins): pages= characters= ms="},
};

bool IsOptionWithValue(const char* arg) { return arg[0] == '-' && arg[1] == '-'; }

bool Convert(const char* to, const char* from, const std::string& in, std::string* out) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out->assign(in.size() * 4 + 16, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = &(*out)[0];
  size_t dstLeft = out->size();
  size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) return false;
  out->resize(out->size() - dstLeft);
  return true;
}

}  // namespace

bool Bench_HasFlag(const BenchArgs* args, const char* name) {
  for (int i = 0; i < args->argc; ++i) {
    if (std::strcmp(args->argv[i], name) == 0) return true;
  }
  return false;
}

const char* Bench_Option(const BenchArgs* args, const char* name) {
  for (int i = 0; i + 1 < args->argc; ++i) {
    if (std::strcmp(args->argv[i], name) == 0) return args->argv[i + 1];
  }
  return nullptr;
}

long Bench_OptionLong(const BenchArgs* args, const char* name, long fallback) {
  const char* value = Bench_Option(args, name);
  if (!value) return fallback;
  char* end = nullptr;
  errno = 0;
  long n = std::strtol(value, &end, 0);
  if (errno != 0 || end == value || *end != '\0') return fallback;
  return n;
}

// Positional arguments skip every "--name" and, unless it is a lone flag that
// takes no value, the word after it. Flags without values are listed here.
static bool TakesNoValue(const char* arg) {
  return std::strcmp(arg, "--count") == 0 || std::strcmp(arg, "--each-line") == 0 || std::strcmp(arg, "--question") == 0;
}

const char* Bench_Positional(const BenchArgs* args, int n) {
  int seen = 0;
  for (int i = 0; i < args->argc; ++i) {
    if (IsOptionWithValue(args->argv[i])) {
      if (!TakesNoValue(args->argv[i])) ++i;
      continue;
    }
    if (seen++ == n) return args->argv[i];
  }
  return nullptr;
}

int Bench_PositionalCount(const BenchArgs* args) {
  int n = 0;
  while (Bench_Positional(args, n)) ++n;
  return n;
}

double Bench_NowMs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000.0 + ts.tv_nsec / 1.0e6;
}

double Bench_CpuMs() {
  timespec ts;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return ts.tv_sec * 1000.0 + ts.tv_nsec / 1.0e6;
}

long Bench_PeakRssKb() {
  rusage usage;
  if (getrusage(RUSAGE_SELF, &usage) != 0) return -1;
  return usage.ru_maxrss;
}

bool Bench_Utf8ToCp932(const std::string& utf8, std::string* cp932) { return Convert("CP932", "UTF-8", utf8, cp932); }

bool Bench_Cp932ToUtf8(const std::string& cp932, std::string* utf8) { return Convert("UTF-8", "CP932", cp932, utf8); }

int Bench_Usage(const char* message) {
  if (message) std::fprintf(stderr, "qwilbench: %s\n", message);
  std::fprintf(stderr, "usage:\n");
  for (const BenchCommand& c : kCommands) std::fprintf(stderr, "  qwilbench %s\n", c.usage);
  return 2;
}

int main(int argc, char** argv) {
  if (argc < 2) return Bench_Usage(nullptr);
  for (const BenchCommand& c : kCommands) {
    if (std::strcmp(argv[1], c.name) == 0) {
      BenchArgs args = {argc - 2, argv + 2};
      return c.run(&args);
    }
  }
  return Bench_Usage("unknown subcommand");
}
