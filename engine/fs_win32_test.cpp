#include "engine/fs_win32.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "core/test_folder.h"

namespace brisvel {
namespace {

namespace stdfs = std::filesystem;

// Greek, Cyrillic and Chinese letters: none of them is in code page 1252, so any call that
// went through the ANSI code page would lose them.
const std::string kWideName = "\xce\xa9mega \xd0\x96\xd1\x83\xd0\xba \xe4\xb8\xad.txt";

TEST(Win32FsTest, NamesOutsideTheAnsiCodePageAreListedCopiedAndSummed) {
  TestFolder folder;
  WriteFile(folder / kWideName, "abc");
  FileSystem& fs = RealFileSystem();
  auto listing = fs.List(folder.Path() + "\\");
  ASSERT_NE(listing, nullptr);
  FolderEntry entry;
  ASSERT_TRUE(listing->Next(entry));
  EXPECT_EQ(entry.name, kWideName);
  EXPECT_EQ(entry.kind, EntryKind::kFile);
  EXPECT_FALSE(listing->Next(entry));
  EXPECT_EQ(fs.FileSize(folder / kWideName), 3);
  ASSERT_TRUE(fs.CopyFile(folder / kWideName, folder / ("copy " + kWideName)));
  EXPECT_EQ(ReadFile(folder / ("copy " + kWideName)), "abc");
  EXPECT_EQ(fs.Md5(folder / kWideName), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(fs.Crc32(folder / kWideName), 0x352441c2u);
}

TEST(Win32FsTest, PathsOverTheClassicLimitWork) {
  TestFolder folder;
  std::string deep = folder.Path() + "\\";
  while (deep.size() < 300) deep += std::string(40, 'd') + "\\";
  ASSERT_EQ(EnsureFolderPath(RealFileSystem(), deep), 1);
  FileSystem& fs = RealFileSystem();
  EXPECT_EQ(fs.FileSize(deep), kIsFolder);
  WriteFile(folder / "short.txt", "data");
  ASSERT_TRUE(fs.CopyFile(folder / "short.txt", deep + "long.txt"));
  EXPECT_EQ(fs.FileSize(deep + "long.txt"), 4);
  EXPECT_TRUE(fs.DeleteFile(deep + "long.txt"));
  EXPECT_EQ(fs.FileSize(deep + "long.txt"), kNothingThere);
}

TEST(Win32FsTest, SlashesDrivesAndTrailingSeparatorsFollowTheSizeRules) {
  TestFolder folder;
  FileSystem& fs = RealFileSystem();
  std::string slashed = folder.Path();
  for (char& c : slashed) c = c == '\\' ? '/' : c;
  EXPECT_EQ(fs.FileSize(slashed + "/"), kIsFolder);
  EXPECT_EQ(fs.FileSize(folder.Path() + "\\\\"), kIsFolder);
  EXPECT_EQ(fs.FileSize("C:"), kIsFolder);
  EXPECT_EQ(fs.FileSize("C:\\"), kIsFolder);
  // A drive letter that names no drive.
  EXPECT_EQ(fs.FileSize("Q:\\"), kNothingThere);
  EXPECT_EQ(fs.FileSize(""), kNothingThere);
}

TEST(Win32FsTest, FailedCopyKeepsTheOldCopyAndLeavesNoTemporaryFile) {
  TestFolder folder;
  WriteFile(folder / "new.txt", std::string(3 << 20, 'n'));
  WriteFile(folder / "old.txt", "old contents");
  auto failing = NewWin32FileSystem({.readFailsAfter = -1, .writeFailsAfter = 1 << 20});
  EXPECT_FALSE(failing->CopyFile(folder / "new.txt", folder / "old.txt"));
  EXPECT_EQ(errno, ENOSPC);
  EXPECT_EQ(ReadFile(folder / "old.txt"), "old contents");
  EXPECT_EQ(folder.Names(), "new.txt|old.txt");
}

TEST(Win32FsTest, CopyTakesTheLastWriteTimeAndReplacesAReadOnlyOldCopy) {
  TestFolder folder;
  WriteFile(folder / "src.txt", "new");
  WriteFile(folder / "dst.txt", "old");
  const auto when = std::chrono::file_clock::from_sys(
      std::chrono::sys_seconds(std::chrono::seconds(1'000'000'000)));
  stdfs::last_write_time(FsPath(folder / "src.txt"), when);
  stdfs::permissions(FsPath(folder / "dst.txt"), stdfs::perms::owner_write,
                     stdfs::perm_options::remove);
  FileSystem& fs = RealFileSystem();
  ASSERT_TRUE(fs.CopyFile(folder / "src.txt", folder / "dst.txt"));
  EXPECT_EQ(ReadFile(folder / "dst.txt"), "new");
  EXPECT_EQ(fs.FileDate(folder / "dst.txt"), fs.FileDate(folder / "src.txt"));
  EXPECT_EQ(stdfs::last_write_time(FsPath(folder / "dst.txt")), when);
}

}  // namespace
}  // namespace brisvel
