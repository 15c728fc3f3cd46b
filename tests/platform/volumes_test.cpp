// The drive list's volumes: which mounts a person would pick, and which volume holds a path.
#include "platform/volumes.h"

#include <gtest/gtest.h>

namespace qtarvox {
namespace {

TEST(Volumes, OnlyMountsAPersonWouldPickAreListed) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"ext4", "/", true},        {"overlay", "/", true},     {"vfat", "/media/me/USB", true},
      {"vfat", "/run/media/me/USB", true}, {"tmpfs", "/tmp", true}, {"nfs4", "/home", true},
      {"ext4", "/devices", true}, {"proc", "/proc", false},   {"sysfs", "/sys", false},
      {"cgroup2", "/sys/fs/cgroup", false}, {"tmpfs", "/sys/fs/cgroup", false},
      {"devpts", "/dev/pts", false}, {"tmpfs", "/dev/shm", false}, {"tmpfs", "/run", false},
      {"tmpfs", "/run/user/1000", false}, {"autofs", "/net", false}};
  for (const auto& [type, root, pickable] : cases) {
    EXPECT_EQ(IsPickableMount(type, root), pickable) << type << " " << root;
  }
}

TEST(Volumes, APathBelongsToTheDeepestVolumeThatHoldsIt) {
  const std::vector<Volume> volumes = {{"/", ""}, {"/home", ""}, {"/media/me/USB", ""}};
  const std::pair<const char*, const char*> cases[] = {
      {"/", "/"},          {"/etc", "/"},      {"/home", "/home"},
      {"/home/me/docs", "/home"}, {"/homework", "/"}, {"/media/me", "/"},
      {"/media/me/USB/photos", "/media/me/USB"}};
  for (const auto& [path, root] : cases) EXPECT_EQ(VolumeRootOf(volumes, path), root) << path;
}

}  // namespace
}  // namespace qtarvox
