// A list of one job whose source and destination lie under a fresh temporary folder, run
// whole through the job runner with a clock the test sets, for the tests of what a run leaves
// on disk.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/job_list.h"
#include "core/test_folder.h"
#include "engine/test_faulty_fs.h"
#include "engine/job_runner.h"
#include "engine/recording_progress_view.h"

namespace brisvel {

class JobRunFixture : public ::testing::Test {
 protected:
  JobRunFixture() {
    root_ = folder_.Path() + kPathSeparator;
    BackupJob job = DefaultJob();
    job.name = "Job";
    job.source = root_ + "src";
    job.destination = root_ + "dst";
    job.flags = kEnabled | kIncludeSubFolders;
    jobs_.Append(job);
    std::filesystem::create_directories(FsPath(job.source));
  }

  BackupJob& Job() { return jobs_.At(0); }

  // Runs the list once (a preview with `preview`) and returns the rows.
  std::vector<std::string> Run(bool preview = false) {
    view_ = std::make_unique<RecordingProgressView>();
    state_.errorCount = 0;
    state_.copiedTotal = 0;
    state_.deletedTotal = 0;
    state_.cancel = 0;
    state_.runState = kRunning;
    RunEnvironment env{jobs_, settings_, state_, *view_, faulty_, {}, [this] { return now_; }};
    env.computerFolders = {};
    env.preview = preview;
    JobRunner(env);
    return view_->Texts();
  }

  void Write(const std::string& path, const std::string& content = "x") {
    WriteFile(root_ + NativePath(path), content);
  }
  std::string Read(const std::string& path) const { return ReadFile(root_ + NativePath(path)); }
  bool Exists(const std::string& path) const {
    return std::filesystem::exists(std::filesystem::symlink_status(FsPath(root_ + NativePath(path))));
  }
  std::filesystem::file_time_type Time(const std::string& path) const {
    return std::filesystem::last_write_time(FsPath(root_ + NativePath(path)));
  }
  void SetTime(const std::string& path, std::filesystem::file_time_type time) {
    std::filesystem::last_write_time(FsPath(root_ + NativePath(path)), time);
  }

  // Every entry under `folder` with what a run may change of it: "dir", or size, modified
  // time and bytes.
  std::map<std::string, std::string> Manifest(const std::string& folder) const {
    std::map<std::string, std::string> entries;
    const std::filesystem::path top = FsPath(root_ + folder);
    if (!std::filesystem::exists(top)) return entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(top)) {
      const std::string name = std::filesystem::relative(entry.path(), top).generic_string();
      if (entry.is_directory()) {
        entries[name] = "dir";
        continue;
      }
      entries[name] = std::to_string(entry.file_size()) + " " +
                      std::to_string(entry.last_write_time().time_since_epoch().count()) + " " +
                      ReadFile(entry.path().string());
    }
    return entries;
  }

  // The rows that start with `prefix`, without it, sorted.
  std::vector<std::string> RowsAfter(const std::vector<std::string>& rows,
                                     const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& row : rows) {
      if (row.starts_with(prefix)) found.push_back(row.substr(prefix.size()));
    }
    std::sort(found.begin(), found.end());
    return found;
  }

  bool Has(const std::vector<std::string>& rows, const std::string& row) const {
    return std::find(rows.begin(), rows.end(), NativePath(row)) != rows.end();
  }

  TestFolder folder_;
  std::string root_;
  JobList jobs_;
  RunSettings settings_;
  SharedRunState state_;
  std::unique_ptr<RecordingProgressView> view_;
  FaultyFileSystem faulty_{RealFileSystem()};
  std::time_t now_ = 1765000000;  // early December 2025
};

}  // namespace brisvel
