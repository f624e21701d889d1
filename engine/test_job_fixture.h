// A job whose source and destination folders lie under a fresh temporary folder, and the
// context its phases run in, for the tests of the scans and the comparison.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>

#include "core/test_folder.h"
#include "engine/test_faulty_fs.h"
#include "engine/job_context.h"
#include "engine/recording_progress_view.h"
#include "engine/scan.h"

namespace brisvel {

namespace stdfs = std::filesystem;

class JobFixture : public ::testing::Test {
 protected:
  JobFixture() {
    if (folder_.Path().empty()) ADD_FAILURE() << "no temporary folder";
    root_ = folder_.Path() + kPathSeparator;
    job_.source = root_ + NativePath("src/");
    job_.destination = root_ + NativePath("dst/");
    job_.flags = kEnabled | kIncludeSubFolders;
    stdfs::create_directories(job_.source);
    stdfs::create_directories(job_.destination);
  }

  // Writes `path` (under the temporary folder), creating its folders.
  void Write(const std::string& path, const std::string& content = "x") {
    WriteFile(root_ + path, content);
  }
  std::string Read(const std::string& path) const { return ReadFile(root_ + path); }
  // True when anything, even a dangling link, is at `path`.
  bool Exists(const std::string& path) const {
    return stdfs::exists(stdfs::symlink_status(FsPath(root_ + path)));
  }

  // A fresh context over the fault injector, which passes everything on to the real disk.
  JobContext& Context() { return context_.emplace(JobContext{faulty_, view_, state_, job_, log_}); }

  // The candidates as a set, written with "/" whatever the platform's separator: the
  // listing order is the file system's.
  std::set<std::string> CandidatePaths() const {
    std::set<std::string> paths;
    CandidateList::Reader reader(context_->candidates);
    while (reader.Next()) {
      std::string path = reader.Path();
      for (char& c : path) c = c == kPathSeparator ? '/' : c;
      paths.insert(path);
    }
    return paths;
  }

  TestFolder folder_;
  std::string root_;
  BackupJob job_;
  SharedRunState state_;
  RecordingProgressView view_;
  BackupLog log_;
  FaultyFileSystem faulty_{RealFileSystem()};
  std::optional<JobContext> context_;
};

// A fixture whose Scan runs the new-file scan over the job's source.
class ScanTest : public JobFixture {
 protected:
  void Scan(const std::string& filter = "") {
    JobContext& context = Context();
    context.extensionFilter = filter;
    context.baseLength = job_.source.size();
    ScanNewFiles(context);
  }
};

}  // namespace brisvel
