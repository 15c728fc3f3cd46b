// q-tarvox --undo, run as a script would run it, after performs of every kind.
#include <sys/xattr.h>

#include <cstring>
#include <functional>
#include <set>
#include <thread>

#include "platform/file_state.h"
#include "program.h"

namespace qtarvox {
namespace {

namespace fs = std::filesystem;

constexpr const char* kJournal = "Q-Tarvox_Undo/1/Q-Tarvox_Journal.tvj";
constexpr const char* kHistory = "Q-Tarvox_Undo/history";
constexpr const char* kNothing = "q-tarvox: there is nothing to undo.\n";

// Undo must give back every permission bit and the folders as they were.
Tree Snapshot(const std::string& root) { return qtarvox::Snapshot(root, true); }

class Undo : public ProgramTest {
 protected:
  Outcome Run(const std::vector<std::string>& args) const { return RunArgs(args); }
  // Runs --undo (and `more`), expecting exit status `code`. A plain undo is foretold by its
  // preview, which changes nothing (an undo given a job neither) and says what the undo does.
  Outcome UndoExpecting(int code, const std::vector<std::string>& more = {}) const {
    std::vector<std::string> args{"--undo"};
    args.insert(args.end(), more.begin(), more.end());
    Outcome preview;
    if (more.empty()) {
      const Tree files = Snapshot(d()), work = Snapshot(work_.path());
      EXPECT_EQ(Run({"--undo", "-UC"}).code, 2);
      preview = Run({"--undo", "--preview"});
      EXPECT_EQ(Snapshot(d()), files);
      EXPECT_EQ(Snapshot(work_.path()), work);
      args.push_back("-v");
    }
    Outcome o = Run(args);
    EXPECT_EQ(o.code, code) << o.err;
    if (!more.empty()) return o;
    EXPECT_EQ(preview.code, o.code) << preview.err;
    EXPECT_EQ(preview.out, o.out);
    EXPECT_EQ(Left(preview.err, "would be left as it is: "), Left(o.err, ": left as it is: "));
    return o;
  }
  // What follows `prefix` on each line of `text` that holds it.
  static std::vector<std::string> Left(const std::string& text, const std::string& prefix) {
    std::vector<std::string> lines;
    for (size_t at = text.find(prefix); at != std::string::npos; at = text.find(prefix, at + 1)) {
      const size_t from = at + prefix.size();
      lines.push_back(text.substr(from, text.find_first_of("\r\n", from) - from));
    }
    return lines;
  }
  std::string d() const { return files_.path(); }
  // The files of the files folder named, as one -FI list.
  std::string Listed(std::initializer_list<std::string> names) const {
    std::string list;
    for (const auto& name : names) list += (list.empty() ? "" : "*") + d() + "/" + name;
    return list;
  }
  // An empty files folder and no undo history, then `names` made with their names as bytes.
  void Fresh(const std::vector<std::string>& names) const {
    for (const auto& entry : fs::directory_iterator(d())) fs::remove_all(entry);
    fs::remove_all(work_.PathOf("Q-Tarvox_Undo"));
    for (const auto& name : names) files_.WriteFile(name, name);
  }
  // Where record `record` (0: the first) of the journal's bytes starts.
  static size_t RecordStart(const std::string& bytes, int record) {
    size_t at = 0;
    for (int r = 0; r < record; ++r) {
      uint32_t size = 0;  // little-endian, as this machine reads it
      std::memcpy(&size, bytes.data() + at, sizeof size);
      at += 13 + size;
    }
    return at;
  }
};

// Perform, then undo: the tree is as it was, byte for byte, name for name, attribute for attribute.
TEST_F(Undo, PutsEveryNameAndAttributeBack) {
  const std::string odd = "b\nc\xff.txt", walk = d() + "*N?txt";
  const std::tuple<const char*, std::vector<std::string>, std::vector<std::string>> cases[] = {
      {"flat", {"a.txt", "b.TXT", "c.doc"}, {"-UC", "-FE", walk + "\"doc"}},
      {"tree", {"A.TXT", "s/B.TXT", "s/t/C.TXT"}, {"-LC", "-FE", d() + "*Y?txt"}},
      {"unique numbers",
       {"a.txt", "b.txt", "d.txt"},
       {"-CR*c.txt", "-EF", "3", "-SC*_", "-FE", walk}},
      {"case only and odd bytes",
       {"a.txt", "A.TXT", odd, "e."},
       {"-UC", "-FI", Listed({"a.txt", odd, "e."})}},
      {"attributes", {"a.txt", "B.txt"}, {"-+R", "-+H", "-UC", "-FE", walk}},
  };
  for (const auto& [what, files, perform] : cases) {
    SCOPED_TRACE(what);
    Fresh(files);
    chmod(files_.PathOf(files[0]).c_str(), 0664);
    setxattr(files_.PathOf(files[1]).c_str(), "user.DOSATTRIB", "0x20", 4, 0);
    std::vector<std::string> args = perform;
    args.push_back("-SU");
    const Tree before = Snapshot(d());
    ASSERT_EQ(Run(args).code, 0);
    ASSERT_NE(Snapshot(d()), before);
    UndoExpecting(0);
    EXPECT_EQ(Snapshot(d()), before);
    EXPECT_EQ(work_.List(), (std::vector<std::string>{kProcess, "Q-Tarvox_Undo"}));
    EXPECT_EQ(UndoExpecting(0).err, kNothing);
  }
}

// Something happens to A.txt after the perform: only a file found by its inode is put back.
TEST_F(Undo, LeavesWhatItCannotPutBackAndSaysWhy) {
  const auto at = [this](const char* name) { return files_.PathOf(name); };
  // What happens between the perform and the undo, the undo's status, the cause it logs, the files.
  const std::tuple<const char*, std::function<void()>, int, const char*, std::vector<std::string>>
      cases[] = {
          {"renamed", [&] { fs::rename(at("A.txt"), at("x.txt")); }, 0, "", {"a.txt", "b.txt"}},
          {"old name taken", [&] { files_.WriteFile("a.txt"); }, 1,
           "another file has that name now", {"A.txt", "a.txt", "b.txt"}},
          {"gone", [&] { fs::remove(at("A.txt")); }, 1, "was not found in its folder", {"b.txt"}},
          {"replaced", [&] { fs::remove(at("A.txt")), files_.WriteFile("A.txt", "new"); }, 1,
           "no longer in its folder", {"A.txt", "b.txt"}},
      };
  // The files chosen one by one, and found by a walk.
  const std::vector<std::string> performs[] = {{"-UC", "-FI", Listed({"a.txt", "b.txt"}), "-SU"},
                                               {"-UC", "-FE", d() + "*N?txt", "-SU"}};
  for (size_t row = 0; row < 2 * std::size(cases); ++row) {
    const auto& [what, meanwhile, code, cause, after] = cases[row / 2];
    const auto& perform = performs[row % 2];
    SCOPED_TRACE(what + (" " + perform[1]));
    Fresh({"a.txt", "b.txt"});
    ASSERT_EQ(Run(perform).code, 0);
    meanwhile();
    Outcome o = UndoExpecting(code);
    EXPECT_EQ(files_.List(), after);
    EXPECT_NE(work_.ReadFile(kProcess).find("Final Operation : B.txt == b.txt"), std::string::npos);
    if (code == 0) continue;
    EXPECT_NE(o.err.find("errors were logged in " + work_.PathOf(kError)), std::string::npos);
    const std::string errors = work_.ReadFile(kError);
    EXPECT_EQ(errors.rfind("Error in file : " + d() + "/A.txt\r\n", 0), 0u) << errors;
    EXPECT_NE(errors.find(cause), std::string::npos) << errors;
    UndoExpecting(1);  // not marked used: the file is tried again
  }

  // A folder moved away leaves all its files.
  Fresh({"sub/a.txt"});
  ASSERT_EQ(Run({"-UC", "-FE", d() + "/sub*N?txt", "-SU"}).code, 0);
  fs::rename(files_.PathOf("sub"), files_.PathOf("moved"));
  UndoExpecting(1);
  EXPECT_NE(work_.ReadFile(kError).find("The folder of the file was not found"), std::string::npos);
  EXPECT_TRUE(files_.Exists("moved/A.txt"));
}

// A perform that overwrote a file: the undo says first that it is gone, then puts back the rest.
TEST_F(Undo, SaysUpFrontWhatTheRunOverwrote) {
  Fresh({"a.txt", "b.txt"});
  ASSERT_EQ(Run({"-CR*c.txt", "-EF", "2", "-FI", Listed({"a.txt", "b.txt"}), "-SU"}).code, 0);
  ASSERT_EQ(files_.List(), std::vector<std::string>{"c.txt"});
  // The file lost is a.txt, which b.txt replaced under the name c.txt.
  const Outcome o = UndoExpecting(1);
  EXPECT_EQ(o.err.rfind("q-tarvox: the perform overwrote these files", 0), 0u) << o.err;
  EXPECT_NE(o.err.find("  " + d() + "/a.txt\n"), std::string::npos) << o.err;
  EXPECT_EQ(files_.List(), std::vector<std::string>{"b.txt"});
  EXPECT_EQ(files_.ReadFile("b.txt"), "b.txt");
  EXPECT_NE(work_.ReadFile(kError).find("it cannot be brought back"), std::string::npos);
  // Nothing more can be done: the journal is used up.
  EXPECT_EQ(Run({"--undo"}).err, kNothing);
}

// Two names of one file (hard links), one deleted since: the other is put back, never taken for it.
TEST_F(Undo, AHardLinkIsNeverTakenForItsDeletedTwin) {
  Fresh({"x.txt"});
  fs::create_hard_link(files_.PathOf("x.txt"), files_.PathOf("y.txt"));
  ASSERT_EQ(Run({"-UC", "-FE", d() + "*N?txt", "-SU"}).code, 0);
  fs::remove(files_.PathOf("X.txt"));
  EXPECT_NE(UndoExpecting(1).err.find("left as it is: " + d() + "/X.txt"), std::string::npos);
  EXPECT_EQ(files_.List(), std::vector<std::string>{"y.txt"});
}

// A folder made read-only since: a user's undo (not root's) leaves the file, as its preview says.
TEST_F(Undo, PreviewKnowsWhatTheFolderAllows) {
  Fresh({"a.txt"});
  ASSERT_EQ(Run({"-UC", "-FE", d() + "*N?txt", "-SU"}).code, 0);
  chmod(d().c_str(), 0555);
  UndoExpecting(geteuid() == 0 ? 0 : 1);
  chmod(d().c_str(), 0755);
}

// A perform killed halfway (SIGKILL) is undone exactly, prepared ahead or one file at a time.
TEST_F(Undo, KilledPerformIsUndoneExactly) {
  constexpr int kFiles = 3000;
  for (const auto& actions : {std::vector<std::string>{"-UC"}, {"-UC", "-+A"}}) {
    SCOPED_TRACE(actions.size());
    const std::string folder = MakeFiles("job" + std::to_string(actions.size()), kFiles);
    const Tree before = Snapshot(folder);
    std::vector<std::string> args = actions;
    args.insert(args.end(), {"-FE", folder + "*N?txt", "-SU", "-v"});
    Held held = StartHeld(args);
    kill(held.pid, SIGKILL);
    EXPECT_EQ(Release(held), 1000 + SIGKILL);
    const size_t renamed = CountWith(folder, "N");
    ASSERT_GT(renamed, 0u);
    ASSERT_LT(renamed, static_cast<size_t>(kFiles));
    UndoExpecting(0);
    EXPECT_EQ(Snapshot(folder), before);
  }
}

// A journal cut inside a record is read to its last whole one: the files it names go back.
TEST_F(Undo, JournalCutInARecordIsReadUpToTheLastWholeOne) {
  Fresh({"a.txt", "b.txt", "c.txt"});
  ASSERT_EQ(Run({"-UC", "-FI", Listed({"a.txt", "b.txt", "c.txt"}), "-SU"}).code, 0);
  // Header, three intents, three completions: cut inside the third intent.
  const size_t at = RecordStart(work_.ReadFile(kJournal), 3);
  ASSERT_EQ(truncate(work_.PathOf(kJournal).c_str(), static_cast<off_t>(at + 20)), 0);
  const Outcome o = UndoExpecting(0);
  EXPECT_NE(o.err.find("in the middle of a record"), std::string::npos) << o.err;
  EXPECT_EQ(files_.List(), (std::vector<std::string>{"C.txt", "a.txt", "b.txt"}));
}

// A journal cut before its completions: announced changes are undone last first.
TEST_F(Undo, CutJournalUndoesAChainOfRenamesLastFirst) {
  Fresh({"2.txt", "5.txt"});
  // 2.txt becomes 1.txt, then 5.txt takes the name 2.txt just freed.
  ASSERT_EQ(Run({"-CO", "-NE", "N", "-FI", Listed({"2.txt", "5.txt"}), "-SU"}).code, 0);
  ASSERT_EQ(files_.List(), (std::vector<std::string>{"1.txt", "2.txt"}));
  const size_t at = RecordStart(work_.ReadFile(kJournal), 3);  // header and two intents
  ASSERT_EQ(truncate(work_.PathOf(kJournal).c_str(), static_cast<off_t>(at)), 0);
  UndoExpecting(0);
  EXPECT_EQ(files_.List(), (std::vector<std::string>{"2.txt", "5.txt"}));
  EXPECT_EQ(files_.ReadFile("5.txt"), "5.txt");
}

// Three performs are undone in turn, newest first.
TEST_F(Undo, HistoryIsUndoneInTurnAndSurvivesPerformsThatChangeNothing) {
  Fresh({"a.txt", "b.txt"});
  const std::string job = "-FE";
  const std::string where = d() + "*N?txt";
  std::vector<Tree> trees = {Snapshot(d())};
  for (const char* action : {"-UC", "-AB*x", "-LC"}) {
    ASSERT_EQ(Run({action, job, where, "-SU"}).code, 0);
    trees.push_back(Snapshot(d()));
  }
  const std::string history = work_.ReadFile(kHistory);
  const std::string process = work_.ReadFile(kProcess);
  Outcome list = Run({"--undo", "--list"});
  EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 3) << list.out;
  const std::pair<const char*, std::vector<std::string>> nothing[] = {
      {"journal cannot be made", {"-UC", job, where, "-SU"}},
      {"same job again", {"-LC", job, where, "-SU"}},
      {"missing file", {"-UC", "-FI", d() + "/none.txt", "-SU"}},
  };
  // The next perform's journal folder is taken by a file.
  work_.WriteFile("Q-Tarvox_Undo/4", "");
  for (const auto& [what, args] : nothing) {
    SCOPED_TRACE(what);
    Run(args);
    // Refused at the journal, it leaves the last Process file too.
    if (what == nothing[0].first) {
      EXPECT_EQ(work_.ReadFile(kProcess), process);
      fs::remove(work_.PathOf("Q-Tarvox_Undo/4"));
    }
    EXPECT_EQ(Snapshot(d()), trees.back());
    EXPECT_EQ(work_.ReadFile(kHistory), history);
  }
  for (int step = 3; step >= 1; --step) {
    SCOPED_TRACE(step);
    UndoExpecting(0);
    EXPECT_EQ(Snapshot(d()), trees[step - 1]);
  }
  EXPECT_EQ(Run({"--undo"}).err, kNothing);
  // Newest first: when, files, state, job, each ended by a NUL.
  list = Run({"--undo", "--list", "--null"});
  EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\0'), 12) << list.out;
  EXPECT_NE(list.out.find(std::string(1, '\0') + "2" + '\0' + "undone" + '\0'), std::string::npos);

