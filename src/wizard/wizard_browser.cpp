// The Step 2 browser of the wizard: the drive list, the directory box and the
// file list, read through the platform's listings.
#include "platform/chars.h"
#include "platform/dir_search.h"
#include "platform/paths.h"
#include "wizard/wizard.h"

namespace qtarvox {
namespace {

// `path` itself when it is a folder, else its nearest parent folder that is;
// empty when none is.
std::string NearestFolder(std::string path) {
  while (!path.empty()) {
    if (IsDirectory(path)) return path;
    path = ParentFolder(path);
    if (path.empty()) return {};
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

RtError Wizard::ListFileList(const std::string& folder, const std::string& pattern,
                             std::vector<std::string>& names) {
  names.clear();
  if (folder.empty()) return {};
  // An empty pattern shows every file, as "*.*" does.
  std::string trimmed = Trim(pattern);
  if (trimmed.empty()) trimmed = kAllFilesPattern;
  return SearchDirectory(folder, trimmed, SearchFilter::kFiles, names);
}

RtError Wizard::ReadFiles(const std::string& folder, std::vector<std::string>& names) const {
  return ListFileList(folder, screen_.txtExt, names);
}

RtError Wizard::TryFolder(const std::string& folder, std::vector<std::string>& names) const {
  return files_apart_ ? CheckListable(folder) : ReadFiles(folder, names);
}

void Wizard::ShowFiles(std::vector<std::string> names) {
  ++screen_.files_listing;
  if (!files_apart_) {
    screen_.filFile = std::make_shared<const std::vector<std::string>>(std::move(names));
    files_folder_ = job_.dirDir;
    return;
  }
  screen_.files_pending = true;
  // Names of another folder would be added with this folder's path: they go
  // at once. Those of this folder stay until the new listing replaces them.
  if (files_folder_ != job_.dirDir) {
    screen_.filFile = std::make_shared<const std::vector<std::string>>();
    files_folder_.clear();
  }
}

void Wizard::ReadFileList() {
  std::vector<std::string> names;
  if (!files_apart_ && ReadFiles(job_.dirDir, names)) names.clear();
  ShowFiles(std::move(names));
}

void Wizard::ListFilesApart() { files_apart_ = true; }

void Wizard::FilesListed(uint64_t listing, std::vector<std::string> names) {
  if (!screen_.files_pending || listing != screen_.files_listing) return;
  screen_.files_pending = false;
  files_folder_ = job_.dirDir;
  if (names == *screen_.filFile) return;
  screen_.filFile = std::make_shared<const std::vector<std::string>>(std::move(names));
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
  ReadFileList();
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
  RtError err = TryFolder(folder, names);
  if (err && folder != root) {
    folder = root;
    err = TryFolder(folder, names);
  }
  if (err) {
    prompter_.Tell(Unreadable(kDriveUnreadable, root, err, kDriveUnreadableEnd), kAppTitle);
    return false;
  }
  screen_.volume = root;
  job_.dirDir = folder;
  folder_of_volume_[root] = folder;
  ShowFiles(std::move(names));
  return true;
}

bool Wizard::OpenDirectory(const std::string& path) {
  screen_.chosen_files_active = false;
  std::vector<std::string> names;
  if (RtError err = TryFolder(path, names)) {
    prompter_.Tell(Unreadable(kFolderUnreadable, path, err, kFolderUnreadableEnd), kAppTitle);
    return false;
  }
  job_.dirDir = path;
  folder_of_volume_[screen_.volume] = path;
  ShowFiles(std::move(names));
  return true;
}

std::string Wizard::SubdirectoryPath(const std::string& path, const std::string& name) {
  return JoinPath(path, name);
}

std::vector<std::string> Wizard::FoldersBetween(const std::string& root,
                                                const std::string& path) {
  std::vector<std::string> names;
  const std::string prefix = WithTrailingSlash(root);
  if (path == root || !path.starts_with(prefix)) return names;
  size_t from = prefix.size();
  while (from < path.size()) {
    size_t end = path.find('/', from);
    if (end == std::string::npos) end = path.size();
    if (end > from) names.push_back(path.substr(from, end - from));
    from = end + 1;
  }
  return names;
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
  ReadFileList();
}

void Wizard::FileListClicked() { screen_.chosen_files_active = false; }

void Wizard::ChosenFilesClicked() { screen_.chosen_files_active = true; }

}  // namespace qtarvox
