#include "engine/copy_loop.h"

#include <deque>
#include <future>
#include <memory>
#include <optional>
#include <vector>

#include "core/text.h"
#include "engine/case_collisions.h"
#include "engine/copy_workers.h"
#include "engine/destination_facts.h"
#include "engine/error_reason.h"
#include "engine/move_guard.h"
#include "engine/scan.h"

namespace brisvel {
namespace {

// Copies under way at most; enough to keep the workers busy, few enough that rows stay close
// behind the work.
constexpr size_t kPendingLimit = 32;
constexpr int kCopyThreads = 2;
// A Move deletes its sources in batches, each after one flush of the destination to stable
// storage: a power cut must never find a source gone and its copy still in memory. A batch
// ends after so many files or bytes, so that large files still show their rows soon.
constexpr size_t kMoveBatch = 1000;
constexpr int64_t kMoveBatchBytes = int64_t{256} << 20;

class CopyLoop {
 public:
  explicit CopyLoop(JobContext& context)
      : context_(context),
        job_(context.job),
        fs_(context.fs),
        move_(job_.Has(kMoveInsteadOfCopy)),
        destinationFacts_(fs_, job_.destination, context.candidates) {
    if (context.destinationIgnoresCase) collisions_.emplace(fs_, job_);
  }

  void Run() {
    context_.view.SetProgressMax(context_.foundCount);
    context_.view.SetBarColour(kBarGreen);
    for (size_t index = 0; index < context_.candidates.Size(); ++index) {
      if (context_.state.Cancelled()) break;
      Judge(index);
      SettleFinished(pending_.size() >= kPendingLimit);
    }
    while (!pending_.empty()) SettleFront();
    FlushMoves();
    if (move_ && !currentFolder_.empty()) RemoveFolderIfEmpty(fs_, currentFolder_);
    const int64_t found = context_.foundCount;
    context_.AddRow("Found " + std::to_string(found) + " file" + Plural(found) + ".", kGrey);
  }

 private:
  enum class Work { kUnchanged, kCopy, kLinkInBackup, kCaseCollision, kSharedName };

  struct Pending {
    size_t index;
    std::string relative;
    Work work = Work::kUnchanged;
    std::future<CopyResult> copied;
    std::optional<FileStamp> judged;  // the source's stamp before it was compared (Move)
    std::string other;                // the name that holds its place in the backup
  };