  // Only the last QTARVOX_UNDO_LEVELS performs are kept.
  env_ = {"QTARVOX_UNDO_LEVELS=2"};
  for (const char* action : {"-UC", "-AB*x", "-LC"}) Run({action, job, where, "-SU"});
  UndoExpecting(0);
  UndoExpecting(0);
  EXPECT_EQ(UndoExpecting(0).err, kNothing);
  EXPECT_EQ(Snapshot(d()), trees[1]);
}

// A journal other than the one the history names for its perform is refused.
TEST_F(Undo, JournalThatDoesNotBelongIsRefused) {
  const std::string second = "Q-Tarvox_Undo/2/Q-Tarvox_Journal.tvj";
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"an older journal copied over it",
       [&] {
         fs::copy_file(work_.PathOf(kJournal), work_.PathOf(second),
                       fs::copy_options::overwrite_existing);
       }},
      {"a copy of it in its place",
       [&] {
         // Made while the journal is still there, the copy is another file.
         fs::copy_file(work_.PathOf(second), work_.PathOf("copy"));
         fs::rename(work_.PathOf("copy"), work_.PathOf(second));
       }},
  };
  for (const auto& [what, meanwhile] : cases) {
    SCOPED_TRACE(what);
    Fresh({"a.txt"});
    ASSERT_EQ(Run({"-UC", "-FE", d() + "*N?txt", "-SU"}).code, 0);
    ASSERT_EQ(Run({"-AB*x", "-FE", d() + "*N?txt", "-SU"}).code, 0);
    meanwhile();
    const Outcome o = UndoExpecting(2);
    EXPECT_NE(o.err.find(work_.PathOf(second)), std::string::npos) << o.err;
    EXPECT_EQ(files_.List(), std::vector<std::string>{"xA.txt"});
  }
}

