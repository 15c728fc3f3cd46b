// The Step 2 browser of the wizard: the drive list, the directory box and the
// file list, read through the platform's listings.
#include "platform/chars.h"
#include "platform/dir_search.h"
#include "platform/paths.h"
#include "run/wizard.h"

namespace qtarvox {
namespace {

// `path` itself when it is a folder, else its nearest parent folder that is;
// empty when none is.
std::string NearestFolder(std::string path) {
  while (!path.empty()) {
    if (IsDirectory(path)) return path;
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return {};
    path.resize(slash == 0 ? 1 : slash);
    if (path == "/") return IsDirectory(path) ? path : std::string();
  }
  return {};
}

// Whether `path` is `folder` or lies inside it.
bool IsInside(const std::string& path, const std::string& folder) {
  if (folder == "/") return path.starts_with("/");
  return path.starts_with(folder) && (path.size() == folder.size() || path[folder.size()] == '/');
}

bool Mounted(const std::vector<Volume>& volumes, const std::string& root) {
  for (const Volume& volume : volumes) {
    if (volume.root == root) return true;
  }
  return false;
}

std::string Unreadable(const char* text, const std::string& path, const RtError& err,
                       const char* ending) {
  return text + path + " (" + err.description + ")" + ending;
}

}  // namespace

RtError Wizard::ReadFiles(const std::string& folder, std::vector<std::string>& names) const {
  // An empty pattern shows every file, as "*.*" does.
  std::string pattern = Trim(screen_.txtExt);
  if (pattern.empty()) pattern = kAllFilesPattern;
  return SearchDirectory(folder, pattern, SearchFilter::kFiles, names);
}

void Wizard::EnsureBrowser() {
  // A silent run shows no browser: nothing is read for it.
  if (job_.SuppressedMode) return;
  volumes_ = MountedVolumes();
  std::string folder = NearestFolder(job_.dirDir);
  if (folder.empty()) folder = NearestFolder(CurrentDirectory());
  if (folder.empty()) folder = "/";
  job_.dirDir = folder;
  // The tree of a volume reaches into the volumes mounted inside it: the
  // drive list follows the folder only when it has left the volume shown.
  if (screen_.volume.empty() || !Mounted(volumes_, screen_.volume) ||
      !IsInside(folder, screen_.volume)) {
    screen_.volume = VolumeRootOf(volumes_, folder);
  }
  folder_of_volume_[screen_.volume] = folder;
  if (ReadFiles(folder, screen_.filFile)) screen_.filFile.clear();
}

void Wizard::RefreshBrowser() {
  EnsureBrowser();
  ++screen_.browser_reads;
}

bool Wizard::ChooseVolume(const std::string& root) {
  screen_.chosen_files_active = false;
  if (root == screen_.volume) return true;
  std::string folder = root;
  const auto last = folder_of_volume_.find(root);
  if (last != folder_of_volume_.end() && IsInside(last->second, root) &&
      IsDirectory(last->second)) {
    folder = last->second;
  }
  std::vector<std::string> names;
  RtError err = ReadFiles(folder, names);
  if (err && folder != root) {
    folder = root;
    err = ReadFiles(folder, names);
  }
  if (err) {
    prompter_.Tell(Unreadable(kDriveUnreadable, root, err, kDriveUnreadableEnd), kAppTitle);
    return false;
  }
  screen_.volume = root;
  job_.dirDir = folder;
  folder_of_volume_[root] = folder;
  screen_.filFile = std::move(names);
  return true;
}

bool Wizard::OpenDirectory(const std::string& path) {
  screen_.chosen_files_active = false;
  std::vector<std::string> names;
  if (RtError err = ReadFiles(path, names)) {
    prompter_.Tell(Unreadable(kFolderUnreadable, path, err, kFolderUnreadableEnd), kAppTitle);
    return false;
  }
  job_.dirDir = path;
  folder_of_volume_[screen_.volume] = path;
  screen_.filFile = std::move(names);
  return true;
}

RtError Wizard::Subdirectories(const std::string& path, std::vector<std::string>& names,
                               bool tell) {
  RtError err = ListSubdirectories(path, names);
  if (err && tell) {
    prompter_.Tell(Unreadable(kFolderUnreadable, path, err, kFolderUnreadableEnd), kAppTitle);
  }
  return err;
}

void Wizard::PatternChanged(const std::string& text) {
  screen_.txtExt = text;
  if (job_.SuppressedMode) return;
  if (job_.dirDir.empty() || ReadFiles(job_.dirDir, screen_.filFile)) screen_.filFile.clear();
}

void Wizard::FileListClicked() { screen_.chosen_files_active = false; }

void Wizard::ChosenFilesClicked() { screen_.chosen_files_active = true; }

}  // namespace qtarvox
