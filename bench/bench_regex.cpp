// qwilbench regex: one search of a pattern in a subject, or a throughput run
// over many lines (a file's, or generated ordinary text).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench.h"
#include "tools/regexp/regexp.h"

namespace {

struct LineSet {
  std::string bytes;
  std::vector<int64_t> starts;  // line i is [starts[i], starts[i] + lengths[i])
  std::vector<int32_t> lengths;
};

void SplitLines(LineSet* set) {
  const std::string& b = set->bytes;
  size_t start = 0;
  for (size_t i = 0; i <= b.size(); ++i) {
    if (i < b.size() && b[i] != '\n') continue;
    size_t end = i;
    if (end > start && b[end - 1] == '\r') --end;
    if (i < b.size() || end > start) {
      set->starts.push_back(static_cast<int64_t>(start));
      set->lengths.push_back(static_cast<int32_t>(end - start));
    }
    start = i + 1;
  }
}

bool ReadFile(const char* path, std::string* out) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0) out->append(buf, n);
  std::fclose(f);
  return true;
}

// Ordinary text: ASCII words and Japanese words (some of whose trail bytes
// are ASCII letters, "\" and "|"), digits, now and then "id=" and a number.
void GenerateText(int64_t bytes, LineSet* set) {
  static const char* const kWords[] = {
      "the", "line", "editor", "search", "text", "value", "name", "window", "file", "option",
      "日本語", "表示", "ソフト", "アイコン", "検索", "置換", "文字", "行末", "能力", "予定",
      "設定", "データ", "テスト", "ファイル", "編集", "十分", "構造", "ポイント", "申請", "貼り付け",
  };
  const size_t nWords = sizeof(kWords) / sizeof(kWords[0]);
  uint32_t r = 12345;
  auto next = [&r]() {
    r = r * 1103515245u + 12345u;
    return (r >> 16) & 0x7FFF;
  };
  std::string& out = set->bytes;
  while (static_cast<int64_t>(out.size()) < bytes) {
    const uint32_t words = 6 + next() % 14;
    for (uint32_t w = 0; w < words; ++w) {
      if (w) out += (next() % 8 == 0) ? "、" : " ";
      const uint32_t pick = next() % 40;
      if (pick < 30) {
        out += kWords[pick % nWords];
      } else if (pick < 37) {
        out += std::to_string(next() % 10000);
      } else {
        out += "id=" + std::to_string(next() % 100000);
      }
    }
    out += "\r\n";
  }
  SplitLines(set);
}

void PrintSpan(const char* name, const match* m, int32_t i, const char* subject) {
  const char* start = nullptr;
  const char* end = nullptr;
  if (match_get_span(m, i, &start, &end)) {
    std::printf("%s=%ld,%ld", name, static_cast<long>(start - subject), static_cast<long>(end - subject));
  } else {
    std::printf("%s=none", name);
  }
}

const char* ResultText(int32_t result) {
  switch (result) {
    case REGEXP_NOMATCH: return "no match";
    case REGEXP_TOO_COMPLEX: return "too complex";
    case REGEXP_NOMEMORY: return "out of memory";
    default: return "match";
  }
}

int RunSingle(nfa* re, const std::string& subject, long times) {
  match* m = match_new(re);
  if (!m) return Bench_Usage("out of memory");
  int32_t result = REGEXP_NOMATCH;
  const double t0 = Bench_NowMs();
  for (long i = 0; i < times; ++i) {
    result = regexp_search_into(m, subject.data(), re, subject.data(), static_cast<int32_t>(subject.size()));
  }
  const double ms = (Bench_NowMs() - t0) / static_cast<double>(times);
  if (result == REGEXP_MATCH) {
    PrintSpan("match", m, 0, subject.data());
    for (int32_t g = 1; g < m->count; ++g) {
      std::printf(" ");
      char name[32];
      std::snprintf(name, sizeof(name), "group%d", static_cast<int>(g));
      PrintSpan(name, m, g, subject.data());
    }
  } else {
    std::printf("%s", ResultText(result));
  }
  if (times > 1 || subject.size() > 100000) {
    std::printf(" ms=%.3f steps=%lld bytes=%zu rss_kb=%ld", ms, static_cast<long long>(re->nStepsUsed), subject.size(),
                Bench_PeakRssKb());
  }
  std::printf("\n");
  match_free(m);
  return 0;
}