// A work folder others can write without the sticky bit is refused for perform and undo alike.
TEST_F(Undo, SharedWorkFolderNeedsTheStickyBit) {
  files_.WriteFile("a.txt");
  ASSERT_EQ(Run({"-UC", "-FE", d() + "*N?txt", "-SU"}).code, 0);
  for (const mode_t mode : {0770, 0777, 01777}) {
    SCOPED_TRACE(mode);
    chmod(work_.path().c_str(), mode);
    const bool sticky = (mode & S_ISVTX) != 0;
    Outcome o = Run({"-LC", "-FE", d() + "*N?txt", "-SU"});
    EXPECT_EQ(o.code, sticky ? 0 : 2) << o.err;
    EXPECT_EQ(o.err.find("set QTARVOX_WORK_DIR") != std::string::npos, !sticky) << o.err;
    UndoExpecting(sticky ? 0 : 2);
    EXPECT_EQ(files_.List(), std::vector<std::string>{"A.txt"});
  }
  chmod(work_.path().c_str(), 0700);
}

// SIGTERM stops an undo between two files, said in its Process file; the next undo goes on.
TEST_F(Undo, StopSignalEndsAnUndoBetweenTwoFiles) {
  constexpr int kFiles = 3000;
  const std::string folder = MakeFiles("many", kFiles);
  const Tree before = Snapshot(folder);
  ASSERT_EQ(Run({"-UC", "-FE", folder + "*N?txt", "-SU"}).code, 0);
  // Held on its full output after a few files, the undo gets the signal.
  Held held = StartHeld({"--undo", "-v"});
  kill(held.pid, SIGTERM);
  EXPECT_EQ(Release(held), 128 + SIGTERM);
  EXPECT_NE(io_.ReadFile("err").find("undo stopped by signal 15"), std::string::npos);
  const std::string process = work_.ReadFile(kProcess);
  EXPECT_NE(process.find("the run was stopped here", process.size() - 200), std::string::npos);
  UndoExpecting(0);
  EXPECT_EQ(Snapshot(folder), before);
}

