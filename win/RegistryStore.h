#pragma once
// The settings store in the registry under HKEY_CURRENT_USER.
//
// Every stamp reloads its seal from the registry, which under some systems
// costs a round trip per value. The store therefore remembers the values it
// has read below the program's root key and serves them again for as long
// as nothing under that root has changed: a change notification on the root
// and its subtree, checked at every opening, makes the next opening read
// afresh after any write, by this program or another one.

#include <map>
#include <string>

#include "SettingsStore.h"
#include "UniqueHandle.h"

class RegistryStore : public SettingsStore {
 public:
  RegistryStore() = default;
  RegistryStore(const RegistryStore&) = delete;
  RegistryStore& operator=(const RegistryStore&) = delete;

  std::unique_ptr<SettingsKey> Open(std::string_view path, bool create = true) override;

  // What was read from one key since the last change under the root.
  struct Snapshot {
    bool exists = false;                        // the key has been opened
    std::map<std::string, std::string> values;  // by lower-case name
  };

 private:
  // False (and every snapshot forgotten) when something under the root may
  // have changed since the values were read.
  bool SnapshotsStand();
  bool WatchRoot();

  UniqueHkey watchedRoot_;
  UniqueHandleObject changed_;
  bool watching_ = false;
  // By lower-case key path, below the root only. Entries are never erased:
  // open keys point at them.
  std::map<std::string, Snapshot> snapshots_;
};