// Every non-empty match of every line, each search going on after the last
// match, as the editor's find next does through a document.
int RunLines(nfa* re, const LineSet* set) {
  match* m = match_new(re);
  if (!m) return Bench_Usage("out of memory");
  long long matches = 0;
  long long tooComplex = 0;
  const double t0 = Bench_NowMs();
  for (size_t i = 0; i < set->starts.size(); ++i) {
    const char* line = set->bytes.data() + set->starts[i];
    const int32_t length = set->lengths[i];
    const char* from = line;
    while (from <= line + length) {
      const int32_t r = regexp_search_into(m, from, re, line, length);
      if (r == REGEXP_TOO_COMPLEX || r == REGEXP_NOMEMORY) ++tooComplex;
      const char* start = nullptr;
      const char* end = nullptr;
      if (r != REGEXP_MATCH || !match_get_span(m, 0, &start, &end) || end == start) break;
      ++matches;
      from = end;
    }
  }
  const double ms = Bench_NowMs() - t0;
  const double mb = static_cast<double>(set->bytes.size()) / (1024.0 * 1024.0);
  std::printf("lines=%zu bytes=%zu matches=%lld too_complex=%lld ms=%.1f mb_per_s=%.1f\n", set->starts.size(),
              set->bytes.size(), matches, tooComplex, ms, ms > 0 ? mb / (ms / 1000.0) : 0.0);
  match_free(m);
  return 0;
}

}  // namespace

int Bench_Regex(const BenchArgs* args) {
  const char* pattern = Bench_Positional(args, 0);
  if (!pattern) return Bench_Usage("regex needs a pattern");
  std::string cpPattern;
  if (!Bench_Utf8ToCp932(pattern, &cpPattern)) return Bench_Usage("the pattern is not convertible to code page 932");
  const uint32_t flags = static_cast<uint32_t>(Bench_OptionLong(args, "--flags", 0));
  nfa* re = regexp_compile(cpPattern.c_str(), flags);
  if (!re) {
    std::fprintf(stderr, "qwilbench: the pattern was refused (out of memory or too large)\n");
    std::printf("no match\n");
    return 0;
  }
  int rc = 0;
  const char* linesFile = Bench_Option(args, "--lines");
  const long generate = Bench_OptionLong(args, "--generate", 0);
  if (linesFile || generate > 0) {
    LineSet set;
    if (linesFile && !ReadFile(linesFile, &set.bytes)) {
      rc = Bench_Usage("cannot read the lines file");
    } else {
      if (linesFile) {
        SplitLines(&set);
      } else {
        GenerateText(static_cast<int64_t>(generate) * 1024 * 1024, &set);
      }
      rc = RunLines(re, &set);
    }
  } else {
    const char* subject = Bench_Positional(args, 1);
    std::string cpSubject;
    if (!subject) {
      rc = Bench_Usage("regex needs a subject");
    } else if (!Bench_Utf8ToCp932(subject, &cpSubject)) {
      rc = Bench_Usage("the subject is not convertible to code page 932");
    } else {
      const long repeat = Bench_OptionLong(args, "--repeat", 1);
      std::string whole;
      for (long i = 0; i < repeat; ++i) whole += cpSubject;
      whole += Bench_Option(args, "--tail") ? Bench_Option(args, "--tail") : "";
      rc = RunSingle(re, whole, Bench_OptionLong(args, "--times", 1));
    }
  }
  nfa_free(re);
  return rc;
}