// An Overwrite run killed before its last completions were written names every file destroyed.
TEST_F(Undo, KilledOverwriteRunNamesEveryFileItDestroyed) {
  constexpr int kFiles = 3000;
  const std::string folder = MakeFiles("job", kFiles);
  const auto name = [&](int i, const char* extension) {
    return folder + "/n" + std::to_string(100000 + i).substr(1) + "." + extension;
  };
  // Each file's new name is taken by a file of its own.
  for (int i = 0; i < kFiles; ++i) std::ofstream(name(i, "dat")) << "new " << i;
  Held held = StartHeld({"-EN*txt", "-EF", "2", "-FE", folder + "*N?dat", "-SU", "-v"});
  kill(held.pid, SIGKILL);
  EXPECT_EQ(Release(held), 1000 + SIGKILL);
  std::set<std::string> destroyed;
  for (int i = 0; i < kFiles; ++i) {
    std::ifstream in(name(i, "txt"));
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    if (bytes.rfind("new ", 0) == 0) destroyed.insert(name(i, "txt"));
  }
  ASSERT_GT(destroyed.size(), 0u);
  ASSERT_LT(destroyed.size(), static_cast<size_t>(kFiles));
  UndoExpecting(1);
  const std::vector<std::string> named = Left(work_.ReadFile(kError), "Error in file : ");
  EXPECT_EQ(std::set<std::string>(named.begin(), named.end()), destroyed);
  // Every file of the run is back; the files it destroyed are not.
  for (int i = 0; i < kFiles; ++i) {
    ASSERT_TRUE(fs::exists(name(i, "dat"))) << i;
    ASSERT_EQ(fs::exists(name(i, "txt")), destroyed.count(name(i, "txt")) == 0) << i;
  }
}

