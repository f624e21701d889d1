#include "engine/copy_workers.h"

namespace brisvel {

CopyWorkers::CopyWorkers(FileSystem& fs, int threads, std::function<bool()> skipQueued)
    : fs_(fs), skipQueued_(std::move(skipQueued)) {
  for (int i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
}

CopyWorkers::~CopyWorkers() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

std::future<CopyResult> CopyWorkers::Copy(std::string from, std::string to) {
  Task task{std::move(from), std::move(to), {}};
  std::future<CopyResult> result = task.done.get_future();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  wake_.notify_one();
  return result;
}

void CopyWorkers::Work() {
  for (;;) {
    Task task;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
      if (tasks_.empty()) return;  // stopping, and nothing left to copy
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    CopyResult result;
    if (!skipQueued_()) {
      const bool copied =
          fs_.CopyFile(task.from, task.to, CopyControl{skipQueued_, &result.copiedFrom});
      if (copied) {
        result.outcome = CopyOutcome::kCopied;
      } else if (!skipQueued_()) {
        result.outcome = CopyOutcome::kFailed;
      }
    }
    task.done.set_value(result);
  }
}

}  // namespace brisvel
