// Small text helpers shared by every part of the program. All text is std::string holding
// UTF-8; keyword comparisons lower-case ASCII letters only, so other bytes pass unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace brisvel {

// The separator that ends every folder path of a job.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// True for the characters that separate a path's parts. Windows also takes "/" on input,
// so a job file written on another system keeps its meaning.
constexpr bool IsPathSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

// The position of the last path separator in `path`; npos when it has none.
size_t LastSeparator(std::string_view path);

// `text` with the letters A to Z lower-cased.
std::string ToLower(std::string_view text);

// `text` without leading and trailing blanks (spaces and tabs).
std::string Trim(std::string_view text);

// True when `text` ends with a path separator.
bool EndsWithSeparator(std::string_view text);

// `path` with a separator appended when it is not empty and does not already end in one.
std::string WithTrailingSeparator(std::string_view path);

// The part after the last separator ("b.txt" for "a/b.txt"; the whole text when there is none).
std::string FilePart(std::string_view path);

// The part up to and including the last separator ("" when there is none).
std::string FolderPart(std::string_view path);

// "s" unless `count` is exactly 1.
const char* Plural(int64_t count);

// A name as the progress window shows it: whole when shorter than 25 characters, otherwise
// its first 24 characters without surrounding blanks.
std::string ShortName(std::string_view name);

// True for '/' and the platform's own separator: paths typed or read from job files may use
// either.
bool IsAnySeparator(char c);

// True when `path` is relative and has no ".." part, so that it names something inside
// whatever folder it is appended to.
bool StaysInsideFolder(std::string_view path);

// `text` with every control character (C0, DEL, the C1 controls and the Unicode line and
// paragraph separators) and every byte that is not part of well-formed UTF-8 shown as '?',
// one '?' per such byte. Names may hold line breaks and terminal escapes, and on Linux any
// bytes at all (a lone 0x9B is CSI to an 8-bit terminal); text that goes to a log file or a
// terminal passes through here, so a name can never forge a line or move the cursor.
std::string PrintableText(std::string_view text);

}  // namespace brisvel
