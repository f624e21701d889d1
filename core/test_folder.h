// Helpers shared by the tests of every folder: a fresh temporary folder that removes itself,
// whole files written and read in one line, and environment variables set for one test.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>

#include "core/text.h"

namespace brisvel {

// A path of the library from UTF-8 text; Windows' library would read the bytes one by one.
inline std::filesystem::path FsPath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// The UTF-8 text of a library path.
inline std::string Utf8Of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// `path`, written by a test with "/", as the program writes it on this platform: with the
// platform's separator.
inline std::string NativePath(std::string path) {
  for (char& c : path) c = c == '/' ? kPathSeparator : c;
  return path;
}

class TestFolder {
 public:
  TestFolder() {
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const std::filesystem::path candidate = base / ("brisvel-test-" + std::to_string(random()));
      std::error_code error;
      // create_directory answers false for a folder that was already there: never shared.
      if (std::filesystem::create_directory(candidate, error)) path_ = Utf8Of(candidate);
    }
  }
  ~TestFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(FsPath(path_), ignored);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  // The folder, without a final separator.
  const std::string& Path() const { return path_; }
  // The path of `name` inside the folder.
  std::string operator/(const std::string& name) const { return path_ + kPathSeparator + name; }

  // The names in `relative` (the folder itself for ""), sorted and joined by "|": shows any
  // file left behind.
  std::string Names(const std::string& relative = "") const {
    std::set<std::string> names;
    for (const auto& entry :
         std::filesystem::directory_iterator(FsPath(path_ + kPathSeparator + relative))) {
      names.insert(Utf8Of(entry.path().filename()));
    }
    std::string joined;
    for (const std::string& name : names) joined += (joined.empty() ? "" : "|") + name;
    return joined;
  }

 private:
  std::string path_;
};

// Writes `content` to `path`, creating the folders above it.
inline void WriteFile(const std::string& path, const std::string& content) {
  std::filesystem::create_directories(FsPath(path).parent_path());
  std::ofstream(FsPath(path), std::ios::binary) << content;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(FsPath(path), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Sets an environment variable (or removes it, for nullptr) for the process.
inline void SetEnvironment(const char* name, const char* value) {
#ifdef _WIN32
  _putenv_s(name, value != nullptr ? value : "");
#else
  value != nullptr ? setenv(name, value, 1) : unsetenv(name);
#endif
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    const char* old = std::getenv(name);
    hadOld_ = old != nullptr;
    if (hadOld_) old_ = old;
    SetEnvironment(name, value.c_str());
  }
  ~ScopedEnv() { SetEnvironment(name_, hadOld_ ? old_.c_str() : nullptr); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  bool hadOld_ = false;
  std::string old_;
};

}  // namespace brisvel
