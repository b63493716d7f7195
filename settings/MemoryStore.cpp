#include "MemoryStore.h"

#include "Sjis.h"

std::string VarnelKeyPath(std::string_view section) {
  std::string path(kVarnelRoot);
  if (!section.empty()) {
    path += '\\';
    path += section;
  }
  return path;
}

MemoryStore::Value* MemoryStore::Key::Find(std::string_view name) {
  for (auto& v : values)
    if (SjisEqualsNoCase(v.name, name)) return &v;
  return nullptr;
}

const MemoryStore::Value* MemoryStore::Key::Find(std::string_view name) const {
  return const_cast<Key*>(this)->Find(name);
}

class MemoryStore::OpenKey : public SettingsKey {
 public:
  OpenKey(MemoryStore& store, std::string path) : store_(store), path_(std::move(path)) {}
  std::string Read(std::string_view name) override {
    return store_.Get(path_, name).value_or(std::string());
  }
  bool Write(std::string_view name, std::string_view value) override {
    store_.Set(path_, name, value);
    return true;
  }

 private:
  MemoryStore& store_;
  std::string path_;
};

std::string MemoryStore::Normalise(std::string_view path) { return SjisLowerAscii(path); }

std::unique_ptr<SettingsKey> MemoryStore::Open(std::string_view path, bool create) {
  // Levels are made one at a time, as a registry would.
  std::size_t pos = 0;
  while (pos <= path.size()) {
    std::size_t next = path.find('\\', pos);
    if (next == std::string_view::npos) next = path.size();
    const std::string level = Normalise(path.substr(0, next));
    if (!keys_.count(level)) {
      if (!create) return nullptr;
      keys_[level];
    }
    pos = next + 1;
  }
  return std::make_unique<OpenKey>(*this, std::string(path));
}

bool MemoryStore::HasKey(std::string_view path) const { return keys_.count(Normalise(path)) != 0; }

std::optional<std::string> MemoryStore::Get(std::string_view path, std::string_view name) const {
  auto key = keys_.find(Normalise(path));
  if (key == keys_.end()) return std::nullopt;
  if (const Value* v = key->second.Find(name)) return v->text;
  return std::nullopt;
}

void MemoryStore::Set(std::string_view path, std::string_view name, std::string_view value) {
  Key& key = keys_[Normalise(path)];
  if (Value* v = key.Find(name))
    v->text = value;
  else
    key.values.push_back({std::string(name), std::string(value)});
  writeLog_.push_back(std::string(name) + "=" + std::string(value));
}

void MemoryStore::Remove(std::string_view path, std::string_view name) {
  auto key = keys_.find(Normalise(path));
  if (key == keys_.end()) return;
  auto& values = key->second.values;
  std::erase_if(values, [&](const Value& v) { return SjisEqualsNoCase(v.name, name); });
}

std::vector<std::string> MemoryStore::ValueNames(std::string_view path) const {
  std::vector<std::string> names;
  auto key = keys_.find(Normalise(path));
  if (key != keys_.end())
    for (const auto& v : key->second.values) names.push_back(v.name);
  return names;
}
