// A job whose source and destination folders lie under a fresh temporary folder, and the
// context its phases run in, for the tests of the scans and the comparison.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>

#include "engine/faulty_fs.h"
#include "engine/job_context.h"
#include "engine/recording_progress_view.h"

namespace brisvel {

namespace stdfs = std::filesystem;

class JobFixture : public ::testing::Test {
 protected:
  JobFixture() {
    char pattern[] = "/tmp/brisvel-scan-XXXXXX";
    if (mkdtemp(pattern) == nullptr) ADD_FAILURE() << "no temporary folder";
    root_ = std::string(pattern) + "/";
    job_.source = root_ + "src/";
    job_.destination = root_ + "dst/";
    job_.flags = kEnabled | kIncludeSubFolders;
    stdfs::create_directories(job_.source);
    stdfs::create_directories(job_.destination);
  }
  ~JobFixture() override { stdfs::remove_all(root_); }

  // Writes `path` (under the temporary folder), creating its folders.
  void Write(const std::string& path, const std::string& content = "x") {
    stdfs::create_directories(stdfs::path(root_ + path).parent_path());
    std::ofstream(root_ + path, std::ios::binary) << content;
  }
  std::string Read(const std::string& path) const {
    std::ifstream in(root_ + path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // True when anything, even a dangling link, is at `path`.
  bool Exists(const std::string& path) const {
    return stdfs::exists(stdfs::symlink_status(root_ + path));
  }

  // A fresh context over the fault injector, which passes everything on to the real disk.
  JobContext& Context() { return context_.emplace(JobContext{faulty_, view_, state_, job_, log_}); }

  // The candidates as a set: the listing order is the file system's.
  std::set<std::string> CandidatePaths() const {
    std::set<std::string> paths;
    for (size_t i = 0; i < context_->candidates.Size(); ++i) {
      paths.insert(context_->candidates.Path(i));
    }
    return paths;
  }

  std::string root_;
  BackupJob job_;
  SharedRunState state_;
  RecordingProgressView view_;
  BackupLog log_;
  FaultyFileSystem faulty_{RealFileSystem()};
  std::optional<JobContext> context_;
};

}  // namespace brisvel
