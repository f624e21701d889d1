#include "engine/copy_loop.h"

#include <deque>
#include <future>
#include <memory>

#include "core/text.h"
#include "engine/copy_workers.h"
#include "engine/destination_facts.h"
#include "engine/error_reason.h"
#include "engine/scan.h"

namespace brisvel {
namespace {

// Copies under way at most; enough to keep the workers busy, few enough that rows stay close
// behind the work.
constexpr size_t kPendingLimit = 32;
constexpr int kCopyThreads = 2;

class CopyLoop {
 public:
  explicit CopyLoop(JobContext& context)
      : context_(context),
        job_(context.job),
        fs_(context.fs),
        move_(job_.Has(kMoveInsteadOfCopy)),
        destinationFacts_(fs_, job_.destination, context.candidates) {}

  void Run() {
    context_.view.SetProgressMax(context_.foundCount);
    context_.view.SetBarColour(kBarGreen);
    for (size_t index = 0; index < context_.candidates.Size(); ++index) {
      if (context_.state.Cancelled()) break;
      Judge(index);
      SettleFinished(pending_.size() >= kPendingLimit);
    }
    while (!pending_.empty() && !stopped_) SettleFront();
    if (move_ && !currentFolder_.empty()) RemoveFolderIfEmpty(fs_, currentFolder_);
    const int64_t found = context_.foundCount;
    context_.AddRow("Found " + std::to_string(found) + " file" + Plural(found) + ".", kGrey);
  }

 private:
  struct Pending {
    size_t index;
    std::string relative;
    bool copying;
    std::future<CopyResult> copied;
  };

  // Decides whether candidate `index` needs copying and starts its copy.
  void Judge(size_t index) {
    const CandidateList& candidates = context_.candidates;
    const std::string& folder = candidates.Folder(index);
    if (!sourceFacts_ || sourceFactsFolder_ != &folder) {
      sourceFactsFolder_ = &folder;
      sourceFacts_ = fs_.FactsIn(job_.source + folder);
    }
    const std::string name(candidates.Name(index));
    Pending pending{index, candidates.Path(index), false, {}};
    pending.copying = NeedsCopy(context_, pending.relative, destinationFacts_.At(index),
                                [&] { return sourceFacts_->Of(name); });
    if (pending.copying) {
      if (!workers_) {
        workers_ = std::make_unique<CopyWorkers>(fs_, kCopyThreads,
                                                 [this] { return context_.state.Cancelled(); });
      }
      pending.copied =
          workers_->Copy(job_.source + pending.relative, job_.destination + pending.relative);
    } else if (pending_.empty()) {
      SetStatus("Comparing Files...");  // while a copy is under way, the status names it
    }
    pending_.push_back(std::move(pending));
  }

  // Settles the candidates at the front whose work is done; with `mustSettleOne`, waits for
  // the first.
  void SettleFinished(bool mustSettleOne) {
    if (mustSettleOne && !stopped_) SettleFront();
    while (!pending_.empty() && !stopped_ && IsDone(pending_.front())) SettleFront();
    ShowCopyUnderWay();
  }

  // The status names the oldest copy not yet done, which is being copied now (or starts
  // next), not the last one queued.
  void ShowCopyUnderWay() {
    if (pending_.empty() || stopped_ || IsDone(pending_.front())) return;
    SetStatus("Copying '" + ShortName(FilePart(pending_.front().relative)) + "'...");
  }

  static bool IsDone(const Pending& pending) {
    return !pending.copying ||
           pending.copied.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
  }

  // The candidate's rows, log line and move, then the removal of a source folder that the
  // loop has left.
  void SettleFront() {
    ShowCopyUnderWay();
    Pending pending = std::move(pending_.front());
    pending_.pop_front();
    const CopyResult result = pending.copying ? pending.copied.get() : CopyResult{};
    if (result.outcome == CopyOutcome::kSkipped) {
      // STOP was pressed before this copy started: the loop ends here, as if it had stopped
      // before this candidate.
      stopped_ = true;
      return;
    }
    context_.view.SetProgressValue(static_cast<int64_t>(pending.index));
    std::string previousFolder = std::move(currentFolder_);
    currentFolder_ = job_.source + context_.candidates.Folder(pending.index);
    if (pending.copying) {
      ReportCopy(pending.relative, result);
    } else if (move_) {
      // An unchanged file is already in the backup: moving it only removes the source.
      fs_.DeleteFile(job_.source + pending.relative);
    }
    if (move_ && !previousFolder.empty() && previousFolder != currentFolder_) {
      RemoveFolderIfEmpty(fs_, previousFolder);
    }
  }

  void ReportCopy(const std::string& relative, const CopyResult& result) {
    if (result.outcome != CopyOutcome::kCopied) {
      context_.AddRow("Couldn't copy " + relative + Because(result.error), kRed);
      context_.CountError();
      return;
    }
    context_.state.copiedTotal.fetch_add(1);
    if (move_ && fs_.DeleteFile(job_.source + relative)) {
      context_.AddRow("Moved " + relative, kGreen);
      context_.log.WriteLine(" . Moved: " + relative);
      return;
    }
    context_.AddRow("Copied " + relative, move_ ? kOlive : kGreen);
    context_.log.WriteLine(" . Copied: " + relative);
  }

  // The status line changes only when its text does: a run of unchanged files would
  // otherwise repaint it once per file.
  void SetStatus(const std::string& text) {
    if (text == lastStatus_) return;
    lastStatus_ = text;
    context_.view.SetStatus(text);
  }

  JobContext& context_;
  const BackupJob& job_;
  FileSystem& fs_;
  const bool move_;
  DestinationFacts destinationFacts_;
  std::unique_ptr<FolderFacts> sourceFacts_;
  const std::string* sourceFactsFolder_ = nullptr;
  std::unique_ptr<CopyWorkers> workers_;
  std::deque<Pending> pending_;
  bool stopped_ = false;
  std::string currentFolder_;
  std::string lastStatus_;
};

}  // namespace

void RunCopyLoop(JobContext& context) {
  CopyLoop(context).Run();
}

}  // namespace brisvel
