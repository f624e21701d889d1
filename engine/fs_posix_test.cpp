#include "engine/fs_posix.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "engine/file_io_posix.h"
#include "engine/test_fs_util.h"

namespace brisvel {
namespace {

namespace stdfs = std::filesystem;

struct stat StatOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
  return info;
}

class PosixFsTest : public ::testing::Test {
 protected:
  FolderEntry Find(const std::string& name) {
    auto listing = fs_.List(dir_ / "");
    FolderEntry entry;
    while (listing && listing->Next(entry)) {
      if (entry.name == name) return entry;
    }
    ADD_FAILURE() << name << " not listed";
    return {};
  }

  // A file holding `content`, a folder, and links to each and to nothing.
  void MakeFileFolderAndLinks(const std::string& content) {
    dir_.Write("file", content);
    stdfs::create_directory(dir_ / "folder");
    stdfs::create_symlink(dir_ / "file", dir_ / "to-file");
    stdfs::create_symlink(dir_ / "folder", dir_ / "to-folder");
    stdfs::create_symlink(dir_ / "gone", dir_ / "dangling");
  }

  FileSystem& fs_ = RealFileSystem();
  TempFolder dir_;
};

TEST_F(PosixFsTest, RootIsAFolderAndLinksAreFollowedForSizes) {
  MakeFileFolderAndLinks("12345");
  EXPECT_EQ(fs_.FileSize("/"), kIsFolder);
  EXPECT_EQ(fs_.FileSize(dir_ / "to-file"), 5);
  EXPECT_EQ(fs_.FileSize(dir_ / "to-folder/"), kIsFolder);
  EXPECT_EQ(fs_.FileSize(dir_ / "dangling"), kNothingThere);
}

TEST_F(PosixFsTest, ListingTellsLinksDevicesAndPipes) {
  MakeFileFolderAndLinks("x");
  ASSERT_EQ(mkfifo((dir_ / "pipe").c_str(), 0600), 0);

  EXPECT_EQ(Find("file").kind, EntryKind::kFile);
  EXPECT_FALSE(Find("file").isLink);
  EXPECT_EQ(Find("folder").kind, EntryKind::kFolder);
  EXPECT_EQ(Find("to-file").kind, EntryKind::kFile);
  EXPECT_TRUE(Find("to-file").isLink);
  // A link to a folder is never reported as a folder, so no walk can enter it.
  EXPECT_EQ(Find("to-folder").kind, EntryKind::kLink);
  EXPECT_TRUE(Find("to-folder").isLink);
  EXPECT_EQ(Find("dangling").kind, EntryKind::kLink);
  EXPECT_EQ(Find("pipe").kind, EntryKind::kOther);
  EXPECT_FALSE(Find("pipe").isLink);
}

// Only a path that definitely does not exist counts as missing; anything that stops the
// look-up is unknown, so callers that delete keep what they cannot see.
TEST_F(PosixFsTest, LookupSaysMissingOnlyWhenCertain) {
  dir_.Write("file", "x");
  stdfs::create_directory(dir_ / "folder");
  stdfs::create_symlink(dir_ / "folder", dir_ / "to-folder");
  stdfs::create_symlink(dir_ / "gone", dir_ / "dangling");
  EXPECT_EQ(fs_.Lookup(dir_ / "file"), PathState::kFile);
  EXPECT_EQ(fs_.Lookup(dir_ / "folder/"), PathState::kFolder);
  EXPECT_EQ(fs_.Lookup(dir_ / "to-folder/"), PathState::kFile);
  EXPECT_EQ(fs_.Lookup(dir_ / "dangling"), PathState::kFile);
  EXPECT_EQ(fs_.Lookup(dir_ / "missing"), PathState::kMissing);
  EXPECT_EQ(fs_.Lookup(dir_ / "file/below"), PathState::kMissing);
  EXPECT_EQ(fs_.Lookup(dir_ / std::string(300, 'n')), PathState::kUnknown);
}

// The date is the wall-clock reading of the place the program runs, with the offset that
// was in force on that day (summer time included).
// A folder opened below another is reached without any link on the way, and once open it
// stays the folder that was opened: swapped for a link to a folder elsewhere, it still
// receives what is made, copied and deleted in it, and the folder elsewhere never does.
void ExpectAnOpenFolderToStay(FileSystem& fs, const TempFolder& dir) {
  dir.Write("dst/sub/old.txt", "old");
  dir.Write("outside/old.txt", "outside");
  dir.Write("outside/new.txt", "outside");
  dir.Write("src/new.txt", "new");
  stdfs::create_directory_symlink(dir / "outside", dir / "dst/link");
  const Folder top = fs.OpenFolder(dir / "dst");
  const auto refusedAsALink = [&](const std::string& relative) {
    const int error = fs.OpenFolderIn(top, relative).Error();
    return error == ELOOP || error == ENOTDIR;
  };
  EXPECT_TRUE(refusedAsALink("link"));
  EXPECT_TRUE(refusedAsALink("link/"));
  EXPECT_TRUE(refusedAsALink("link/old.txt"));
  EXPECT_EQ(fs.OpenFolderIn(top, "sub/old.txt").Error(), ENOTDIR);
  EXPECT_EQ(fs.OpenFolderIn(top, "missing").Error(), ENOENT);
  const Folder sub = fs.OpenFolderIn(top, "sub");
  ASSERT_TRUE(sub);
  EXPECT_EQ(sub.Path(), dir / "dst/sub/");

  stdfs::rename(dir / "dst/sub", dir / "moved-away");
  stdfs::create_directory_symlink(dir / "outside", dir / "dst/sub");
  const Folder source = fs.OpenFolder(dir / "src");
  const std::string name = "new.txt";
  EXPECT_TRUE(fs.CopyFileIn(FilePair{source, sub, name}, CopyControl{}).ok());
  EXPECT_TRUE(fs.DeleteFileIn(sub, "old.txt").ok());
  EXPECT_TRUE(fs.CreateFolderIn(sub, "made").ok());
  EXPECT_EQ(fs.FactsIn(sub, "new.txt", Links::kEntryItself, Dates::kWithout).size, 3);
  EXPECT_EQ(dir.Names("moved-away"), "made|new.txt");
  EXPECT_EQ(dir.Names("outside"), "new.txt|old.txt");
  EXPECT_EQ(dir.Read("outside/new.txt"), "outside");
  EXPECT_TRUE(refusedAsALink("sub"));
}

TEST(PosixFolderTest, AnOpenFolderStaysTheFolderThatWasOpened) {
  // With openat2 and, as on older kernels, name by name.
  for (bool nameByName : {false, true}) {
    SCOPED_TRACE(nameByName);
    TempFolder dir;
    PosixFsSeams seams;
    seams.openNameByName = nameByName;
    ExpectAnOpenFolderToStay(*NewPosixFileSystem(seams), dir);
  }
}

TEST_F(PosixFsTest, FileDateIsShiftedByTheOffsetOfThatDay) {
  const char* saved = getenv("TZ");
  std::string savedZone = saved ? saved : "";
  setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
  tzset();
  dir_.Write("winter", "");
  dir_.Write("summer", "");
  const time_t winter = 1704067200;  // 2024-01-01 00:00:00 UTC
  const time_t summer = 1719792000;  // 2024-07-01 00:00:00 UTC
  const struct timespec winterTimes[2] = {{winter, 0}, {winter, 0}};
  const struct timespec summerTimes[2] = {{summer, 0}, {summer, 0}};
  utimensat(AT_FDCWD, (dir_ / "winter").c_str(), winterTimes, 0);
  utimensat(AT_FDCWD, (dir_ / "summer").c_str(), summerTimes, 0);
  int64_t winterDate = fs_.FileDate(dir_ / "winter");
  int64_t summerDate = fs_.FileDate(dir_ / "summer");
  saved ? setenv("TZ", savedZone.c_str(), 1) : unsetenv("TZ");
  tzset();
  EXPECT_EQ(winterDate, winter + 3600);
  EXPECT_EQ(summerDate, summer + 7200);
}

TEST_F(PosixFsTest, CopyTakesModeAndNanosecondDateButNoSpecialBits) {
  dir_.Write("from", "data");
  dir_.Write("to", "old");
  ASSERT_EQ(chmod((dir_ / "from").c_str(), 04751), 0);
  ASSERT_EQ(chmod((dir_ / "to").c_str(), 0600), 0);
  const struct timespec times[2] = {{1000000000, 123456789}, {1500000000, 987654321}};
  ASSERT_EQ(utimensat(AT_FDCWD, (dir_ / "from").c_str(), times, 0), 0);
  ASSERT_TRUE(fs_.CopyFile(dir_ / "from", dir_ / "to"));
  struct stat copy = StatOf(dir_ / "to");
  EXPECT_EQ(copy.st_mode & 07777, 0751u);  // no set-user-ID copy owned by root
  EXPECT_EQ(copy.st_mtim.tv_sec, 1500000000);
  EXPECT_EQ(copy.st_mtim.tv_nsec, 987654321);
  EXPECT_EQ(dir_.Read("to"), "data");
}

TEST_F(PosixFsTest, CopyOfALinkTakesTheContentAndReplacesALinkAtTheDestination) {
  dir_.Write("real", "real content");
  dir_.Write("victim", "must stay");
  stdfs::create_symlink(dir_ / "real", dir_ / "link");
  stdfs::create_symlink(dir_ / "victim", dir_ / "to");
  ASSERT_TRUE(fs_.CopyFile(dir_ / "link", dir_ / "to"));
  EXPECT_TRUE(S_ISREG(StatOf(dir_ / "to").st_mode));
  EXPECT_EQ(dir_.Read("to"), "real content");
  EXPECT_EQ(dir_.Read("victim"), "must stay");
}

TEST_F(PosixFsTest, PipesAreNeitherCopiedNorReadAndNeverBlock) {
  ASSERT_EQ(mkfifo((dir_ / "pipe").c_str(), 0600), 0);
  EXPECT_FALSE(fs_.CopyFile(dir_ / "pipe", dir_ / "to"));
  EXPECT_EQ(fs_.Crc32(dir_ / "pipe"), std::nullopt);
  EXPECT_EQ(fs_.Md5(dir_ / "pipe"), std::nullopt);
  EXPECT_EQ(dir_.Names(), "pipe");
}

std::unique_ptr<FileSystem> WithFaults(int64_t readFailsAfter, int64_t writeFailsAfter) {
  PosixFsSeams seams;
  seams.readFailsAfter = readFailsAfter;
  seams.writeFailsAfter = writeFailsAfter;
  return NewPosixFileSystem(seams);
}

std::string Pattern(size_t size) {
  std::string data(size, '\0');
  for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 131) ^ (i >> 12));
  return data;
}

