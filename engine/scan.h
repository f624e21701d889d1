// The two walks of a job: the new-file scan of the source and the orphan scan of the
// destination.
#pragma once

#include <functional>
#include <string>

#include "engine/job_context.h"

namespace brisvel {

// "|jpg|png|" for the filter text "JPG, png"; empty when it holds no extension.
std::string BuildExtensionFilter(const std::string& filterText);

// True when `name` passes `filter` (an empty filter passes everything).
bool PassesFilter(const std::string& filter, const std::string& name);

// Walks the job's source folder, creates the matching destination folders and collects the
// files that pass the filter into the candidate list. Never enters the destination folder.
// A folder that cannot be read or made is a red row and an error: its files are not backed
// up.
void ScanNewFiles(JobContext& context);

// The path of the job's log file below the destination, spelt as the walks spell paths
// ("sub/x.log"); empty when the job keeps no log there.
std::string LogFileInBackup(const BackupJob& job);

// The red row and error of a job whose source folder is missing, given once per job.
void ReportMissingSource(JobContext& context);

// The orphan phase: deletes from the destination every file and folder that the source
// definitely no longer has, with its rows and log lines. Skipped with a red row and an error
// when the source folder is missing, or empty while the destination holds files; a source
// sub-folder that is empty while its backup holds files keeps that backup the same way.
void RunOrphanPhase(JobContext& context);

// True when the candidate at `relativePath` must be copied by the job's compare method.
bool NeedsCopy(JobContext& context, const std::string& relativePath);

// The same for the candidate `pair`, with the destination entry's facts (links not followed)
// already looked up and the source's facts looked up by `sourceFacts` (called at most once,
// only when the destination exists).
bool NeedsCopy(JobContext& context, const FilePair& pair, const FileFacts& destinationFacts,
               const std::function<FileFacts()>& sourceFacts);

}  // namespace brisvel
