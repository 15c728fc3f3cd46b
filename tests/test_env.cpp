// Each test process keeps its settings and work files in folders of its own.
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

std::vector<std::string>& Folders() {
  static std::vector<std::string> folders;
  return folders;
}

std::string MakeFolder(const char* pattern) {
  std::string path = pattern;
  if (mkdtemp(path.data()) == nullptr) return "/tmp";
  Folders().push_back(path);
  return path;
}

const bool kIsolated = [] {
  setenv("XDG_CONFIG_HOME", MakeFolder("/tmp/qtarvox-config-XXXXXX").c_str(), 1);
  setenv("XDG_STATE_HOME", MakeFolder("/tmp/qtarvox-state-XXXXXX").c_str(), 1);
  setenv("QTARVOX_WORK_DIR", MakeFolder("/tmp/qtarvox-work-XXXXXX").c_str(), 1);
  atexit([] {
    std::error_code ignored;
    for (const auto& folder : Folders()) std::filesystem::remove_all(folder, ignored);
  });
  return true;
}();

}  // namespace
