// qwilbench detect and tosjis: the encoding rule over files (or each of their
// lines) and the conversion of a file to code page 932, through iconv as the
// native tests do.
#include <cctype>
#include <cstdio>
#include <string>

#include "bench/bench.h"
#include "tests/tools/codepage_iconv.h"
#include "tools/sjisconv.h"
#include "tools/textenc.h"

namespace {

// "UTF-16 LE (BOM)" as the key "utf16lebom".
std::string KeyOf(TextEncoding encoding) {
  std::string key;
  for (const char* p = TextEnc_Name(encoding); *p; ++p) {
    if (std::isalnum(static_cast<unsigned char>(*p))) key += static_cast<char>(std::tolower(*p));
  }
  return key;
}

bool ReadFile(const char* path, std::string* out) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  char buffer[1 << 16];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0) out->append(buffer, n);
  const bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

void CountLines(const std::string& bytes, long* counts, long* pTotal) {
  for (size_t start = 0; start < bytes.size();) {
    size_t end = bytes.find('\n', start);
    end = end == std::string::npos ? bytes.size() : end + 1;
    ++counts[TextEnc_Detect(bytes.data() + start, int64_t(end - start)).encoding];
    ++*pTotal;
    start = end;
  }
}

}  // namespace

int Bench_Detect(const BenchArgs* args) {
  const bool bLines = Bench_HasFlag(args, "--each-line");
  const int nFiles = Bench_PositionalCount(args);
  if (nFiles == 0) return Bench_Usage("detect needs files");
  long counts[TEXTENC_COUNT] = {};
  long total = 0;
  double maxMs = 0;
  for (int i = 0; i < nFiles; ++i) {
    const char* path = Bench_Positional(args, i);
    if (bLines) {
      std::string bytes;
      if (!ReadFile(path, &bytes)) return std::fprintf(stderr, "qwilbench: cannot read %s\n", path), 1;
      CountLines(bytes, counts, &total);
      continue;
    }
    TextEncDetection d;
    const double t0 = Bench_NowMs();
    if (!TextEnc_DetectFile(path, &d)) return std::fprintf(stderr, "qwilbench: cannot read %s\n", path), 1;
    const double ms = Bench_NowMs() - t0;
    if (ms > maxMs) maxMs = ms;
    ++counts[d.encoding];
    ++total;
  }
  std::printf("%s=%ld", bLines ? "lines" : "files", total);
  for (int e = 0; e < TEXTENC_COUNT; ++e) std::printf(" %s=%ld", KeyOf(TextEncoding(e)).c_str(), counts[e]);
  if (!bLines) std::printf(" max_ms=%.3f", maxMs);
  std::printf("\n");
  return 0;
}

int Bench_ToSjis(const BenchArgs* args) {
  const char* path = Bench_Positional(args, 0);
  const char* outPath = Bench_Positional(args, 1);
  if (!path || !outPath) return Bench_Usage("tosjis needs a file and an output file");
  std::string bytes;
  if (!ReadFile(path, &bytes)) return std::fprintf(stderr, "qwilbench: cannot read %s\n", path), 1;
  IconvCodePage iconvPage;
  if (!IconvCodePage_Open(&iconvPage)) return std::fprintf(stderr, "qwilbench: iconv has no CP932\n"), 1;
  const double t0 = Bench_NowMs();
  const TextEncDetection d = TextEnc_Detect(bytes.data(), int64_t(bytes.size()));
  SjisReport report;
  SjisResult result;
  const SjisConvStatus status = SjisConv_Run(&iconvPage.methods, d.encoding, bytes.data(), int64_t(bytes.size()),
                                             Bench_HasFlag(args, "--question"), &report, &result);
  const double ms = Bench_NowMs() - t0;
  IconvCodePage_Close(&iconvPage);
  static const char* const kStatus[] = {"ok", "refused", "no_memory"};
  std::printf("encoding=%s status=%s bytes_in=%zu bytes_out=%lld unmappable=%lld malformed=%lld ms=%.1f rss_kb=%ld\n",
              KeyOf(d.encoding).c_str(), kStatus[status], bytes.size(), static_cast<long long>(result.nLength),
              static_cast<long long>(report.nUnmappable), static_cast<long long>(report.nMalformed), ms,
              Bench_PeakRssKb());
  bool ok = status == SJISCONV_OK;
  if (ok) {
    FILE* out = std::fopen(outPath, "wb");
    ok = out && std::fwrite(result.pBytes, 1, size_t(result.nLength), out) == size_t(result.nLength);
    ok = out && std::fclose(out) == 0 && ok;
    if (!ok) std::fprintf(stderr, "qwilbench: cannot write %s\n", outPath);
  }
  SjisConv_FreeResult(&result);
  return ok ? 0 : 1;
}
