#include "engine/copy_loop.h"

#include <cerrno>
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
#include "engine/old_versions.h"
#include "engine/scan.h"

namespace brisvel {
namespace {

// Copies under way at most; enough to keep the workers busy, few enough that rows stay close
// behind the work.
constexpr size_t kPendingLimit = 32;
constexpr int kCopyThreads = 2;
// A Move deletes its sources in batches, each after one flush of the destination to stable
// storage: a power cut must never find a source gone and its copy still in memory. A batch
// ends after so many files or bytes, so that large files still show their rows soon. The
// flush of one batch runs on a thread of its own while the next batch is copied.
constexpr size_t kMoveBatch = 1000;
constexpr int64_t kMoveBatchBytes = int64_t{256} << 20;
// A batch keeps the folders of its files open until it is settled: so many at most.
constexpr size_t kMoveBatchFolders = 64;

class CopyLoop {
 public:
  explicit CopyLoop(JobContext& context)
      : context_(context),
        job_(context.job),
        fs_(context.fs),
        move_(job_.Has(kMoveInsteadOfCopy)),
        preview_(context.preview),
        source_(fs_.OpenFolder(job_.source)),
        destination_(fs_.OpenFolder(job_.destination)),
        dates_(job_.compareMethod == kCompareDate ? Dates::kWith : Dates::kWithout),
        destinationFacts_(fs_, destination_, context.candidates, dates_) {
    if (context.destinationIgnoresCase) collisions_.emplace(fs_, job_);
  }

  void Run() {
    context_.view.SetProgressMax(context_.foundCount);
    context_.view.SetBarColour(kBarGreen);
    CandidateList::Reader reader(context_.candidates);
    while (!context_.state.Cancelled() && reader.Next()) {
      Judge(reader);
      SettleFinished(pending_.size() >= kPendingLimit);
    }
    while (!pending_.empty()) SettleFront();
    FlushMoves();
    FinishFlushedBatch();
    if (move_ && finishedFolders_) RemoveSourceFolderIfEmpty(finishedFolders_->relative);
    const int64_t found = context_.foundCount;
    context_.AddRow("Found " + std::to_string(found) + " file" + Plural(found) + ".", kGrey);
  }

 private:
  enum class Work {
    kUnchanged,
    kCopy,
    kLinkInBackup,
    kCaseCollision,
    kSharedName,
    kFolderNotOpened,
    kVersionNotKept
  };

  // A candidate on its way: its folders, shared with the other candidates of its folder.
  struct Candidate {
    size_t index;
    std::shared_ptr<const FolderPair> folders;
    std::string name;

    std::string Relative() const { return folders->relative + name; }
    FilePair Pair() const { return folders->Of(name); }
  };

  struct Pending {
    Candidate candidate;
    Work work = Work::kUnchanged;
    std::future<CopyResult> copied;
    std::optional<FileStamp> judged;  // the source's stamp before it was compared (Move)
    std::string other;                // the name that holds its place in the backup
    int folderError = 0;              // why a folder (or the old version) could not be kept
    bool replaces = false;            // a copy over a file the backup holds
    bool keptVersion = false;         // the backup's old file went to the version folder
    int64_t size = 0;                 // the source's size, in a preview
  };

  // A candidate whose work is done, waiting for its rows and, with Move, its deletion.
  struct Settled {
    Candidate candidate;
    Work work;
    CopyResult result;
    std::optional<FileStamp> judged;
    std::string other;
    bool replaces = false;
    bool keptVersion = false;
    int64_t size = 0;
  };

