// The check runs on a thread of its own: whatever a server does, it ends by its deadline,
// while the caller's thread keeps waiting for its windows.
#include "system/update_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/test_folder.h"
#include "system/test_loopback_server.h"

namespace brisvel {
namespace {

class UpdateCheckDeadlineTest : public ::testing::Test {
 protected:
  // Checks with `secondary` as the first location; `wait` is the caller's.
  void Check(LoopbackServer& secondary, int deadlineMs, const UpdateWait& wait) {
    UpdateSources sources;
    sources.networkAvailable = true;
    sources.secondaryUrl = secondary.Url("release/brisvel.xml");
    sources.primaryUrl = unused_.Url("brisvel/brisvel.xml");
    sources.temporaryPath = folder_ / "brisvel.tmp";
    sources.deadlineMs = deadlineMs;
    sources.openWebPage = [] {};
    CheckForUpdates(
        [this](const std::string& text, MessageIcon, bool) {
          shown_.push_back(text);
          return MessageAnswer::kNo;
        },
        sources, wait);
  }

  TestFolder folder_;
  LoopbackServer unused_{{"HTTP/1.1 500 Unused\r\n\r\n"}};
  std::vector<std::string> shown_;
};

// A body a byte at a time, and a chunk-size line that never ends: each read gets its byte in
// time, the whole check does not.
TEST_F(UpdateCheckDeadlineTest, AServerThatDripsIsCutOffAtTheDeadline) {
  const std::vector<std::string> answers[] = {
      {"HTTP/1.1 200 OK\r\n\r\n<r release=\"12\" "},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5;"},
  };
  for (const std::vector<std::string>& answer : answers) {
    shown_.clear();
    LoopbackServer dripping(answer, LoopbackServer::End::kDrip);
    int waits = 0;
    Check(dripping, 300, [&] { return ++waits > 0; });
    EXPECT_EQ(shown_, std::vector<std::string>{"No updates found."}) << answer[0];
    EXPECT_GT(waits, 1);
    EXPECT_EQ(folder_.Names(), "");
    EXPECT_TRUE(unused_.Requests().empty());
  }
}

// A caller that closes while the body arrives: no message, and no file left of the download.
TEST_F(UpdateCheckDeadlineTest, GivingUpEndsTheCheckAtOnceWithoutAFile) {
  LoopbackServer dripping({"HTTP/1.1 200 OK\r\nContent-Length: 900\r\n\r\n<r"},
                          LoopbackServer::End::kDrip);
  // Gives up once the download writes its body beside the temporary path.
  Check(dripping, 30'000, [this] { return folder_.Names().empty(); });
  EXPECT_TRUE(shown_.empty());
  EXPECT_EQ(folder_.Names(), "");
  EXPECT_EQ(dripping.Requests().size(), 1u);
}

}  // namespace
}  // namespace brisvel
