#include "run/work_files.h"

#include <vector>

#include "platform/attributes.h"
#include "platform/dir_search.h"
#include "platform/file_ops.h"

namespace qtarvox {

bool NormalFileFound(const std::string& path) {
  std::vector<std::string> found;
  SearchPath(path, SearchFilter::kNormalFiles, found);
  return !found.empty();
}

bool RemoveWorkFile(const std::string& path) {
  if (!NormalFileFound(path)) return false;
  SetFileAttributes(path, kAttrNormal);
  return DeleteFile(path).ok();
}

}  // namespace qtarvox
