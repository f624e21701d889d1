#include "engine/append_file_posix.h"

#include <unistd.h>

#include <cerrno>
#include <string>

#include "engine/file_io_posix.h"

namespace brisvel {
namespace {

class PosixAppendFile final : public AppendFile {
 public:
  explicit PosixAppendFile(int fd) : fd_(fd) {}

  Status Append(std::string_view data) override {
    buffer_ += data;
    return buffer_.size() >= kFlushSize ? Flush() : Status();
  }

  Status Close() override {
    Status status = Flush();
    if (!fd_.Close() && status.ok()) status = Status::Failure(errno);
    return status;
  }

 private:
  static constexpr size_t kFlushSize = 64 << 10;

  Status Flush() {
    if (buffer_.empty()) return Status();
    const bool written = WriteBlock(fd_.get(), buffer_.data(), buffer_.size(), 0, PosixFsSeams{});
    const Status status = written ? Status() : Status::Failure(errno);
    buffer_.clear();
    return status;
  }

  UniqueFd fd_;
  std::string buffer_;
};

}  // namespace

std::unique_ptr<AppendFile> NewPosixAppendFile(int fd) {
  return std::make_unique<PosixAppendFile>(fd);
}

}  // namespace brisvel
