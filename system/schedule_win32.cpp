#include "core/wide_text_win32.h"
#include "core/windows_win32.h"
// After <windows.h>, which they need.
#include <oleauto.h>
#include <taskschd.h>

#include <cstdio>
#include <set>
#include <utility>

#include "system/schedule_store.h"
#include "system/task_definition.h"

namespace brisvel {
namespace {

// The folder of the program's tasks, under the root folder ("\\").
// The folder of the program's tasks, under the root folder.
constexpr const wchar_t* kTaskFolder = L"\\Brisvel";

// Holds one reference of a COM object.
template <typename T>
class Held {
 public:
  Held() = default;
  ~Held() {
    if (object_ != nullptr) object_->Release();
  }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  T** Out() { return &object_; }
  T* operator->() const { return object_; }
  T* Get() const { return object_; }

 private:
  T* object_ = nullptr;
};

class Bstr {
 public:
  explicit Bstr(const std::wstring& text) : text_(SysAllocString(text.c_str())) {}
  Bstr() = default;
  ~Bstr() { SysFreeString(text_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  operator BSTR() const { return text_; }
  BSTR* Out() { return &text_; }
  std::string Utf8Text() const { return text_ == nullptr ? "" : Utf8(text_); }

 private:
  BSTR text_ = nullptr;
};

// COM for this thread, for as long as the object lives (unless the thread had it already).
class ComSession {
 public:
  ComSession() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComSession() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComSession(const ComSession&) = delete;
  ComSession& operator=(const ComSession&) = delete;

 private:
  HRESULT result_;
};

std::string Refusal(const char* what, HRESULT result) {
  char code[16];
  std::snprintf(code, sizeof(code), "0x%08lx", static_cast<unsigned long>(result));
  std::string text = std::string("The Task Scheduler refused to ") + what + " (error " + code + ")";
  wchar_t* message = nullptr;
  if (FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                         FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, static_cast<DWORD>(result), 0, reinterpret_cast<wchar_t*>(&message),
                     0, nullptr) != 0 &&
      message != nullptr) {
    std::string reason = Utf8(message);
    while (!reason.empty() &&
           (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.')) {
      reason.pop_back();
    }
    if (!reason.empty()) text += ": " + reason;
  }
  LocalFree(message);
  return text + ".";
}

// The Task Scheduler of this computer, and the folder of the program's tasks.
class Scheduler {
 public:
  // Connects; `Fault()` tells why when it could not.
  Scheduler() {
    HRESULT result = CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_ITaskService, reinterpret_cast<void**>(service_.Out()));
    if (SUCCEEDED(result)) {
      VARIANT none;
      VariantInit(&none);
      result = service_->Connect(none, none, none, none);
    }
    if (SUCCEEDED(result)) result = service_->GetFolder(Bstr(L"\\"), root_.Out());
    if (FAILED(result)) fault_ = Refusal("answer", result);
  }
  const std::string& Fault() const { return fault_; }

  // The program's folder of tasks, made when `create`; null when there is none.
  ITaskFolder* Folder(bool create) {
    if (folder_.Get() != nullptr) return folder_.Get();
    if (SUCCEEDED(root_->GetFolder(Bstr(kTaskFolder), folder_.Out()))) return folder_.Get();
    if (!create) return nullptr;
    VARIANT none;
    VariantInit(&none);
    const HRESULT result = root_->CreateFolder(Bstr(kTaskFolder), none, folder_.Out());
    if (FAILED(result)) fault_ = Refusal("make its folder Brisvel", result);
    return folder_.Get();
  }
  // Removes the program's folder of tasks when it holds no task any more (the Task Scheduler
  // refuses to remove one that does).
  void RemoveFolderIfEmpty() { root_->DeleteFolder(Bstr(kTaskFolder), 0); }

 private:
  Held<ITaskService> service_;
  Held<ITaskFolder> root_;
  Held<ITaskFolder> folder_;
  std::string fault_;
};

std::string Today() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char date[16];
  std::snprintf(date, sizeof(date), "%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
  return date;
}

std::string DescriptionOf(IRegisteredTask* task) {
  Held<ITaskDefinition> definition;
  Held<IRegistrationInfo> info;
  Bstr description;
  if (FAILED(task->get_Definition(definition.Out())) ||
      FAILED(definition->get_RegistrationInfo(info.Out())) ||
      FAILED(info->get_Description(description.Out()))) {
    return "";
  }
  return description.Utf8Text();
}

}  // namespace

ScheduleOutcome StoreSchedule(const ScheduledJob& job) {
  if (job.schedule.kind == Schedule::Kind::kConnect) {
    return {false,
            "Runs when a drive is connected are not available on Windows; schedule daily or "
            "weekly runs instead."};
  }
  ComSession com;
  Scheduler scheduler;
  ITaskFolder* folder = scheduler.Fault().empty() ? scheduler.Folder(true) : nullptr;
  if (folder == nullptr) return {false, scheduler.Fault()};
  VARIANT none;
  VariantInit(&none);
  Held<IRegisteredTask> task;
  const HRESULT result = folder->RegisterTask(
      Bstr(Wide(ScheduleName(job.jobFile))), Bstr(Wide(TaskDefinitionXml(job, Today()))),
      TASK_CREATE_OR_UPDATE, none, none, TASK_LOGON_INTERACTIVE_TOKEN, none, task.Out());
  if (FAILED(result)) return {false, Refusal("take the task", result)};
  return {true, ScheduledText(job, "")};
}

ScheduleOutcome RemoveStoredSchedule(const std::string& jobFile) {
  ComSession com;
  Scheduler scheduler;
  if (!scheduler.Fault().empty()) return {false, scheduler.Fault()};
  ITaskFolder* folder = scheduler.Folder(false);
  if (folder == nullptr || FAILED(folder->DeleteTask(Bstr(Wide(ScheduleName(jobFile))), 0))) {
    return {true, "No schedule for " + jobFile + "."};
  }
  scheduler.RemoveFolderIfEmpty();
  return {true, "Schedule removed: " + jobFile};
}

ScheduleOutcome ListSchedules() {
  ComSession com;
  Scheduler scheduler;
  if (!scheduler.Fault().empty()) return {false, scheduler.Fault()};
  ITaskFolder* folder = scheduler.Folder(false);
  if (folder == nullptr) return {true, "No schedules."};
  Held<IRegisteredTaskCollection> tasks;
  LONG count = 0;
  HRESULT result = folder->GetTasks(TASK_ENUM_HIDDEN, tasks.Out());
  if (SUCCEEDED(result)) result = tasks->get_Count(&count);
  if (FAILED(result)) return {false, Refusal("list its tasks", result)};
  std::set<std::string> lines;
  for (LONG i = 1; i <= count; ++i) {
    VARIANT index;
    VariantInit(&index);
    index.vt = VT_I4;
    index.lVal = i;
    Held<IRegisteredTask> task;
    if (FAILED(tasks->get_Item(index, task.Out()))) continue;
    const std::optional<TaskSchedule> schedule = ReadTaskDescription(DescriptionOf(task.Get()));
    if (!schedule) continue;
    const DWORD attributes = GetFileAttributesW(WidePath(schedule->jobFile).c_str());
    const bool gone = attributes == INVALID_FILE_ATTRIBUTES;
    lines.insert(schedule->jobFile + ": " + schedule->words +
                 (gone ? " (the job file is missing)" : ""));
  }
  if (lines.empty()) return {true, "No schedules."};
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
  return {true, text};
}

}  // namespace brisvel
