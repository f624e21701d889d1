#include <string>

#include "core/case_folding.h"
#include "core/text.h"
#include "engine/scan.h"

namespace brisvel {

std::string BuildExtensionFilter(const std::string& filterText) {
  std::string text = FoldCase(filterText);
  for (char& c : text) {
    if (c == ',') c = ' ';
  }
  std::string filter;
  size_t start = 0;
  while (start <= text.size()) {
    size_t blank = text.find(' ', start);
    if (blank == std::string::npos) blank = text.size();
    if (blank > start) {
      filter += '|';
      filter.append(text, start, blank - start);
    }
    start = blank + 1;
  }
  if (filter.empty()) return filter;
  return filter + "|";
}

// A plain substring search on purpose: with "docx" listed, a ".doc" file passes too.
bool PassesFilter(const std::string& filter, const std::string& name) {
  if (filter.empty()) return true;
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  const size_t separator = LastSeparator(name);
  if (separator != std::string::npos && separator > dot) return false;
  if (dot + 1 == name.size()) return false;
  return filter.find(FoldCase(std::string_view(name).substr(dot + 1))) != std::string::npos;
}

}  // namespace brisvel
