#include "engine/candidate_list.h"

#include <gtest/gtest.h>

namespace brisvel {
namespace {

TEST(CandidateListTest, KeepsTheOrderAndTheFolderOfEveryFile) {
  CandidateList list;
  list.BeginFolder("");
  list.Add("a.txt");
  list.BeginFolder("sub/");
  list.Add("b.txt");
  list.BeginFolder("");
  list.Add("c.txt");
  ASSERT_EQ(list.Size(), 3u);
  EXPECT_EQ(list.Path(0), "a.txt");
  EXPECT_EQ(list.Path(1), "sub/b.txt");
  EXPECT_EQ(list.Folder(1), "sub/");
  EXPECT_EQ(list.Name(1), "b.txt");
  EXPECT_EQ(list.Path(2), "c.txt");
  list.Clear();
  EXPECT_TRUE(list.Empty());
  list.Add("d.txt");  // a file without a folder begun is at the top
  EXPECT_EQ(list.Path(0), "d.txt");
}

}  // namespace
}  // namespace brisvel