TEST_F(PosixFsTest, CopyThroughTheBufferMatchesTheKernelCopy) {
  auto buffered = WithFaults(INT64_MAX, -1);
  for (size_t size : {size_t{0}, size_t{3 * 1024 * 1024 + 5}}) {
    const std::string data = Pattern(size);
    dir_.Write("from", data);
    ASSERT_TRUE(buffered->CopyFile(dir_ / "from", dir_ / "buffered"));
    ASSERT_TRUE(fs_.CopyFile(dir_ / "from", dir_ / "kernel"));
    EXPECT_EQ(dir_.Read("buffered"), data);
    EXPECT_EQ(dir_.Read("kernel"), data);
  }
  EXPECT_EQ(dir_.Names(), "buffered|from|kernel");
}

// A file of 64 MiB holding two small pieces of data copies as those pieces, also through
// the buffer, and reads back the same.
TEST_F(PosixFsTest, SparseFilesStaySparse) {
  constexpr off_t kSize = off_t{64} << 20;
  {
    UniqueFd file(open((dir_ / "from").c_str(), O_CREAT | O_WRONLY, 0644));
    ASSERT_EQ(ftruncate(file.get(), kSize), 0);
    ASSERT_EQ(pwrite(file.get(), "start", 5, 4096 * 3), 5);
    ASSERT_EQ(pwrite(file.get(), "middle", 6, kSize / 2), 6);
  }
  if (StatOf(dir_ / "from").st_blocks * 512 >= kSize) GTEST_SKIP() << "no holes on this drive";
  auto buffered = WithFaults(INT64_MAX, -1);
  for (FileSystem* fs : {&fs_, buffered.get()}) {
    ASSERT_TRUE(fs->CopyFile(dir_ / "from", dir_ / "to"));
    const struct stat copy = StatOf(dir_ / "to");
    EXPECT_EQ(copy.st_size, kSize);
    EXPECT_LT(copy.st_blocks * 512, 1 << 20);
    EXPECT_EQ(fs->Md5(dir_ / "to"), fs->Md5(dir_ / "from"));
  }
}

