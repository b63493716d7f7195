// Settings loading from arbitrary stored strings: the input's lines are the
// values, given in turn to every value the loaders read, then the records are
// loaded, saved and the settings generation checked.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "FuzzInput.h"
#include "MemoryStore.h"
#include "Records.h"
#include "Settings.h"

namespace {

struct ValuePlace {
  std::string path;
  std::string name;
};

// A store that serves nothing and notes every value asked for, so the fuzz
// input does not have to find the value names itself.
class ProbeStore : public SettingsStore {
 public:
  std::unique_ptr<SettingsKey> Open(std::string_view path, bool) override {
    return std::make_unique<ProbeKey>(std::string(path), places);
  }
  std::vector<ValuePlace> places;

 private:
  class ProbeKey : public SettingsKey {
   public:
    ProbeKey(std::string path, std::vector<ValuePlace>& places) : path_(std::move(path)), places_(places) {}
    std::string Read(std::string_view name) override {
      places_.push_back({path_, std::string(name)});
      return {};
    }
    bool Write(std::string_view, std::string_view) override { return true; }

   private:
    std::string path_;
    std::vector<ValuePlace>& places_;
  };
};

const std::vector<ValuePlace>& ValuesRead() {
  static const std::vector<ValuePlace> places = [] {
    ProbeStore probe;
    LoadAllSettings(probe, [](std::string_view) { return false; });
    RunVersionCheck(probe, {});
    return probe.places;
  }();
  return places;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const auto flags = input.Take<std::uint8_t>();
  const std::vector<std::string_view> values = SplitText(input.RestText(), '\n');
  const std::vector<ValuePlace>& places = ValuesRead();

  MemoryStore store;
  for (std::size_t i = 0; i < values.size() && i < places.size(); ++i)
    store.Set(places[i].path, places[i].name, values[i]);

  const bool filesExist = flags & 1;
  LoadAllSettings(store, [filesExist](std::string_view) { return filesExist; });
  RunVersionCheck(store, [](std::string_view) {});
  SaveAllSettings(store);

  // The password functions read the scrambled record field loaded above.
  const std::string password = GetUserPassword();
  CheckUserPassword(password);
  if (values.size() > places.size()) SetUserPassword(values[places.size()]);

  MemoryStore reloaded;
  SaveAllSettings(reloaded);
  LoadAllSettings(reloaded, [](std::string_view) { return true; });
  return 0;
}
