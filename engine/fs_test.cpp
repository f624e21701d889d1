#include "engine/fs.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "engine/copies_in_flight.h"
#include "engine/test_fs_util.h"

namespace brisvel {
namespace {

namespace stdfs = std::filesystem;

class FsTest : public ::testing::Test {
 protected:
  // name -> kind of every entry of a folder, sorted by name.
  std::map<std::string, EntryKind> ListAll(const std::string& relative) {
    std::map<std::string, EntryKind> entries;
    auto listing = fs_.List(dir_ / relative);
    EXPECT_NE(listing, nullptr);
    FolderEntry entry;
    while (listing && listing->Next(entry)) entries[entry.name] = entry.kind;
    return entries;
  }

  // "" when nothing but `expected` is in the folder: no temporary file was left behind.
  void ExpectOnly(const std::string& expected, const std::string& relative = "") {
    EXPECT_EQ(dir_.Names(relative), expected);
  }

  FileSystem& fs_ = RealFileSystem();
  TempFolder dir_;
};

TEST_F(FsTest, FileSizeTellsFilesFoldersAndNothing) {
  dir_.Write("a.txt", "hello");
  dir_.Write("empty", "");
  stdfs::create_directory(dir_ / "sub");
  EXPECT_EQ(fs_.FileSize(dir_ / "a.txt"), 5);
  EXPECT_EQ(fs_.FileSize(dir_ / "empty"), 0);
  EXPECT_EQ(fs_.FileSize(dir_ / "sub"), kIsFolder);
  EXPECT_EQ(fs_.FileSize(dir_ / "sub/"), kIsFolder);
  EXPECT_EQ(fs_.FileSize(dir_ / "sub///"), kIsFolder);
  EXPECT_EQ(fs_.FileSize(dir_ / "missing"), kNothingThere);
  EXPECT_EQ(fs_.FileSize(dir_ / "a.txt/below"), kNothingThere);
  EXPECT_EQ(fs_.FileSize(""), kNothingThere);
  EXPECT_EQ(fs_.List(dir_ / "missing/"), nullptr);
}

TEST_F(FsTest, FileSizeOfAHugeSparseFileIsExact) {
  const int64_t size = (int64_t{5} << 30) + 7;
  dir_.Write("huge", "");
  stdfs::resize_file(dir_ / "huge", size);
  EXPECT_EQ(fs_.FileSize(dir_ / "huge"), size);
  EXPECT_EQ(fs_.Facts(dir_ / "huge").size, size);
}

TEST_F(FsTest, FactsAgreeWithSizeAndDate) {
  dir_.Write("a.txt", "hello");
  FileFacts facts = fs_.Facts(dir_ / "a.txt");
  EXPECT_EQ(facts.size, 5);
  EXPECT_EQ(facts.localDate, fs_.FileDate(dir_ / "a.txt"));
  EXPECT_NE(facts.localDate, 0);
  EXPECT_EQ(fs_.Facts(dir_ / "sub/").size, kNothingThere);
  EXPECT_EQ(fs_.Facts(dir_ / "missing").localDate, 0);
  EXPECT_EQ(fs_.FileDate(dir_ / "missing"), 0);
}

TEST_F(FsTest, UnusualNamesPassThroughUnchanged) {
  const std::vector<std::string> names = {"with blank",
                                          "Grüße ü ß 日本",
                                          ".hidden",
                                          "..two dots",
#ifndef _WIN32  // Windows refuses '"' and drops a final blank or dot from names
                                          " leading and trailing ",
                                          "it's \"quoted\"",
                                          "trail."
#endif
  };
  for (const std::string& name : names) dir_.Write(name, name);
  stdfs::create_directory(dir_ / "copies");
  std::map<std::string, EntryKind> entries = ListAll("");
  EXPECT_EQ(entries.size(), names.size() + 1);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    EXPECT_EQ(entries[name], EntryKind::kFile);
    EXPECT_EQ(fs_.FileSize(dir_ / name), static_cast<int64_t>(name.size()));
    ASSERT_TRUE(fs_.CopyFile(dir_ / name, dir_ / ("copies/" + name)));
    EXPECT_EQ(dir_.Read("copies/" + name), name);
  }
}

TEST_F(FsTest, CreateFolderMakesOnlyTheLastFolder) {
  EXPECT_TRUE(fs_.CreateFolder(dir_ / "one//"));
  EXPECT_EQ(fs_.FileSize(dir_ / "one"), kIsFolder);
  EXPECT_FALSE(fs_.CreateFolder(dir_ / "one"));  // exists already
  EXPECT_FALSE(fs_.CreateFolder(dir_ / "x/y/"));
  EXPECT_EQ(fs_.FileSize(dir_ / "x"), kNothingThere);
}

// Trailing blanks are part of a name here: a folder "name " must not turn into "name", or
// nothing could ever be copied into it.
TEST_F(FsTest, CreateFolderKeepsTrailingBlanksOfTheName) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows drops trailing blanks from names";
#endif
  EXPECT_TRUE(fs_.CreateFolder(dir_ / "name  /"));
  ExpectOnly("name  ");
  EXPECT_EQ(EnsureFolderPath(fs_, dir_ / "deep /er "), 1);
  EXPECT_EQ(fs_.FileSize(dir_ / "deep /er /"), kIsFolder);
}