// Some drives keep no permission bits and say so in different ways; the copy is still good
// there, while a real failure of the call still fails the copy.
TEST_F(PosixFsTest, DrivesWithoutPermissionBitsStillTakeCopies) {
  dir_.Write("from", "data");
  for (int error : {EPERM, EOPNOTSUPP, ENOSYS, EIO}) {
    PosixFsSeams seams;
    seams.chmodError = error;
    EXPECT_EQ(NewPosixFileSystem(seams)->CopyFile(dir_ / "from", dir_ / "to"), error != EIO)
        << error;
  }
  EXPECT_EQ(dir_.Read("to"), "data");
  EXPECT_EQ(dir_.Names(), "from|to");
}

class FailingCopyTest : public PosixFsTest {
 protected:
  void SetUp() override {
    dir_.Write("from", Pattern(3 * 1024 * 1024));
    dir_.Write("to", "previous backup");
  }
  void ExpectOldCopyKept() {
    EXPECT_EQ(dir_.Read("to"), "previous backup");
    EXPECT_EQ(dir_.Names(), "from|to");  // no temporary file left
  }
};

TEST_F(FailingCopyTest, WriteErrorKeepsTheOldCopyAndSaysWhy) {
  auto full = WithFaults(-1, 1024 * 1024);
  EXPECT_FALSE(full->CopyFile(dir_ / "from", dir_ / "to"));
  EXPECT_EQ(errno, ENOSPC);  // the row's reason, not that of the clean-up after it
  ExpectOldCopyKept();
}

