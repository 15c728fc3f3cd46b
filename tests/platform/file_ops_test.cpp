#include "platform/file_ops.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <set>

#include "temp_dir.h"

namespace qtarvox {
namespace {

using Files = std::map<std::string, std::string>;  // name -> contents

// Lays out regular files; those named in `read_only` lose their write bits.
void Lay(const TempDir& dir, const Files& files, const std::set<std::string>& read_only = {}) {
  for (const auto& [name, contents] : files) dir.WriteFile(name, contents);
  for (const auto& name : read_only) chmod(dir.PathOf(name).c_str(), 0444);
}

Files Contents(const TempDir& dir) {
  Files files;
  for (const auto& name : dir.List()) files[name] = dir.ReadFile(name);
  return files;
}

TEST(RenameNoReplace, RenamesOnlyToFreeValidNames) {
  struct Case {
    const char* what;
    Files before;
    std::string old_name;
    std::string new_name;
    int error;
    Files after;
  };
  const Files ab{{"a", "A"}, {"b", "B"}};
  const Case cases[] = {
      {"free name", {{"a.txt", "A"}}, "a.txt", "b.txt", kErrNone, {{"b.txt", "A"}}},
      {"taken name", ab, "a", "b", kErrFileExists, ab},
      {"missing source", {{"b", "B"}}, "a", "c", kErrFileNotFound, {{"b", "B"}}},
      {"trailing dots", {{"a.txt", "A"}}, "a.txt", "b..", kErrNone, {{"b", "A"}}},
      {"same after dots", {{"a", "A"}}, "a", "a.", kErrNone, {{"a", "A"}}},
      {"case only", {{"abc.txt", "A"}}, "abc.txt", "ABC.txt", kErrNone, {{"ABC.txt", "A"}}},
      {"parent", ab, "a", "..", kErrBadFileName, ab},
      {"only dots", ab, "a", "...", kErrBadFileName, ab},
      {"empty", ab, "a", "", kErrBadFileName, ab},
      {"slash", ab, "a", "c/d", kErrBadFileName, ab},
      {"nul", ab, "a", std::string("c\0d", 3), kErrBadFileName, ab},
      {"too long", ab, "a", std::string(300, 'x'), kErrBadFileName, ab},
      {"old is parent", ab, "..", "c", kErrBadFileName, ab},
  };
  for (const Case& c : cases) {
    TempDir dir;
    Lay(dir, c.before);
    EXPECT_EQ(RenameNoReplace(dir.slash(), c.old_name, c.new_name).number, c.error) << c.what;
    EXPECT_EQ(Contents(dir), c.after) << c.what;
  }
}

TEST(RenameNoReplace, NeverTakesTheNameOfADirectoryOrAnotherLink) {
  TempDir dir;
  Lay(dir, {{"abc", "A"}, {"f", "F"}});
  dir.MakeDir("d");
  // Two names of one file that differ only in case are still two names here.
  ASSERT_EQ(link(dir.PathOf("abc").c_str(), dir.PathOf("ABC").c_str()), 0);

  EXPECT_EQ(RenameNoReplace(dir.path(), "f", "d").number, kErrFileExists);
  EXPECT_EQ(RenameNoReplace(dir.path(), "abc", "ABC").number, kErrFileExists);
  // No temporary name is left behind.
  EXPECT_EQ(dir.List(), (std::vector<std::string>{"ABC", "abc", "d", "f"}));
}

TEST(DeleteFile, RefusesDirectoriesAndReadOnlyFiles) {
  TempDir dir;
  Lay(dir, {{"plain", "P"}, {"ro", "R"}}, {"ro"});
  dir.MakeDir("dir");
  symlink("ro", dir.PathOf("link").c_str());

  struct Case {
    const char* name;
    int error;
    bool exists_after;
  };
  const Case cases[] = {
      {"plain", kErrNone, false},
      {"ro", kErrAccessDenied, true},
      {"dir", kErrAccessDenied, true},
      {"missing", kErrFileNotFound, false},
      {"ro/x", kErrPathNotFound, false},
      {"link", kErrNone, false},  // the link goes, not the read-only file behind it
  };
  for (const Case& c : cases) {
    const std::string path = dir.PathOf(c.name);
    const bool existed = dir.Exists(c.name);
    EXPECT_EQ(CheckDeletable(path).number, c.error) << c.name;
    EXPECT_EQ(dir.Exists(c.name), existed) << c.name;
    EXPECT_EQ(DeleteFile(path).number, c.error) << c.name;
    EXPECT_EQ(dir.Exists(c.name), c.exists_after) << c.name;
  }
  EXPECT_EQ(dir.ReadFile("ro"), "R");
}

TEST(RenameReplacing, ReplacesOnlyDeletableTargets) {
  struct Case {
    const char* what;
    Files before;
    std::string new_name;
    int error;
    Files after;
  };
  const Files with_ro{{"a", "A"}, {"ro", "R"}};
  const Case cases[] = {
      {"replaces", {{"a", "A"}, {"b", "B"}}, "b", kErrNone, {{"b", "A"}}},
      {"read-only target", with_ro, "ro", kErrAccessDenied, with_ro},
      {"missing target", {{"a", "A"}}, "b", kErrFileNotFound, {{"a", "A"}}},
      {"bad name", {{"a", "A"}}, "..", kErrBadFileName, {{"a", "A"}}},
  };
  for (const Case& c : cases) {
    TempDir dir;
    Lay(dir, c.before, {"ro"});
    EXPECT_EQ(RenameReplacing(dir.slash(), "a", c.new_name).number, c.error) << c.what;
    EXPECT_EQ(Contents(dir), c.after) << c.what;
  }
}

// Sets or clears the immutable flag; false when the file system or the
// user's capabilities do not allow it.
bool SetImmutable(const std::string& path, bool on) {
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  int flags = 0;
  bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
  ok = ok && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  close(fd);
  return ok;
}

TEST(FileOps, RefusalByTheSystemIsAccessDenied) {
  TempDir dir;
  const std::string file = dir.WriteFile("locked", "L");
  if (!SetImmutable(file, true)) GTEST_SKIP() << "cannot make a file immutable here";
  const RtError deleted = DeleteFile(file);
  const RtError renamed = RenameNoReplace(dir.path(), "locked", "other");
  SetImmutable(file, false);
  EXPECT_EQ(deleted.number, kErrAccessDenied);
  EXPECT_EQ(renamed.number, kErrAccessDenied);
  EXPECT_EQ(dir.List(), std::vector<std::string>{"locked"});
}

}  // namespace
}  // namespace qtarvox
