#include "system/task_definition.h"

#include <gtest/gtest.h>

namespace brisvel {
namespace {

// Names with XML's markup characters stay well-formed, the weekly trigger names its day, and
// the description gives the job file and the schedule back.
TEST(TaskDefinition, CarriesAnyPathAndTheSchedule) {
  ScheduledJob job{"C:\\Users\\Tom & <Jerry>\\jobs.jbs",
                   "C:\\Apps & Co\\brisvel.exe",
                   {Schedule::Kind::kWeekly, 6, 7, 5},
                   {}};
  const std::string xml = TaskDefinitionXml(job, "2026-12-09");
  EXPECT_NE(xml.find("<StartBoundary>2026-12-09T07:05:00</StartBoundary>"), std::string::npos);
  EXPECT_NE(xml.find("<DaysOfWeek><Sunday /></DaysOfWeek>"), std::string::npos);
  EXPECT_NE(xml.find("<StartWhenAvailable>true</StartWhenAvailable>"), std::string::npos);
  EXPECT_NE(xml.find("<Command>C:\\Apps &amp; Co\\brisvel.exe</Command>"), std::string::npos);
  EXPECT_NE(xml.find("<Arguments>--scheduled \"C:\\Users\\Tom &amp; &lt;Jerry&gt;\\jobs.jbs\" "
                     "silent</Arguments>"),
            std::string::npos);
  EXPECT_EQ(xml.find("Tom & "), std::string::npos);

  const std::optional<TaskSchedule> read = ReadTaskDescription(TaskDescription(job));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->jobFile, job.jobFile);
  EXPECT_EQ(read->words, "weekly sunday 07:05");
  EXPECT_FALSE(ReadTaskDescription("Some other task"));
}

}  // namespace
}  // namespace brisvel
