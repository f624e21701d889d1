#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <vector>

#include "core/atomic_file.h"
#include "system/desktop_files.h"
#include "system/job_file_association.h"
#include "system/run_tool.h"
#include "system/xdg_folder.h"

namespace brisvel {
namespace {

// An argument of an Exec line: quoted, with the characters that are special inside the
// quotes escaped, and "%" doubled so that it is no field code.
std::string ExecArgument(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
    if (c == '%') quoted += '%';
  }
  return quoted + "\"";
}

// A value of a desktop entry: backslashes and control characters escaped, so that no path
// can end the line or start another.
std::string EntryValue(const std::string& text) {
  std::string value;
  for (char c : text) {
    if (c == '\\') {
      value += "\\\\";
    } else if (c == '\n') {
      value += "\\n";
    } else if (c == '\r') {
      value += "\\r";
    } else if (c == '\t') {
      value += "\\t";
    } else {
      value += c;
    }
  }
  return value;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

std::string Trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The whole file; "" when it does not exist; nullopt when it exists but cannot be read.
std::optional<std::string> ReadWhole(const std::string& path) {
  std::error_code error;
  std::filesystem::file_status status = std::filesystem::status(path, error);
  if (status.type() == std::filesystem::file_type::not_found) return "";
  if (status.type() != std::filesystem::file_type::regular) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return text;
}

// Replaces the file at `path` with `text` in one step, unless it already holds exactly that.
void WriteIfChanged(const std::string& path, const std::string& text) {
  std::optional<std::string> old = ReadWhole(path);
  if (old && *old == text) return;
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  WriteFileAtomically(path, text);
}

void SetDefaultApplication(const std::string& configFolder) {
  const std::string path = configFolder + "/mimeapps.list";
  std::optional<std::string> old = ReadWhole(path);
  if (!old) return;  // a file that cannot be read is never replaced by a guess
  WriteIfChanged(path, WithDefaultApplication(*old, kJobFileMimeType, kDesktopEntryName));
}

}  // namespace

std::string DesktopEntryFor(const std::string& programPath) {
  std::vector<std::string> lines = Lines(kDesktopEntryTemplate);
  for (std::string& line : lines) {
    if (line.rfind("Exec=", 0) == 0) line = "Exec=" + EntryValue(ExecArgument(programPath)) + " %f";
  }
  return Joined(lines);
}

std::string WithDefaultApplication(const std::string& mimeapps, const std::string& mimeType,
                                   const std::string& desktopEntry) {
  const std::string entry = mimeType + "=" + desktopEntry + ";";
  std::vector<std::string> lines = Lines(mimeapps);
  std::optional<size_t> insertAt;  // after the last line of the group that has text
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string line = Trimmed(lines[i]);
    if (!line.empty() && line[0] == '[') {
      if (insertAt) break;
      if (line == "[Default Applications]") insertAt = i + 1;
      continue;
    }
    if (!insertAt) continue;
    if (!line.empty()) insertAt = i + 1;
    size_t equals = line.find('=');
    if (equals != std::string::npos && Trimmed(line.substr(0, equals)) == mimeType) {
      lines[i] = entry;
      return Joined(lines);
    }
  }
  if (insertAt) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*insertAt), entry);
  } else {
    if (!lines.empty() && !Trimmed(lines.back()).empty()) lines.push_back("");
    lines.push_back("[Default Applications]");
    lines.push_back(entry);
  }
  return Joined(lines);
}

void AssociateJobFiles(const std::string& programPath, const MessagePrompt& prompt) {
  const std::string data = XdgFolder("XDG_DATA_HOME", "/.local/share");
  const std::string config = XdgFolder("XDG_CONFIG_HOME", "/.config");
  if (!data.empty()) {
    WriteIfChanged(data + "/mime/packages/brisvel.xml", kMimePackage);
    WriteIfChanged(data + "/applications/" + kDesktopEntryName, DesktopEntryFor(programPath));
    RunTool({"update-mime-database", data + "/mime"});
    RunTool({"update-desktop-database", data + "/applications"});
  }
  if (!config.empty()) SetDefaultApplication(config);
  prompt(kAssociatedMessage, MessageIcon::kInformation, false);
}

}  // namespace brisvel
