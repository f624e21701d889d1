#include "system/schedule.h"

#include <gtest/gtest.h>

#include "core/test_folder.h"

namespace brisvel {
namespace {

using Words = std::vector<std::string>;

// What the user typed wrong is named, and nothing is scheduled.
TEST(ScheduleWords, EveryFaultIsNamed) {
  const std::vector<std::pair<Words, std::string>> faults = {
      {{}, "Say when the job file runs: daily HH:MM, weekly DAY HH:MM, connect or off."},
      {{"hourly"}, "Unknown schedule 'hourly': say daily HH:MM, weekly DAY HH:MM, connect or off."},
      {{"daily"}, "A time of day is missing (write HH:MM, from 00:00 to 23:59)."},
      {{"daily", "24:00"}, "Not a time of day: '24:00' (write HH:MM, from 00:00 to 23:59)."},
      {{"daily", "7:5"}, "Not a time of day: '7:5' (write HH:MM, from 00:00 to 23:59)."},
      {{"daily", "07:60"}, "Not a time of day: '07:60' (write HH:MM, from 00:00 to 23:59)."},
      {{"daily", "+7:00"}, "Not a time of day: '+7:00' (write HH:MM, from 00:00 to 23:59)."},
      {{"weekly", "08:00"},
       "Not a day of the week: '08:00' (write monday to sunday, or mon to sun)."},
      {{"weekly"}, "A day of the week is missing (write monday to sunday, or mon to sun)."},
      {{"weekly", "mo", "08:00"},
       "Not a day of the week: 'mo' (write monday to sunday, or mon to sun)."},
      {{"connect", "now"}, "Unexpected word after the schedule: 'now'."},
      {{"off", "\x1b[2J"}, "Unexpected word after the schedule: '?[2J'."},
  };
  for (const auto& [words, message] : faults) {
    std::string error;
    EXPECT_FALSE(ReadSchedule(words, &error)) << message;
    EXPECT_EQ(error, message);
  }
}

TEST(ScheduleWords, AreReadInAnyLetterCaseAndWrittenBackPlainly) {
  const std::vector<std::pair<Words, std::string>> schedules = {
      {{"Daily", "7:05"}, "daily 07:05"},
      {{"WEEKLY", "Sun", "23:59"}, "weekly sunday 23:59"},
      {{"weekly", "Wednesday", "00:00"}, "weekly wednesday 00:00"},
      {{"Connect"}, "connect"},
      {{"OFF"}, "off"},
  };
  for (const auto& [words, written] : schedules) {
    std::string error;
    const std::optional<Schedule> schedule = ReadSchedule(words, &error);
    ASSERT_TRUE(schedule) << error;
    EXPECT_EQ(ScheduleWords(*schedule), written);
  }
}

// A schedule is only made for a job file that can run: one that is there, loads, and has a
// job with both folders. The command's faults end with its usage.
TEST(ScheduleCommand, RefusesAJobFileThatCannotRun) {
  TestFolder folder;
  WriteFile(folder / "empty.jbs", "<brisvel><job name=\"J\" copyfrom=\"/s\"/></brisvel>");
  WriteFile(folder / "other.xml", "<other/>");
  const std::string program = "/usr/bin/brisvel";
  EXPECT_EQ(ScheduleCommand({folder / "gone.jbs", "daily", "08:00"}, program).text,
            "Job file not found: " + (folder / "gone.jbs"));
  EXPECT_EQ(ScheduleCommand({folder / "empty.jbs", "connect"}, program).text,
            "No enabled job in '" + (folder / "empty.jbs") +
                "' has both a source and a destination folder.");
  EXPECT_EQ(
      ScheduleCommand({folder / "other.xml", "daily", "08:00"}, program).text,
      "Not a job file that can run: " + (folder / "other.xml") + " (Not a valid Brisvel file!)");
  const ScheduleOutcome fault = ScheduleCommand({folder / "empty.jbs"}, program);
  EXPECT_FALSE(fault.done);
  EXPECT_EQ(fault.text, std::string("Say when the job file runs: daily HH:MM, weekly DAY HH:MM, "
                                    "connect or off.\n") +
                            kScheduleUsage);
}

}  // namespace
}  // namespace brisvel
