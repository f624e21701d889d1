// The texts of the job settings that go beyond a job's options (old versions, a deletion
// limit, exclusions): how job files and command lines write them, and the values each may
// take. The job-file reader, the command line and the Job Options dialog share these rules.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/backup_job.h"
#include "core/xml_reader.h"

namespace brisvel {

// A number of files ("50") or a share of the destination's files ("50%", from 0 to 100);
// blanks around it are ignored. An empty text is no limit. nullopt for anything else.
std::optional<DeletionLimit> ParseDeletionLimit(std::string_view text);

// "50", "50%", or "" for no limit.
std::string DeletionLimitText(const DeletionLimit& limit);

// A whole number from 0 to kMaxCount; an empty text is 0. nullopt for anything else.
inline constexpr int32_t kMaxCount = 1000000;
std::optional<int32_t> ParseCount(std::string_view text);

// True when `folder` may hold a job's old versions as a job file names it: empty, absolute,
// or relative without a ".." part (so it lies inside the destination).
bool VersionFolderAllowed(std::string_view folder);

// The patterns of an exclusion text: the parts between ';', without blanks around them,
// empty parts left out.
std::vector<std::string> SplitPatterns(std::string_view text);

// What is wrong with one of the job's settings, as "keepruns="-3" is not a whole number of
// runs from 0 to 1000000"; one entry per setting that was turned off.
using SettingProblems = std::vector<std::string>;

// Reads the attributes of these settings from a job element into `job`. A value that breaks
// its rule leaves its setting off and adds a problem.
void ReadJobSettings(const XmlElement& element, BackupJob& job, SettingProblems& problems);

// The attributes these settings add to a job element, in the order they are written, each
// only when it differs from its default: name and value pairs.
std::vector<std::pair<const char*, std::string>> JobSettingAttributes(const BackupJob& job);

// The message a loaded job file gives when some of its settings were turned off; "" when
// there is no problem.
std::string SettingProblemsMessage(const std::vector<std::string>& problems);

}  // namespace brisvel
