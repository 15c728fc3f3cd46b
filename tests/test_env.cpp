// Every test process keeps its settings and work files in folders of its own,
// never in the user's.
#include <stdlib.h>

#include <string>

namespace {

std::string MakeFolder(const char* pattern) {
  std::string path = pattern;
  return mkdtemp(path.data()) != nullptr ? path : std::string("/tmp");
}

const bool kIsolated = [] {
  setenv("XDG_CONFIG_HOME", MakeFolder("/tmp/qtarvox-config-XXXXXX").c_str(), 1);
  setenv("XDG_STATE_HOME", MakeFolder("/tmp/qtarvox-state-XXXXXX").c_str(), 1);
  setenv("QTARVOX_WORK_DIR", MakeFolder("/tmp/qtarvox-work-XXXXXX").c_str(), 1);
  return true;
}();

}  // namespace
