#include "core/exclusion_patterns.h"

#include "core/case_folding.h"
#include "core/text.h"
#include "core/utf8.h"

namespace brisvel {
namespace {

constexpr std::string_view kAnyFolders = "**";

// The length of the character at `text[at]`: its whole UTF-8 sequence, or one byte of text
// that is not well-formed, so that "?" stands for what a person sees as one character.
size_t CharacterLength(std::string_view text, size_t at) {
  const size_t length = Utf8SequenceLength(text, at);
  return length == 0 ? 1 : length;
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
      n += CharacterLength(name, n);
    } else if (g < glob.size() && glob[g] == name[n]) {
      ++g;
      ++n;
    } else if (afterStar != std::string_view::npos) {
      g = afterStar;
      starTook += CharacterLength(name, starTook);
      n = starTook;
    } else {
      return false;
    }
  }
  while (g < glob.size() && glob[g] == '*') ++g;
  return g == glob.size();
}

// True when the path `parts` from `at` on match the pattern `glob` from `from` on.
bool MatchesParts(const std::vector<std::string>& glob, size_t from,
                  const std::vector<std::string_view>& parts, size_t at) {
  if (from == glob.size()) return at == parts.size();
  if (glob[from] == kAnyFolders) {
    for (size_t skip = at; skip <= parts.size(); ++skip) {
      if (MatchesParts(glob, from + 1, parts, skip)) return true;
    }
    return false;
  }
  return at < parts.size() && MatchesName(glob[from], parts[at]) &&
         MatchesParts(glob, from + 1, parts, at + 1);
}

std::vector<std::string_view> SplitPath(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t at = 0; at <= path.size(); ++at) {
    if (at < path.size() && !IsPathSeparator(path[at])) continue;
    if (at > start) parts.push_back(path.substr(start, at - start));
    start = at + 1;
  }
  return parts;
}

}  // namespace

ExclusionPatterns::ExclusionPatterns(const std::vector<std::string>& patterns, bool ignoreCase)
    : ignoreCase_(ignoreCase) {
  for (const std::string& text : patterns) {
    Pattern pattern;
    pattern.foldersOnly = !text.empty() && IsPathSeparator(text.back());
    const std::string_view kept(text.data(), text.size() - (pattern.foldersOnly ? 1 : 0));
    bool anchored = false;
    for (char c : kept) anchored = anchored || IsPathSeparator(c);
    for (std::string_view part : SplitPath(kept)) {
      // "./build" is "build" at the top; "**/**" is no more than "**".
      if (part == ".") continue;
      if (part == kAnyFolders && !pattern.parts.empty() && pattern.parts.back() == kAnyFolders) {
        continue;
      }
      pattern.parts.emplace_back(ignoreCase ? FoldCase(part) : std::string(part));
    }
    // "**/name" is a name at any depth, which is quicker to ask as one.
    if (pattern.parts.size() == 2 && pattern.parts[0] == kAnyFolders &&
        pattern.parts[1] != kAnyFolders) {
      pattern.parts.erase(pattern.parts.begin());
      anchored = false;
    }
    if (pattern.parts.empty()) continue;
    (anchored ? paths_ : names_).push_back(std::move(pattern));
  }
}

bool ExclusionPatterns::AnyExcludes(std::string_view relativeFolder, std::string_view name,
                                    bool isFolder) const {
  if (!ignoreCase_) {
    if (ExcludesName(name, isFolder)) return true;
    if (paths_.empty()) return false;
    return ExcludesPath(std::string(relativeFolder) += name, isFolder);
  }
  const std::string folded = FoldCase(name);
  if (ExcludesName(folded, isFolder)) return true;
  if (paths_.empty()) return false;
  return ExcludesPath(FoldCase(relativeFolder) += folded, isFolder);
}

bool ExclusionPatterns::ExcludesName(std::string_view name, bool isFolder) const {
  for (const Pattern& pattern : names_) {
    if ((isFolder || !pattern.foldersOnly) && MatchesName(pattern.parts[0], name)) return true;
  }
  return false;
}

bool ExclusionPatterns::ExcludesPath(std::string_view path, bool isFolder) const {
  const std::vector<std::string_view> parts = SplitPath(path);
  for (const Pattern& pattern : paths_) {
    if ((isFolder || !pattern.foldersOnly) && MatchesParts(pattern.parts, 0, parts, 0)) {
      return true;
    }
  }
  return false;
}

}  // namespace brisvel