TEST_F(FailingCopyTest, ReadErrorKeepsTheOldCopyAndGivesNoChecksum) {
  auto failing = WithFaults(1024 * 1024, -1);
  EXPECT_FALSE(failing->CopyFile(dir_ / "from", dir_ / "to"));
  EXPECT_EQ(failing->Crc32(dir_ / "from"), std::nullopt);
  EXPECT_EQ(failing->Md5(dir_ / "from"), std::nullopt);
  ExpectOldCopyKept();
  // The next digest on this thread starts afresh.
  EXPECT_EQ(fs_.Md5(dir_ / "to"), fs_.Md5(dir_ / "to"));
  dir_.Write("abc", "abc");
  EXPECT_EQ(fs_.Md5(dir_ / "abc"), "900150983cd24fb0d6963f7d28e17f72");
  std::filesystem::remove(dir_ / "abc");
}

// A source that grows or shrinks while it is copied must not leave a copy whose size
// matches neither state, or one that matches a size it never had together with that date.
TEST_F(FailingCopyTest, SourceChangingDuringTheCopyFails) {
  const std::string from = dir_ / "from";
  for (bool buffered : {false, true}) {
    for (bool grow : {false, true}) {
      SCOPED_TRACE(std::to_string(buffered) + std::to_string(grow));
      PosixFsSeams seams;
      if (buffered) seams.readFailsAfter = INT64_MAX;
      seams.afterCopyBlock = [&] {
        if (grow) {
          std::ofstream(from, std::ios::app) << "more";
        } else {
          stdfs::resize_file(from, 1000);
        }
      };
      dir_.Write("from", Pattern(3 * 1024 * 1024));
      EXPECT_FALSE(NewPosixFileSystem(seams)->CopyFile(from, dir_ / "to"));
      EXPECT_EQ(errno, 0);  // no call failed, so no reason that would mislead
      ExpectOldCopyKept();
    }
  }
}

// A rewrite in place keeps the size, and a writer may put the old last-write time back: the
// copy, half old and half new, would then look up to date for ever. The change time tells.
TEST_F(FailingCopyTest, SourceRewrittenInPlaceWithItsOldDateFails) {
  const std::string from = dir_ / "from";
  const struct stat before = StatOf(from);
  for (bool buffered : {false, true}) {
    SCOPED_TRACE(buffered);
    PosixFsSeams seams;
    if (buffered) seams.readFailsAfter = INT64_MAX;
    seams.afterCopyBlock = [&] {
      int fd = open(from.c_str(), O_WRONLY);
      ASSERT_EQ(pwrite(fd, "NEW", 3, 0), 3);
      const struct timespec times[2] = {before.st_atim, before.st_mtim};
      futimens(fd, times);
      close(fd);
    };
    EXPECT_FALSE(NewPosixFileSystem(seams)->CopyFile(from, dir_ / "to"));
    ExpectOldCopyKept();
  }
}

