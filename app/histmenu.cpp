#include "app/histmenu.h"

#include <cstring>

#include "tools/charrule.h"
#include "tools/toolbase.h"

namespace {

// The head of a long entry shows this many bytes of its folder.
constexpr int32_t kFileMenuHeadBytes = 22;
constexpr char kClipboardAccessKeys[] = "0123456789abcdefghijklmnopqrstuvwxyz";

// n bytes of a text as a menu item shows them literally: a lone "&" would
// underline the character behind it and vanish, so each is doubled (and the
// pair is never cut in half); control bytes would show as boxes, or a tab
// start the key column, so they are left out. Two-byte characters stay whole.
void AppendMenuLiteral(TextBuf* tb, const char* s, int32_t n) {
  for (int32_t i = 0; i < n && !tb->bFull;) {
    const int32_t step = Char_Length(s, n, i);
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (step == 2) {
      TextBuf_AppendChar(tb, s + i, 2);
    } else if (c == '&') {
      TextBuf_AppendChar(tb, "&&", 2);
    } else if (c >= 0x20 && c != 0x7F) {
      TextBuf_AppendChar(tb, s + i, 1);
    }
    i += step;
  }
}

}  // namespace

int32_t LoadHistory_ClampMax(int32_t nStoredMax) {
  if (nStoredMax < 0) return 0;
  return nStoredMax > kLoadHistoryMaxLimit ? kLoadHistoryMaxLimit : nStoredMax;
}

int32_t LoadHistory_ClampCount(int32_t nStoredCount, int32_t nMax) {
  if (nStoredCount < 0) return 0;
  return nStoredCount > nMax ? nMax : nStoredCount;
}

int32_t LoadHistory_IndexFromId(int32_t id) {
  // Menu ids are 16-bit; everything from the first load id up is the history's.
  return (kLoadHistoryFirstId <= id && id <= 0xFFFF) ? id - kLoadHistoryFirstId : -1;
}

int32_t ClipboardHistory_IndexFromId(int32_t id) {
  return (kClipboardHistoryFirstId <= id && id <= kClipboardHistoryLastId) ? id - kClipboardHistoryFirstId : -1;
}

int32_t LoadHistory_FormatMenuText(const char* entry, int32_t index, char* buffer, int32_t size) {
  TextBuf tb;
  TextBuf_Init(&tb, buffer, size);
  if (0 <= index && index <= 9) {
    char key[4] = {'&', static_cast<char>('0' + index), ' ', '\0'};
    TextBuf_AppendString(&tb, key);
  } else {
    TextBuf_AppendString(&tb, "  ");
  }
  const char* sep = Path_FindLastSeparator(entry);
  size_t length = std::strlen(entry);
  if (length <= static_cast<size_t>(kFileMenuHeadBytes) || !sep) {
    // A long name without any folder has nothing to abbreviate: it is shown as it
    // is, as far as it fits.
    AppendMenuLiteral(&tb, entry, static_cast<int32_t>(length));
  } else {
    int32_t folderLength = static_cast<int32_t>(sep - entry);
    AppendMenuLiteral(&tb, entry, String_CutLength(entry, folderLength, kFileMenuHeadBytes));
    TextBuf_AppendString(&tb, " ... ");
    AppendMenuLiteral(&tb, sep + 1, static_cast<int32_t>(std::strlen(sep + 1)));
  }
  TextBuf_DropTrailingLead(&tb);
  return tb.nLength;
}

int32_t ClipboardHistory_FormatMenuText(const char* entry, int32_t index, char* buffer, int32_t size) {
  TextBuf tb;
  TextBuf_Init(&tb, buffer, size);
  if (0 <= index && index < static_cast<int32_t>(sizeof(kClipboardAccessKeys)) - 1) {
    char key[4] = {'&', kClipboardAccessKeys[index], ' ', '\0'};
    TextBuf_AppendString(&tb, key);
  } else {
    TextBuf_AppendString(&tb, "  ");
  }
  AppendMenuLiteral(&tb, entry, static_cast<int32_t>(std::strlen(entry)));
  TextBuf_DropTrailingLead(&tb);
  return tb.nLength;
}
