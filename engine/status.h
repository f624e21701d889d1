// What a file-system call returns when its caller needs to know why it failed: success, or
// the platform's error number of the failure. The reason travels with the result, so no
// caller reads errno after a call that may have changed it on its way.
#pragma once

namespace brisvel {

class [[nodiscard]] Status {
 public:
  Status() = default;  // success

  // A failure with `error` as its reason (an errno value; 0 when no call failed, such as a
  // source that changed while it was copied, or a copy that was broken off).
  static Status Failure(int error) {
    Status status;
    status.failed_ = true;
    status.error_ = error;
    return status;
  }

  bool ok() const { return !failed_; }
  int error() const { return error_; }

 private:
  bool failed_ = false;
  int error_ = 0;
};

}  // namespace brisvel
