#include "platform/file_ops.h"
#include "platform/file_state.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>

#include "platform/work_folder.h"
#include "temp_dir.h"

namespace qtarvox {
namespace {

using Files = std::map<std::string, std::string>;  // name -> contents, "/" for a folder

// Lays out files and folders; "ro" loses its write bits.
void Lay(const TempDir& dir, const Files& files) {
  for (const auto& [name, contents] : files)
    contents == "/" ? (void)dir.MakeDir(name) : (void)dir.WriteFile(name, contents);
  if (dir.Exists("ro")) chmod(dir.PathOf("ro").c_str(), 0444);
}

Files Contents(const TempDir& dir) {
  Files files;
  for (const auto& name : dir.List())
    files[name] = std::filesystem::is_directory(dir.PathOf(name)) ? "/" : dir.ReadFile(name);
  return files;
}

TEST(RenameNoReplace, RenamesOnlyToFreeValidNames) {
  const Files ab{{"a", "A"}, {"b", "B"}};
  const std::tuple<Files, std::string, std::string, int, Files> cases[] = {
      {{{"a.txt", "A"}}, "a.txt", "b.txt", kErrNone, {{"b.txt", "A"}}},
      {ab, "a", "b", kErrFileExists, ab},
      {{{"b", "B"}}, "a", "c", kErrFileNotFound, {{"b", "B"}}},
      {{{"a.txt", "A"}}, "a.txt", "b..", kErrNone, {{"b", "A"}}},
      {{{"abc.txt", "A"}}, "abc.txt", "ABC.txt", kErrNone, {{"ABC.txt", "A"}}},
      {ab, "a", "..", kErrBadFileName, ab},
      {ab, "a", "...", kErrBadFileName, ab},
      {ab, "a", "", kErrBadFileName, ab},
      {ab, "a", "c/d", kErrBadFileName, ab},
  };
  // Every case by full path and through a handle that moves from one folder to the next.
  DirectoryHandle handle;
  for (DirectoryHandle* through : {static_cast<DirectoryHandle*>(nullptr), &handle}) {
    for (const auto& [before, old_name, new_name, error, after] : cases) {
      TempDir dir;
      Lay(dir, before);
      EXPECT_EQ(RenameNoReplace(dir.slash(), old_name, new_name, through).number, error)
          << new_name;
      EXPECT_EQ(Contents(dir), after) << new_name;
    }
  }
  EXPECT_EQ(RenameNoReplace("/no/such/folder/", "a", "b", &handle).number, kErrFileNotFound);
}

// ASCII names are compared without decoding, to the answer decoding gives.
TEST(IsCaseOnlyChange, AsciiAndDecodedNamesAgree) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"abc.txt", "ABC.TXT", true},       {"abc.txt", "abc.txt", false},
      {"abc.txt", "abd.txt", false},      {"abc", "ABCD", false},
      {"a[b]_1.txt", "A[B]_1.TXT", true}, {"@", "`", false},
      {"élan.txt", "ÉLAN.TXT", true},     {"élan.txt", "ELAN.TXT", false},
      {"Straße", "STRASSE", false},
  };
  for (const auto& [old_name, new_name, case_only] : cases) {
    EXPECT_EQ(IsCaseOnlyChange(old_name, new_name), case_only)
        << old_name << " -> " << new_name;
  }
}

// Deleting or replacing `target` is refused for a read-only file or a folder.
TEST(DeleteFile, AndRenameReplacingRefuseProtectedTargets) {
  const Files all{{"a", "A"}, {"b", "B"}, {"ro", "R"}, {"d", "/"}};
  const std::tuple<bool, const char*, int, Files> cases[] = {
      {false, "b", kErrNone, {{"a", "A"}, {"ro", "R"}, {"d", "/"}}},
      {false, "ro", kErrAccessDenied, all},
      {false, "d", kErrAccessDenied, all},
      {false, "missing", kErrFileNotFound, all},
      {true, "b", kErrNone, {{"b", "A"}, {"ro", "R"}, {"d", "/"}}},
      {true, "ro", kErrAccessDenied, all},
      {true, "missing", kErrFileNotFound, all},
  };
  for (const auto& [replace, target, error, after] : cases) {
    TempDir dir;
    Lay(dir, all);
    const std::string path = dir.PathOf(target);
    if (replace) {
      EXPECT_EQ(RenameReplacing(dir.slash(), "a", target).number, error) << target;
    } else {
      EXPECT_EQ(CheckDeletable(path).number, error) << target;
      EXPECT_EQ(Contents(dir), all) << target;
      EXPECT_EQ(DeleteFile(path).number, error) << target;
    }
    EXPECT_EQ(Contents(dir), after) << target << (replace ? " replaced" : " deleted");
  }
}

