#include <gtest/gtest.h>

#include "core/test_folder.h"
#include "core/test_platform.h"
#include "core/wide_text_win32.h"
#include "core/windows_win32.h"
// After <windows.h>, which they need.
#include <oleauto.h>
#include <taskschd.h>

#include "system/schedule.h"
#include "system/schedule_store.h"

namespace brisvel {
namespace {

// Wine does not start its Task Scheduler service by itself; Windows always runs it.
void StartTaskSchedulerService() {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (manager == nullptr) return;
  if (SC_HANDLE service =
          OpenServiceW(manager, L"Schedule", SERVICE_START | SERVICE_QUERY_STATUS)) {
    StartServiceW(service, 0, nullptr);
    SERVICE_STATUS status{};
    for (int i = 0; i < 100 && QueryServiceStatus(service, &status) &&
                    status.dwCurrentState == SERVICE_START_PENDING;
         ++i) {
      Sleep(100);
    }
    CloseServiceHandle(service);
  }
  CloseServiceHandle(manager);
}

// The stored definition of the task `name` in the program's folder; "" when there is none.
std::string StoredTask(const std::string& name) {
  std::string xml;
  ITaskService* service = nullptr;
  ITaskFolder* folder = nullptr;
  IRegisteredTask* task = nullptr;
  BSTR text = nullptr;
  VARIANT none;
  VariantInit(&none);
  BSTR path = SysAllocString(L"\\Brisvel");
  BSTR taskName = SysAllocString(Wide(name).c_str());
  if (SUCCEEDED(CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_ITaskService, reinterpret_cast<void**>(&service))) &&
      SUCCEEDED(service->Connect(none, none, none, none)) &&
      SUCCEEDED(service->GetFolder(path, &folder)) && SUCCEEDED(folder->GetTask(taskName, &task)) &&
      SUCCEEDED(task->get_Xml(&text))) {
    xml = Utf8(text);
  }
  SysFreeString(text);
  SysFreeString(taskName);
  SysFreeString(path);
  if (task != nullptr) task->Release();
  if (folder != nullptr) folder->Release();
  if (service != nullptr) service->Release();
  return xml;
}

class ScheduleOnWindows : public ::testing::Test {
 protected:
  ScheduleOnWindows() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    StartTaskSchedulerService();
    WriteFile(folder_ / "jobs.jbs", "<brisvel><job name=\"J\" copyfrom=\"" + (folder_ / "src") +
                                        "\" copyto=\"" + (folder_ / "dst") + "\"/></brisvel>");
  }
  ~ScheduleOnWindows() override {
    SetSchedule(jobFile_, Schedule{}, program_);
    CoUninitialize();
  }
  ScheduleOutcome Set(const std::vector<std::string>& words) {
    std::string error;
    const std::optional<Schedule> schedule = ReadSchedule(words, &error);
    EXPECT_TRUE(schedule) << error;
    return SetSchedule(jobFile_, *schedule, program_);
  }

  TestFolder folder_;
  const std::string jobFile_ = folder_ / "jobs.jbs";
  const std::string program_ = "C:\\Program Files\\Brisvel\\brisvel.exe";
};

// The task is registered under the program's folder with what Windows needs to catch up on a
// missed start, and "off" removes it with the folder. Wine keeps the description and the
// settings of a task but neither its triggers nor its action, and it can neither list a
// folder's tasks nor remove the emptied folder: what it drops is checked as the definition's
// text, which Windows reads.
TEST_F(ScheduleOnWindows, ATaskIsRegisteredAndRemoved) {
  const ScheduleOutcome daily = Set({"daily", "08:00"});
  ASSERT_TRUE(daily.done) << daily.text;
  EXPECT_EQ(daily.text, "Scheduled: " + jobFile_ +
                            " runs daily at 08:00; a run missed while the computer is off "
                            "follows when it next starts.");
  const std::string stored = StoredTask(ScheduleName(jobFile_));
  EXPECT_NE(stored.find("<Description>Brisvel: daily 08:00: " + jobFile_ + "</Description>"),
            std::string::npos)
      << stored;
  EXPECT_NE(stored.find("<StartWhenAvailable>true</StartWhenAvailable>"), std::string::npos);
  if (!RunsUnderWine()) {
    EXPECT_NE(stored.find("<Command>" + program_ + "</Command>"), std::string::npos);
    EXPECT_EQ(ListSchedules().text, jobFile_ + ": daily 08:00");
  }

  const ScheduleOutcome weekly = Set({"weekly", "sat", "23:30"});
  EXPECT_TRUE(weekly.done) << weekly.text;
  EXPECT_NE(StoredTask(ScheduleName(jobFile_)).find("Brisvel: weekly saturday 23:30: "),
            std::string::npos);

  EXPECT_EQ(Set({"connect"}).text,
            "Runs when a drive is connected are not available on Windows; schedule daily or "
            "weekly runs instead.");
  EXPECT_EQ(Set({"off"}).text, "Schedule removed: " + jobFile_);
  EXPECT_EQ(StoredTask(ScheduleName(jobFile_)), "");
  EXPECT_EQ(Set({"off"}).text, "No schedule for " + jobFile_ + ".");
  // Wine cannot remove the emptied folder, nor list one.
  if (!RunsUnderWine()) {
    EXPECT_EQ(ListSchedules().text, "No schedules.");
  }
}

}  // namespace
}  // namespace brisvel
