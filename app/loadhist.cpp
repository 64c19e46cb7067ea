#include "app/loadhist.h"

#include <cstring>

#include "app/appdata.h"
#include "tools/toolbase.h"

namespace {

constexpr char kSection[] = "読込履歴";
constexpr char kMaxKey[] = "最大履歴数";
constexpr char kCountKey[] = "履歴数";

void IndexKey(int32_t i, char* key, int32_t size) {
  TextBuf tb;
  TextBuf_Init(&tb, key, size);
  TextBuf_AppendInt(&tb, i);
}

}  // namespace

History* LoadHistory_Read(const ProfileMethods* profile) {
  int32_t nMax = LoadHistory_ClampMax(Profile_ReadInt(profile, kSection, kMaxKey, kLoadHistoryDefaultMax));
  int32_t n = LoadHistory_ClampCount(Profile_ReadInt(profile, kSection, kCountKey, 0), nMax);
  History* history = History_Create(nMax);
  if (!history) return nullptr;
  for (int32_t i = 0; i < n; ++i) {
    char key[16];
    IndexKey(i, key, sizeof(key));
    // Read into more than a path can take, so that a longer value is seen for
    // what it is instead of being cut.
    char entry[kPathBufferSize + 2];
    int32_t length = Profile_ReadString(profile, kSection, key, "", entry, sizeof(entry));
    // A count beyond the keys present would read as one empty entry, a menu
    // item that names no file.
    if (length == 0 || length > kPathMax) continue;
    if (!History_Append(history, entry)) break;
  }
  return history;
}

bool LoadHistory_Write(const History* history, const ProfileMethods* profile) {
  int32_t nMax = LoadHistory_ClampMax(history->nMax);
  int32_t n = LoadHistory_ClampCount(History_GetCount(history), nMax);
  bool ok = Profile_WriteInt(profile, kSection, kMaxKey, nMax);
  ok = Profile_WriteInt(profile, kSection, kCountKey, n) && ok;
  for (int32_t i = 0; i < n; ++i) {
    char key[16];
    IndexKey(i, key, sizeof(key));
    ok = Profile_WriteString(profile, kSection, key, History_GetEntry(history, i)) && ok;
  }
  return ok;
}
