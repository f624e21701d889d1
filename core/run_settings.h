// The two run-wide settings. They are read by the worker thread while the window may change
// them, so they are atomic.
#pragma once

#include <atomic>
#include <cstdint>

namespace brisvel {

struct RunSettings {
  // 1: the next run keeps the progress window hidden and shows only the tray icon.
  std::atomic<int32_t> hiddenRun{0};
  // A FinishAction code.
  std::atomic<int32_t> finishAction{0};
};

}  // namespace brisvel
