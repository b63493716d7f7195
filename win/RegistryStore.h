#pragma once
// The settings store in the registry under HKEY_CURRENT_USER.

#include "SettingsStore.h"

class RegistryStore : public SettingsStore {
 public:
  std::unique_ptr<SettingsKey> Open(std::string_view path, bool create = true) override;
};
