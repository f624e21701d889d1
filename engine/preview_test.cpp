#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "engine/test_job_run_fixture.h"

namespace brisvel {
namespace {

using Rows = std::vector<std::string>;
using Paths = std::set<std::string>;

// Paths as the manifests write them, with '/'.
Paths Generic(const std::vector<std::string>& paths) {
  Paths generic;
  for (std::string path : paths) {
    for (char& c : path) c = c == '\\' ? '/' : c;
    generic.insert(path);
  }
  return generic;
}

class PreviewTest : public JobRunFixture {
 protected:
  // A tree with new files (some in folders the backup lacks), changed and unchanged ones,
  // and orphans, one of them in a folder of its own.
  void MakeTree() {
    for (int i = 0; i < 12; ++i) {
      const std::string name = "f" + std::to_string(i) + ".txt";
      const std::string folder = i % 3 == 0 ? "" : i % 3 == 1 ? "one/" : "one/two/";
      Write("src/" + folder + name, "bytes of " + name);
      if (i % 4 == 0) continue;  // new
      Write("dst/" + folder + name, i % 4 == 1 ? "older bytes" : "bytes of " + name);
      SetTime("dst/" + folder + name, Time("src/" + folder + name));
    }
    Write("src/fresh/deep/n.txt", "new");
    Write("dst/gone.txt");
    Write("dst/old/deep/gone.txt");
  }

  // Changes nothing anywhere under the temporary folder, and returns the rows.
  Rows PreviewChangingNothing() {
    const auto before = Manifest("");
    const Rows rows = Run(true);
    EXPECT_EQ(Manifest(""), before);
    EXPECT_EQ(state_.errorCount, 0);
    return rows;
  }

  // The files (or folders, for "dir") that differ between two manifests of one tree.
  static Paths Changed(const std::map<std::string, std::string>& before,
                       const std::map<std::string, std::string>& after, bool gone, bool dirs) {
    Paths paths;
    const auto& from = gone ? before : after;
    const auto& to = gone ? after : before;
    for (const auto& [path, facts] : from) {
      if ((facts == "dir") != dirs || path.starts_with(".brisvel")) continue;
      const auto there = to.find(path);
      if (there == to.end() || (!gone && there->second != facts)) paths.insert(path);
    }
    return paths;
  }
};

TEST_F(PreviewTest, ChangesNothingAndTheRunAfterItDoesExactlyWhatItListed) {
  Job().flags |= kDeleteOrphans | kUpdateLogFile;
  Job().keepVersions = true;
  MakeTree();
  const auto sources = Manifest("src");
  const Rows planned = PreviewChangingNothing();
  EXPECT_EQ(view_->ColourOf("Would delete gone.txt"), kGreen);
  EXPECT_EQ(view_->ColourOf("Would replace f9.txt"), kGreen);

  const Paths copied = Generic(RowsAfter(planned, "Would copy "));
  const Paths replaced = Generic(RowsAfter(planned, "Would replace "));
  Paths copies;
  int64_t bytes = 0;
  for (const Paths* paths : {&copied, &replaced}) {
    for (const std::string& path : *paths) {
      if (!sources.count(path)) continue;  // the totals row
      copies.insert(path);
      bytes += std::stoll(sources.at(path));
    }
  }
  Paths deleted = Generic(RowsAfter(planned, "Would delete "));
  Paths folders;
  for (const std::string& folder : Generic(RowsAfter(planned, "Would delete folder "))) {
    deleted.erase("folder " + folder);
    folders.insert(folder.substr(0, folder.size() - 1));
  }
  deleted.erase(std::to_string(deleted.size() - 1) + " files.");
  EXPECT_EQ(planned.end()[-3], "Would copy " + std::to_string(copies.size()) + " files, " +
                                   std::to_string(bytes) + " bytes.");
  EXPECT_EQ(copies.size(), 7u);
  EXPECT_EQ(deleted, (Paths{"gone.txt", "old/deep/gone.txt"}));
  EXPECT_EQ(folders, (Paths{"old", "old/deep"}));
  Paths versions = replaced;
  versions.insert(deleted.begin(), deleted.end());
  EXPECT_EQ(Generic(RowsAfter(planned, "Would keep an old version of ")), versions);

  const auto before = Manifest("dst");
  Run();
  const auto after = Manifest("dst");
  copies.insert("backup.log");  // the run's own log, which a preview never writes
  EXPECT_EQ(Changed(before, after, false, false), copies);
  EXPECT_EQ(Changed(before, after, true, false), deleted);
  EXPECT_EQ(Changed(before, after, true, true), folders);
  EXPECT_EQ(Run(true).end()[-3], "Would copy 0 files, 0 bytes.");
}

TEST_F(PreviewTest, MoveListsEverySourceTheRunTakes) {
  Job().flags |= kMoveInsteadOfCopy;
  Job().compareMethod = kCompareCrc32;
  MakeTree();
  const Rows planned = PreviewChangingNothing();
  const auto before = Manifest("src");
  Run();
  EXPECT_EQ(Changed(before, Manifest("src"), true, false),
            Generic(RowsAfter(planned, "Would move ")));
}

TEST_F(PreviewTest, MissingDestinationWouldGetEverything) {
  Write("src/a.txt", "abc");
  Write("src/sub/b.txt", "de");
  Job().flags |= kDeleteOrphans;
  const Rows planned = PreviewChangingNothing();
  EXPECT_FALSE(Exists("dst"));
  EXPECT_EQ(Generic(RowsAfter(planned, "Would copy ")),
            (Paths{"a.txt", "sub/b.txt", "2 files, 5 bytes."}));
}

}  // namespace
}  // namespace brisvel
