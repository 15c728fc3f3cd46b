#include "cli/parse_command_line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "cli/usage_text.h"
#include "fakes.h"

namespace qtarvox {
namespace {

using Args = std::vector<std::string>;
using Lines = std::vector<std::string>;

// Runs the arguments through the segmenting and the parser, as start-up does.
Job Parse(const Args& args, Job job = Job()) {
  RecordingPrompter prompter;
  ParseCommandLine(job, BuildSegments(args), prompter);
  EXPECT_TRUE(prompter.messages.empty()) << "only FE with a bar may speak";
  return job;
}

std::vector<int> TickedPositions(const Job& job) {
  std::vector<int> positions;
  for (size_t i = 0; i < job.lstActions.size(); ++i) {
    if (job.lstActions[i].ticked) positions.push_back(static_cast<int>(i) + 1);
  }
  return positions;
}

TEST(BuildSegments, GroupsArgumentsByTheirDash) {
  const struct {
    Args args;
    Lines segments;
  } cases[] = {
      {{"-UC", "-FI", "/home/me/a.txt", "-SU"}, {"UC", "FI /home/me/a.txt", "SU"}},
      {{"-AB*x y", "-FI", "/home/me/a.txt*/home/me/b c.txt", "-SU"},
       {"AB*x y", "FI /home/me/a.txt*/home/me/b c.txt", "SU"}},
      {{"-FE", "/home/me/docs*Y\"/tmp*N?txt\"doc", "-NE", "E", "BN", "975", "-SU"},
       {"FE /home/me/docs*Y\"/tmp*N?txt\"doc", "NE E BN 975", "SU"}},
      {{"UC", "-LC", "-SU"}, {"UC", "LC", "SU"}},
      // Unquoted blanks in a path come back as one blank each.
      {{"-FI", "/home/me/b", "c.txt"}, {"FI /home/me/b c.txt"}},
      {{"a", "b", "-X", "c"}, {"a b", "X c"}},
      // An empty argument still adds its blank; empty segments are left out.
      {{"-DF", "", "7"}, {"DF  7"}},
      {{"-", "-UC", ""}, {"UC "}},
      {{"", "-"}, {}},
      {{}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    EXPECT_EQ(BuildSegments(c.args), c.segments);
  }
}

TEST(CommandLineOptions, RemovesOnlyTheThreeProgramOptions) {
  const CliOptions options =
      SplitProgramOptions({"--preview", "-UC", "--help", "-FI", "--version", "--HELP", "-help"});
  EXPECT_TRUE(options.help);
  EXPECT_TRUE(options.version);
  EXPECT_TRUE(options.preview);
  EXPECT_EQ(options.rest, (Args{"-UC", "-FI", "--HELP", "-help"}));

  const CliOptions none = SplitProgramOptions({"-SU"});
  EXPECT_FALSE(none.help || none.version || none.preview);
  EXPECT_EQ(none.rest, Args{"-SU"});
}

TEST(CommandLine, TicksListPositionsByCommandName) {
  const struct {
    Args args;
    std::vector<int> ticked;
  } cases[] = {
      {{"-UC", "-LC"}, {1, 2}},
      {{"UC", "-LC"}, {1, 2}},
      {{"-uc", "-Co", "-UC"}, {1, 3}},
      {{"-dl", "3"}, {4}},
      {{"-DL3"}, {4}},
      {{"-UCx"}, {1}},
      {{"-  df 2"}, {5}},
      {{"-+r", "-+h"}, {11, 12}},
      // Positions follow the list: +A is 13 and +N is 14.
      {{"-+A"}, {13}},
      {{"-+N"}, {14}},
      {{"-RP", "-AB", "-AE", "-NE", "-NB", "-EN", "-CW", "x", "-CR"}, {6, 7, 8, 9, 10, 15, 16, 17}},
      {{"-FI", "/a/b", "-FE", "/c*N", "-SU", "-EF", "2", "-SC*_", "-NP"}, {}},
      {{"-XY", "-U", "-ab*x", "-A B", "-"}, {7}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    EXPECT_EQ(TickedPositions(Parse(c.args)), c.ticked);
  }
}

TEST(CommandLine, ReadsDeleteCountsAsNumbers) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  const struct {
    Args args;
    double last;
    int32_t first;
  } cases[] = {
      {{"-dl", "3"}, 3, 0},
      {{"-DL3"}, 0, 0},
      {{"-DL", "3", "-DL", "5"}, 5, 0},
      {{"-DL", "4abc"}, 4, 0},
      {{"-DF", "", "7"}, 0, 0},  // two blanks make an empty word 1
      {{"-DF", "2.5"}, 0, 2},
      {{"-DF", "3.5"}, 0, 4},
      {{"-DF", "99999999999999"}, 0, kMax},
      {{"-DF -99999999999999"}, 0, kMin},
      {{"-DF", std::string(400, '9')}, 0, kMax},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const Job job = Parse(c.args);
    EXPECT_EQ(job.DeleteLastCount, c.last);
    EXPECT_EQ(job.DeleteFirstCount, c.first);
  }
}

TEST(CommandLine, ReplaceResetsThenStopsAtFirstMissingPiece) {
  const struct {
    Args args;
    std::string search;
    std::string with;
    bool case_sensitive;
  } cases[] = {
      {{"-RP*a*b"}, "a", "b", false},
      {{"-RP*a*b*y"}, "a", "b", true},
      {{"-RP*a*b* Y "}, "a", "b", true},
      {{"-RP*a*b*yes"}, "a", "b", false},
      {{"-RP*a b *", "c"}, "a b ", " c", false},
      {{"-RP*a"}, "a", "", false},
      {{"-RP"}, "", "", false},
      // A value after a blank belongs to the command's own piece ("RP a").
      {{"-RP", "a*b*y"}, "b", "y", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    Job preset;
    preset.ReplaceSearch = "old";
    preset.ReplaceWith = "older";
    preset.CaseSensitiveReplace = true;
    const Job job = Parse(c.args, preset);
    EXPECT_EQ(job.ReplaceSearch, c.search);
    EXPECT_EQ(job.ReplaceWith, c.with);
    EXPECT_EQ(job.CaseSensitiveReplace, c.case_sensitive);
  }
}

TEST(CommandLine, TakesTextValuesAfterAnAsterisk) {
  const struct {
    Args args;
    std::string Job::*field;
    std::string expected;
  } cases[] = {
      {{"-AB*x y"}, &Job::AddBeginningText, "x y"},
      {{"-AB", "x"}, &Job::AddBeginningText, ""},
      {{"-AB*x*z"}, &Job::AddBeginningText, "x"},
      {{"-AE* x "}, &Job::AddEndText, " x"},
      {{"-AE"}, &Job::AddEndText, ""},
      {{"-EN*txt"}, &Job::NewExtension, "txt"},
      {{"-EN"}, &Job::NewExtension, ""},
      {{"-CR*new name"}, &Job::NewFilename, "new name"},
      {{"-CR*"}, &Job::NewFilename, ""},
      {{"-CR"}, &Job::NewFilename, "kept"},
      {{"-CR", "x"}, &Job::NewFilename, "kept"},
      {{"-SC*_"}, &Job::txtSep, "_"},
      {{"-SC"}, &Job::txtSep, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    Job preset;
    preset.*c.field = "kept";
    EXPECT_EQ(Parse(c.args, preset).*c.field, c.expected);
  }
}

TEST(CommandLine, ReadsNumberingStyleAndStart) {
  const struct {
    Args args;
    bool beginning;
    int style;
    bool start_given;
    std::string start;
  } cases[] = {
      {{"-NE", "E", "BN", "975"}, false, 2, true, "975"},
      {{"-NE", "BN", "5"}, false, 1, false, ""},
      {{"-NE", "E", "BN"}, false, 2, true, "0"},
      {{"-NE", "e"}, false, 2, false, ""},
      {{"-NE"}, false, 1, false, ""},
      {{"-ne", "x", "bn", "12"}, false, 1, true, "12"},
      {{"-NE", "E", "X", "7"}, false, 2, false, "7"},
      {{"-NB", "e"}, true, 1, false, ""},
      {{"-NB", "E", "bn", "3"}, true, 2, true, "3"},
      {{"-NB", "E", "BN"}, true, 2, true, "0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    Job preset;
    preset.NumberEndStyle = preset.NumberBeginningStyle = 2;
    const Job job = Parse(c.args, preset);
    EXPECT_EQ(c.beginning ? job.NumberBeginningStyle : job.NumberEndStyle, c.style);
    EXPECT_EQ(c.beginning ? job.NumberBeginningStartGiven : job.NumberEndStartGiven, c.start_given);
    EXPECT_EQ(c.beginning ? job.NumberBeginningStart : job.NumberEndStart, c.start);
    // The other numbering action is left alone.
    EXPECT_EQ(c.beginning ? job.NumberEndStyle : job.NumberBeginningStyle, 2);
  }
}

TEST(CommandLine, CapitalizeSetsOnlyTheNamedFlags) {
  const struct {
    Args args;
    bool spaces_before, underscores_before;
    bool spaces, underscores;
  } cases[] = {
      {{"-CW"}, false, true, true, false},        {{"-CW", "su"}, false, false, true, true},
      {{"-CW", "US"}, false, false, true, true},  {{"-CW", "s"}, false, true, true, true},
      {{"-CW", "U"}, true, false, true, true},    {{"-CW", "u"}, false, false, false, true},
      {{"-CW", "x"}, false, false, false, false}, {{"-CW", "x"}, true, true, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    Job preset;
    preset.CapitalizeSpaces = c.spaces_before;
    preset.CapitalizeUnderscores = c.underscores_before;
    const Job job = Parse(c.args, preset);
    EXPECT_EQ(job.CapitalizeSpaces, c.spaces);
    EXPECT_EQ(job.CapitalizeUnderscores, c.underscores);
  }
}

TEST(CommandLine, SetsCollisionPolicyFromNumber) {
  const struct {
    Args args;
    CollisionOption expected;
  } cases[] = {
      {{"-EF"}, CollisionOption::kDoNotRename},
      {{"-EF", "7"}, CollisionOption::kDoNotRename},
      {{"-EF", "2"}, CollisionOption::kOverwrite},
      {{"-ef", "3"}, CollisionOption::kAppendNumber},
      {{"-EF", "3.5"}, CollisionOption::kDoNotRename},
      {{"-EF", "2", "-EF", "x"}, CollisionOption::kDoNotRename},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    Job preset;
    preset.collision = CollisionOption::kAppendNumber;
    EXPECT_EQ(Parse(c.args, preset).collision, c.expected);
  }
}

TEST(CommandLine, ModeFlagsStartClearedAndSuppressAndNoProcessApply) {
  Job preset;
  preset.SuppressedMode = preset.FilesGivenIndividually = preset.FilesGivenByExtension = true;
  preset.GenerateProcessFile = true;
  Job job = Parse({"-UC"}, preset);
  EXPECT_FALSE(job.SuppressedMode || job.FilesGivenIndividually || job.FilesGivenByExtension);
  EXPECT_TRUE(job.chkProcess);
  EXPECT_TRUE(job.GenerateProcessFile);

  job = Parse({"-su", "-NP"}, preset);
  EXPECT_TRUE(job.SuppressedMode);
  EXPECT_FALSE(job.chkProcess);
  EXPECT_FALSE(job.GenerateProcessFile);
}

TEST(CommandLine, AddsIndividualFilesAsNameAndDirectory) {
  const struct {
    Args args;
    Lines preset;
    Lines files;
    bool caption_set;
  } cases[] = {
      {{"-FI", "/home/games/game1.txt*/home/mydocs/doc", "1.doc"},
       {},
       {"game1.txt * /home/games", "doc 1.doc * /home/mydocs"},
       true},
      {{"-FI", " /a/b.txt *", "c.txt"}, {}, {"b.txt * /a", "c.txt"}, true},
      {{"-FI", "/a.txt"}, {}, {"/a.txt"}, true},
      {{"-FI", "/x/a.txt**", "*"}, {}, {"a.txt * /x"}, true},
      {{"-FI", "/x/dir/"}, {}, {" * /x/dir"}, true},
      {{"-FI", "/q/n"}, {"old * /p"}, {"old * /p", "n * /q"}, true},
      {{"-FI"}, {}, {}, false},
      {{"-FI", "*"}, {}, {}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    Job preset;
    preset.lstFile = c.preset;
    const Job job = Parse(c.args, preset);
    EXPECT_EQ(job.lstFile, c.files);
    EXPECT_EQ(job.lblFileList,
              c.caption_set ? "List of File(s) choosen : *" + std::to_string(c.files.size()) + "*"
                            : Job().lblFileList);
    EXPECT_EQ(job.FilesGivenIndividually, c.files.size() > c.preset.size());
    EXPECT_FALSE(job.FilesGivenByExtension);
  }
}

TEST(CommandLine, AddsDirectoriesAndExtensions) {
  const std::string kSub = kIncludeSubdirsMark;
  const Job fresh;
  const struct {
    Args args;
    Lines preset_dirs;
    Lines dirs;
    Lines exts;  // the extension caption changes only when a "?" was given
    bool ext_caption_set;
  } cases[] = {
      {{"-FE", "/home/abc*Y\"/home/mydocs*N?*.txt\"doc"},
       {},
       {"/home/abc" + kSub, "/home/mydocs"},
       {"*.txt", "*.doc"},
       true},
      {{"-FE", "/abc"}, {}, {"/a"}, {}, false},
      // Kept in case-insensitive order, among what the list already held.
      {{"-FE", "/Zeta*N\"/alpha*n\"/Beta*y"},
       {"/m"},
       {"/alpha", "/Beta" + kSub, "/m", "/Zeta"},
       {},
       false},
      // Pieces of two characters or fewer are skipped.
      {{"-FE", "ab\"  \"/x*Y"}, {}, {"/x" + kSub}, {}, false},
      // The mark is two characters, not two bytes.
      {{"-FE", "/x\xC3\xA4\xC3\xB6"}, {}, {"/x"}, {}, false},
      // Only the whole item is trimmed, so a blank before the mark stays.
      {{"-FE", "/x *Y\"/y *N"}, {}, {"/x " + kSub, "/y"}, {}, false},
      {{"-FE", "?txt\"\"*.doc", "?ignored"}, {}, {}, {"*.txt", "*.", "*.doc"}, true},
      {{"-FE", "/d*N?"}, {}, {"/d"}, {}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    Job preset;
    preset.lstDir = c.preset_dirs;
    const Job job = Parse(c.args, preset);
    EXPECT_EQ(job.lstDir, c.dirs);
    EXPECT_EQ(job.lstExt, c.exts);
    EXPECT_EQ(job.txtExtList, c.exts.empty() ? fresh.txtExtList : c.exts.back());
    EXPECT_EQ(job.lblDirList,
              "List of Directory(s) choosen : *" + std::to_string(c.dirs.size()) + "*");
    EXPECT_EQ(job.lblExtList, c.ext_caption_set ? "List of Extension(s) choosen : *" +
                                                      std::to_string(c.exts.size()) + "*"
                                                : fresh.lblExtList);
    EXPECT_EQ(job.FilesGivenByExtension, c.dirs.size() > c.preset_dirs.size());
    EXPECT_FALSE(job.FilesGivenIndividually);
  }
}

TEST(CommandLine, VerticalBarInDirectoriesIsNotedButParsed) {
  Job job;
  job.SuppressedMode = true;
  RecordingPrompter prompter;
  ParseCommandLine(job, BuildSegments({"-SU", "-FE", "/a*Y|/b*N"}), prompter);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, kPipeSeparatorNote);
  EXPECT_EQ(prompter.messages[0].caption, kAppTitle);
  EXPECT_FALSE(prompter.messages[0].question);
  EXPECT_EQ(job.lstDir, Lines{"/a*Y|/b"});
}

TEST(CommandLine, MalformedInputNeverStopsTheParser) {
  const std::string long_text(100000, 'x');
  const Args cases[] = {
      {"\""},
      {"*"},
      {"-*"},
      {"'-UC"},
      {"-FI", "***"},
      {"-FI", "/"},
      {"-FE", "\"\"??\"|*"},
      {"-FE", "*Y"},
      {"-RP**"},
      {"-NE", "", "", ""},
      {"-DF", "1e400", "-DL", "-"},
      {"-\xFF\xFE", "-FE", "/\xFF\xFE\xFD"},
      {"-FI", "\xC3"},
      {long_text},
      {"-" + long_text},
      {"-FE", long_text + "*Y?" + long_text},
      {"-FI", "/" + long_text + "/" + long_text},
  };
  for (const auto& args : cases) {
    Job job;
    RecordingPrompter prompter;
    ParseCommandLine(job, BuildSegments(args), prompter);
  }

  const Job job = Parse({"-AB*" + long_text});
  EXPECT_EQ(job.AddBeginningText, long_text);
}

TEST(CommandLineUsage, ListsEveryCommandAndFitsTheTerminal) {
  const std::string usage = UsageText();
  for (const char* name : {"UC", "LC", "CO", "DL", "DF", "RP", "AB", "AE", "NE", "NB", "+R", "+H",
                           "+A", "+N", "EN", "CW", "CR", "FI", "FE", "SU", "EF", "SC", "NP"}) {
    EXPECT_NE(usage.find(std::string("-") + name), std::string::npos) << name;
  }
  for (const char* option : {kOptionHelp, kOptionVersion, kOptionPreview}) {
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  }
  std::istringstream lines(usage);
  int count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    EXPECT_LE(line.size(), 80u) << line;
  }
  EXPECT_LE(count, 70);
}

}  // namespace
}  // namespace qtarvox
