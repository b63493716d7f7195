#pragma once
// The settings store in the registry under HKEY_CURRENT_USER.
//
// Every stamp reloads its seal from the registry, which under some systems
// costs a round trip per value. The store therefore remembers the values it
// has read from a key together with the key's last-write time, and serves
// them again only while that time is unchanged: any write to the key, by
// this program or another, makes the next opening read afresh.

#include <map>
#include <optional>
#include <string>

#include "SettingsStore.h"

class RegistryStore : public SettingsStore {
 public:
  std::unique_ptr<SettingsKey> Open(std::string_view path, bool create = true) override;

  // What was read from one key while its last-write time stood still.
  struct Snapshot {
    unsigned long long written = 0;
    std::map<std::string, std::string> values;  // by lower-case name
  };

 private:
  std::map<std::string, Snapshot> snapshots_;  // by lower-case key path
};
