// The program's work files and how they are removed.
#pragma once

#include <chrono>
#include <string>

#include "engine/report_file.h"
#include "platform/own_files.h"

namespace qtarvox {

// Removes a work file: found with the normal-files search (so a hidden one
// stays), made normal (so a read-only one goes too), then deleted. Failures
// are passed over; returns whether the file is gone.
bool RemoveWorkFile(const std::string& path);

// A problem with one of the program's files, as told to the user:
// "<text><path> (<reason>)<ending>".
std::string Problem(const char* text, const std::string& path, const std::string& reason,
                    const char* ending);

// Whether a normal-files search finds the path.
bool NormalFileFound(const std::string& path);

// How long a run waits for another run that holds the work folder.
inline constexpr std::chrono::milliseconds kWorkFolderWait{3000};

inline constexpr const char* kWorkFolderBusy =
    "The work folder is in use by another run of Q-Tarvox Renamer: ";
inline constexpr const char* kWorkFolderBusyEnd =
    ". Try again when that run has ended, or set QTARVOX_WORK_DIR to another folder.";

inline constexpr const char* kWorkFolderShared = "The work folder ";
inline constexpr const char* kWorkFolderSharedEnd =
    " can be written by other users and has no sticky bit, so they could change its journals "
    "and reports; set QTARVOX_WORK_DIR to a private folder (or make this one private). Nothing "
    "was renamed.";

// Makes the work folder when it is missing and takes it for this process
// (one run or window at a time per folder), waiting `wait` at most for
// another run to end. False, with `message` set, when the program must not
// start: the folder is busy, cannot be made or written, or others can write
// in it without the sticky bit.
bool TakeWorkFolder(FolderLock& lock, std::string& message,
                    std::chrono::milliseconds wait = kWorkFolderWait);

}  // namespace qtarvox
