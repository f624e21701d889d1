#include <gtest/gtest.h>
#include <stdio.h>

#include <filesystem>
#include <map>

#include "core/test_folder.h"
#include "system/job_file_association.h"
#include "system/program_path.h"

namespace brisvel {
namespace {

// What a shell command prints, without its final line feed.
std::string Output(const std::string& command) {
  std::string text;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return "(could not run)";
  char block[512];
  for (size_t got; (got = fread(block, 1, sizeof block, pipe)) > 0;) text.append(block, got);
  pclose(pipe);
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

// Every file under `folder` with its contents.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) files[entry.path().string()] = ReadFile(entry.path().string());
  }
  return files;
}

class AssociationTest : public ::testing::Test {
 protected:
  int Associate() {
    int shown = 0;
    AssociateJobFiles(program_, [&](const std::string& text, MessageIcon icon, bool yesNo) {
      EXPECT_EQ(text, "All .jbs files should now open in Brisvel.");
      EXPECT_EQ(icon, MessageIcon::kInformation);
      EXPECT_FALSE(yesNo);
      ++shown;
      return MessageAnswer::kOk;
    });
    return shown;
  }

  TestFolder folder_;
  const std::string program_ = RunningProgramPath();
  ScopedEnv home_{"HOME", folder_ / "home"};
  ScopedEnv data_{"XDG_DATA_HOME", folder_ / "home/data"};
  ScopedEnv config_{"XDG_CONFIG_HOME", folder_ / "home/config"};
  // The desktop's own tools would answer instead of the files under test.
  ScopedEnv desktop_{"XDG_CURRENT_DESKTOP", ""};
  ScopedEnv kde_{"KDE_FULL_SESSION", ""};
  ScopedEnv gnome_{"GNOME_DESKTOP_SESSION_ID", ""};
  ScopedEnv session_{"DESKTOP_SESSION", ""};
};

TEST_F(AssociationTest, JobFilesOpenInTheRunningProgramAndOtherDefaultsStay) {
  ASSERT_TRUE(std::filesystem::path(program_).is_absolute());
  const std::string mimeapps = folder_ / "home/config/mimeapps.list";
  WriteFile(mimeapps,
            "[Added Associations]\ntext/plain=editor.desktop;\n\n[Default Applications]\n"
            "text/html=browser.desktop;\napplication/x-brisvel-job=old.desktop;\n"
            "image/png=viewer.desktop;\n");
  WriteFile(folder_ / "x.jbs", "<?xml version=\"1.0\"?>\n<BrisvelJobs/>\n");

  EXPECT_EQ(Associate(), 1);
  EXPECT_EQ(Output("xdg-mime query filetype '" + (folder_ / "x.jbs") + "' 2>&1"),
            "application/x-brisvel-job");
  EXPECT_EQ(Output("xdg-mime query default application/x-brisvel-job 2>&1"), "brisvel.desktop");
  EXPECT_EQ(ReadFile(mimeapps),
            "[Added Associations]\ntext/plain=editor.desktop;\n\n[Default Applications]\n"
            "text/html=browser.desktop;\napplication/x-brisvel-job=brisvel.desktop;\n"
            "image/png=viewer.desktop;\n");
  const std::string entry = ReadFile(folder_ / "home/data/applications/brisvel.desktop");
  EXPECT_NE(entry.find("\nExec=\"" + program_ + "\" %f\n"), std::string::npos) << entry;

  const auto once = Snapshot(folder_ / "home");
  EXPECT_EQ(Associate(), 1);
  EXPECT_EQ(Snapshot(folder_ / "home"), once);
}

TEST_F(AssociationTest, StillTellsTheUserWhenNothingCanBeWritten) {
  // Files where the folders belong make every write fail; a mimeapps.list that is a folder
  // cannot be read, so it is not replaced either.
  WriteFile(folder_ / "home/data", "not a folder");
  std::filesystem::create_directories(folder_ / "home/config/mimeapps.list");
  EXPECT_EQ(Associate(), 1);
  EXPECT_EQ(ReadFile(folder_ / "home/data"), "not a folder");
  EXPECT_TRUE(std::filesystem::is_directory(folder_ / "home/config/mimeapps.list"));
}

TEST(DesktopEntry, ExecLineQuotesEveryPathSafely) {
  std::string entry = DesktopEntryFor("/opt/my tools/a\"b$c`d\\e%f\ng/brisvel");
  EXPECT_NE(
      entry.find("\nExec=\"/opt/my tools/a\\\\\"b\\\\$c\\\\`d\\\\\\\\e%%f\\ng/brisvel\" %f\n"),
      std::string::npos)
      << entry;
  EXPECT_NE(entry.find("\nMimeType=application/x-brisvel-job;\n"), std::string::npos);
}

TEST(DefaultApplication, AddsTheGroupOrTheLineWhereMissing) {
  EXPECT_EQ(WithDefaultApplication("", "a/b", "x.desktop"),
            "[Default Applications]\na/b=x.desktop;\n");
  EXPECT_EQ(WithDefaultApplication("[Added Associations]\nc/d=y.desktop;", "a/b", "x.desktop"),
            "[Added Associations]\nc/d=y.desktop;\n\n[Default Applications]\na/b=x.desktop;\n");
  EXPECT_EQ(
      WithDefaultApplication("# mine\n[Default Applications]\nc/d=y.desktop;\n\n[Other]\na/b=z;\n",
                             "a/b", "x.desktop"),
      "# mine\n[Default Applications]\nc/d=y.desktop;\na/b=x.desktop;\n\n[Other]\na/b=z;\n");
}

}  // namespace
}  // namespace brisvel