TEST_F(FsTest, EnsureFolderPathCreatesEveryMissingLevel) {
  EXPECT_EQ(EnsureFolderPath(fs_, dir_ / "a/b/c"), 1);
  EXPECT_EQ(fs_.FileSize(dir_ / "a/b/c/"), kIsFolder);
  EXPECT_EQ(EnsureFolderPath(fs_, dir_ / "a/b/c/"), 1);  // exists already
  EXPECT_EQ(EnsureFolderPath(fs_, dir_ / "a//x/"), 1);
  EXPECT_EQ(fs_.FileSize(dir_ / "a/x"), kIsFolder);
}

TEST_F(FsTest, EnsureFolderPathFailsBelowAFileAndForNothing) {
  dir_.Write("file", "data");
  EXPECT_EQ(EnsureFolderPath(fs_, dir_ / "file/"), 0);
  EXPECT_EQ(EnsureFolderPath(fs_, dir_ / "file/sub/deeper/"), 0);
  EXPECT_EQ(dir_.Read("file"), "data");
  EXPECT_EQ(EnsureFolderPath(fs_, ""), 0);
}

TEST_F(FsTest, RemoveFolderIfEmptyRemovesOnlyEmptyFolders) {
  stdfs::create_directories(dir_ / "holder/empty-child");
  stdfs::create_directory(dir_ / "with-file");
  dir_.Write("with-file/.hidden", "");
  stdfs::create_directory(dir_ / "empty");
  RemoveFolderIfEmpty(fs_, dir_ / "holder/");
  RemoveFolderIfEmpty(fs_, dir_ / "with-file/");
  RemoveFolderIfEmpty(fs_, dir_ / "empty/");
  RemoveFolderIfEmpty(fs_, dir_ / "missing/");
  ExpectOnly("holder|with-file");
  ExpectOnly("empty-child", "holder");
}

TEST_F(FsTest, CopyOverwritesAndTakesTheSourceDate) {
  dir_.Write("from", "new content");
  dir_.Write("to", "old");
  stdfs::file_time_type date = stdfs::last_write_time(dir_ / "from") - std::chrono::hours(50);
  stdfs::last_write_time(dir_ / "from", date);
  ASSERT_TRUE(fs_.CopyFile(dir_ / "from", dir_ / "to"));
  EXPECT_EQ(dir_.Read("to"), "new content");
  EXPECT_EQ(stdfs::last_write_time(dir_ / "to"), date);
  EXPECT_EQ(fs_.FileDate(dir_ / "to"), fs_.FileDate(dir_ / "from"));
  ExpectOnly("from|to");
}

TEST_F(FsTest, FailedCopyLeavesTheOldCopyAndNoTemporaryFile) {
  dir_.Write("to", "old copy");
  stdfs::create_directories(dir_ / "folder/inside");
  EXPECT_FALSE(fs_.CopyFile(dir_ / "missing", dir_ / "to"));
  EXPECT_FALSE(fs_.CopyFile(dir_ / "folder", dir_ / "to"));
  EXPECT_FALSE(fs_.CopyFile(dir_ / "to/", dir_ / "to"));
  EXPECT_FALSE(fs_.CopyFile(dir_ / "to", dir_ / "folder"));
  EXPECT_FALSE(fs_.CopyFile(dir_ / "to", dir_ / "nowhere/to"));
  EXPECT_EQ(dir_.Read("to"), "old copy");
  ExpectOnly("folder|to");
  ExpectOnly("inside", "folder");
}

