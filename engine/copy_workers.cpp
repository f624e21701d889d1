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

std::future<CopyResult> CopyWorkers::Copy(std::shared_ptr<const FolderPair> folders,
                                          std::string name, bool backupMissing) {
  Task task{std::move(folders), std::move(name), backupMissing, {}};
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
    bool skip = false;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
      if (tasks_.empty()) return;  // stopping, and nothing left to copy
      task = std::move(tasks_.front());
      tasks_.pop_front();
      // Decided in queue order, under the lock: once one copy is skipped, every later one
      // is too, so the backup never gains a file queued after one that STOP left out.
      skipping_ = skipping_ || skipQueued_();
      skip = skipping_;
    }
    CopyResult result;
    if (!skip) {
      const Status copied =
          fs_.CopyFileIn(task.folders->Of(task.name),
                         CopyControl{skipQueued_, &result.copiedFrom, task.backupMissing});
      if (copied.ok()) {
        result.outcome = CopyOutcome::kCopied;
      } else if (!skipQueued_()) {
        result.outcome = CopyOutcome::kFailed;
        result.error = copied.error();
      }
    }
    task.done.set_value(result);
  }
}

}  // namespace brisvel
