#include "core/exclusion_patterns.h"

#include "core/case_folding.h"
#include "core/text.h"

namespace brisvel {
namespace {

constexpr std::string_view kAnyFolders = "**";

// The start of the character after the one at `text[at]`: "?" stands for what a person sees
// as one character, a UTF-8 lead byte with its continuation bytes.
size_t NextCharacter(std::string_view text, size_t at) {
  ++at;
  while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
  return at;
}

// True when `name` matches `glob`, where "*" is any run of characters and "?" one character.
// On a mismatch the walk returns to the last "*" and lets it take one more character, which
// never needs more than one step back.
bool MatchesName(std::string_view glob, std::string_view name) {
  size_t g = 0;
  size_t n = 0;
  size_t afterStar = std::string_view::npos;
  size_t starTook = 0;  // where in `name` the last "*" stops
  while (n < name.size()) {
    if (g < glob.size() && glob[g] == '*') {
      afterStar = ++g;
      starTook = n;
    } else if (g < glob.size() && glob[g] == '?') {
      ++g;
      n = NextCharacter(name, n);
    } else if (g < glob.size() && glob[g] == name[n]) {
      ++g;
      ++n;
    } else if (afterStar != std::string_view::npos) {
      g = afterStar;
      starTook = NextCharacter(name, starTook);
      n = starTook;
    } else {
      return false;
    }
  }
  while (g < glob.size() && glob[g] == '*') ++g;
  return g == glob.size();
}

std::vector<std::string_view> SplitPattern(std::string_view pattern) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t at = 0; at <= pattern.size(); ++at) {
    if (at < pattern.size() && !IsPathSeparator(pattern[at])) continue;
    if (at > start) parts.push_back(pattern.substr(start, at - start));
    start = at + 1;
  }
  return parts;
}

}  // namespace

// An entry's path as the walks give it, read part by part without being put together: the
// parts of its folder ("a/b/"), then its name. A position is where a part starts; End() is
// past the name.
class ExclusionPatterns::EntryPath {
 public:
  EntryPath(std::string_view folder, std::string_view name) : folder_(folder), name_(name) {}

  size_t End() const { return folder_.size() + 1; }

  // The part at `at` (before End()); `next` is where the one after it starts.
  std::string_view PartAt(size_t at, size_t& next) const {
    if (at >= folder_.size()) {
      next = End();
      return name_;
    }
    size_t end = at;
    while (end < folder_.size() && !IsPathSeparator(folder_[end])) ++end;
    next = end + 1;
    return folder_.substr(at, end - at);
  }

 private:
  std::string_view folder_;
  std::string_view name_;
};

ExclusionPatterns::ExclusionPatterns(const std::vector<std::string>& patterns, bool ignoreCase)
    : ignoreCase_(ignoreCase) {
  for (const std::string& text : patterns) {
    Pattern pattern;
    pattern.foldersOnly = !text.empty() && IsPathSeparator(text.back());
    const std::string_view kept(text.data(), text.size() - (pattern.foldersOnly ? 1 : 0));
    bool anchored = false;
    for (char c : kept) anchored = anchored || IsPathSeparator(c);
    for (std::string_view part : SplitPattern(kept)) {
      // "./build" is "build" at the top; "**/**" is no more than "**".
      if (part == ".") continue;
      if (part == kAnyFolders && !pattern.parts.empty() && pattern.parts.back().anyFolders) {
        continue;
      }
      pattern.parts.push_back(MakePart(ignoreCase ? FoldCase(part) : std::string(part)));
    }
    // "**/name" is a name at any depth, which is quicker to ask as one.
    if (pattern.parts.size() == 2 && pattern.parts[0].anyFolders && !pattern.parts[1].anyFolders) {
      pattern.parts.erase(pattern.parts.begin());
      anchored = false;
    }
    if (pattern.parts.empty()) continue;
    const std::string& last = pattern.parts.back().glob;
    pattern.literalEnd =
        !pattern.parts.back().anyFolders && last.back() != '*' && last.back() != '?';
    if (pattern.literalEnd) endings_.set(static_cast<unsigned char>(last.back()));
    (anchored ? paths_ : names_).push_back(std::move(pattern));
  }
}

ExclusionPatterns::Part ExclusionPatterns::MakePart(std::string glob) {
  Part part;
  part.anyFolders = glob == kAnyFolders;
  const size_t firstWildcard = glob.find_first_of("*?");
  part.plain = firstWildcard == std::string::npos;
  part.head = part.plain ? glob.size() : firstWildcard;
  const size_t lastStar = glob.rfind('*');
  if (lastStar != std::string::npos && glob.find('?', lastStar) == std::string::npos) {
    part.tail = glob.size() - lastStar - 1;
  }
  part.glob = std::move(glob);
  return part;
}

bool ExclusionPatterns::MatchesPart(const Part& part, std::string_view name) {
  const std::string_view glob = part.glob;
  if (part.plain) return name == glob;
  if (name.size() < part.head + part.tail || !name.starts_with(glob.substr(0, part.head)) ||
      !name.ends_with(glob.substr(glob.size() - part.tail))) {
    return false;
  }
  return MatchesName(glob, name);
}

// True when the parts of `path` from `at` on match the pattern's parts from `from` on.
bool ExclusionPatterns::MatchesParts(const std::vector<Part>& parts, size_t from,
                                     const EntryPath& path, size_t at) {
  if (from == parts.size()) return at == path.End();
  size_t next = 0;
  if (parts[from].anyFolders) {
    for (size_t skip = at;; skip = next) {
      if (MatchesParts(parts, from + 1, path, skip)) return true;
      if (skip == path.End()) return false;
      path.PartAt(skip, next);
    }
  }
  if (at == path.End()) return false;
  const std::string_view part = path.PartAt(at, next);
  return MatchesPart(parts[from], part) && MatchesParts(parts, from + 1, path, next);
}

bool ExclusionPatterns::AnyExcludes(std::string_view relativeFolder, std::string_view name,
                                    bool isFolder) const {
  if (!ignoreCase_) {
    const bool endingSeen = !name.empty() && endings_[static_cast<unsigned char>(name.back())];
    return ExcludesName(name, isFolder, endingSeen) ||
           ExcludesPath(relativeFolder, name, isFolder, endingSeen);
  }
  const std::string folded = FoldCase(name);
  const bool endingSeen = !folded.empty() && endings_[static_cast<unsigned char>(folded.back())];
  if (ExcludesName(folded, isFolder, endingSeen)) return true;
  return !paths_.empty() && ExcludesPath(FoldCase(relativeFolder), folded, isFolder, endingSeen);
}

bool ExclusionPatterns::ExcludesName(std::string_view name, bool isFolder, bool endingSeen) const {
  for (const Pattern& pattern : names_) {
    if (pattern.literalEnd && !endingSeen) continue;
    if ((isFolder || !pattern.foldersOnly) && MatchesPart(pattern.parts[0], name)) return true;
  }
  return false;
}

bool ExclusionPatterns::ExcludesPath(std::string_view relativeFolder, std::string_view name,
                                     bool isFolder, bool endingSeen) const {
  const EntryPath path(relativeFolder, name);
  for (const Pattern& pattern : paths_) {
    if (pattern.literalEnd && !endingSeen) continue;
    if ((isFolder || !pattern.foldersOnly) && MatchesParts(pattern.parts, 0, path, 0)) {
      return true;
    }
  }
  return false;
}

}  // namespace brisvel