// One run at a time in a destination: while a run holds the folder, a second lock of it is
// refused, however the folder is spelt, and the work of the run inside the folder goes on.
TEST_F(FsTest, AFolderLockShutsOutASecondRunButNotTheWorkInside) {
  dir_.Write("old.txt", "old");
  dir_.Write("from", "new");
  {
    std::unique_ptr<FolderLock> run = fs_.LockFolder(dir_ / "");
    ASSERT_NE(run, nullptr);
    EXPECT_TRUE(fs_.CreateFolder(dir_ / "sub/"));
    EXPECT_EQ(fs_.LockFolder(dir_ / ""), nullptr);
    EXPECT_EQ(fs_.LockFolder(dir_ / "sub/.."), nullptr);
    EXPECT_NE(fs_.LockFolder(dir_ / "sub/"), nullptr);  // only the folder itself is held
    EXPECT_TRUE(fs_.CopyFile(dir_ / "from", dir_ / "old.txt"));
    EXPECT_TRUE(fs_.CreateEmptyFile(dir_ / ".marker"));
    EXPECT_TRUE(fs_.DeleteFile(dir_ / "from"));
    EXPECT_NE(fs_.List(dir_ / ""), nullptr);
  }
  EXPECT_NE(fs_.LockFolder(dir_ / ""), nullptr);  // released with its holder
  EXPECT_EQ(dir_.Read("old.txt"), "new");
  ExpectOnly(".marker|old.txt|sub");
}

// A second Ctrl+C ends the program at once after removing the temporary files of the copies
// under way: that works while a copy still writes its file, and the copy then fails, keeping
// the old copy.
TEST_F(FsTest, ACopyInFlightCanBeRemovedWhileItIsWritten) {
  dir_.Write("from", "new");
  dir_.Write("to", "old copy");
  int calls = 0;
  CopyControl control;
  control.interrupted = [&] {
    if (calls++ == 0) RemoveCopiesInFlight();
    return false;
  };
  EXPECT_FALSE(fs_.CopyFile(dir_ / "from", dir_ / "to", control));
  EXPECT_GT(calls, 0);
  EXPECT_EQ(dir_.Read("to"), "old copy");
  ExpectOnly("from|to");
}

// Paths are never shortened to make them fit: an over-long one simply fails.
TEST_F(FsTest, OverLongPathsFailInsteadOfBeingCut) {
  const std::string longName(300, 'n');
  const std::string longPath = dir_ / (longName + "/file");
  dir_.Write("from", "x");
  EXPECT_FALSE(fs_.CreateFolder(dir_ / longName));
  EXPECT_EQ(EnsureFolderPath(fs_, longPath), 0);
  EXPECT_FALSE(fs_.CopyFile(dir_ / "from", dir_ / longName));
  EXPECT_EQ(fs_.FileSize(dir_ / longName), kNothingThere);
  EXPECT_EQ(fs_.Crc32(dir_ / longName), std::nullopt);
  ExpectOnly("from");
}

TEST_F(FsTest, ChecksumsOfKnownData) {
  dir_.Write("abc", "abc");
  dir_.Write("empty", "");
  EXPECT_EQ(fs_.Crc32(dir_ / "abc"), 0x352441c2u);
  EXPECT_EQ(fs_.Md5(dir_ / "abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(fs_.Crc32(dir_ / "empty"), 0u);
  EXPECT_EQ(fs_.Md5(dir_ / "empty"), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST_F(FsTest, ChecksumsCoverEveryBlockOfALargeFile) {
  std::string data(2 * 1024 * 1024 + 3, 'a');
  data.back() = 'b';
  dir_.Write("large", data);
  uint32_t expected = crc32_z(0, reinterpret_cast<const Bytef*>(data.data()), data.size());
  EXPECT_EQ(fs_.Crc32(dir_ / "large"), expected);
  std::string changed = data;
  changed.back() = 'c';
  dir_.Write("changed", changed);
  EXPECT_NE(fs_.Md5(dir_ / "large"), fs_.Md5(dir_ / "changed"));
  EXPECT_NE(fs_.Crc32(dir_ / "large"), fs_.Crc32(dir_ / "changed"));
}

// A file that cannot be read gives no checksum at all, never one that an empty or equal
// file could match.
TEST_F(FsTest, UnreadableFilesHaveNoChecksum) {
  stdfs::create_directory(dir_ / "folder");
  for (const std::string& path : {dir_ / "folder", dir_ / "missing", std::string()}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(fs_.Crc32(path), std::nullopt);
    EXPECT_EQ(fs_.Md5(path), std::nullopt);
  }
}

}  // namespace
}  // namespace brisvel
