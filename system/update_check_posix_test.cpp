#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "core/test_folder.h"
#include "system/test_loopback_server.h"
#include "system/update_check.h"

namespace brisvel {
namespace {

struct Shown {
  std::string text;
  MessageIcon icon;
  bool yesNo;
};

std::string Answer200(const std::string& body) {
  return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

class UpdateCheckTest : public ::testing::Test {
 protected:
  // Runs the check against `secondary` and `primary`; the prompt answers `answer`.
  void Check(LoopbackServer& secondary, LoopbackServer& primary,
             MessageAnswer answer = MessageAnswer::kNo) {
    UpdateSources sources;
    sources.networkAvailable = network_;
    sources.secondaryUrl = secondary.Url("release/brisvel.xml");
    sources.primaryUrl = primary.Url("brisvel/brisvel.xml");
    sources.temporaryPath = Temporary();
    sources.limits.receiveMs = 2000;
    sources.openWebPage = [this] { ++pagesOpened_; };
    CheckForUpdates(
        [&](const std::string& text, MessageIcon icon, bool yesNo) {
          shown_.push_back({text, icon, yesNo});
          return answer;
        },
        sources, {});
  }
  // Runs the check with the secondary location answering `body` with status 200.
  void CheckBody(const std::string& body, MessageAnswer answer = MessageAnswer::kNo) {
    LoopbackServer secondary({Answer200(body)});
    Check(secondary, unused_, answer);
    EXPECT_TRUE(unused_.Requests().empty());
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(Temporary())));
  }
  std::string Temporary() { return folder_ / "brisvel.tmp"; }
  std::string OnlyText() {
    return shown_.size() == 1 ? shown_[0].text : "shown " + std::to_string(shown_.size());
  }

  TestFolder folder_;
  LoopbackServer unused_{{"HTTP/1.1 500 Unused\r\n\r\n"}};
  bool network_ = true;
  std::vector<Shown> shown_;
  int pagesOpened_ = 0;
};

TEST_F(UpdateCheckTest, ReleaseElevenIsUpToDate) {
  CheckBody("<brisvel release=\"11\" version=\"0.99\"/>");
  EXPECT_EQ(OnlyText(), "This version is up to date.");
  EXPECT_EQ(shown_[0].icon, MessageIcon::kInformation);
  EXPECT_FALSE(shown_[0].yesNo);
}

TEST_F(UpdateCheckTest, ANewerReleaseOffersTheWebPage) {
  CheckBody("<?xml version=\"1.0\"?><any release=\" \t+12x\" version=\"  1.05 \"><c/></any>",
            MessageAnswer::kYes);
  EXPECT_EQ(OnlyText(),
            "A new version of Brisvel (1.05) is available.\nDo you want to visit our webpage?");
  EXPECT_EQ(shown_[0].icon, MessageIcon::kQuestion);
  EXPECT_TRUE(shown_[0].yesNo);
  EXPECT_EQ(pagesOpened_, 1);
}

TEST_F(UpdateCheckTest, WithoutVersionTheQuestionHasNoParentheses) {
  CheckBody("<r release='12' Version='9'/>", MessageAnswer::kNo);
  EXPECT_EQ(OnlyText(),
            "A new version of Brisvel is available.\nDo you want to visit our webpage?");
  EXPECT_EQ(pagesOpened_, 0);
}

TEST_F(UpdateCheckTest, NoReleaseOrASmallerOneIsUpToDate) {
  for (const char* body : {"<r version=\"5\"/>", "<r release=\"-99999999999\"/>",
                           "<r Release=\"12\"/>", "<r release=\"x12\"/>"}) {
    shown_.clear();
    CheckBody(body);
    EXPECT_EQ(OnlyText(), "This version is up to date.") << body;
  }
}

TEST_F(UpdateCheckTest, WhatIsNoXmlFindsNoUpdates) {
  for (const char* body : {"<html><body>Moved<br></body></html>", "", "<r release=\"12\">"}) {
    shown_.clear();
    CheckBody(body);
    EXPECT_EQ(OnlyText(), "No updates found.") << body;
    EXPECT_EQ(shown_[0].icon, MessageIcon::kWarning);
  }
}

TEST_F(UpdateCheckTest, ThePrimaryAnswersWhenTheSecondaryCannot) {
  LoopbackServer secondary({"HTTP/1.1 404 Not Found\r\n\r\n"});
  LoopbackServer primary({Answer200("<r release=\"11\"/>")});
  Check(secondary, primary);
  EXPECT_EQ(OnlyText(), "This version is up to date.");
  ASSERT_EQ(primary.Requests().size(), 1u);
  EXPECT_EQ(primary.Requests()[0].substr(0, 29), "GET /brisvel/brisvel.xml HTTP");
}

TEST_F(UpdateCheckTest, WhenBothFailTheTemporaryFileIsNotTouched) {
  WriteFile(Temporary(), "earlier");
  LoopbackServer secondary({"HTTP/1.1 404 Not Found\r\n\r\n"});
  LoopbackServer primary({"HTTP/1.1 503 Busy\r\n\r\n"});
  Check(secondary, primary);
  EXPECT_EQ(OnlyText(), "Could not contact server!");
  EXPECT_EQ(shown_[0].icon, MessageIcon::kWarning);
  EXPECT_EQ(ReadFile(Temporary()), "earlier");
}

TEST_F(UpdateCheckTest, ALinkPlantedAtTheTemporaryPathIsLeftAlone) {
  WriteFile(folder_ / "victim", "keep me");
  std::filesystem::create_symlink(folder_ / "victim", Temporary());
  LoopbackServer secondary({Answer200("<r release=\"12\"/>")});
  LoopbackServer primary({Answer200("<r release=\"12\"/>")});
  Check(secondary, primary);
  EXPECT_EQ(OnlyText(), "Could not contact server!");
  EXPECT_TRUE(std::filesystem::is_symlink(Temporary()));
  EXPECT_EQ(ReadFile(folder_ / "victim"), "keep me");
}

TEST_F(UpdateCheckTest, WithoutNetworkNothingHappens) {
  network_ = false;
  LoopbackServer secondary({Answer200("<r release=\"12\"/>")});
  Check(secondary, unused_);
  EXPECT_TRUE(shown_.empty());
  EXPECT_TRUE(secondary.Requests().empty());
}

TEST(ReleaseNumber, ReadsLikeTheCLibraryButStaysInRange) {
  EXPECT_EQ(ReadReleaseNumber(" \t-12abc"), -12);
  EXPECT_EQ(ReadReleaseNumber("99999999999"), 2147483647);
  EXPECT_EQ(ReadReleaseNumber("-99999999999"), -2147483647 - 1);
  EXPECT_EQ(ReadReleaseNumber("\n12"), 0);
}

}  // namespace
}  // namespace brisvel
