#include "system/failure_notice.h"

#include "core/text.h"
#include "system/desktop_notification.h"
#include "system/system_log.h"

namespace brisvel {

FailureNotice ErrorsNotice(const std::string& what, int64_t errors) {
  return {"Backup ended with errors",
          what + ": " + std::to_string(errors) + " error" + Plural(errors) + " encountered."};
}

FailureNotice NotRunNotice(const std::string& what, const std::string& reason) {
  return {"Backup did not run", what + ": " + reason};
}

std::string SystemLogLine(const FailureNotice& notice) {
  return PrintableText("Brisvel: " + notice.summary + ": " + notice.body);
}

void ReportFailure(const FailureNotice& notice) {
  WriteSystemLog(SystemLogLine(notice));
  ShowDesktopNotification(notice.summary, notice.body);
}

}  // namespace brisvel
