// What the stages of a pass hand each other: prepared files in batches,
// through a bounded queue.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/rename_file.h"
#include "platform/bounded_queue.h"

namespace qtarvox {

// A file of a pass: prepared, or (a work file of the run) only counted.
struct PassFile : PreparedFile {
  bool skip = false;  // counted, never handed to the engine
};

// Files handed from the stage that prepares them to the one that commits
// them, with the files of the list left out while they were read.
struct PreparedBatch {
  std::vector<PassFile> files;
  int32_t left_out = 0;
};

// Holding a few batches at most keeps the memory small however long the
// list is; a full queue is filled again only once it is half empty, so two
// threads wake each other seldom. Committed batches go back to be filled
// again, so the strings of a file are made once per batch slot, not per
// file; none is freed on the committing side.
using PreparedQueue = BoundedQueue<PreparedBatch>;
inline constexpr size_t kMaxPreparedBatches = 4;

}  // namespace qtarvox
