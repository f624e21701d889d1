#include "engine/fs.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace brisvel {
namespace {

namespace stdfs = std::filesystem;

class FsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/brisvel-fs-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = std::string(pattern) + "/";
  }
  void TearDown() override { stdfs::remove_all(root_); }

  std::string Path(const std::string& relative) const { return root_ + relative; }

  void Write(const std::string& relative, const std::string& content) {
    std::ofstream(Path(relative), std::ios::binary) << content;
  }
  std::string Read(const std::string& relative) {
    std::ifstream in(Path(relative), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // name -> kind and link flag of every entry of a folder.
  std::map<std::string, std::pair<EntryKind, bool>> ListAll(const std::string& relative) {
    std::map<std::string, std::pair<EntryKind, bool>> entries;
    auto listing = fs_.List(Path(relative));
    EXPECT_NE(listing, nullptr);
    if (!listing) return entries;
    FolderEntry entry;
    while (listing->Next(entry)) entries[entry.name] = {entry.kind, entry.isLink};
    return entries;
  }

  FileSystem& fs_ = RealFileSystem();
  std::string root_;
};

TEST_F(FsTest, FileSizeTellsFilesFoldersAndNothing) {
  Write("a.txt", "hello");
  Write("empty", "");
  stdfs::create_directory(Path("sub"));
  EXPECT_EQ(fs_.FileSize(Path("a.txt")), 5);
  EXPECT_EQ(fs_.FileSize(Path("empty")), 0);
  EXPECT_EQ(fs_.FileSize(Path("sub")), kIsFolder);
  EXPECT_EQ(fs_.FileSize(Path("sub/")), kIsFolder);
  EXPECT_EQ(fs_.FileSize(Path("sub///")), kIsFolder);
  EXPECT_EQ(fs_.FileSize("/"), kIsFolder);
  EXPECT_EQ(fs_.FileSize(Path("missing")), kNothingThere);
  EXPECT_EQ(fs_.FileSize(""), kNothingThere);
}

TEST_F(FsTest, ListingSkipsDotsAndTellsKinds) {
  Write("a.txt", "x");
  stdfs::create_directory(Path("sub"));
  auto entries = ListAll("");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries["a.txt"].first, EntryKind::kFile);
  EXPECT_EQ(entries["sub"].first, EntryKind::kFolder);
}

TEST_F(FsTest, CopyWritesTheContent) {
  Write("from", "content");
  ASSERT_TRUE(fs_.CopyFile(Path("from"), Path("to")));
  EXPECT_EQ(Read("to"), "content");
}

TEST_F(FsTest, ChecksumsOfKnownData) {
  Write("abc", "abc");
  Write("empty", "");
  EXPECT_EQ(fs_.Crc32(Path("abc")), 0x352441c2u);
  EXPECT_EQ(fs_.Md5(Path("abc")), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(fs_.Crc32(Path("empty")), 0u);
  EXPECT_EQ(fs_.Md5(Path("empty")), "d41d8cd98f00b204e9800998ecf8427e");
}

}  // namespace
}  // namespace brisvel
