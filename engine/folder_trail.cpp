#include "engine/folder_trail.h"

#include "core/text.h"

namespace brisvel {

FolderTrail::FolderTrail(FileSystem& fs, Folder top) : fs_(fs) {
  levels_.push_back({0, std::move(top)});
}

const Folder& FolderTrail::Here() {
  Level& here = levels_.back();
  if (here.folder || levels_.size() == 1) return here.folder;
  size_t above = levels_.size() - 2;
  while (above > 0 && !levels_[above].folder) --above;
  const size_t from = levels_[above].relativeLength;
  // The names between, without the final separator.
  const std::string below = relative_.substr(from, here.relativeLength - from - 1);
  here.folder = fs_.OpenFolderIn(levels_[above].folder, below);
  return here.folder;
}

Status FolderTrail::Enter(const std::string& name) {
  Folder child = fs_.OpenFolderIn(Here(), name);
  if (!child) return Status::Failure(child.Error());
  relative_ += name;
  relative_ += kPathSeparator;
  levels_.push_back({relative_.size(), std::move(child)});
  // The level that has just fallen out of the open window closes; the top never does.
  if (levels_.size() > kOpenLevels + 1) levels_[levels_.size() - 1 - kOpenLevels].folder = Folder();
  return Status();
}

void FolderTrail::Leave() {
  levels_.pop_back();
  relative_.resize(levels_.back().relativeLength);
}

}  // namespace brisvel
