// The work folder held for the whole life of a window or a run, so that a
// second window or run cannot empty its report files meanwhile; and where
// those files are.
#pragma once

#include <memory>
#include <string>

namespace qtarvox {

class FolderLock;

class WorkFolderHold {
 public:
  WorkFolderHold();
  // Lets the folder go.
  ~WorkFolderHold();
  WorkFolderHold(const WorkFolderHold&) = delete;
  WorkFolderHold& operator=(const WorkFolderHold&) = delete;

  // Makes the folder when it is missing and takes it, waiting a little for
  // another run that holds it. False, with `problem` set to what to tell,
  // when the program must not start.
  bool Take(std::string& problem);

  // Whether the folder is there: a look that changes nothing does not make it.
  static bool FolderExists();

 private:
  std::unique_ptr<FolderLock> lock_;
};

// Where a run writes its Process file and its Error file.
std::string ProcessFilePath();
std::string ErrorFilePath();

}  // namespace qtarvox
