#include "core/extension_groups.h"

namespace brisvel {

static std::array<ExtensionGroup, kExtensionGroupCount> BuildGroups() {
  std::array<ExtensionGroup, kExtensionGroupCount> groups = {{
      {" - Documents", "txt rtf doc docx log xml msg wpd wps csv dat pps ppt pptx xls xlsx htm html php"},
      {" - Executables", "exe bat scr com cgi dll app msi dmg iso"},
      {" - Images", "bmp gif jpg jpeg png psd tif tiff tga"},
      {" - Audio", "wav wma mp3 aac aif aiff iff m3u mid midi mpa ra ogg m4a"},
      {" - Video", "avi mpg mpeg mp4 flv wmv divx mov rm vob swf asf asx"},
      {" - Multimedia", ""},
  }};
  groups[5].text = groups[2].text + " " + groups[3].text + " " + groups[4].text;
  return groups;
}

const std::array<ExtensionGroup, kExtensionGroupCount>& ExtensionGroups() {
  static const auto groups = BuildGroups();
  return groups;
}

}  // namespace brisvel
