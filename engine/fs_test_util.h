// A fresh temporary folder for file-system tests, removed with everything in it at the end.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>

namespace brisvel {

class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    std::filesystem::path base = std::filesystem::temp_directory_path();
    do {
      path_ = (base / ("brisvel-fs-" + std::to_string(random()))).string();
    } while (!std::filesystem::create_directory(path_));
    path_ += '/';
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The full path of `relative`; the folder itself, with its final separator, for "".
  std::string operator/(const std::string& relative) const { return path_ + relative; }

  void Write(const std::string& relative, const std::string& content) const {
    std::ofstream(path_ + relative, std::ios::binary) << content;
  }
  std::string Read(const std::string& relative) const {
    std::ifstream in(path_ + relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // The names in `relative`, sorted, "." and ".." left out.
  std::string Names(const std::string& relative = "") const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_ + relative)) {
      names.insert(entry.path().filename().string());
    }
    std::string joined;
    for (const std::string& name : names) joined += (joined.empty() ? "" : "|") + name;
    return joined;
  }

 private:
  std::string path_;
};

}  // namespace brisvel
