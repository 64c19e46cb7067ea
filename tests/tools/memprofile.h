// A settings file in memory behind the profile seam, for the core's tests. It
// reads as the platform's profile reader does (blanks around a value dropped,
// then one pair of enclosing double quotes), keeps the keys of each section in
// the order they were first written, records every write in order, and can be
// told to refuse writes. It also reads and writes whole sections as the
// platform does (the lines as the file holds them), unless told it cannot.
#pragma once

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "tools/profile.h"
#include "tools/toolbase.h"

struct MemProfile {
  struct Entry {
    std::string section, key, value;  // value as written (the file's text)
    bool bBare = false;               // a line without "=", as a hand-edited file may hold
  };
  std::vector<Entry> entries;
  std::vector<std::string> writes;  // "section|key=value", or "section|key" for a removal
  bool bRefuseWrites = false;
  ProfileMethods methods;

  int nSectionWrites = 0;
  explicit MemProfile(bool bSections = true) {
    methods.pContext = this;
    methods.pfnRead = Read;
    methods.pfnWrite = Write;
    methods.pfnReadSection = bSections ? ReadSection : nullptr;
    methods.pfnWriteSection = bSections ? WriteSection : nullptr;
  }
  MemProfile(const MemProfile&) = delete;
  MemProfile& operator=(const MemProfile&) = delete;

  // Puts a key as a hand-edited file would hold it.
  void Set(const std::string& section, const std::string& key, const std::string& value) {
    Entry* e = FindEntry(section, key);
    if (e) {
      e->value = value;
      e->bBare = false;
    } else {
      entries.push_back({section, key, value});
    }
  }
  void SetBare(const std::string& section, const std::string& key) { entries.push_back({section, key, "", true}); }
  bool Has(const std::string& section, const std::string& key) { return FindEntry(section, key) != nullptr; }
  // The key's text as the file holds it ("" when absent).
  std::string Raw(const std::string& section, const std::string& key) {
    Entry* e = FindEntry(section, key);
    return e ? e->value : std::string();
  }
  // The keys of a section in file order.
  std::vector<std::string> Keys(const std::string& section) const {
    std::vector<std::string> keys;
    for (const Entry& e : entries) {
      if (e.section == section) keys.push_back(e.key);
    }
    return keys;
  }

 private:
  Entry* FindEntry(const std::string& section, const std::string& key) {
    for (Entry& e : entries) {
      if (e.section == section && e.key == key) return &e;
    }
    return nullptr;
  }

  static std::string AsRead(std::string v) {
    size_t b = v.find_first_not_of(" \t");
    size_t e = v.find_last_not_of(" \t");
    v = b == std::string::npos ? std::string() : v.substr(b, e - b + 1);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    return v;
  }

  static int32_t Read(void* ctx, const char* section, const char* key, const char* def, char* buffer,
                      int32_t size) {
    MemProfile* p = static_cast<MemProfile*>(ctx);
    Entry* e = p->FindEntry(section, key);
    std::string v = e ? AsRead(e->value) : std::string(def);
    return String_CopyCut(buffer, size, v.c_str());
  }

  static int32_t ReadSection(void* ctx, const char* section, char* buffer, int32_t size) {
    MemProfile* p = static_cast<MemProfile*>(ctx);
    std::string lines;
    for (const Entry& e : p->entries) {
      if (e.section == section) lines += e.key + (e.bBare ? "" : "=" + e.value) + std::string(1, '\0');
    }
    // Too small: as much as fits, and size - 2 as the platform answers.
    if (static_cast<int32_t>(lines.size()) + 1 > size) {
      std::memset(buffer, 0, static_cast<size_t>(size));
      return size - 2;
    }
    std::memcpy(buffer, lines.data(), lines.size());
    buffer[lines.size()] = '\0';
    if (lines.empty() && size > 1) buffer[1] = '\0';
    return static_cast<int32_t>(lines.size());
  }

  // The section's lines replaced where the section stood (at the end when new).
  static bool WriteSection(void* ctx, const char* section, const char* lines) {
    MemProfile* p = static_cast<MemProfile*>(ctx);
    ++p->nSectionWrites;
    p->writes.push_back(std::string(section) + "|*");
    if (p->bRefuseWrites) return false;
    size_t at = p->entries.size();
    for (size_t i = p->entries.size(); i-- > 0;) {
      if (p->entries[i].section == section) {
        at = i;
        p->entries.erase(p->entries.begin() + static_cast<long>(i));
      }
    }
    std::vector<Entry> added;
    for (const char* line = lines; *line; line += std::strlen(line) + 1) {
      std::string l = line;
      size_t eq = l.find('=');
      added.push_back({section, l.substr(0, eq), eq == std::string::npos ? std::string() : l.substr(eq + 1)});
    }
    p->entries.insert(p->entries.begin() + static_cast<long>(at), added.begin(), added.end());
    return true;
  }

  static bool Write(void* ctx, const char* section, const char* key, const char* value) {
    MemProfile* p = static_cast<MemProfile*>(ctx);
    p->writes.push_back(std::string(section) + "|" + key + (value ? std::string("=") + value : std::string()));
    if (p->bRefuseWrites) return false;
    if (value) {
      p->Set(section, key, value);
    } else {
      for (size_t i = 0; i < p->entries.size(); ++i) {
        if (p->entries[i].section == section && p->entries[i].key == key) {
          p->entries.erase(p->entries.begin() + static_cast<long>(i));
          break;
        }
      }
    }
    return true;
  }
};
