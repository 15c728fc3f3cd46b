// What the passes note in a perform's journal, on every road a file can take.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <map>
#include <string>

#include "engine/journal.h"
#include "platform/attributes.h"
#include "selection/individual_files.h"
#include "selection/passes.h"
#include "selection/walk.h"
#include "temp_dir.h"

namespace qtarvox {
namespace {

using ::testing::ElementsAre;

enum class Road { kPreparedAhead, kOneAtATime, kWithAttributes, kIndividual };
constexpr Road kRoads[] = {Road::kPreparedAhead, Road::kOneAtATime, Road::kWithAttributes,
                           Road::kIndividual};

// One perform on fresh files.
struct JournalledRun {
  JournalledRun() {
    for (const auto& name : names) {
      dir.WriteFile(name, name);
      EXPECT_TRUE(IdOfPath(dir.PathOf(name), ids[name]));
    }
  }

  // `file_size_limit` holds for the pass alone, after the walk's list and the journal's start.
  void Perform(Road road, rlim_t file_size_limit = 0, bool numbers = false) {
    TickPosition(job, 1);
    if (numbers) TickPosition(job, 9);
    if (road == Road::kWithAttributes) TickPosition(job, 13);
    SnapshotChosenActions(job);
    job.collision = CollisionOption::kAppendNumber;
    state.Separator = "_";
    EngineContext context;
    context.journal = &journal;
    context.prepare_batch = 3;
    context.prepare_ahead = road != Road::kOneAtATime;
    ASSERT_TRUE(journal.Open(work.PathOf("journal"), road == Road::kWithAttributes).ok());
    LineReader list;
    if (road == Road::kIndividual) {
      job.method = SelectionMethod::kIndividual;
      for (const auto& name : names) job.lstFile.push_back(name + " * " + dir.path());
    } else {
      job.lstDir = {dir.path()};
      job.lstExt = {"*.txt"};
      ReportFile op;
      ASSERT_TRUE(op.OpenForOutput(work.PathOf("op")).ok());
      ASSERT_TRUE(DirectoryWalk(job, state, context, op).ok());
      ASSERT_TRUE(op.CloseInto(list).ok());
    }
    rlimit old_limit{};
    getrlimit(RLIMIT_FSIZE, &old_limit);
    if (file_size_limit > 0) {
      rlimit limit = old_limit;
      limit.rlim_cur = file_size_limit;
      ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    if (road == Road::kIndividual) {
      IndividualFilesPass(job, state, context);
    } else {
      EXPECT_TRUE(OperationListPass(job, state, context, list).ok());
    }
    setrlimit(RLIMIT_FSIZE, &old_limit);
    closed = journal.Close();
  }

  JournalContents Contents() const {
    JournalContents contents;
    const int fd = open(work.PathOf("journal").c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_TRUE(ReadJournal(fd, contents).ok());
    close(fd);
    return contents;
  }

  // In the order the walk lists them.
  const std::vector<std::string> names{"a.txt", "b.txt", "c.txt", "d.txt",
                                       "e.txt", "X.txt", "x.txt"};
  TempDir dir, work;
  std::map<std::string, FileId> ids;
  Job job;
  RunState state;
  RunJournal journal;
  RtError closed;
};

TEST(JournalPass, EveryChangeHasItsIntentAndWhatBecameOfIt) {
  for (const Road road : kRoads) {
    SCOPED_TRACE(static_cast<int>(road));
    JournalledRun run;
    run.Perform(road);
    ASSERT_TRUE(run.closed.ok());
    EXPECT_THAT(run.dir.List(),
                ElementsAre("A.txt", "B.txt", "C.txt", "D.txt", "E.txt", "X.txt", "X_1.txt"));
    const JournalContents contents = run.Contents();
    EXPECT_EQ(contents.end, JournalEnd::kWhole);
    std::vector<std::string> seen;  // old name > new name > final name
    for (const JournalEntry& entry : contents.entries) {
      EXPECT_EQ(entry.directory, run.dir.slash());
      EXPECT_TRUE(entry.id_known);
      EXPECT_EQ(entry.id.id, run.ids[entry.old_filename]) << entry.old_filename;
      EXPECT_EQ(entry.has_attributes, road == Road::kWithAttributes);
      seen.push_back(entry.old_filename + ">" + entry.new_filename + ">" +
                     (entry.completed ? (entry.renamed ? entry.final_filename : "-") : "?"));
    }
    // X.txt keeps its name: an intent only where its attributes change.
    std::vector<std::string> expected{"a.txt>A.txt>A.txt", "b.txt>B.txt>B.txt",
                                      "c.txt>C.txt>C.txt", "d.txt>D.txt>D.txt",
                                      "e.txt>E.txt>E.txt", "x.txt>X.txt>X_1.txt"};
    if (road == Road::kWithAttributes) expected.insert(expected.begin() + 5, "X.txt>>?");
    EXPECT_EQ(seen, expected);
    // Files read a batch ahead get the numbers they get without the journal.
    JournalledRun numbered;
    numbered.Perform(road, 0, true);
    EXPECT_THAT(numbered.dir.List(),
                ElementsAre("A1.txt", "B2.txt", "C3.txt", "D4.txt", "E5.txt", "X6.txt", "X7.txt"));
  }
}

// A journal that cannot take the intents (100 bytes a file): nothing changes on any road.
TEST(JournalPass, NoFileChangesWhenItsIntentCannotReachTheDisk) {
  const auto old_handler = signal(SIGXFSZ, SIG_IGN);
  for (const Road road : kRoads) {
    SCOPED_TRACE(static_cast<int>(road));
    JournalledRun run;
    run.Perform(road, 100);
    EXPECT_FALSE(run.closed.ok());
    EXPECT_THAT(run.dir.List(),
                ElementsAre("X.txt", "a.txt", "b.txt", "c.txt", "d.txt", "e.txt", "x.txt"));
    EXPECT_EQ(GetFileAttributes(run.dir.PathOf("a.txt")), kAttrNormal);
  }

  // A file handed over without an intent gets one first, or stays as it is with an error.
  JournalledRun run;
  TickPosition(run.job, 1);
  SnapshotChosenActions(run.job);
  ASSERT_TRUE(run.journal.Open(run.work.PathOf("journal"), false).ok());
  EngineContext context;
  context.journal = &run.journal;
  RenameFile(run.job, run.state, context, run.dir.slash(), "a", ".txt");
  rlimit old_limit{};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  rlimit limit = old_limit;
  limit.rlim_cur = 100;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  RenameFile(run.job, run.state, context, run.dir.slash(), "b", ".txt");
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);
  (void)run.journal.Close();  // it fails here: what counts is the files
  EXPECT_TRUE(run.dir.Exists("A.txt"));
  EXPECT_TRUE(run.dir.Exists("b.txt"));
  EXPECT_TRUE(run.state.ErrorsOccurred);
  const JournalContents contents = run.Contents();
  ASSERT_EQ(contents.entries.size(), 1u);
  EXPECT_EQ(contents.entries[0].old_filename, "a.txt");
}

}  // namespace
}  // namespace qtarvox
