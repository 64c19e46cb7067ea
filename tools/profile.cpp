#include "tools/profile.h"

#include <cstring>

#include "tools/toolbase.h"

namespace {

int32_t ReadText(const ProfileMethods* methods, const char* section, const char* key, char* buffer, int32_t size) {
  QWIL_ASSERT(IsValidProfileMethods(methods));
  return methods->pfnRead(methods->pContext, section, key, "", buffer, size);
}

bool WriteText(const ProfileMethods* methods, const char* section, const char* key, const char* value) {
  QWIL_ASSERT(IsValidProfileMethods(methods));
  return methods->pfnWrite(methods->pContext, section, key, value);
}

bool IsHexDigit(char c) { return ('0' <= c && c <= '9') || ('A' <= c && c <= 'F') || ('a' <= c && c <= 'f'); }

}  // namespace

bool IsValidProfileMethods(const ProfileMethods* methods) {
  return methods != nullptr && methods->pfnRead != nullptr && methods->pfnWrite != nullptr &&
         (methods->pfnReadSection == nullptr) == (methods->pfnWriteSection == nullptr);
}

int32_t Profile_ReadInt(const ProfileMethods* methods, const char* section, const char* key, int32_t def) {
  char text[kProfileNumberSize];
  ReadText(methods, section, key, text, sizeof(text));
  int32_t value = def;
  return String_ToInt(text, &value) ? value : def;
}

bool Profile_ReadBool(const ProfileMethods* methods, const char* section, const char* key, bool def) {
  return Profile_ReadInt(methods, section, key, def ? 1 : 0) != 0;
}

COLORREF Profile_ReadColour(const ProfileMethods* methods, const char* section, const char* key, COLORREF def) {
  char text[kProfileNumberSize];
  if (ReadText(methods, section, key, text, sizeof(text)) != 6) return def;
  for (int i = 0; i < 6; ++i) {
    if (!IsHexDigit(text[i])) return def;
  }
  uint32_t rgb = String_ToUnsigned(text, 16, nullptr);
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

int32_t Profile_ReadString(const ProfileMethods* methods, const char* section, const char* key, const char* def,
                           char* buffer, int32_t size) {
  QWIL_ASSERT(IsValidProfileMethods(methods) && size >= 1);
  return methods->pfnRead(methods->pContext, section, key, def, buffer, size);
}

bool Profile_WriteBool(const ProfileMethods* methods, const char* section, const char* key, bool value) {
  return WriteText(methods, section, key, value ? "1" : "0");
}

bool Profile_WriteInt(const ProfileMethods* methods, const char* section, const char* key, int32_t value) {
  char text[16];
  TextBuf tb;
  TextBuf_Init(&tb, text, sizeof(text));
  TextBuf_AppendInt(&tb, value);
  return WriteText(methods, section, key, text);
}

bool Profile_WriteColour(const ProfileMethods* methods, const char* section, const char* key, COLORREF value) {
  uint32_t rgb = (uint32_t(value & 0xFF) << 16) | (value & 0xFF00) | ((value >> 16) & 0xFF);
  char text[8];
  TextBuf tb;
  TextBuf_Init(&tb, text, sizeof(text));
  TextBuf_AppendHex(&tb, rgb, 6);
  return WriteText(methods, section, key, text);
}

bool Profile_WriteString(const ProfileMethods* methods, const char* section, const char* key, const char* text) {
  char quoted[kProfileValueSize];
  size_t n = std::strlen(text);
  if (n + 3 > sizeof(quoted)) return false;
  quoted[0] = '"';
  std::memcpy(quoted + 1, text, n);
  quoted[n + 1] = '"';
  quoted[n + 2] = '\0';
  return WriteText(methods, section, key, quoted);
}

bool Profile_DeleteKey(const ProfileMethods* methods, const char* section, const char* key) {
  return WriteText(methods, section, key, nullptr);
}
