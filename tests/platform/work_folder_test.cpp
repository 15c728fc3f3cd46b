#include "platform/work_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "temp_dir.h"

namespace qtarvox {
namespace {

// Sets (or unsets) an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(WorkFolder, HonoursTheWorkDirVariable) {
  TempDir dir;
  {
    ScopedEnv env("QTARVOX_WORK_DIR", dir.slash().c_str());
    EXPECT_EQ(WorkFolder(), dir.path());
    EXPECT_EQ(WorkFilePath("Error.txt"), dir.PathOf("Error.txt"));
  }
  // Empty counts as unset: the folder of the executable (writable here).
  ScopedEnv env("QTARVOX_WORK_DIR", "");
  const std::string exe = std::filesystem::read_symlink("/proc/self/exe").string();
  if (access(std::filesystem::path(exe).parent_path().c_str(), W_OK) != 0) {
    GTEST_SKIP() << "the test executable's folder is not writable";
  }
  EXPECT_EQ(WorkFolder(), std::filesystem::path(exe).parent_path().string());
}

}  // namespace
}  // namespace qtarvox
