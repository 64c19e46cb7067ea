// qwilgen SIZE_MB OUT: writes a deterministic benchmark text of SIZE_MB million
// bytes: lines of mixed ASCII and code page 932 text (kanji, kana, half-width
// katakana, full-width spaces, tabs) with CR LF line ends, about 70 bytes a line.
// The same arguments always give the same bytes. Among the words are 東京 (about
// three in every thousand bytes), "id=" numbers, and 表 and ソ, whose second byte
// is a backslash, but never a backslash of its own.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Rng {
  uint64_t state;
};

uint32_t Rng_Next(Rng* r) {
  // xorshift64*: fast and plenty for picking words.
  r->state ^= r->state >> 12;
  r->state ^= r->state << 25;
  r->state ^= r->state >> 27;
  return static_cast<uint32_t>((r->state * 0x2545F4914F6CDD1DULL) >> 32);
}

const char* const kJapanese[] = {
    "東京", "大阪", "日本語", "テキスト", "ファイル", "編集", "保存", "検索", "置換", "表示", "ソフト", "予定",
    "会議", "です。", "ます。", "して", "の", "は", "が", "を", "に", "、", "。", "「", "」", "ｶﾀｶﾅ", "　",
    "東京都", "表計算", "ソース", "漢字", "ひらがな", "カタカナ", "データ", "行", "文字", "変換", "ー",
};

const char* const kAscii[] = {
    "the", "quick", "brown", "fox", "error", "value", "0x1F", "struct", "return", "=", ";", "(", ")",
    "size", "line", "text", "Qwil", "2026-12-08", "OK", "NG", "...", "--", "#define", "_name",
};

struct Out {
  FILE* f;
  char buf[1 << 16];
  size_t used;
  uint64_t total;
};

void Put(Out* o, const char* s, size_t n) {
  if (o->used + n > sizeof(o->buf)) {
    std::fwrite(o->buf, 1, o->used, o->f);
    o->used = 0;
  }
  std::memcpy(o->buf + o->used, s, n);
  o->used += n;
  o->total += n;
}

void PutStr(Out* o, const char* s) { Put(o, s, std::strlen(s)); }

template <size_t N>
const char* Pick(Rng* r, const char* const (&words)[N]) {
  return words[Rng_Next(r) % N];
}

void PutLine(Out* o, Rng* r) {
  uint32_t roll = Rng_Next(r) % 100;
  if (roll < 2) return;  // an empty line now and then
  uint32_t target = 24 + Rng_Next(r) % 96;
  uint64_t start = o->total;
  bool ascii = roll < 45;
  if (roll % 7 == 0) PutStr(o, "\t");
  while (o->total - start < target) {
    uint32_t kind = Rng_Next(r) % 100;
    if (kind < 3) {
      char id[24];
      std::snprintf(id, sizeof(id), "id=%u", Rng_Next(r) % 100000);
      PutStr(o, id);
    } else if (kind < 10) {
      PutStr(o, "東京");
    } else if (ascii ? kind < 80 : kind < 25) {
      PutStr(o, Pick(r, kAscii));
      PutStr(o, " ");
    } else {
      PutStr(o, Pick(r, kJapanese));
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: qwilgen SIZE_MB OUT\n");
    return 2;
  }
  long mb = std::strtol(argv[1], nullptr, 10);
  if (mb <= 0) {
    std::fprintf(stderr, "qwilgen: SIZE_MB must be a positive number\n");
    return 2;
  }
  static Out out;
  out.f = std::fopen(argv[2], "wb");
  if (!out.f) {
    std::perror(argv[2]);
    return 1;
  }
  Rng rng = {0x9E3779B97F4A7C15ULL};
  const uint64_t size = uint64_t(mb) * 1000000;
  while (out.total < size) {
    PutLine(&out, &rng);
    Put(&out, "\r\n", 2);
  }
  std::fwrite(out.buf, 1, out.used, out.f);
  if (std::fclose(out.f) != 0) {
    std::perror(argv[2]);
    return 1;
  }
  return 0;
}