// Files swapped or saved anew after the run listed them: each gets the name it had when renamed.
TEST_F(Undo, FilesChangedDuringTheRunAreUndoneAsTheRunFoundThem) {
  constexpr int kFiles = 3000;
  const std::string folder = MakeFiles("job", kFiles);
  Held held = StartHeld({"-UC", "-FE", folder + "*N?txt", "-SU", "-v"});
  const auto at = [&](const char* name) { return folder + "/" + name; };
  ASSERT_TRUE(fs::exists(at("n02000.txt")) && fs::exists(at("n02500.txt")));
  fs::rename(at("n02000.txt"), at("swap"));
  fs::rename(at("n02001.txt"), at("n02000.txt"));
  fs::rename(at("swap"), at("n02001.txt"));
  std::ofstream(at("n02500.txt.tmp")) << "saved again";
  fs::rename(at("n02500.txt.tmp"), at("n02500.txt"));
  // A renamed file is trusted only when born before the clock its rename went by.
  FileIdentity saved;
  ASSERT_EQ(ReadChangedIdentity(nullptr, folder + "/", "n02500.txt", saved), 0);
  while (BirthClockNow() <= saved.birth) std::this_thread::yield();
  // The files renamed before the hold get their old names back too.
  Tree meanwhile;
  for (const auto& [name, state] : Snapshot(folder)) meanwhile["n" + name.substr(1)] = state;
  EXPECT_EQ(Release(held), 0);
  ASSERT_TRUE(fs::exists(at("N02500.txt")));
  UndoExpecting(0);
  EXPECT_EQ(Snapshot(folder), meanwhile);
}

