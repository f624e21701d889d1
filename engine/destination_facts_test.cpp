#include "engine/destination_facts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "core/test_folder.h"
#include "core/test_platform.h"
#include "core/text.h"

namespace brisvel {
namespace {

namespace stdfs = std::filesystem;

class DestinationFactsTest : public ::testing::Test {
 protected:
  DestinationFactsTest() : root_(folder_.Path() + kPathSeparator) {}

  void Write(const std::string& relative, size_t bytes) {
    stdfs::create_directories(stdfs::path(root_ + relative).parent_path());
    std::ofstream(root_ + relative) << std::string(bytes, 'x');
  }

  TestFolder folder_;
  std::string root_;
  CandidateList candidates_;
};

TEST_F(DestinationFactsTest, GivesEachCandidateTheFactsOfItsOwnPathInListOrder) {
  Write("a.txt", 1);
  Write("sub/b.txt", 22);
  stdfs::create_directories(root_ + "sub/folder");
  candidates_.Add("a.txt");
  candidates_.Add("missing.txt");
  candidates_.BeginFolder("sub/");
  candidates_.Add("b.txt");
  candidates_.Add("folder");
  DestinationFacts facts(RealFileSystem(), RealFileSystem().OpenFolder(root_), candidates_,
                         Dates::kWith);
  EXPECT_EQ(facts.At(0).size, 1);
  EXPECT_EQ(facts.At(1).size, kNothingThere);
  EXPECT_EQ(facts.At(2).size, 22);
  EXPECT_EQ(facts.At(3).size, kIsFolder);
  EXPECT_EQ(facts.At(2).localDate, RealFileSystem().FileDate(root_ + "sub/b.txt"));
}

TEST_F(DestinationFactsTest, FolderLookupsAgreeWithWholePathLookups) {
  Write("sub/file", 7);
  stdfs::create_directories(root_ + "sub/folder");
  std::vector<std::string> names = {"file", "folder", "missing"};
  if (!RunsUnderWine()) {  // Wine makes no symbolic links
    ASSERT_TRUE(MakeSymbolicLink(root_ + NativePath("sub/file"), root_ + NativePath("sub/link")));
    ASSERT_TRUE(MakeSymbolicLink(root_ + "nowhere", root_ + NativePath("sub/dangling")));
    names.insert(names.end(), {"link", "dangling"});
  }
  FileSystem& fs = RealFileSystem();
  const Folder sub = fs.OpenFolderIn(fs.OpenFolder(root_), "sub");
  ASSERT_TRUE(sub);
  for (const std::string& name : names) {
    for (Links links : {Links::kFollow, Links::kEntryItself}) {
      const FileFacts byName = fs.FactsIn(sub, name, links, Dates::kWith);
      const std::string path = root_ + NativePath("sub/") + name;
      const FileFacts byPath = links == Links::kFollow ? fs.Facts(path) : fs.EntryFacts(path);
      EXPECT_EQ(byName.size, byPath.size) << name;
      EXPECT_EQ(byName.localDate, byPath.localDate) << name;
      EXPECT_EQ(byName.kind, byPath.kind) << name;
    }
  }
}

TEST_F(DestinationFactsTest, ListsLongerThanItsWindowGetEveryEntrysOwnFacts) {
  const size_t count = DestinationFacts::kWindow * 2 + 5;
  Write("present", 3);
  for (size_t i = 0; i < count; ++i) candidates_.Add(i % 1000 == 7 ? "present" : "absent");
  DestinationFacts facts(RealFileSystem(), RealFileSystem().OpenFolder(root_), candidates_,
                         Dates::kWith);
  for (size_t i = 0; i < count; ++i) {
    ASSERT_EQ(facts.At(i).size, i % 1000 == 7 ? 3 : kNothingThere) << i;
  }
}

TEST_F(DestinationFactsTest, StopsCleanlyWhenTheLoopEndsEarly) {
  for (size_t i = 0; i < DestinationFacts::kWindow * 3; ++i) candidates_.Add("f");
  DestinationFacts facts(RealFileSystem(), RealFileSystem().OpenFolder(root_), candidates_,
                         Dates::kWith);
  EXPECT_EQ(facts.At(0).size, kNothingThere);
}

}  // namespace
}  // namespace brisvel
