// The one setting kept between program starts: the folder last shown in the
// Step 2 directory box.
#pragma once

#include <string>

#include "engine/job.h"

namespace qtarvox {

inline constexpr const char* kSettingsOrganization = "veltrane";
inline constexpr const char* kSettingsApplication = "q-tarvox";
inline constexpr const char* kSettingsDirKey = "dirval";
// A stored path of this many bytes or more is not restored.
inline constexpr size_t kRestoreLimit = 250;

// Stores job.dirDir. Every failure is passed over silently.
void RememberDirectory(const JobSettings& job);

// Points job.dirDir at the stored folder when there is one, it is shorter
// than the limit and it still exists as a directory; otherwise nothing changes.
void RestoreDirectory(Job& job);

}  // namespace qtarvox
