#include "engine/excluded_folder.h"

#include "core/case_folding.h"
#include "core/text.h"

namespace brisvel {
namespace {

// True when `relativeFolder` + `name` + separator is `target`; without building the text
// where case counts, which is asked for every entry of a walk.
bool IsPath(const std::string& relativeFolder, const std::string& name, const std::string& target,
            bool ignoreCase) {
  if (target.empty() || target.back() != kPathSeparator) return false;
  const std::string_view rest(target.data(), target.size() - 1);
  if (ignoreCase) return EqualIgnoringCase(rest, relativeFolder + name);
  return rest.size() == relativeFolder.size() + name.size() && rest.starts_with(relativeFolder) &&
         rest.ends_with(name);
}

// RelativeInside of two real paths, letting a prefix that differs only in letter case count
// when it is the same folder on disk (file systems that ignore case).
std::optional<std::string> RealRelativeInside(FileSystem& fs, const std::string& outer,
                                              const std::string& inner) {
  if (auto relative = RelativeInside(outer, inner)) return relative;
  if (inner.size() < outer.size()) return std::nullopt;
  const std::string prefix = inner.substr(0, outer.size());
  if (!EqualIgnoringCase(prefix, outer) || !fs.SameFolder(prefix, outer)) return std::nullopt;
  return RelativeInside(outer, outer + inner.substr(outer.size()));
}

}  // namespace

std::optional<std::string> RelativeInside(const std::string& outer, const std::string& inner) {
  if (inner == outer) return std::string();
  std::string start = outer;
  if (!EndsWithSeparator(start)) start += kPathSeparator;
  if (inner.size() <= start.size() || inner.compare(0, start.size(), start) != 0) {
    return std::nullopt;
  }
  return inner.substr(start.size()) + kPathSeparator;
}

std::string TidyPath(const std::string& path) {
  std::string tidy;
  if (!path.empty() && IsPathSeparator(path.front())) tidy += kPathSeparator;
#ifdef _WIN32
  // A network share's root starts with two separators.
  if (path.size() > 1 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) {
    tidy += kPathSeparator;
  }
#endif
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = start;
    while (end < path.size() && !IsPathSeparator(path[end])) ++end;
    std::string_view part(path.data() + start, end - start);
    if (!part.empty() && part != ".") {
      if (!tidy.empty() && !EndsWithSeparator(tidy)) tidy += kPathSeparator;
      tidy += part;
    }
    start = end + 1;
  }
  return tidy;
}

ExcludedFolder::ExcludedFolder(FileSystem& fs, const std::string& walked, const std::string& other)
    : fs_(fs), other_(other) {
  const std::optional<std::string> realWalked = fs.RealPath(walked);
  const std::optional<std::string> realOther = fs.RealPath(other);
  std::optional<std::string> real;
  if (realWalked && realOther) real = RealRelativeInside(fs, *realWalked, *realOther);
  const std::optional<std::string> textual = RelativeInside(TidyPath(walked), TidyPath(other));
  if (real) realRelative_ = *real;
  if (textual) textualRelative_ = *textual;
  wholeWalk_ = (real && real->empty()) || (textual && textual->empty());
}

bool ExcludedFolder::Matches(const std::string& walked, const std::string& relativeFolder,
                             const std::string& name) const {
  if (IsPath(relativeFolder, name, realRelative_, false)) return true;
  if (IsPath(relativeFolder, name, textualRelative_, false)) return true;
  if (!IsPath(relativeFolder, name, realRelative_, true)) return false;
  return fs_.SameFolder(walked + relativeFolder + name, other_);
}

}  // namespace brisvel
