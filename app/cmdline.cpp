#include "app/cmdline.h"

#include "tools/charrule.h"
#include "tools/debuglog.h"
#include "tools/memory.h"

namespace {

// The arguments being counted (argv and pText null) or written.
struct ArgOut {
  char** argv;
  char* pText;
  int32_t nArgs;
  size_t nBytes;
};

void BeginArg(ArgOut* out) {
  if (out->argv) out->argv[out->nArgs] = out->pText + out->nBytes;
}

void PutByte(ArgOut* out, char c) {
  if (out->pText) out->pText[out->nBytes] = c;
  ++out->nBytes;
}

void EndArg(ArgOut* out) {
  PutByte(out, '\0');
  ++out->nArgs;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Copies the character at p, two bytes when it is a double-byte one.
const char* CopyChar(ArgOut* out, const char* p) {
  const char* next = Char_Next(p);
  for (; p < next; ++p) PutByte(out, *p);
  return next;
}

const char* ReadProgramName(ArgOut* out, const char* p) {
  BeginArg(out);
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"') p = CopyChar(out, p);
    if (*p == '"') ++p;
  } else {
    while (*p != '\0' && !IsBlank(*p)) p = CopyChar(out, p);
  }
  EndArg(out);
  return p;
}

// A run of backslashes at p. Before a quote it gives half of them; an odd run also
// makes the quote literal. Returns where reading goes on: at the quote when it is
// still to be taken as a delimiter.
const char* ReadBackslashes(ArgOut* out, const char* p) {
  const char* q = p;
  while (*q == '\\') ++q;
  size_t n = static_cast<size_t>(q - p);
  if (*q != '"') {
    for (size_t i = 0; i < n; ++i) PutByte(out, '\\');
    return q;
  }
  for (size_t i = 0; i < n / 2; ++i) PutByte(out, '\\');
  if (n % 2 == 0) return q;
  PutByte(out, '"');
  return q + 1;
}

const char* ReadArgument(ArgOut* out, const char* p) {
  bool quoted = false;
  BeginArg(out);
  while (*p != '\0' && (quoted || !IsBlank(*p))) {
    if (*p == '\\') {
      p = ReadBackslashes(out, p);
    } else if (*p == '"') {
      if (quoted && p[1] == '"') {
        PutByte(out, '"');  // "" inside quotes: the closing quote, then a literal one
        p += 2;
        quoted = false;
      } else {
        quoted = !quoted;
        ++p;
      }
    } else {
      p = CopyChar(out, p);
    }
  }
  EndArg(out);
  return p;
}

void Split(ArgOut* out, const char* line) {
  const char* p = ReadProgramName(out, line);
  for (;;) {
    while (IsBlank(*p)) ++p;
    if (*p == '\0') break;
    p = ReadArgument(out, p);
  }
}

}  // namespace

char** CmdLine_Split(const char* line, int32_t* pArgc) {
  if (!line) line = "";
  ArgOut count = {nullptr, nullptr, 0, 0};
  Split(&count, line);
  size_t pointers = sizeof(char*) * (static_cast<size_t>(count.nArgs) + 1);
  char** argv = static_cast<char**>(Mem_Alloc(pointers + count.nBytes));
  if (!argv) return nullptr;
  ArgOut fill = {argv, reinterpret_cast<char*>(argv) + pointers, 0, 0};
  Split(&fill, line);
  argv[fill.nArgs] = nullptr;
  if (pArgc) *pArgc = fill.nArgs;
  return argv;
}

void CmdLine_Free(char** argv) { Mem_Free(argv); }

void CmdLine_Log(int32_t argc, char** argv) {
  for (int32_t i = 0; i < argc; ++i) DebugLog_Printf("argv[%2d]=%s\r\n", static_cast<int>(i), argv[i]);
}
