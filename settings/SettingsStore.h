#pragma once
// The seam between the settings records and where they are kept (the
// registry in the product, memory in tests). Texts are code-page-932 bytes.

#include <memory>
#include <string>
#include <string_view>

class SettingsKey {
 public:
  virtual ~SettingsKey() = default;
  // A missing value, or one that is not a string, reads as empty.
  virtual std::string Read(std::string_view name) = 0;
  // Returns false when the value could not be stored.
  virtual bool Write(std::string_view name, std::string_view value) = 0;
};

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // Opens path (levels separated by '\') one level at a time. With create,
  // missing levels are made; without it a missing level gives nullptr.
  virtual std::unique_ptr<SettingsKey> Open(std::string_view path, bool create = true) = 0;
};

// The program's root key below the user's hive.
inline constexpr std::string_view kVarnelRoot = "Software\\Qdx\\Varnel";

// kVarnelRoot + '\' + section, or the root itself for an empty section.
std::string VarnelKeyPath(std::string_view section);
