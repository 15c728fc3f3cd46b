#include "engine/transform.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace qtarvox {
namespace {

// Records what the steps report, as the Process file would see it.
class RecordingObserver : public StepObserver {
 public:
  void AfterNameStep(int position, const WorkingName& state) override {
    lines.push_back(std::to_string(position) + ":" + Encode(state.wn) + state.we);
  }
  void Terminated(ActionId id) override {
    lines.push_back("terminated " + std::to_string(static_cast<int>(id)));
  }
  void AttributeStep(int position, ActionId, const WorkingName& state) override {
    lines.push_back("attr " + std::to_string(position) + ":" + Encode(state.wn) + state.we);
  }
  std::vector<std::string> lines;
};

// The settings and the run's counters a name is transformed with.
struct NumberedJob : Job, RunState {};

struct Result {
  std::string new_filename;
  bool changed;
};

Result Transform(const NumberedJob& job, const std::string& filename,
                 RecordingObserver* obs = nullptr) {
  std::string name, ext;
  SplitFilename(filename, name, ext);
  const TransformPlan plan(job);
  WorkingName state;
  TransformName(job, job, plan, name, ext, state, obs);
  return {Encode(state.wn) + state.we, state.changed};
}

NumberedJob JobWith(std::initializer_list<int> positions,
                    const std::function<void(NumberedJob&)>& set = {}) {
  NumberedJob job;
  for (int p : positions) TickPosition(job, p);
  if (set) set(job);
  return job;
}

TEST(TransformName, ActionsGiveTheirNewFilenames) {
  const std::tuple<const char*, NumberedJob, const char*, const char*, bool> cases[] = {
      {"upper keeps extension case", JobWith({1}), "photo.JPG", "PHOTO.JPG", true},
      {"lower keeps extension case", JobWith({2}), "PHOTO.JPG", "photo.JPG", true},
      {"delete last to empty falls back, nothing changes",
       JobWith({4}, [](NumberedJob& j) { j.DeleteLastCount = 2; }), "ab.txt", "ab.txt", false},
      {"delete last fraction keeps rounded length (5-2.5=2.5 -> 2)",
       JobWith({4}, [](NumberedJob& j) { j.DeleteLastCount = 2.5; }), "abcde.txt", "ab.txt", true},
      {"delete last fraction keeps rounded length (6-2.5=3.5 -> 4)",
       JobWith({4}, [](NumberedJob& j) { j.DeleteLastCount = 2.5; }), "abcdef.txt", "abcd.txt",
       true},
      {"clear name and number at end",
       JobWith({3, 9}, [](NumberedJob& j) { j.NumberEndCounter = "2"; }), "ab.txt", "2.txt", true},
      {"replace case-insensitive",
       JobWith({6}, [](NumberedJob& j) { j.ReplaceSearch = "report", j.ReplaceWith = "X"; }),
       "Report REPORT report.doc", "X X X.doc", true},
      {"replace case-sensitive",
       JobWith({6},
               [](Job& j) {
                 j.ReplaceSearch = "report", j.ReplaceWith = "X", j.CaseSensitiveReplace = true;
               }),
       "Report REPORT report.doc", "Report REPORT X.doc", true},
      {"case-insensitive replace advances past a match",
       JobWith({6}, [](NumberedJob& j) { j.ReplaceSearch = "aa", j.ReplaceWith = "b"; }), "aaa",
       "ba", true},
      {"replace of the whole name",
       JobWith({6}, [](NumberedJob& j) { j.ReplaceSearch = "abc", j.ReplaceWith = "x"; }),
       "abc.txt", "x.txt", true},
      {"replace that finds nothing still counts as a change",
       JobWith({6}, [](NumberedJob& j) { j.ReplaceSearch = "zz", j.ReplaceWith = "b"; }), "abc.txt",
       "abc.txt", true},
      {"numbers at both ends lose surrounding blanks",
       JobWith({9, 10},
               [](NumberedJob& j) { j.NumberEndCounter = " 07 ", j.NumberBeginningCounter = "3"; }),
       "abc.txt", "3abc07.txt", true},
      {"change extension to nothing", JobWith({15}, [](NumberedJob& j) { j.NewExtension = "."; }),
       "a.txt", "a.", true},
      {"cleared name with changed extension keeps the old name",
       JobWith({3, 15}, [](NumberedJob& j) { j.NewExtension = ".md"; }), "a.txt", "a.md", true},
      {"clear alone leaves the file alone", JobWith({3}), "a.txt", "a.txt", false},
      {"complete rename overrides earlier name actions",
       JobWith({1, 17}, [](NumberedJob& j) { j.NewFilename = "new.doc"; }), "old.txt", "new.doc",
       true},
      {"capitalize spaces, trailing blank dropped",
       JobWith({16}, [](NumberedJob& j) { j.CapitalizeSpaces = true; }), "the end .txt",
       "The End.txt", true},
      // Characters are code points; a byte that is not UTF-8 is one character no action changes.
      {"upper accented", JobWith({1}), "café.txt", "CAFÉ.txt", true},
      {"delete last removes a whole é", JobWith({4}, [](NumberedJob& j) { j.DeleteLastCount = 1; }),
       "café.txt", "caf.txt", true},
      {"delete last removes a whole emoji",
       JobWith({4}, [](NumberedJob& j) { j.DeleteLastCount = 1; }), "hi\xF0\x9F\x98\x80.txt",
       "hi.txt", true},
      {"invalid byte kept by upper", JobWith({1}), "a\xFF" "b.txt", "A\xFF" "B.txt", true},
      {"invalid byte is one character", JobWith({4}, [](NumberedJob& j) { j.DeleteLastCount = 1; }),
       "ab\xE9.txt", "ab.txt", true},
      {"case-insensitive replace of non-ASCII",
       JobWith({6}, [](NumberedJob& j) { j.ReplaceSearch = "É", j.ReplaceWith = "e"; }), "éÉ.txt",
       "ee.txt", true},
  };
  for (const auto& [what, job, filename, expected, changed] : cases) {
    const Result r = Transform(job, filename);
    EXPECT_EQ(r.new_filename, expected) << what;
    EXPECT_EQ(r.changed, changed) << what;
  }
}

TEST(CapitalizeWords, RaisesOnlyFirstAndAfterChosenSeparators) {
  const std::tuple<const char*, bool, bool, const char*> cases[] = {
      {"hELLO wORLD", true, false, "HELLO WORLD"},
      {"my_file name", true, false, "My_file Name"},
      {"my_file name", true, true, "My_File Name"},
      {"a  b", true, false, "A  B"},
      {"a_ b", true, true, "A_ B"},
      {" ", true, false, ""},
      {"élan vital", true, false, "Élan Vital"},
  };
  for (const auto& [in, spaces, underscores, out] : cases) {
    CharText wn = Decode(in);
    CapitalizeWords(wn, spaces, underscores);
    EXPECT_EQ(Encode(wn), out) << in;
  }
}

// A delete of more characters than the name has is terminated.
TEST(TransformName, ReportsStepsInListOrderWithTerminatedDeletes) {
  const struct {
    std::initializer_list<int> positions;
    double count;  // of both deletes
    std::vector<std::string> expected;
  } cases[] = {
      {{1, 4, 5, 9, 11, 17},
       10,
       {"1:REPORT.txt", "terminated 3", "terminated 4", "9:REPORT1.txt", "attr 11:REPORT1.txt",
        "17:z.doc"}},
      {{4}, 6, {"4:.txt"}},
      {{5}, 6, {"5:.txt"}},
      {{4}, 7, {"terminated 3"}},
      {{5}, 7, {"terminated 4"}},
  };
  for (const auto& c : cases) {
    NumberedJob job = JobWith(c.positions, [&](NumberedJob& j) {
      j.DeleteLastCount = c.count;
      j.DeleteFirstCount = static_cast<int32_t>(c.count);
      j.NumberEndCounter = "1";
      j.NewFilename = "z.doc";
    });
    RecordingObserver obs;
    Transform(job, "report.txt", &obs);
    EXPECT_EQ(obs.lines, c.expected) << c.count;
  }
}

}  // namespace
}  // namespace qtarvox
