#pragma once
// A script file written for one test and removed after it.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

class ScriptFile {
 public:
  explicit ScriptFile(std::string_view bytes) : path_(UniquePath()) {
    std::ofstream out(path_, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  ~ScriptFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  ScriptFile(const ScriptFile&) = delete;
  ScriptFile& operator=(const ScriptFile&) = delete;

  // The name as the code reads it (the temporary folder's name is ASCII).
  std::string Path() const { return path_.string(); }

  // A name no file has, in the same folder.
  static std::string MissingPath() { return (std::filesystem::temp_directory_path() / "varnel-no-such.vgs").string(); }

 private:
  // Other worktrees run the same tests at the same time: the name is random.
  static std::filesystem::path UniquePath() {
    std::random_device random;
    return std::filesystem::temp_directory_path() /
           ("varnel-script-" + std::to_string(random()) + "-" + std::to_string(random()) + ".vgs");
  }
  std::filesystem::path path_;
};
