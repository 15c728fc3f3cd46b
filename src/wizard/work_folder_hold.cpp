#include "wizard/work_folder_hold.h"

#include "engine/report_file.h"
#include "platform/own_files.h"
#include "platform/paths.h"
#include "platform/work_folder.h"
#include "run/work_files.h"

namespace qtarvox {

WorkFolderHold::WorkFolderHold() : lock_(std::make_unique<FolderLock>()) {}

WorkFolderHold::~WorkFolderHold() = default;

bool WorkFolderHold::Take(std::string& problem) { return TakeWorkFolder(*lock_, problem); }

bool WorkFolderHold::FolderExists() { return IsDirectory(WorkFolder()); }

std::string ProcessFilePath() { return WorkFilePath(kProcessFileName); }

std::string ErrorFilePath() { return WorkFilePath(kErrorFileName); }

}  // namespace qtarvox