// Without birth times, a file made anew on the inode the run's file had is not taken for it.
TEST_F(Undo, NewFileOnAFreedInodeIsNotPutBack) {
  const std::string image = io_.PathOf("small.ext4");
  const std::string mount = io_.PathOf("mnt");
  fs::create_directories(mount);
  const std::string make = "truncate -s 16M '" + image + "' && mkfs.ext4 -q -I 128 '" + image +
                           "' 2>/dev/null && mount -o loop '" + image + "' '" + mount +
                           "' 2>/dev/null";
  if (std::system(make.c_str()) != 0) {
    GTEST_SKIP() << "needs a loop-mounted ext4 file system without birth times (run as root)";
  }
  struct Unmount {
    std::string at;
    ~Unmount() { std::system(("umount '" + at + "'").c_str()); }
  } unmount{mount};
  std::ofstream(mount + "/a.txt") << "the run's file";
  ASSERT_EQ(Run({"-UC", "-FI", mount + "/a.txt", "-SU"}).code, 0);
  struct stat st {};
  ASSERT_EQ(lstat((mount + "/A.txt").c_str(), &st), 0);
  const ino_t inode = st.st_ino;
  fs::remove(mount + "/A.txt");
  std::ofstream(mount + "/A.txt") << "another file";
  ASSERT_EQ(lstat((mount + "/A.txt").c_str(), &st), 0);
  ASSERT_EQ(st.st_ino, inode) << "the inode was not given again";
  UndoExpecting(1);
  EXPECT_TRUE(fs::exists(mount + "/A.txt"));
  EXPECT_FALSE(fs::exists(mount + "/a.txt"));
}

// A flipped byte: the damage is named, the rest undone, the status 1, and the journal kept.
TEST_F(Undo, DamagedJournalIsNeverSuccess) {
  // The record (header 0, intents 1-3, completions 4-6), the byte flipped in it, the files after.
  const std::tuple<const char*, int, size_t, std::vector<std::string>> cases[] = {
      {"first record", 0, 20, {"a.txt", "b.txt", "c.txt"}},
      {"intent", 2, 20, {"B.txt", "a.txt", "c.txt"}},
      {"intent's length", 2, 1, {"B.txt", "a.txt", "c.txt"}},
      {"completion", 5, 20, {"a.txt", "b.txt", "c.txt"}},
  };
  for (const auto& [what, record, offset, after] : cases) {
    SCOPED_TRACE(what);
    Fresh({"a.txt", "b.txt", "c.txt"});
    ASSERT_EQ(Run({"-UC", "-FI", Listed({"a.txt", "b.txt", "c.txt"}), "-SU"}).code, 0);
    std::string bytes = work_.ReadFile(kJournal);
    bytes[RecordStart(bytes, record) + offset] ^= 0x10;
    work_.WriteFile(kJournal, bytes);
    EXPECT_NE(UndoExpecting(1).err.find(work_.PathOf(kJournal) + " is damaged: 1 record(s)"),
              std::string::npos);
    EXPECT_EQ(files_.List(), after);
    EXPECT_NE(UndoExpecting(1).err.find("is damaged"), std::string::npos);
  }
}

}  // namespace
}  // namespace qtarvox
