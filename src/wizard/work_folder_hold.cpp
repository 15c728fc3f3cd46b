#include "wizard/work_folder_hold.h"

#include "platform/own_files.h"
#include "run/work_files.h"

namespace qtarvox {

WorkFolderHold::WorkFolderHold() : lock_(std::make_unique<FolderLock>()) {}

WorkFolderHold::~WorkFolderHold() = default;

bool WorkFolderHold::Take(std::string& problem) { return TakeWorkFolder(*lock_, problem); }

}  // namespace qtarvox
