// The state a run shares between the window thread and the worker thread.
#pragma once

#include <atomic>
#include <cstdint>

namespace brisvel {

enum RunStateCode : int32_t { kIdle = 0, kFinished = 1, kRunning = 2 };
enum FinishRequestCode : int32_t { kNoRequest = 0, kExitRequest = 1, kShutdownRequest = 2 };

struct SharedRunState {
  std::atomic<int32_t> runState{kIdle};
  std::atomic<int32_t> cancel{0};    // set by STOP, read by the worker between steps
  std::atomic<int32_t> logShown{0};  // the progress window shows its log
  std::atomic<int32_t> finishRequest{kNoRequest};
  std::atomic<int64_t> errorCount{0};
  std::atomic<int64_t> copiedTotal{0};
  std::atomic<int64_t> deletedTotal{0};
  std::atomic<int64_t> logRow{0};  // where the next log row goes
  // Jobs that started their work; a job skipped for its missing drive is not one of them.
  std::atomic<int32_t> jobsRun{0};

  bool Cancelled() const { return cancel.load(std::memory_order_relaxed) != 0; }
};

}  // namespace brisvel
