// qwilbench: the headless driver of the core. Each subcommand lives in a
// bench_*.cpp file and is listed in the table of qwilbench.cpp; it prints one
// result line of key=value pairs (times in ms, sizes in bytes, memory in KiB) or
// the matches and texts its usage line describes, and returns the exit code.
#pragma once

#include <cstdint>
#include <string>

struct BenchArgs {
  int argc;     // arguments after the subcommand name
  char** argv;
};

// Options of the form --name VALUE anywhere among the arguments; positional
// arguments are the others, in order.
bool Bench_HasFlag(const BenchArgs* args, const char* name);
const char* Bench_Option(const BenchArgs* args, const char* name);  // null when absent
long Bench_OptionLong(const BenchArgs* args, const char* name, long fallback);
const char* Bench_Positional(const BenchArgs* args, int n);         // null when absent
int Bench_PositionalCount(const BenchArgs* args);

double Bench_NowMs();
// CPU time of the process, ms: steadier than the clock on a machine shared with others.
double Bench_CpuMs();
long Bench_PeakRssKb();

// Command-line texts are UTF-8; the core works on code page 932 bytes.
bool Bench_Utf8ToCp932(const std::string& utf8, std::string* cp932);
bool Bench_Cp932ToUtf8(const std::string& cp932, std::string* utf8);

int Bench_Usage(const char* message);  // prints the message and the usage, returns 2

// Loads a document for a benchmark, printing why when it cannot; *pMs gets the time.
struct TextData;
struct LineDataProperty;
TextData* Bench_LoadDocument(const char* path, const LineDataProperty* prop, double* pMs);

// An editor body holding the file, with a fixed 8 x 16 font and an editor area of
// wrapColumns columns (wrapped), or 80 unwrapped when wrapColumns is 0; null after
// a message. The callback gets param back, as the window's change handler would.
struct TextEditorBody;
struct DisplayRange;
TextEditorBody* Bench_LoadBody(const char* path, long wrapColumns,
                               void (*callback)(void* param, const DisplayRange* after, const DisplayRange* before),
                               void* param);

// Subcommands.
int Bench_Load(const BenchArgs* args);
int Bench_Roundtrip(const BenchArgs* args);
int Bench_Type(const BenchArgs* args);
int Bench_Rows(const BenchArgs* args);
int Bench_Convert(const BenchArgs* args);
int Bench_DateFmt(const BenchArgs* args);
int Bench_Regex(const BenchArgs* args);
int Bench_Find(const BenchArgs* args);
int Bench_ReplaceAll(const BenchArgs* args);
int Bench_Print(const BenchArgs* args);
int Bench_Recovery(const BenchArgs* args);
int Bench_Snapshot(const BenchArgs* args);
int Bench_Wrap(const BenchArgs* args);
int Bench_Detect(const BenchArgs* args);
int Bench_ToSjis(const BenchArgs* args);
