#include <gtest/gtest.h>

#include <string>

#include "core/atomic_file.h"
#include "core/test_folder.h"
#include "core/wide_text_win32.h"
#include "core/windows_win32.h"

namespace brisvel {
namespace {

constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY;

DWORD KeptAttributesOf(const std::string& path) {
  return GetFileAttributesW(WidePath(path).c_str()) & kKeptAttributes;
}

// A file that another program holds open cannot be replaced: the save fails, and the old
// contents stay, with no temporary file beside them.
TEST(AtomicFileWin32Test, ReplacesTheFileOrLeavesItWhole) {
  TestFolder folder;
  const std::string path = folder / "jobs.jbs";
  ASSERT_TRUE(WriteFileAtomically(path, "first, longer"));
  ASSERT_TRUE(WriteFileAtomically(path, "second"));
  EXPECT_EQ(ReadFile(path), "second");
  HANDLE held =
      CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteFileAtomically(path, "third"));
  CloseHandle(held);
  EXPECT_EQ(ReadFile(path), "second");
  EXPECT_EQ(folder.Names(), "jobs.jbs");
}

// The new file is made hidden until it is complete: a saved file is visible, and one the
// user had hidden stays hidden.
TEST(AtomicFileWin32Test, TheSavedFileKeepsTheVisibilityOfTheOldOne) {
  TestFolder folder;
  const std::string path = folder / "jobs.jbs";
  ASSERT_TRUE(WriteFileAtomically(path, "new"));
  EXPECT_EQ(KeptAttributesOf(path), 0u);
  ASSERT_TRUE(SetFileAttributesW(WidePath(path).c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(WriteFileAtomically(path, "again"));
  EXPECT_EQ(ReadFile(path), "again");
  EXPECT_EQ(KeptAttributesOf(path), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
}

}  // namespace
}  // namespace brisvel