  // Decides whether the reader's candidate needs copying and starts its copy.
  void Judge(const CandidateList::Reader& reader) {
    if (reader.FirstOfFolder() || !folders_) OpenFolders(reader.Folder());
    Pending pending{{reader.Index(), folders_, reader.Name()}, Work::kUnchanged, {}, {}, {}, 0};
    const Candidate& candidate = pending.candidate;
    const FileFacts destination =
        BackupFolderMissing(*folders_) ? FileFacts{} : destinationFacts_.At(candidate.index);
    if (Refused(pending, destination)) {
      pending_.push_back(std::move(pending));
      return;
    }
    const Folder& source = folders_->source;
    // Only a file whose backup exists can be judged unchanged, and only that needs the stamp.
    if (move_ && destination.size != kNothingThere) {
      pending.judged = fs_.StampIn(source, candidate.name, Links::kFollow);
    }
    const bool copying = NeedsCopy(context_, candidate.Pair(), destination, [&] {
      return fs_.FactsIn(source, candidate.name, Links::kFollow, dates_);
    });
    pending.work = copying ? Work::kCopy : Work::kUnchanged;
    if (copying && MayBeAnotherJobsFile(destination)) pending.work = Work::kSharedName;
    pending.replaces = destination.size != kNothingThere;
    if (pending.work == Work::kCopy && preview_) {
      // A preview copies nothing: the row says what the copy would be.
      pending.size = fs_.FactsIn(source, candidate.name, Links::kFollow, Dates::kWithout).size;
    } else if (pending.work == Work::kCopy && pending.replaces && context_.versions) {
      KeepOldVersion(pending);
    }
    if (pending.work == Work::kCopy && !preview_) {
      if (!workers_) {
        workers_ = std::make_unique<CopyWorkers>(fs_, kCopyThreads,
                                                 [this] { return context_.state.Cancelled(); });
      }
      pending.copied = workers_->Copy(folders_, candidate.name, destination.size == kNothingThere);
    } else if (pending_.empty()) {
      SetStatus("Comparing Files...");  // while a copy is under way, the status names it
    }
    pending_.push_back(std::move(pending));
  }

  // The backup's file goes to the version folder before the copy replaces it; when it cannot
  // be kept, it is not replaced.
  void KeepOldVersion(Pending& pending) {
    const Candidate& candidate = pending.candidate;
    const Status kept =
        context_.versions->Keep(candidate.folders->backup, candidate.folders->relative, candidate.name);
    if (kept.ok()) {
      pending.keptVersion = true;
    } else {
      pending.work = Work::kVersionNotKept;
      pending.folderError = kept.error();
    }
  }

  // A preview walks on through destination folders that the run would make.
  bool BackupFolderMissing(const FolderPair& folders) const {
    return preview_ && folders.source && !folders.backup &&
           (!destination_ || folders.backup.Error() == ENOENT);
  }

  // Opens the folder `relative` on both sides, below the job's folders and never through a
  // link: a folder swapped for a link since the scan cannot be opened, and nothing is
  // written, compared or deleted through it.
  void OpenFolders(const std::string& relative) {
    folders_ = std::make_shared<const FolderPair>(FolderPair{
        relative, fs_.OpenFolderIn(source_, relative), fs_.OpenFolderIn(destination_, relative)});
  }

