#include "core/backup_job.h"

#include <gtest/gtest.h>

#include "core/extension_groups.h"
#include "core/text.h"

namespace brisvel {
namespace {

TEST(BackupJobTest, DefaultAndCommandLineJobs) {
  BackupJob job = DefaultJob();
  EXPECT_EQ(job.name, "New Job");
  EXPECT_EQ(job.flags, 0xA1);  // sub-folders, enabled, automatic name
  EXPECT_EQ(job.compareMethod, kCompareSize);
  EXPECT_EQ(job.logFile, "backup.log");

  job = CommandLineJob("/home/anna/Photos", "/media/backup/");
  EXPECT_EQ(job.source, std::string("/home/anna/Photos") + kPathSeparator);
  EXPECT_EQ(job.destination, "/media/backup/");
  EXPECT_EQ(job.flags, 0xA0);  // no sub-folders until an option word asks
  EXPECT_EQ(job.logFile, "backup.log");
}

TEST(BackupJobTest, NameFollowsChosenFoldersUntilRenamed) {
  BackupJob job = DefaultJob();
  EXPECT_FALSE(ApplyAutomaticName(job, "/"));
  EXPECT_FALSE(RenameJob(job, " \t "));
  EXPECT_EQ(job.name, "New Job");
  EXPECT_TRUE(ApplyAutomaticName(job, "/home/anna/Photos/"));
  EXPECT_EQ(job.name, "Photos");
  EXPECT_TRUE(ApplyAutomaticName(job, "/data/ Old Music "));
  EXPECT_EQ(job.name, "Old Music");

  EXPECT_TRUE(RenameJob(job, "  My photos \t"));
  EXPECT_EQ(job.name, "My photos");
  EXPECT_FALSE(ApplyAutomaticName(job, "/home/anna/Videos/"));
  EXPECT_EQ(job.name, "My photos");
}

TEST(ExtensionGroupsTest, MultimediaJoinsImagesAudioAndVideo) {
  EXPECT_EQ(ExtensionGroups()[5].caption, " - Multimedia");
  EXPECT_EQ(ExtensionGroups()[5].text,
            "bmp gif jpg jpeg png psd tif tiff tga "
            "wav wma mp3 aac aif aiff iff m3u mid midi mpa ra ogg m4a "
            "avi mpg mpeg mp4 flv wmv divx mov rm vob swf asf asx");
}

}  // namespace
}  // namespace brisvel