  // A candidate whose work is done, waiting for its rows and, with Move, its deletion.
  struct Settled {
    size_t index;
    std::string relative;
    Work work;
    CopyResult result;
    std::optional<FileStamp> judged;
    std::string other;
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
    Pending pending{index, candidates.Path(index), Work::kUnchanged, {}, std::nullopt, {}};
    const FileFacts destination = destinationFacts_.At(index);
    if (Refused(pending, destination, folder, name)) {
      pending_.push_back(std::move(pending));
      return;
    }
    if (move_) pending.judged = fs_.Stamp(job_.source + pending.relative, Links::kFollow);
    const bool copying =
        NeedsCopy(context_, pending.relative, destination, [&] { return sourceFacts_->Of(name); });
    pending.work = copying ? Work::kCopy : Work::kUnchanged;
    if (copying && MayBeAnotherJobsFile(destination)) pending.work = Work::kSharedName;
    if (pending.work == Work::kCopy) {
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

  // A candidate whose place in the backup is a link, or is taken by another spelling of its
  // name, is neither compared nor copied: the backup stays as it is, and so does the source.
  bool Refused(Pending& pending, const FileFacts& destination, const std::string& folder,
               const std::string& name) {
    if (destination.size != kNothingThere && destination.kind == EntryKind::kLink) {
      pending.work = Work::kLinkInBackup;
    } else if (collisions_) {
      pending.other = collisions_->Find(folder, name);
      if (!pending.other.empty()) pending.work = Work::kCaseCollision;
    }
    return pending.work != Work::kUnchanged;
  }

  // A Move that replaced a different file of the destination that another job also backs up
  // into could destroy that job's only copy of it: such a file is neither copied nor moved.
  bool MayBeAnotherJobsFile(const FileFacts& destination) const {
    return move_ && !context_.sharedWith.empty() && destination.size != kNothingThere &&
           destination.kind == EntryKind::kFile;
  }

  // Settles the candidates at the front whose work is done; with `mustSettleOne`, waits for
  // the first.
  void SettleFinished(bool mustSettleOne) {
    if (mustSettleOne) SettleFront();
    while (!pending_.empty() && IsDone(pending_.front())) SettleFront();
    ShowCopyUnderWay();
  }

  // The status names the oldest copy not yet done, which is being copied now (or starts
  // next), not the last one queued.
  void ShowCopyUnderWay() {
    if (pending_.empty() || IsDone(pending_.front())) return;
    SetStatus("Copying '" + ShortName(FilePart(pending_.front().relative)) + "'...");
  }

  static bool IsDone(const Pending& pending) {
    return pending.work != Work::kCopy ||
           pending.copied.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
  }

  // Takes the front candidate's result. Its rows follow at once, or with Move once its batch
  // of sources may go.
  void SettleFront() {
    ShowCopyUnderWay();
    Pending pending = std::move(pending_.front());
    pending_.pop_front();
    CopyResult result;
    result.outcome = CopyOutcome::kCopied;
    if (pending.work == Work::kCopy) result = pending.copied.get();
    // STOP was pressed before this copy started or while it ran, which left the backup as
    // it was: the candidate goes without a trace. Copies that other workers finished
    // meanwhile are settled still, so that every file copied has its row.
    if (result.outcome == CopyOutcome::kSkipped) return;
    Settled settled{pending.index,  std::move(pending.relative), pending.work, result,
                    pending.judged, std::move(pending.other)};
    if (!move_) {
      Finish(settled, true);
      return;
    }
    if (result.outcome == CopyOutcome::kCopied) moveBatchBytes_ += result.copiedFrom.size;
    moveBatch_.push_back(std::move(settled));
    if (moveBatch_.size() >= kMoveBatch || moveBatchBytes_ >= kMoveBatchBytes) FlushMoves();
  }

  // Makes the batch's copies durable, then finishes each of its candidates in order.
  void FlushMoves() {
    if (moveBatch_.empty()) return;
    const bool durable = fs_.SyncFolder(job_.destination);
    for (const Settled& settled : moveBatch_) Finish(settled, durable);
    moveBatch_.clear();
    moveBatchBytes_ = 0;
  }

  // The candidate's rows, log line and move, then the removal of a source folder that the
  // loop has left.
  void Finish(const Settled& settled, bool durable) {
    context_.view.SetProgressValue(static_cast<int64_t>(settled.index));
    std::string previousFolder = std::move(currentFolder_);
    currentFolder_ = job_.source + context_.candidates.Folder(settled.index);
    switch (settled.work) {
      case Work::kCopy:
        ReportCopy(settled, durable);
        break;
      case Work::kUnchanged:
        // An unchanged file is already in the backup: moving it only removes the source.
        if (move_) MoveUnchanged(settled, durable);
        break;
      case Work::kLinkInBackup:
        context_.AddRow("Left alone a link in the backup: " + settled.relative, kRed);
        context_.CountError();
        break;
      case Work::kSharedName:
        context_.AddRow("Not moved " + settled.relative +
                            ": the backup holds a different file of this name, and job '" +
                            context_.sharedWith + "' also backs up there",
                        kRed);
        context_.CountError();
        break;
      case Work::kCaseCollision:
        context_.AddRow("Couldn't copy " + settled.relative +
                            ": its name differs only in letter case from " + settled.other,
                        kRed);
        context_.CountError();
        break;
    }
    if (move_ && !previousFolder.empty() && previousFolder != currentFolder_) {
      RemoveFolderIfEmpty(fs_, previousFolder);
    }
  }

  void ReportCopy(const Settled& settled, bool durable) {
    const std::string& relative = settled.relative;
    if (settled.result.outcome != CopyOutcome::kCopied) {
      context_.AddRow("Couldn't copy " + relative + Because(settled.result.error), kRed);
      context_.CountError();
      return;
    }
    context_.state.copiedTotal.fetch_add(1);
    if (move_) {
      const MoveVerdict verdict =
          durable ? JudgeCopiedMove(fs_, job_.source + relative, job_.destination + relative,
                                    settled.result.copiedFrom)
                  : MoveVerdict::kNoPlainCopy;
      if (verdict != MoveVerdict::kDelete || !durable) {
        KeepSource(relative, verdict, durable);
        context_.log.WriteLine(" . Copied: " + relative);
        return;
      }
      if (fs_.DeleteFile(job_.source + relative)) {
        context_.AddRow("Moved " + relative, kGreen);
        context_.log.WriteLine(" . Moved: " + relative);
        return;
      }
    }
    context_.AddRow("Copied " + relative, move_ ? kOlive : kGreen);
    context_.log.WriteLine(" . Copied: " + relative);
  }

  void MoveUnchanged(const Settled& settled, bool durable) {
    const std::string& relative = settled.relative;
    const MoveVerdict verdict =
        durable ? JudgeUnchangedMove(fs_, job_.source + relative, job_.destination + relative,
                                     settled.judged, !VerdictRestsOnBytes())
                : MoveVerdict::kNoPlainCopy;
    if (verdict != MoveVerdict::kDelete || !durable) {
      KeepSource(relative, verdict, durable);
      return;
    }
    fs_.DeleteFile(job_.source + relative);  // a failure leaves the file where it was
  }

  void KeepSource(const std::string& relative, MoveVerdict verdict, bool durable) {
    context_.AddRow(durable ? NotMovedRow(relative, verdict)
                            : "Not moved " + relative + ": the backup could not be saved to disk",
                    kRed);
    context_.CountError();
  }

  // With Move, "unchanged" deletes the source, so that verdict must rest on the bytes. MD5's
  // does. Size and date read no data, and CRC-32's 32 bits let different files of one size
  // agree (such files can even be made at will): their verdicts are checked byte for byte.
  bool VerdictRestsOnBytes() const { return job_.compareMethod == kCompareMd5; }

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
  std::optional<CaseCollisions> collisions_;
  std::deque<Pending> pending_;
  std::vector<Settled> moveBatch_;
  int64_t moveBatchBytes_ = 0;
  std::string currentFolder_;
  std::string lastStatus_;
};

}  // namespace

void RunCopyLoop(JobContext& context) {
  CopyLoop(context).Run();
}

}  // namespace brisvel
