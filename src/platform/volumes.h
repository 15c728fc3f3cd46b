// The mounted volumes a person would pick a folder from: the drive list of
// the file browser.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qtarvox {

struct Volume {
  std::string root;   // the mount point, "/" for the root volume
  std::string label;  // the volume's name, or its device when it has none
  bool operator==(const Volume&) const = default;
};

// Whether a mount is one a person would pick: not a pseudo file system of
// the kernel (proc, sysfs, cgroup, devpts, ...) and not a runtime mount under
// /proc, /sys, /dev or /run.
bool IsPickableMount(std::string_view file_system_type, std::string_view root);

// The pickable mounted volumes, in the order of their roots; never empty
// (the root volume "/" at least).
std::vector<Volume> MountedVolumes();

// The root of the volume among `volumes` that holds `path`: the longest root
// that is `path` itself or one of its parent folders; "/" when none is.
std::string VolumeRootOf(const std::vector<Volume>& volumes, std::string_view path);

}  // namespace qtarvox
