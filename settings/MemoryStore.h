#pragma once
// An in-memory SettingsStore for tests. Key and value names compare without
// regard to case, as the registry's do; the first spelling written is kept.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "SettingsStore.h"

class MemoryStore : public SettingsStore {
 public:
  std::unique_ptr<SettingsKey> Open(std::string_view path, bool create = true) override;

  bool HasKey(std::string_view path) const;
  std::optional<std::string> Get(std::string_view path, std::string_view name) const;
  void Set(std::string_view path, std::string_view name, std::string_view value);
  void Remove(std::string_view path, std::string_view name);
  // Value names of a key in the order they were first written.
  std::vector<std::string> ValueNames(std::string_view path) const;
  // Every write ever made, as "name=value", for checking orders.
  const std::vector<std::string>& WriteLog() const { return writeLog_; }
  void ClearWriteLog() { writeLog_.clear(); }

 private:
  struct Value {
    std::string name;
    std::string text;
  };
  struct Key {
    std::vector<Value> values;
    Value* Find(std::string_view name);
    const Value* Find(std::string_view name) const;
  };
  class OpenKey;

  static std::string Normalise(std::string_view path);
  std::map<std::string, Key> keys_;
  std::vector<std::string> writeLog_;
};
