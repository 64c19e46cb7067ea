#include "app/findhist.h"

#include "tools/toolbase.h"

const char kFindHistorySection[] = "検索ダイアログ";
const char kReplaceHistorySection[] = "置換ダイアログ";

namespace {

constexpr char kMaxKey[] = "最大履歴数";
constexpr char kCountKey[] = "履歴数";

void IndexKey(int32_t i, char* key, int32_t size) {
  TextBuf tb;
  TextBuf_Init(&tb, key, size);
  TextBuf_AppendInt(&tb, i);
}

int32_t ClampCount(int32_t nStored, int32_t nMax) {
  if (nStored < 0) return 0;
  return nStored > nMax ? nMax : nStored;
}

}  // namespace

int32_t FindHistory_ClampMax(int32_t nStoredMax) {
  if (nStoredMax < 0) return 0;
  return nStoredMax > kFindHistoryMaxLimit ? kFindHistoryMaxLimit : nStoredMax;
}

History* FindHistory_Read(const ProfileMethods* profile, const char* section) {
  QWIL_ASSERT(IsValidProfileMethods(profile) && section);
  int32_t nMax = FindHistory_ClampMax(Profile_ReadInt(profile, section, kMaxKey, kFindHistoryDefaultMax));
  int32_t n = ClampCount(Profile_ReadInt(profile, section, kCountKey, 0), nMax);
  History* history = History_Create(nMax);
  if (!history) return nullptr;
  for (int32_t i = 0; i < n; ++i) {
    char key[16];
    IndexKey(i, key, sizeof(key));
    char entry[kFindHistoryEntrySize];
    if (Profile_ReadString(profile, section, key, "", entry, sizeof(entry)) == 0) continue;
    if (!History_Append(history, entry)) break;
  }
  return history;
}

bool FindHistory_Write(const History* history, const ProfileMethods* profile, const char* section) {
  QWIL_ASSERT(IsValidHistory(history) && IsValidProfileMethods(profile) && section);
  int32_t nMax = FindHistory_ClampMax(history->nMax);
  int32_t n = ClampCount(History_GetCount(history), nMax);
  bool ok = Profile_WriteInt(profile, section, kMaxKey, nMax);
  ok = Profile_WriteInt(profile, section, kCountKey, n) && ok;
  for (int32_t i = 0; i < n; ++i) {
    char key[16];
    IndexKey(i, key, sizeof(key));
    ok = Profile_WriteString(profile, section, key, History_GetEntry(history, i)) && ok;
  }
  return ok;
}
