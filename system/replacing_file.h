// The output file of a download, written so that a failure leaves the old file untouched.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace brisvel {

struct ReplacingFileState;

// Collects the new contents of `path` in a fresh file beside it, readable by its owner alone,
// and puts it in place only on Commit(). Never follows or writes through a link: when `path`
// is anything but a regular file (a link planted in a shared temporary folder, say), Open()
// fails and `path` stays as it is. Dropped without Commit(), it removes its fresh file.
class ReplacingFile {
 public:
  ReplacingFile();
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  bool Open(const std::string& path);
  bool Write(std::string_view bytes);
  // Renames the fresh file over `path`; false (and `path` unchanged) when that fails.
  bool Commit();

 private:
  std::unique_ptr<ReplacingFileState> state_;
};

}  // namespace brisvel
