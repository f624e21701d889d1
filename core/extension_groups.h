// The six extension groups the extension list offers. Choosing one replaces the filter.
#pragma once

#include <array>
#include <string>

namespace brisvel {

inline constexpr int kExtensionGroupCount = 6;

struct ExtensionGroup {
  std::string caption;
  std::string text;
};

// The groups in list order; " - Multimedia" joins Images, Audio and Video.
const std::array<ExtensionGroup, kExtensionGroupCount>& ExtensionGroups();

}  // namespace brisvel
