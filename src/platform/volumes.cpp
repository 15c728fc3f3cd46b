#include "platform/volumes.h"

#include <QFile>
#include <QStorageInfo>
#include <algorithm>
#include <array>

namespace qtarvox {
namespace {

// Whether `path` is `folder` or lies inside it.
bool IsInside(std::string_view path, std::string_view folder) {
  if (folder == "/") return !path.empty() && path.front() == '/';
  if (!path.starts_with(folder)) return false;
  return path.size() == folder.size() || path[folder.size()] == '/';
}

std::string Bytes(const QByteArray& bytes) {
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace

bool IsPickableMount(std::string_view file_system_type, std::string_view root) {
  static constexpr std::array<std::string_view, 20> kPseudo = {
      "proc",   "sysfs",   "cgroup",      "cgroup2",    "devpts",  "devtmpfs", "securityfs",
      "pstore", "debugfs", "tracefs",     "configfs",   "fusectl", "mqueue",   "hugetlbfs",
      "bpf",    "autofs",  "binfmt_misc", "rpc_pipefs", "nsfs",    "efivarfs"};
  if (std::ranges::find(kPseudo, file_system_type) != kPseudo.end()) return false;
  for (const std::string_view system : {"/proc", "/sys", "/dev"}) {
    if (IsInside(root, system)) return false;
  }
  // /run and what lies under it hold the system's and the sessions' runtime
  // files; a removable drive mounted there is a real file system, not tmpfs.
  return !(file_system_type == "tmpfs" && IsInside(root, "/run"));
}

std::vector<Volume> MountedVolumes() {
  std::vector<Volume> volumes;
  for (const QStorageInfo& info : QStorageInfo::mountedVolumes()) {
    if (!info.isValid()) continue;
    const std::string root = Bytes(QFile::encodeName(info.rootPath()));
    if (!IsPickableMount(Bytes(info.fileSystemType()), root)) continue;
    std::string label = info.name().toStdString();
    if (label.empty()) label = Bytes(info.device());
    volumes.push_back({root, label});
  }
  if (std::ranges::none_of(volumes, [](const Volume& v) { return v.root == "/"; })) {
    volumes.push_back({"/", ""});
  }
  std::ranges::sort(volumes, {}, &Volume::root);
  volumes.erase(std::unique(volumes.begin(), volumes.end(),
                            [](const Volume& a, const Volume& b) { return a.root == b.root; }),
                volumes.end());
  return volumes;
}

std::string VolumeRootOf(const std::vector<Volume>& volumes, std::string_view path) {
  std::string best = "/";
  for (const Volume& volume : volumes) {
    if (IsInside(path, volume.root) && volume.root.size() > best.size()) best = volume.root;
  }
  return best;
}

}  // namespace qtarvox