// Where the file system refuses the no-replace flag, a taken name is still never replaced.
TEST(RenameNoReplace, MoveWithoutTheFlagNeverReplaces) {
  const struct {
    Files before;
    const char* from;
    const char* to;
    int error;
    Files after;
  } cases[] = {
      {{{"a", "1"}}, "a", "b", 0, {{"b", "1"}}},
      {{{"a", "1"}, {"b", "2"}}, "a", "b", EEXIST, {{"a", "1"}, {"b", "2"}}},
      {{{"d", "/"}}, "d", "e", 0, {{"e", "/"}}},
      {{{"d", "/"}, {"e", "2"}}, "d", "e", EEXIST, {{"d", "/"}, {"e", "2"}}},
      {{}, "gone", "b", ENOENT, {}},
  };
  for (const auto& c : cases) {
    TempDir dir;
    Lay(dir, c.before);
    const int fd = open(dir.path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    EXPECT_EQ(MoveNoReplaceWithoutFlag(fd, c.from, c.to), c.error) << c.from << " " << c.to;
    close(fd);
    EXPECT_EQ(Contents(dir), c.after) << c.from << " " << c.to;
  }
}

TEST(ErrorNumbers, SystemErrorsMapToTheirNumbersWithTheSystemsText) {
  const std::pair<int, int> cases[] = {
      {EIO, 57},   {ENOSPC, 61}, {EDQUOT, 61}, {ENXIO, 71},  {ENODEV, 71}, {ENOMEDIUM, 71},
      {ENOTDIR, 76}, {ENOENT, 53}, {EEXIST, 58}, {EROFS, 75}, {EILSEQ, 52}, {ELOOP, 1000 + ELOOP}};
  for (const auto& [err, number] : cases) {
    const RtError e = ErrorFromErrno(err);
    EXPECT_EQ(e.number, number) << err;
    EXPECT_EQ(e.description, std::strerror(err)) << err;
  }
  EXPECT_STREQ(CauseText(1000 + ELOOP), "Unknown...Untrapped error");
  EXPECT_STREQ(CauseText(61), "Unknown...Untrapped error");
  EXPECT_NE(std::string(CauseText(53)).find("was not found"), std::string::npos);
}

// The state folder follows XDG_STATE_HOME, ignores a relative one, and is made private to the user.
TEST(WorkFolder, StateFolderFollowsXdgAndIsPrivate) {
  TempDir dir;
  const std::string saved_state = getenv("XDG_STATE_HOME") ? getenv("XDG_STATE_HOME") : "";
  const std::string saved_home = getenv("HOME") ? getenv("HOME") : "";
  setenv("HOME", dir.PathOf("home").c_str(), 1);
  setenv("XDG_STATE_HOME", dir.PathOf("xdg/").c_str(), 1);
  EXPECT_EQ(StateFolder(), dir.PathOf("xdg/q-tarvox"));
  struct stat st {};
  ASSERT_EQ(stat(dir.PathOf("xdg/q-tarvox").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  for (const char* state : {"", "relative/state"}) {
    setenv("XDG_STATE_HOME", state, 1);
    EXPECT_EQ(StateFolder(), dir.PathOf("home/.local/state/q-tarvox")) << state;
    EXPECT_TRUE(std::filesystem::is_directory(dir.PathOf("home/.local/state/q-tarvox")));
  }
  setenv("XDG_STATE_HOME", saved_state.c_str(), 1);
  setenv("HOME", saved_home.c_str(), 1);
}

// What tells two entries on the same inode apart, strongest first.
TEST(FileIdentity, SameFileOnlyWhenNothingTellsThemApart) {
  const FileId inode{1, 42};
  const auto with = [&](auto change) {
    FileIdentity id{inode};
    change(id);
    return id;
  };
  // What the run saw of the file, and what the disk shows now.
  const auto now = [](uint64_t changed, uint64_t modified, uint64_t size) {
    return [=](FileIdentity& id) { id.changed = changed, id.modified = modified, id.size = size; };
  };
  const auto witness = [&](uint64_t changed, uint64_t modified, uint64_t size) {
    return [=](FileIdentity& id) { now(changed, modified, size)(id), id.witnessed = true; };
  };
  const auto generation = [](uint32_t g, uint64_t changed) {
    return [=](FileIdentity& id) {
      id.generation = g, id.has_generation = true, id.changed = changed;
    };
  };
  const std::tuple<const char*, FileIdentity, FileIdentity, bool> cases[] = {
      {"other inode", FileIdentity{{1, 43}}, FileIdentity{inode}, false},
      {"same birth", with([](auto& id) { id.birth = 5; }), with([](auto& id) { id.birth = 5; }),
       true},
      {"other birth, witness alike",
       with([&](auto& id) { id.birth = 5, witness(1, 2, 3)(id); }),
       with([&](auto& id) { id.birth = 6, now(1, 2, 3)(id); }), false},
      {"same generation, changed since", with(generation(7, 1)), with(generation(7, 9)), true},
      {"other generation", with(generation(7, 1)), with(generation(8, 1)), false},
      {"witness alike", with(witness(1, 2, 3)), with(now(1, 2, 3)), true},
      {"changed since", with(witness(1, 2, 3)), with(now(4, 2, 3)), false},
      {"written since", with(witness(1, 2, 3)), with(now(1, 5, 3)), false},
      {"other size", with(witness(1, 2, 3)), with(now(1, 2, 4)), false},
      {"born after the run began", with([](auto& id) { id.born_by = 10; }),
       with([](auto& id) { id.birth = 11; }), false},
      {"born before the run began", with([](auto& id) { id.born_by = 10; }),
       with([](auto& id) { id.birth = 10; }), true},
      {"nothing known", FileIdentity{inode}, FileIdentity{inode}, true},
  };
  for (const auto& [what, run, disk, same] : cases) {
    SCOPED_TRACE(what);
    EXPECT_EQ(disk.Same(run), same);
    EXPECT_EQ(run.Same(disk), same);
  }
}

}  // namespace
}  // namespace qtarvox
