// Test helpers whose answer depends on the platform the tests run on: whether they run under
// Wine, which cannot give Windows' own answer for some cases, and symbolic links made from a
// test.
#pragma once

#include <string>

namespace brisvel {

// True when the tests run under Wine rather than on Windows itself.
bool RunsUnderWine();

// Makes a symbolic link at `link` to `target` (a folder link when `target` is a folder, or
// `folder` says so for a target that does not exist). False when it could not be made.
bool MakeSymbolicLink(const std::string& target, const std::string& link, bool folder = false);

}  // namespace brisvel

// Skips the rest of a test that needs symbolic links made from the test: Wine reports such a
// link as made and makes nothing, so the test's answer there would say nothing about Windows.
#define SKIP_UNLESS_LINKS_CAN_BE_MADE()                                             \
  do {                                                                              \
    if (::brisvel::RunsUnderWine()) GTEST_SKIP() << "Wine makes no symbolic links"; \
  } while (false)
