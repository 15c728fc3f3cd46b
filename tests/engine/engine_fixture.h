// A job, open report files and a fresh folder of real files, for tests that run the engine on disk.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "engine/job.h"
#include "engine/rename_file.h"
#include "engine/report_file.h"
#include "engine/transform.h"
#include "temp_dir.h"

namespace qtarvox {

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(errors_.OpenForOutput(reports_.PathOf("err.txt")).ok());
    ASSERT_TRUE(process_.OpenForOutput(reports_.PathOf("process.txt")).ok());
    run_.GenerateProcessFile = true;
    run_.txtOP.Clear();
  }

  void Tick(std::initializer_list<int> positions) {
    for (int p : positions) TickPosition(job_, p);
    SnapshotChosenActions(job_);
  }

  // Runs the engine on dir_/filename, as a pass would.
  void Rename(const std::string& filename, const std::string& directory = {}) {
    std::string name, ext;
    SplitFilename(filename, name, ext);
    EngineContext context;
    context.process = &process_;
    context.errors = &errors_;
    context.names = &index_;
    RenameFile(job_, run_, context, directory.empty() ? dir_.slash() : directory, name, ext);
  }

  std::string ProcessText() {
    EXPECT_TRUE(process_.Close().ok());
    return reports_.ReadFile("process.txt");
  }
  std::string ErrorText() {
    EXPECT_TRUE(errors_.Close().ok());
    return reports_.ReadFile("err.txt");
  }

  TempDir dir_;
  TempDir reports_;
  Job job_;
  RunState run_;
  ReportFile errors_;
  ReportFile process_;
  NameIndex index_;
};

}  // namespace qtarvox
