#include <gtest/gtest.h>

#include <filesystem>

#include "core/test_folder.h"
#include "core/test_platform.h"
#include "system/download_file.h"
#include "system/http_url.h"
#include "system/test_scripted_connection.h"

namespace brisvel {
namespace {

TEST(HttpRequest, NamesPathHostAndPortAsTheServerExpects) {
  EXPECT_EQ(*HttpRequest(SplitUrl("http://h/dir/file.xml")),
            "GET /dir/file.xml HTTP/1.1\r\nAccept: */*\r\nHost: h\r\nConnection: close\r\n\r\n");
  EXPECT_EQ(*HttpRequest(SplitUrl("http://h:8080/x?y=1#z")),
            "GET /x?y=1#z HTTP/1.1\r\nAccept: */*\r\nHost: h:8080\r\nConnection: close\r\n\r\n");
  for (const char* bare : {"http://h", "http://h/", "ftp://h:80"}) {
    EXPECT_EQ(*HttpRequest(SplitUrl(bare)),
              "GET / HTTP/1.1\r\nAccept: */*\r\nHost: h\r\nConnection: close\r\n\r\n")
        << bare;
  }
}

TEST(HttpRequest, SplitsTheUnusualUrls) {
  HttpUrl at = SplitUrl("http://user:secret@h:81/p");
  EXPECT_EQ(at.host, "h");
  EXPECT_EQ(at.port, 81);
  EXPECT_EQ(at.path, "p");
  // The port is cut to 16 bits; a port without digits is 0; a ":" in the path is no port.
  EXPECT_EQ(SplitUrl("http://h:65617/").port, 81);
  EXPECT_EQ(SplitUrl("http://h:x/").port, 0);
  EXPECT_EQ(SplitUrl("http://h/a:9").port, 80);
  EXPECT_EQ(SplitUrl("h/dir").host, "");
}

TEST(HttpRequest, RefusesARequestThatWouldNotFitTheBuffer) {
  // 58 fixed bytes + path + host + terminating zero must fit host + 2048 bytes.
  EXPECT_TRUE(HttpRequest(SplitUrl("http://h/" + std::string(1989, 'p'))));
  EXPECT_FALSE(HttpRequest(SplitUrl("http://h/" + std::string(1990, 'p'))));
  EXPECT_FALSE(HttpRequest(SplitUrl("http://h:8080/" + std::string(1985, 'p'))));
}

class ResponseTest : public ::testing::Test {
 protected:
  // Runs the response rules over `reads`; the output is the file "out".
  bool Receive(std::vector<std::string> reads) {
    ScriptedConnection connection(std::move(reads));
    bool ok = ReceiveResponse(connection, Out(), limits_);
    readCount_ = connection.ReadCount();
    return ok;
  }
  std::string Out() { return folder_ / "out"; }
  bool OutExists() { return std::filesystem::exists(Out()); }

