// "Associate .jbs Files" on Windows: registry values written, never read or removed.
#include "core/wide_text_win32.h"
#include "core/windows_win32.h"
#include "system/file_type_registration.h"
#include "system/job_file_association.h"

namespace brisvel {
namespace {

HKEY RootKey(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::kClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RegistryRoot::kCurrentUser:
      return HKEY_CURRENT_USER;
    case RegistryRoot::kLocalMachine:
      return HKEY_LOCAL_MACHINE;
  }
  return HKEY_CURRENT_USER;
}

// Creates or opens the key and sets the string value; a key that cannot be created (the
// machine's keys without administrator rights) is skipped without a word.
void WriteRegistryString(const RegistryWrite& write) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(RootKey(write.root), Wide(write.key).c_str(), 0, nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  const std::wstring data = Wide(write.data);
  const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
  RegSetValueExW(key, Wide(write.valueName).c_str(), 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(data.c_str()), bytes);
  RegCloseKey(key);
}

}  // namespace

void AssociateJobFiles(const std::string& programPath, const MessagePrompt& prompt) {
  const RegistryLayout layout = LayoutForVersion(GetVersion());
  for (const RegistryWrite& write :
       FileTypeWrites("jbs", "Brisvel Backup Job", programPath, layout)) {
    WriteRegistryString(write);
  }
  prompt(kAssociatedMessage, MessageIcon::kInformation, false);
}

}  // namespace brisvel
