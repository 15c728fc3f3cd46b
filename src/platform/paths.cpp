#include "platform/paths.h"

#include <sys/stat.h>
#include <unistd.h>

namespace qtarvox {

std::string WithTrailingSlash(std::string directory) {
  if (!directory.empty() && directory.back() != '/') directory.push_back('/');
  return directory;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return WithTrailingSlash(folder) + name;
}

PathSplit SplitAtLastSlash(std::string_view path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return {{}, path, false};
  return {path.substr(0, slash), path.substr(slash + 1), true};
}

std::string_view NameOfPath(std::string_view path) { return SplitAtLastSlash(path).name; }

std::string ParentFolder(std::string_view path) {
  const PathSplit split = SplitAtLastSlash(path);
  if (!split.has_slash) return {};
  return split.folder.empty() ? std::string("/") : std::string(split.folder);
}

std::string_view FolderWithSlash(std::string_view path) {
  const PathSplit split = SplitAtLastSlash(path);
  return split.has_slash ? path.substr(0, split.folder.size() + 1) : std::string_view();
}

std::string CurrentDirectory() {
  std::string cwd(4096, '\0');
  if (::getcwd(cwd.data(), cwd.size()) == nullptr) return {};
  cwd.resize(std::char_traits<char>::length(cwd.c_str()));
  return cwd;
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace qtarvox
