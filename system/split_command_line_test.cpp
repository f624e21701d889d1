#include "system/split_command_line.h"

#include <gtest/gtest.h>

namespace brisvel {
namespace {

using Arguments = std::vector<std::string>;

// The line as a user types it in a console or a shortcut, with the program's path first.
TEST(SplitCommandLineTest, AQuotedFolderKeepsItsFinalBackslash) {
  EXPECT_EQ(SplitCommandLine(R"("C:\Program Files\Brisvel\brisvel.exe" backup "C:\My Files\" )"
                             R"("D:\Back Up\" recursive)"),
            (Arguments{R"(C:\Program Files\Brisvel\brisvel.exe)", "backup", R"(C:\My Files\)",
                       R"(D:\Back Up\)", "recursive"}));
  EXPECT_EQ(SplitCommandLine("brisvel.exe\tbackup  C:\\src\\ D:\\dst\\\\ \\\"x\\\""),
            (Arguments{"brisvel.exe", "backup", "C:\\src\\", "D:\\dst\\\\", "\\\"x\\\""}));
}

TEST(SplitCommandLineTest, QuotesEndAnArgumentAndMayLeaveItEmptyOrOpen) {
  EXPECT_EQ(SplitCommandLine(R"(b filter "  jpg png " log "" x)"),
            (Arguments{"b", "filter", "  jpg png ", "log", "", "x"}));
  EXPECT_EQ(SplitCommandLine(R"(a"b" "c"d "open)"), (Arguments{"a\"b\"", "c", "d", "open"}));
  EXPECT_EQ(SplitCommandLine("  \t "), Arguments{});
  EXPECT_EQ(SplitCommandLine(R"(x ")"), (Arguments{"x", ""}));
}

}  // namespace
}  // namespace brisvel