  TestFolder folder_;
  DownloadLimits limits_;
  int readCount_ = 0;
};

const std::string kOk = "HTTP/1.1 200 OK\r\n";

TEST_F(ResponseTest, AcceptsOnly200Or302AndStoresTheRedirectsOwnBody) {
  EXPECT_FALSE(Receive({"HTTP/1.1 404 Not Found\r\nContent-Length: 2\r\n\r\nno"}));
  EXPECT_FALSE(OutExists());
  EXPECT_FALSE(Receive({}));  // nothing arrives at all
  EXPECT_FALSE(OutExists());
  // A length right after the colon, without the usual blank, counts too.
  EXPECT_TRUE(Receive({"HTTP/1.0 302 Found\r\nLocation: x\r\ncontent-length:5\r\n\r\nmoved"}));
  EXPECT_EQ(ReadFile(Out()), "moved");
}

TEST_F(ResponseTest, BodyWithALengthStopsAtTheLengthOrWhereThePeerStopped) {
  ASSERT_TRUE(Receive({kOk + "Content-Length: 0\r\n\r\nextra"}));
  EXPECT_EQ(ReadFile(Out()), "");
  // Several reads; a later length line overrides an earlier one; bytes past it are not kept.
  ASSERT_TRUE(
      Receive({kOk + "Content-Length: 99\r\nContent-Length:  10\r\n\r\n012", "3456", "789xyz"}));
  EXPECT_EQ(ReadFile(Out()), "0123456789");
  // The peer stops early: the shorter file counts as success.
  ASSERT_TRUE(Receive({kOk + "Content-Length: 10\r\n\r\n012", "34"}));
  EXPECT_EQ(ReadFile(Out()), "01234");
}

TEST_F(ResponseTest, ChunkedBodyIsTheConcatenationOfItsChunksHoweverTheyArrive) {
  const std::string head = kOk + "Transfer-Encoding: chunked\r\n\r\n";
  const std::string body =
      "4\r\nWiki\r\n6;name=value\r\npedia \r\n  D\r\nin\r\n\r\nchunks.\r\n0\r\nT: x\r\n\r\n";
  ASSERT_TRUE(Receive({head + body}));
  EXPECT_EQ(ReadFile(Out()), "Wikipedia in\r\n\r\nchunks.");
  // Every split of the body between reads gives the same file.
  for (size_t cut = 0; cut <= body.size(); ++cut) {
    ASSERT_TRUE(Receive({head + body.substr(0, cut), body.substr(cut)}));
    EXPECT_EQ(ReadFile(Out()), "Wikipedia in\r\n\r\nchunks.") << cut;
  }
  // A size line without digits counts as the last chunk.
  ASSERT_TRUE(Receive({head + "3\r\nabc\r\nzz\r\n3\r\ndef\r\n0\r\n\r\n"}));
  EXPECT_EQ(ReadFile(Out()), "abc");
}

TEST_F(ResponseTest, BodyWithoutLengthEndsAtTheFirstSilentRead) {
  ASSERT_TRUE(Receive({kOk + "\r\nfirst ", "second", "", "never"}));
  EXPECT_EQ(ReadFile(Out()), "first second");
}

TEST_F(ResponseTest, NoBodyGrowsPastTheCap) {
  limits_.maxBodyBytes = 5;
  ASSERT_TRUE(Receive({kOk + "\r\n0123", "456789", "more"}));
  EXPECT_EQ(ReadFile(Out()), "01234");
  EXPECT_EQ(readCount_, 2);  // stopped reading at the cap
  ASSERT_TRUE(Receive({kOk + "Transfer-Encoding: chunked\r\n\r\n4\r\nabcd\r\n4\r\nefgh\r\n0\r\n"}));
  EXPECT_EQ(ReadFile(Out()), "abcde");
  ASSERT_TRUE(Receive({kOk + "Content-Length: 9\r\n\r\n012345678"}));
  EXPECT_EQ(ReadFile(Out()), "01234");
}

TEST_F(ResponseTest, BoundedInputFailsAndLeavesTheOldFileAlone) {
  WriteFile(Out(), "old");
  const std::vector<std::string> hostile[] = {
      // the header block does not end within the first block
      {kOk + "X-Pad: " + std::string(3000, 'p') + "\r\n\r\nbody"},
      {kOk + "Content-Length: 4\r\n", "\r\nbody"},
      {kOk + "Content-Length: -4\r\n\r\nbody"},
      {kOk + "Content-Length: 99999999999999999999\r\n\r\nbody"},
      {kOk + "Transfer-Encoding: chunked\r\n\r\n2\r\nok\r\n10000000000000000\r\nbody"},
      // a chunk-size line that runs on and on
      {kOk + "Transfer-Encoding: chunked\r\n\r\n5;", std::string(1500, 'x'), "\r\nabcde"},
      {kOk + "Transfer-Encoding: chunked\r\n\r\n", std::string(1500, '0'), "5\r\nabcde"},
  };
  for (const std::vector<std::string>& reads : hostile) {
    EXPECT_FALSE(Receive(reads)) << reads[0].substr(0, 60);
    EXPECT_EQ(ReadFile(Out()), "old");
    EXPECT_EQ(folder_.Names(), "out");  // no half-written file left beside it
  }
}

TEST_F(ResponseTest, NeverWritesThroughALinkAtTheOutputPath) {
  SKIP_UNLESS_LINKS_CAN_BE_MADE();
  WriteFile(folder_ / "target", "precious");
  ASSERT_TRUE(MakeSymbolicLink(folder_ / "target", Out()));
  EXPECT_FALSE(Receive({kOk + "Content-Length: 3\r\n\r\nbad"}));
  EXPECT_TRUE(std::filesystem::is_symlink(Out()));
  EXPECT_EQ(ReadFile(folder_ / "target"), "precious");
  EXPECT_EQ(folder_.Names(), "out|target");
}

TEST_F(ResponseTest, ReplacesAnOldFileWithOneOnlyItsOwnerCanRead) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows files have no owner-only mode; they take their folder's access list";
#endif
  WriteFile(Out(), "old contents");
  std::filesystem::permissions(Out(), std::filesystem::perms::all);
  ASSERT_TRUE(Receive({kOk + "Content-Length: 3\r\n\r\nnew"}));
  EXPECT_EQ(ReadFile(Out()), "new");
  EXPECT_EQ(std::filesystem::status(Out()).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

}  // namespace
}  // namespace brisvel