  // A candidate whose place in the backup is a link, or is taken by another spelling of its
  // name, or whose folder cannot be opened, is neither compared nor copied: the backup stays
  // as it is, and so does the source.
  bool Refused(Pending& pending, const FileFacts& destination) {
    const Candidate& candidate = pending.candidate;
    const FolderPair& folders = *candidate.folders;
    if (BackupFolderMissing(folders)) return false;
    if (!folders.source || !folders.backup) {
      pending.work = Work::kFolderNotOpened;
      pending.folderError = !folders.backup ? folders.backup.Error() : folders.source.Error();
    } else if (destination.size != kNothingThere && destination.kind == EntryKind::kLink) {
      pending.work = Work::kLinkInBackup;
    } else if (collisions_) {
      pending.other = collisions_->Find(folders.relative, candidate.name);
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
    if (flushing_.valid() &&
        flushing_.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
      FinishFlushedBatch();
    }
    ShowCopyUnderWay();
  }

  // The status names the oldest copy not yet done, which is being copied now (or starts
  // next), not the last one queued.
  void ShowCopyUnderWay() {
    if (pending_.empty() || IsDone(pending_.front())) return;
    SetStatus("Copying '" + ShortName(pending_.front().candidate.name) + "'...");
  }

  bool IsDone(const Pending& pending) const {
    return pending.work != Work::kCopy || preview_ ||
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
    if (pending.work == Work::kCopy && !preview_) result = pending.copied.get();
    if (pending.work == Work::kFolderNotOpened) {
      result.outcome = CopyOutcome::kFailed;
      result.error = pending.folderError;
    }
    // STOP was pressed before this copy started or while it ran, which left the backup as
    // it was: the candidate goes without a trace. Copies that other workers finished
    // meanwhile are settled still, so that every file copied has its row.
    if (result.outcome == CopyOutcome::kSkipped) {
      if (pending.keptVersion) {
        const Candidate& candidate = pending.candidate;
        (void)context_.versions->PutBack(candidate.folders->backup, candidate.folders->relative,
                                         candidate.name);
      }
      return;
    }
    Settled settled{std::move(pending.candidate), pending.work,          result,
                    pending.judged,                std::move(pending.other), pending.replaces,
                    pending.keptVersion,           pending.size};
    if (pending.work == Work::kVersionNotKept) settled.result.error = pending.folderError;
    if (!move_ || preview_) {
      Finish(settled, true);
      return;
    }
    if (result.outcome == CopyOutcome::kCopied) moveBatchBytes_ += result.copiedFrom.size;
    if (moveBatch_.empty() || moveBatch_.back().candidate.folders != settled.candidate.folders) {
      ++moveBatchFolders_;
    }
    moveBatch_.push_back(std::move(settled));
    if (moveBatch_.size() >= kMoveBatch || moveBatchBytes_ >= kMoveBatchBytes ||
        moveBatchFolders_ >= kMoveBatchFolders) {
      FlushMoves();
    }
  }

  // Starts making the batch's copies durable. Its candidates are finished, in order, once
  // that is done; the batch before it is finished first.
  void FlushMoves() {
    if (moveBatch_.empty()) return;
    FinishFlushedBatch();
    flushedBatch_ = std::move(moveBatch_);
    moveBatch_.clear();
    moveBatchBytes_ = 0;
    moveBatchFolders_ = 0;
    flushing_ = std::async(std::launch::async, [this] { return fs_.SyncFolder(job_.destination); });
  }

  // Waits for the flush under way, then finishes each candidate of its batch.
  void FinishFlushedBatch() {
    if (!flushing_.valid()) return;
    const bool durable = flushing_.get();
    for (const Settled& settled : flushedBatch_) Finish(settled, durable);
    flushedBatch_.clear();
  }

  // The candidate's rows, log line and move, then the removal of a source folder that the
  // loop has left.
  void Finish(const Settled& settled, bool durable) {
    const Candidate& candidate = settled.candidate;
    context_.view.SetProgressValue(static_cast<int64_t>(candidate.index));
    const std::string relative = candidate.Relative();
    switch (settled.work) {
      case Work::kCopy:
        if (preview_) {
          ReportPlannedCopy(settled);
          break;
        }
        [[fallthrough]];
      case Work::kFolderNotOpened:
        ReportCopy(settled, durable);
        break;
      case Work::kUnchanged:
        // An unchanged file is already in the backup: moving it only removes the source.
        if (move_ && preview_) {
          ReportPlannedMove(settled);
        } else if (move_) {
          MoveUnchanged(settled, durable);
        }
        break;
      case Work::kVersionNotKept:
        context_.AddRow("Couldn't keep an old version of " + relative + ", so it was not replaced" +
                            Because(settled.result.error),
                        kRed);
        context_.CountError();
        break;
      case Work::kLinkInBackup:
        context_.AddRow("Left alone a link in the backup: " + relative, kRed);
        context_.CountError();
        break;
      case Work::kSharedName:
        context_.AddRow("Not moved " + relative +
                            ": the backup holds a different file of this name, and job '" +
                            context_.sharedWith + "' also backs up there",
                        kRed);
        context_.CountError();
        break;
      case Work::kCaseCollision:
        context_.AddRow("Couldn't copy " + relative +
                            ": its name differs only in letter case from " + settled.other,
                        kRed);
        context_.CountError();
        break;
    }
    // A source folder that the loop has left goes when the move has emptied it.
    if (move_ && !preview_ && finishedFolders_ && finishedFolders_ != candidate.folders) {
      RemoveSourceFolderIfEmpty(finishedFolders_->relative);
    }
    finishedFolders_ = candidate.folders;
  }

  // Removes the source's folder `relative` when it holds nothing; the job's source folder
  // too.
  void RemoveSourceFolderIfEmpty(const std::string& relative) {
    if (relative.empty()) {
      RemoveFolderIfEmpty(fs_, job_.source);
      return;
    }
    const std::string path(relative, 0, relative.size() - 1);
    const size_t cut = path.find_last_of(kPathSeparator);
    const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    const Folder parent =
        fs_.OpenFolderIn(source_, cut == std::string::npos ? std::string() : path.substr(0, cut));
    (void)fs_.RemoveFolderIn(parent, name);  // a folder that is not empty stays
  }

  // The rows of a copy that a preview announces, coloured like those of the run.
  void ReportPlannedCopy(const Settled& settled) {
    const std::string relative = settled.candidate.Relative();
    if (settled.replaces && context_.versions) {
      context_.AddRow("Would keep an old version of " + relative, kGrey);
    }
    context_.state.copiedTotal.fetch_add(1);
    context_.previewBytes += settled.size;
    if (move_) {
      context_.AddRow("Would move " + relative, kGreen);
    } else {
      context_.AddRow((settled.replaces ? "Would replace " : "Would copy ") + relative, kGreen);
    }
  }

  // An unchanged file of a Move: its source would go once the backup is found to hold its
  // bytes, which the preview reads as the run would.
  void ReportPlannedMove(const Settled& settled) {
    const std::string relative = settled.candidate.Relative();
    const MoveVerdict verdict = JudgeUnchangedMove(fs_, settled.candidate.Pair(), settled.judged,
                                                   !VerdictRestsOnBytes());
    if (verdict == MoveVerdict::kDelete) {
      context_.AddRow("Would move " + relative, kGreen);
    } else {
      context_.AddRow(NotMovedRow(relative, verdict), kRed);
    }
  }

  void ReportCopy(const Settled& settled, bool durable) {
    const std::string relative = settled.candidate.Relative();
    const FilePair pair = settled.candidate.Pair();
    if (settled.result.outcome != CopyOutcome::kCopied) {
      context_.AddRow("Couldn't copy " + relative + Because(settled.result.error), kRed);
      context_.CountError();
      // The old copy went to the version folder for nothing: it comes back.
      if (settled.keptVersion) {
        (void)context_.versions->PutBack(pair.backup, settled.candidate.folders->relative,
                                         pair.name);
      }
      return;
    }
    if (settled.keptVersion) {
      context_.AddRow("Kept an old version of " + relative, kGrey);
      context_.log.WriteLine(" . Kept old version: " + relative);
    }
    context_.state.copiedTotal.fetch_add(1);
    if (move_) {
      const MoveVerdict verdict = durable ? JudgeCopiedMove(fs_, pair, settled.result.copiedFrom)
                                          : MoveVerdict::kNoPlainCopy;
      if (verdict != MoveVerdict::kDelete || !durable) {
        KeepSource(relative, verdict, durable);
        context_.log.WriteLine(" . Copied: " + relative);
        return;
      }
      if (fs_.DeleteFileIn(pair.source, pair.name).ok()) {
        context_.AddRow("Moved " + relative, kGreen);
        context_.log.WriteLine(" . Moved: " + relative);
        return;
      }
    }
    context_.AddRow("Copied " + relative, move_ ? kOlive : kGreen);
    context_.log.WriteLine(" . Copied: " + relative);
  }

  void MoveUnchanged(const Settled& settled, bool durable) {
    const FilePair pair = settled.candidate.Pair();
    const MoveVerdict verdict =
        durable ? JudgeUnchangedMove(fs_, pair, settled.judged, !VerdictRestsOnBytes())
                : MoveVerdict::kNoPlainCopy;
    if (verdict != MoveVerdict::kDelete || !durable) {
      KeepSource(settled.candidate.Relative(), verdict, durable);
      return;
    }
    (void)fs_.DeleteFileIn(pair.source, pair.name);  // a failure leaves the file where it was
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
  const bool preview_;  // copies, moves and folder removals only announced
  const Folder source_;
  const Folder destination_;
  const Dates dates_;  // only the date method compares dates
  DestinationFacts destinationFacts_;
  std::shared_ptr<const FolderPair> folders_;  // of the candidate judged last
  std::unique_ptr<CopyWorkers> workers_;
  std::optional<CaseCollisions> collisions_;
  std::deque<Pending> pending_;
  std::vector<Settled> moveBatch_;
  int64_t moveBatchBytes_ = 0;
  size_t moveBatchFolders_ = 0;
  std::vector<Settled> flushedBatch_;  // its copies are being made durable
  std::future<bool> flushing_;
  std::shared_ptr<const FolderPair> finishedFolders_;  // of the candidate finished last
  std::string lastStatus_;
};

}  // namespace

void RunCopyLoop(JobContext& context) {
  CopyLoop(context).Run();
}

}  // namespace brisvel
