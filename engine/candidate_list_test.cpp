#include "engine/candidate_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brisvel {
namespace {

// Names that share beginnings with the name before them, and some that do not; long names
// whose lengths need more than one byte; enough of them to fill several blocks. Each reads
// back exactly, in order, with its folder.
TEST(CandidateListTest, ReadsBackEveryNameAndFolderInOrder) {
  struct Entry {
    std::string folder;
    std::string name;
  };
  std::vector<Entry> written;
  CandidateList list;
  for (int folder = 0; folder < 40; ++folder) {
    const std::string relative = folder == 0 ? "" : "dir" + std::to_string(folder) + "/";
    list.BeginFolder(relative);
    for (int i = 0; i < 300; ++i) {
      std::string name = "IMG_" + std::to_string(20240000 + i * 7) + ".jpg";
      if (i % 50 == 1) name = std::string(200 + i, 'x');
      if (i % 50 == 2) name = "I";  // all of it shared with the name before
      written.push_back({relative, name});
      list.Add(name);
    }
  }
  list.BeginFolder("empty/");  // no file follows: it takes no place
  ASSERT_EQ(list.Size(), written.size());

  CandidateList::Reader reader(list);
  for (size_t i = 0; i < written.size(); ++i) {
    ASSERT_TRUE(reader.Next()) << i;
    EXPECT_EQ(reader.Index(), i);
    EXPECT_EQ(reader.Folder(), written[i].folder) << i;
    EXPECT_EQ(reader.Name(), written[i].name) << i;
    EXPECT_EQ(reader.FirstOfFolder(), i % 300 == 0) << i;
  }
  EXPECT_FALSE(reader.Next());

  list.Clear();
  list.Add("after clearing");
  CandidateList::Reader again(list);
  ASSERT_TRUE(again.Next());
  EXPECT_EQ(again.Path(), "after clearing");
  EXPECT_FALSE(again.Next());
}

}  // namespace
}  // namespace brisvel
