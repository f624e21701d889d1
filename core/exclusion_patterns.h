// The patterns of a job's exclusions, compiled once per job and asked about every entry the
// walks meet. A pattern is matched against an entry's path relative to the job's source
// folder, with "/" between its parts on every system:
// - "*" stands for any run of characters within one name, "?" for one character; a part that
//   is just "**" stands for any number of folders, none included. Every other character,
//   brackets included, stands for itself.
// - A pattern without "/" matches a name at any depth ("*.tmp", "node_modules").
// - A pattern ending in "/" matches folders only ("cache/").
// - A pattern with "/" anywhere else is anchored at the source folder ("photos/raw/" is only
//   the top folder's "photos/raw"); a leading "/" anchors a single name ("/build/").
// Letter case counts where file names keep it (Linux) and is ignored on Windows, which also
// takes "\" in a pattern as "/".
#pragma once

#include <bitset>
#include <string>
#include <string_view>
#include <vector>

namespace brisvel {

#ifdef _WIN32
inline constexpr bool kNamesIgnoreCase = true;
#else
inline constexpr bool kNamesIgnoreCase = false;
#endif

class ExclusionPatterns {
 public:
  // Excludes nothing.
  ExclusionPatterns() = default;
  // `patterns` as SplitPatterns gives them; an empty pattern, or "/", matches nothing.
  explicit ExclusionPatterns(const std::vector<std::string>& patterns,
                             bool ignoreCase = kNamesIgnoreCase);

  // True when no pattern can match: the walks then never ask.
  bool Empty() const { return names_.empty() && paths_.empty(); }

  // True when entry `name` of `relativeFolder` ("" for the top folder, else "a/b/" with the
  // system's separator, as the walks spell it) is excluded. `isFolder` tells a folder.
  // Asked for every entry of a walk: a job without patterns pays one test.
  bool Excludes(std::string_view relativeFolder, std::string_view name, bool isFolder) const {
    return !Empty() && AnyExcludes(relativeFolder, name, isFolder);
  }

 private:
  // One part of a pattern, with the literal text a name must start and end with, which turns
  // most names down before the full match.
  struct Part {
    std::string glob;
    size_t head = 0;          // length of the literal start, before any "*" or "?"
    size_t tail = 0;          // length of the literal end after the last "*", without "?"
    bool plain = false;       // no "*" or "?": the name must be the glob
    bool anyFolders = false;  // "**"
  };
  struct Pattern {
    std::vector<Part> parts;
    bool foldersOnly = false;
    bool literalEnd = false;  // ends in a character a matching name must end in too
  };
  class EntryPath;

  static Part MakePart(std::string glob);
  static bool MatchesPart(const Part& part, std::string_view name);
  static bool MatchesParts(const std::vector<Part>& parts, size_t from, const EntryPath& path,
                           size_t at);
  bool AnyExcludes(std::string_view relativeFolder, std::string_view name, bool isFolder) const;
  bool ExcludesName(std::string_view name, bool isFolder, bool endingSeen) const;
  bool ExcludesPath(std::string_view relativeFolder, std::string_view name, bool isFolder,
                    bool endingSeen) const;

  std::vector<Pattern> names_;  // one part, matched against the name alone
  std::vector<Pattern> paths_;  // anchored at the source folder
  // The last bytes of the patterns with a literal end: a name ending in none of them is
  // asked only of the others, which spares most names most patterns.
  std::bitset<256> endings_;
  bool ignoreCase_ = false;
};

}  // namespace brisvel
