#include "system/download_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/test_folder.h"
#include "system/test_loopback_server.h"

namespace brisvel {
namespace {

// Time-outs scaled down so that the waits these tests provoke take a fraction of a second.
DownloadLimits ShortLimits() {
  DownloadLimits limits;
  limits.receiveMs = 300;
  limits.silenceMs = 100;
  return limits;
}

class DownloadTest : public ::testing::Test {
 protected:
  std::string Out() { return folder_ / "out"; }
  TestFolder folder_;
};

TEST_F(DownloadTest, SendsTheRequestAndStoresTheBody) {
  LoopbackServer server({"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n", "hello"});
  ASSERT_NE(server.Port(), 0);
  const std::string port = std::to_string(server.Port());
  ASSERT_TRUE(DownloadFile(server.Url("x?y=1#z"), Out(), ShortLimits()));
  EXPECT_EQ(ReadFile(Out()), "hello");
  ASSERT_TRUE(DownloadFile("http://me@127.0.0.1:" + port, Out(), ShortLimits()));
  ASSERT_EQ(server.Requests().size(), 2u);
  EXPECT_EQ(server.Requests()[0], "GET /x?y=1#z HTTP/1.1\r\nAccept: */*\r\nHost: 127.0.0.1:" +
                                      port + "\r\nConnection: close\r\n\r\n");
  EXPECT_EQ(server.Requests()[1], "GET / HTTP/1.1\r\nAccept: */*\r\nHost: 127.0.0.1:" + port +
                                      "\r\nConnection: close\r\n\r\n");
}

TEST_F(DownloadTest, AnEarlyCloseKeepsWhatArrived) {
  LoopbackServer server({"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npart"});
  ASSERT_TRUE(DownloadFile(server.Url("f"), Out(), DownloadLimits{}));
  EXPECT_EQ(ReadFile(Out()), "part");
}

TEST_F(DownloadTest, ABodyWithoutLengthEndsInSilence) {
  LoopbackServer server({"HTTP/1.1 200 OK\r\n\r\nall of it"}, LoopbackServer::End::kHoldOpen);
  ASSERT_TRUE(DownloadFile(server.Url("f"), Out(), ShortLimits()));
  EXPECT_EQ(ReadFile(Out()), "all of it");
}

TEST_F(DownloadTest, FailuresCreateNoFile) {
  LoopbackServer missing({"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n"});
  EXPECT_FALSE(DownloadFile(missing.Url("f"), Out(), ShortLimits()));
  LoopbackServer silent({}, LoopbackServer::End::kHoldOpen);
  EXPECT_FALSE(DownloadFile(silent.Url("f"), Out(), ShortLimits()));
  EXPECT_FALSE(DownloadFile(silent.Url(std::string(3000, 'p')), Out(), ShortLimits()));
  EXPECT_EQ(silent.Requests().size(), 1u);  // the long request was never sent
  EXPECT_FALSE(DownloadFile("http://127.0.0.1:0/f", Out(), ShortLimits()));  // refused
  EXPECT_FALSE(DownloadFile("127.0.0.1/f", Out(), ShortLimits()));
  EXPECT_FALSE(std::filesystem::exists(Out()));
}

}  // namespace
}  // namespace brisvel
