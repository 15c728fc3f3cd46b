#include "platform/work_folder.h"

#include "platform/own_files.h"
#include "platform/paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>
#include <vector>

namespace qtarvox {
namespace {

constexpr const char* kWorkDirVariable = "QTARVOX_WORK_DIR";
constexpr const char* kStateFolderName = "q-tarvox";

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

std::string WithoutTrailingSlashes(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

// The folder holding the running executable; empty when it cannot be told.
std::string ExecutableFolder() {
  std::vector<char> buffer(4096);
  const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0 || static_cast<size_t>(n) >= buffer.size()) return {};
  return ParentFolder(std::string_view(buffer.data(), static_cast<size_t>(n)));
}

std::string HomeFolder() {
  std::string home = Environment("HOME");
  if (!home.empty()) return home;
  const passwd* entry = getpwuid(getuid());
  return entry != nullptr && entry->pw_dir != nullptr ? std::string(entry->pw_dir) : "/";
}

// Whether `folder` is a prefix's bin folder into which the program was
// installed: its manual page or menu entry stands beside it under share/.
bool InstalledLayout(const std::string& folder) {
  const PathSplit split = SplitAtLastSlash(folder);
  if (!split.has_slash || split.name != "bin") return false;
  const std::string share = JoinPath(ParentFolder(folder), "share");
  for (const char* installed : {"man/man1/q-tarvox.1.gz", "applications/q-tarvox.desktop"}) {
    if (access(JoinPath(share, installed).c_str(), F_OK) == 0) return true;
  }
  return false;
}

// Whether the executable's folder is the user's own build or portable folder,
// where the work files may stay beside the program. A folder of the system
// (even one root can write) or of another user, or a prefix the program was
// installed into, is not: work files there would outlive the package and be
// shared by everybody who runs it.
bool PrivateProgramFolder(const std::string& folder) {
  for (const char* system : {"/usr", "/opt", "/bin", "/sbin", "/snap"}) {
    const std::string_view prefix(system);
    if (folder == prefix || (folder.starts_with(prefix) && folder[prefix.size()] == '/')) {
      return false;
    }
  }
  struct stat st {};
  if (stat(folder.c_str(), &st) != 0 || st.st_uid != geteuid()) return false;
  return !InstalledLayout(folder) && access(folder.c_str(), W_OK) == 0;
}

}  // namespace

std::string StateFolder() {
  std::string base = Environment("XDG_STATE_HOME");
  // Relative values are to be ignored, as for every XDG base directory.
  if (base.empty() || base[0] != '/') base = JoinPath(HomeFolder(), ".local/state");
  const std::string folder = JoinPath(WithoutTrailingSlashes(base), kStateFolderName);
  // A failure shows when the first work file is made there, which asks again.
  (void)EnsurePrivateFolder(folder);
  return folder;
}

std::string WorkFolder() {
  const std::string chosen = Environment(kWorkDirVariable);
  if (!chosen.empty()) return WithoutTrailingSlashes(chosen);
  const std::string exe_folder = ExecutableFolder();
  if (!exe_folder.empty() && PrivateProgramFolder(exe_folder)) return exe_folder;
  return StateFolder();
}

std::string WorkFilePath(const std::string& name) { return JoinPath(WorkFolder(), name); }

}  // namespace qtarvox
