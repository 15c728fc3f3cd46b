#include "run/work_files.h"

#include <vector>

#include "platform/attributes.h"
#include "platform/dir_search.h"
#include "platform/file_ops.h"
#include "platform/own_files.h"
#include "platform/work_folder.h"
#include "run/run_driver.h"

namespace qtarvox {

std::string Problem(const char* text, const std::string& path, const std::string& reason,
                    const char* ending) {
  return text + path + " (" + reason + ")" + ending;
}

bool NormalFileFound(const std::string& path) {
  std::vector<std::string> found;
  // A path that cannot be looked at counts as not found.
  (void)SearchPath(path, SearchFilter::kNormalFiles, found);
  return !found.empty();
}

bool RemoveWorkFile(const std::string& path) {
  if (!NormalFileFound(path)) return false;
  // Made normal so that it may go; if it cannot be, the delete says so.
  (void)SetFileAttributes(path, kAttrNormal);
  return DeleteFile(path).ok();
}

bool TakeWorkFolder(FolderLock& lock, std::string& message, std::chrono::milliseconds wait) {
  const std::string folder = WorkFolder();
  RtError err = EnsurePrivateFolder(folder);
  if (err.ok() && WritableByOthers(folder)) {
    message = kWorkFolderShared + folder + kWorkFolderSharedEnd;
    return false;
  }
  if (err.ok()) {
    switch (lock.Acquire(folder, wait, err)) {
      case FolderLock::Result::kHeld:
        return true;
      case FolderLock::Result::kBusy:
        message = kWorkFolderBusy + folder + kWorkFolderBusyEnd;
        return false;
      case FolderLock::Result::kFailed:
        break;
    }
  }
  message = kFolderUnusable + folder + " (" + err.description + ")" + kNothingRenamed;
  return false;
}

}  // namespace qtarvox
