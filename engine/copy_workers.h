// A few threads that copy files for the copy loop, so that several copies are under way while
// the loop goes on deciding. Results come back through futures, which the loop takes in list
// order, so rows and moves still follow the candidate list.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/fs.h"

namespace brisvel {

// What became of a queued copy. A copy that STOP interrupted counts as skipped: it left the
// old copy as it was.
enum class CopyOutcome { kCopied, kFailed, kSkipped };

struct CopyResult {
  CopyOutcome outcome = CopyOutcome::kSkipped;
  int error = 0;         // errno of a failed copy; 0 when no reason is known
  FileStamp copiedFrom;  // the source's stamp as copied, for kCopied
};

// A folder of the source and its folder in the backup, open: the copies of one folder share
// them, and they stay open until the last of those copies is done with them.
struct FolderPair {
  std::string relative;  // below the job's folders, ending in a separator ("" for the top)
  Folder source;
  Folder backup;

  FilePair Of(const std::string& name) const { return FilePair{source, backup, name}; }
};

class CopyWorkers {
 public:
  // `skipQueued` is asked before each copy starts, in queue order, and between its blocks:
  // once it says true, that copy and every later one are skipped instead of started, and
  // running ones are broken off (the user pressed STOP).
  CopyWorkers(FileSystem& fs, int threads, std::function<bool()> skipQueued);
  // Finishes the copies already queued, then stops the threads.
  ~CopyWorkers();
  CopyWorkers(const CopyWorkers&) = delete;
  CopyWorkers& operator=(const CopyWorkers&) = delete;

  // Queues FileSystem::CopyFileIn of the file `name` of `folders`; `backupMissing` as in
  // CopyControl.
  std::future<CopyResult> Copy(std::shared_ptr<const FolderPair> folders, std::string name,
                               bool backupMissing = false);

 private:
  struct Task {
    std::shared_ptr<const FolderPair> folders;
    std::string name;
    bool backupMissing = false;
    std::promise<CopyResult> done;
  };
  void Work();

  FileSystem& fs_;
  const std::function<bool()> skipQueued_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Task> tasks_;
  bool stopping_ = false;
  bool skipping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace brisvel
