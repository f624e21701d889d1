#include "core/job_settings.h"

#include <cctype>
#include <charconv>

#include "core/text.h"

namespace brisvel {
namespace {

// A whole number of decimal digits only (no sign, no blanks inside), at most `most`.
std::optional<int64_t> ParseWhole(std::string_view digits, int64_t most) {
  if (digits.empty() || digits.size() > 18) return std::nullopt;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  int64_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size() || value > most) {
    return std::nullopt;
  }
  return value;
}

bool IsYes(std::string_view value) {
  const std::string lower = ToLower(value);
  return lower == "true" || lower == "yes" || lower == "1";
}

// A full path: "/..." here; "X:\..." or "\\server\..." on Windows.
bool IsAbsoluteFolder(std::string_view path) {
#ifdef _WIN32
  const bool driveLetter = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                           path[1] == ':' && IsAnySeparator(path[2]);
  return driveLetter || (path.size() >= 2 && IsAnySeparator(path[0]) && IsAnySeparator(path[1]));
#else
  return !path.empty() && path[0] == '/';
#endif
}

std::string Quoted(const char* name, const std::string& value) {
  return std::string(name) + "=\"" + PrintableText(value) + "\"";
}

}  // namespace

std::optional<DeletionLimit> ParseDeletionLimit(std::string_view text) {
  const std::string trimmed = Trim(text);
  if (trimmed.empty()) return DeletionLimit{};
  DeletionLimit limit;
  std::string_view digits = trimmed;
  if (digits.back() == '%') {
    digits.remove_suffix(1);
    limit.kind = DeletionLimit::Kind::kPercent;
  } else {
    limit.kind = DeletionLimit::Kind::kFiles;
  }
  const int64_t most =
      limit.kind == DeletionLimit::Kind::kPercent ? 100 : int64_t{999999999999999999};
  const std::optional<int64_t> value = ParseWhole(digits, most);
  if (!value) return std::nullopt;
  limit.value = *value;
  return limit;
}

std::string DeletionLimitText(const DeletionLimit& limit) {
  switch (limit.kind) {
    case DeletionLimit::Kind::kFiles:
      return std::to_string(limit.value);
    case DeletionLimit::Kind::kPercent:
      return std::to_string(limit.value) + "%";
    case DeletionLimit::Kind::kNone:
      break;
  }
  return "";
}

std::optional<int32_t> ParseCount(std::string_view text) {
  const std::string trimmed = Trim(text);
  if (trimmed.empty()) return 0;
  const std::optional<int64_t> value = ParseWhole(trimmed, kMaxCount);
  if (!value) return std::nullopt;
  return static_cast<int32_t>(*value);
}

bool VersionFolderAllowed(std::string_view folder) {
  return folder.empty() || IsAbsoluteFolder(folder) || StaysInsideFolder(folder);
}

std::vector<std::string> SplitPatterns(std::string_view text) {
  std::vector<std::string> patterns;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(';', start);
    if (end == std::string_view::npos) end = text.size();
    std::string pattern = Trim(text.substr(start, end - start));
    if (!pattern.empty()) patterns.push_back(std::move(pattern));
    start = end + 1;
  }
  return patterns;
}

void ReadJobSettings(const XmlElement& element, BackupJob& job, SettingProblems& problems) {
  const std::string prefix = "Job '" + PrintableText(job.name) + "': ";
  job.keepVersions = IsYes(element.Attribute("versions"));
  const std::string folder = element.Attribute("versionfolder");
  if (VersionFolderAllowed(folder)) {
    job.versionFolder = folder;
  } else {
    problems.push_back(prefix + Quoted("versionfolder", folder) +
                       " leaves the destination folder; old versions go to " +
                       kDefaultVersionFolder + " instead");
  }
  const auto readCount = [&](const char* name, const char* what, int32_t& count) {
    const std::string value = element.Attribute(name);
    if (const std::optional<int32_t> parsed = ParseCount(value)) {
      count = *parsed;
    } else {
      problems.push_back(prefix + Quoted(name, value) + " is not a whole number of " + what +
                         " from 0 to " + std::to_string(kMaxCount) + "; the setting is off");
    }
  };
  readCount("keepruns", "runs", job.keepRuns);
  readCount("keepdays", "days", job.keepDays);
  const std::string limit = element.Attribute("maxdelete");
  if (const std::optional<DeletionLimit> parsed = ParseDeletionLimit(limit)) {
    job.maxDelete = *parsed;
  } else {
    problems.push_back(prefix + Quoted("maxdelete", limit) +
                       " is neither a number of files nor a percentage from 0% to 100%; the "
                       "job has no deletion limit");
  }
  job.exclude = element.Attribute("exclude");
}

std::vector<std::pair<const char*, std::string>> JobSettingAttributes(const BackupJob& job) {
  std::vector<std::pair<const char*, std::string>> attributes;
  if (job.keepVersions) attributes.emplace_back("versions", "true");
  if (!job.versionFolder.empty()) attributes.emplace_back("versionfolder", job.versionFolder);
  if (job.keepRuns != 0) attributes.emplace_back("keepruns", std::to_string(job.keepRuns));
  if (job.keepDays != 0) attributes.emplace_back("keepdays", std::to_string(job.keepDays));
  if (job.maxDelete.IsSet()) attributes.emplace_back("maxdelete", DeletionLimitText(job.maxDelete));
  if (!job.exclude.empty()) attributes.emplace_back("exclude", job.exclude);
  return attributes;
}

std::string SettingProblemsMessage(const std::vector<std::string>& problems) {
  if (problems.empty()) return "";
  constexpr size_t kShown = 8;
  std::string message = "Some settings of this job file cannot be used:";
  for (size_t i = 0; i < problems.size() && i < kShown; ++i) message += "\n" + problems[i] + ".";
  if (problems.size() > kShown) {
    message += "\n(and " + std::to_string(problems.size() - kShown) + " more)";
  }
  return message;
}

}  // namespace brisvel