// STOP breaks off a long copy between blocks; the old copy stays. A copy that succeeds tells
// the stamp of the source it read.
TEST_F(FailingCopyTest, InterruptedCopyKeepsTheOldCopyAndACompleteOneTellsItsSource) {
  PosixFsSeams seams;
  seams.readFailsAfter = INT64_MAX;  // blocks of a fixed size
  int blocks = 0;
  seams.afterCopyBlock = [&] { ++blocks; };
  auto fs = NewPosixFileSystem(seams);
  CopyControl stopAfterOne{[&] { return blocks >= 1; }, nullptr};
  EXPECT_FALSE(fs->CopyFile(dir_ / "from", dir_ / "to", stopAfterOne));
  EXPECT_EQ(blocks, 1);
  ExpectOldCopyKept();

  FileStamp copiedFrom;
  ASSERT_TRUE(fs_.CopyFile(dir_ / "from", dir_ / "to", CopyControl{nullptr, &copiedFrom}));
  EXPECT_EQ(fs_.Stamp(dir_ / "from", Links::kFollow), copiedFrom);
  EXPECT_EQ(copiedFrom.size, 3 * 1024 * 1024);
  EXPECT_FALSE(fs_.Stamp(dir_ / "to", Links::kFollow)->SameFile(copiedFrom));
}

// A copy where the backup has nothing yet is made without a name and named only once
// complete: while it is written, and after it fails or is broken off, its folder shows
// nothing. A name taken meanwhile is replaced the usual way.
TEST_F(PosixFsTest, ANewCopyHasANameOnlyOnceComplete) {
  dir_.Write("src/file", Pattern(3 * 1024 * 1024));
  stdfs::create_directory(dir_ / "dst");
  PosixFsSeams seams;
  seams.readFailsAfter = INT64_MAX;  // blocks of a fixed size
  std::string seenWhileCopying = "not copied";
  seams.afterCopyBlock = [&] { seenWhileCopying = dir_.Names("dst"); };
  auto fs = NewPosixFileSystem(seams);
  const Folder source = fs->OpenFolder(dir_ / "src");
  const Folder backup = fs->OpenFolder(dir_ / "dst");
  const std::string name = "file";
  const auto copyNew = [&](std::function<bool()> interrupted) {
    return fs->CopyFileIn(FilePair{source, backup, name},
                          CopyControl{std::move(interrupted), nullptr, true});
  };
  EXPECT_FALSE(copyNew([&] { return seenWhileCopying.empty(); }).ok());
  EXPECT_EQ(seenWhileCopying, "");
  EXPECT_EQ(dir_.Names("dst"), "");

  ASSERT_TRUE(copyNew(nullptr).ok());
  EXPECT_EQ(dir_.Read("dst/file"), dir_.Read("src/file"));
  EXPECT_EQ(StatOf(dir_ / "dst/file").st_mtim.tv_nsec, StatOf(dir_ / "src/file").st_mtim.tv_nsec);

  dir_.Write("dst/file", "appeared meanwhile");
  ASSERT_TRUE(copyNew(nullptr).ok());
  EXPECT_EQ(dir_.Read("dst/file"), dir_.Read("src/file"));
  EXPECT_EQ(dir_.Names("dst"), "file");
}

// Runs only where the test may mount (root with the mount capability).
TEST_F(FailingCopyTest, FullFileSystemKeepsTheOldCopy) {
  const std::string mountPoint = dir_ / "small";
  stdfs::create_directory(mountPoint);
  if (mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=256k") != 0) {
    stdfs::remove(mountPoint);
    GTEST_SKIP() << "cannot mount a tmpfs here";
  }
  dir_.Write("small/to", "previous backup");
  bool copied = fs_.CopyFile(dir_ / "from", dir_ / "small/to");
  std::string kept = dir_.Read("small/to");
  std::string names = dir_.Names("small");
  umount2(mountPoint.c_str(), MNT_DETACH);
  EXPECT_FALSE(copied);
  EXPECT_EQ(kept, "previous backup");
  EXPECT_EQ(names, "to");
}

}  // namespace
}  // namespace brisvel
