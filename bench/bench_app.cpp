// qwilbench convert and datefmt: the character conversions and the date format
// driven from the command line.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/convert.h"
#include "bench/bench.h"
#include "tools/platform.h"
#include "tools/toolbase.h"

namespace {

bool ReadAll(FILE* file, std::string* out) {
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0) out->append(buffer, n);
  return !std::ferror(file);
}

std::string ConvertBytes(const ConvertCommand* command, const std::string& in) {
  std::string out(Convert_Run(command, in.data(), in.size(), nullptr, 0), '\0');
  Convert_Run(command, in.data(), in.size(), &out[0], out.size());
  return out;
}

bool ParseTime(const char* text, SYSTEMTIME* t) {
  int year, month, day, hour, minute, second, weekday;
  if (std::sscanf(text, "%d-%d-%d %d:%d:%d %d", &year, &month, &day, &hour, &minute, &second, &weekday) != 7) {
    return false;
  }
  *t = SYSTEMTIME{};
  t->wYear = static_cast<WORD>(year);
  t->wMonth = static_cast<WORD>(month);
  t->wDay = static_cast<WORD>(day);
  t->wHour = static_cast<WORD>(hour);
  t->wMinute = static_cast<WORD>(minute);
  t->wSecond = static_cast<WORD>(second);
  t->wDayOfWeek = static_cast<WORD>(weekday);
  return true;
}

}  // namespace

int Bench_Convert(const BenchArgs* args) {
  const char* id = Bench_Positional(args, 0);
  if (!id) return Bench_Usage("convert needs a command id");
  const ConvertCommand* command = Convert_FindCommand(static_cast<int32_t>(std::strtol(id, nullptr, 10)));
  if (!command) return Bench_Usage("no conversion has that id");
  std::string in;
  if (!ReadAll(stdin, &in)) {
    std::fprintf(stderr, "qwilbench: cannot read stdin\n");
    return 1;
  }
  double t0 = Bench_NowMs();
  std::string out = ConvertBytes(command, in);
  double ms = Bench_NowMs() - t0;
  if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "qwilbench: cannot write stdout\n");
    return 1;
  }
  std::fprintf(stderr, "bytes_in=%zu bytes_out=%zu ms=%.3f\n", in.size(), out.size(), ms);
  return 0;
}

int Bench_DateFmt(const BenchArgs* args) {
  const char* format = Bench_Positional(args, 0);
  const char* when = Bench_Positional(args, 1);
  if (!format || !when) return Bench_Usage("datefmt needs a format and a time");
  SYSTEMTIME t;
  if (!ParseTime(when, &t)) return Bench_Usage("the time is \"YYYY-MM-DD HH:MM:SS W\"");
  std::string cp932;
  if (!Bench_Utf8ToCp932(format, &cp932)) return Bench_Usage("the format is no UTF-8 text for code page 932");
  char out[kDateFormatCapacity];
  long repeat = Bench_OptionLong(args, "--repeat", 1);
  double t0 = Bench_NowMs();
  int32_t n = 0;
  for (long i = 0; i < (repeat < 1 ? 1 : repeat); ++i) n = DateFormat_Expand(cp932.c_str(), out, sizeof(out), &t);
  double ms = Bench_NowMs() - t0;
  std::string utf8;
  if (!Bench_Cp932ToUtf8(std::string(out, static_cast<size_t>(n)), &utf8)) {
    std::fprintf(stderr, "qwilbench: the result is no code page 932 text\n");
    return 1;
  }
  std::printf("%s\n", utf8.c_str());
  if (repeat > 1) std::fprintf(stderr, "us_per_call=%.3f\n", ms * 1000.0 / repeat);
  return 0;
}
