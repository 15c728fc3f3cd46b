#include "run/parse_command_line.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <ranges>
#include <sstream>
#include <string>
#include <vector>

#include "fakes.h"
#include "platform/paths.h"

namespace qtarvox {
namespace {

using Args = std::vector<std::string>;

// Tables write the arguments in one string, separated by '|'.
Args Split(const std::string& text) {
  Args items;
  for (const auto& item : std::views::split(text, '|'))
    items.emplace_back(item.begin(), item.end());
  return items;
}

// Parses `args` as start-up does, on a job with a value in every field a command writes.
struct Parsed {
  Job job;
  ListCaptions captions;
};

Parsed Parse(const Args& args, RecordingPrompter& prompter, ParseNotes* notes = nullptr) {
  Parsed parsed;
  Job& job = parsed.job;
  job.ReplaceSearch = job.ReplaceWith = job.AddBeginningText = job.AddEndText = "kept";
  job.NewExtension = job.NewFilename = job.txtSep = "kept";
  job.CaseSensitiveReplace = job.CapitalizeUnderscores = true;
  job.NumberEndStyle = job.NumberBeginningStyle = NumberStyle::kEven;
  job.collision = CollisionOption::kAppendNumber;
  job.SuppressedMode = job.FilesGivenIndividually = job.FilesGivenByExtension = true;
  parsed.captions = ParseCommandLine(job, BuildSegments(args), prompter, notes);
  return parsed;
}

std::string Join(const Args& lines) {
  std::string text;
  for (const auto& line : lines) text += (text.empty() ? "" : ", ") + line;
  return text;
}

// The fields the commands write, by command name, and the ticked positions.
std::map<std::string, std::string> Fields(const Parsed& parsed) {
  const Job& j = parsed.job;
  const ListCaptions& c = parsed.captions;
  const auto flag = [](bool b) { return std::string(b ? "1" : "0"); };
  const auto count = [](bool set, size_t n) { return set ? "*" + std::to_string(n) + "*" : ""; };
  const auto style = [](NumberStyle s) { return std::to_string(static_cast<int>(s)); };
  std::ostringstream numbers;
  numbers << j.DeleteLastCount << "|" << j.DeleteFirstCount << "|" << static_cast<int>(j.collision);
  std::string ticked;
  for (size_t i = 0; i < j.lstActions.size(); ++i) {
    if (j.lstActions[i].ticked) ticked += std::to_string(i + 1) + " ";
  }
  return {{"ticked", ticked},
          {"DL|DF|EF", numbers.str()},
          {"RP", j.ReplaceSearch + "|" + j.ReplaceWith + "|" + flag(j.CaseSensitiveReplace)},
          {"AB|AE|EN|CR|SC", j.AddBeginningText + "|" + j.AddEndText + "|" + j.NewExtension + "|" +
                                 j.NewFilename + "|" + j.txtSep},
          {"NE", style(j.NumberEndStyle) + flag(j.NumberEndStartGiven) + j.NumberEndStart},
          {"NB", style(j.NumberBeginningStyle) + flag(j.NumberBeginningStartGiven) +
                     j.NumberBeginningStart},
          {"CW", flag(j.CapitalizeSpaces) + flag(j.CapitalizeUnderscores)},
          {"SU|NP", flag(j.SuppressedMode) + flag(j.chkProcess)},
          {"FI", Join(j.lstFile) + "|" + count(c.files, j.lstFile.size()) +
                     flag(j.FilesGivenIndividually)},
          {"FE", Join(j.lstDir) + "|" + count(c.directories, j.lstDir.size()) +
                     flag(j.FilesGivenByExtension) + "|" + Join(j.lstExt) + "|" +
                     count(c.extensions, j.lstExt.size()) + j.txtExtList}};
}

// Each row: arguments, the one changed field group (%C: the current directory), the ticks.
void ExpectRows(std::initializer_list<std::array<std::string, 4>> rows) {
  RecordingPrompter prompter;
  const auto unchanged = Fields(Parse({}, prompter));
  for (const auto& [args, key, value, ticked] : rows) {
    auto expected = unchanged;
    expected["ticked"] = ticked;
    std::string with_cwd = value;
    for (size_t at; (at = with_cwd.find("%C")) != std::string::npos;) {
      with_cwd.replace(at, 2, CurrentDirectory());
    }
    if (!key.empty()) expected.at(key) = with_cwd;
    EXPECT_EQ(Fields(Parse(Split(args), prompter)), expected) << args;
  }
  EXPECT_TRUE(prompter.messages.empty());
}

TEST(CommandLine, CommandsTickTheirActionAndWriteOnlyTheirFields) {
  ExpectRows({
      {"UC|-lc|-Co|-UC", "", "", "1 2 3 "},
      {"-  dl|3|-XY|-U|-A B|-", "DL|DF|EF", "3|0|2", "4 "},
      {"-DL|3|-DL|4abc|-DF2.5", "DL|DF|EF", "4|0|2", "4 5 "},
      {"-DF|2.5|-EF|2", "DL|DF|EF", "0|2|1", "5 "},
      {"-df|99999999999999|-ef|3.5", "DL|DF|EF", "0|2147483647|0", "5 "},
      {"-RP*a b *|c", "RP", "a b | c|0", "6 "},
      {"-rp*a*b* Y ", "RP", "a|b|1", "6 "},
      {"-RP*a*b*y", "RP", "a|b|1", "6 "},
      {"-RP*a*b*yes", "RP", "a|b|0", "6 "},
      {"-RP|a*b*y", "RP", "b|y|0", "6 "},
      {"-RP*a", "RP", "a||0", "6 "},
      {"-AB*x y*z|-AE* x |-EN*txt|-CR*new name|-SC*_", "AB|AE|EN|CR|SC", "x y| x|txt|new name|_",
       "7 8 15 17 "},
      {"-AB|x|-AE|-EN|-CR|x|-SC", "AB|AE|EN|CR|SC", "|||kept|", "7 8 15 17 "},
      {"-NE|E|BN|975", "NE", "21975", "9 "},
      {"-ne|e|bn", "NE", "210", "9 "},
      {"-NE|x|X|7", "NE", "107", "9 "},
      {"-NB|e|BN|3", "NB", "113", "10 "},
      {"-+r|-+A", "", "", "11 13 "},
      {"-+h|-+N", "", "", "12 14 "},
      {"-CW", "CW", "10", "16 "},
      {"-CW|-CW|u", "CW", "11", "16 "},
      {"-CW|su", "CW", "11", "16 "},
      {"-CW|x", "CW", "01", "16 "},
      {"-su|-NP", "SU|NP", "10", ""},
  });
  RecordingPrompter prompter;
  EXPECT_EQ(Fields(Parse({}, prompter)).at("SU|NP"), "01") << "the mode flags start cleared";
}

TEST(CommandLine, FilesAndDirectoriesFillTheListsAndCaptions) {
  const std::string sub = kIncludeSubdirsMark;
  ExpectRows({
      {"-FI|/g/game1.txt*/d/doc 1.doc", "FI", "game1.txt * /g, doc 1.doc * /d|*2*1"},
      // Each further argument is one more file, as a shell's glob gives them.
      {"-FI|/g/a b.jpg|c.jpg|/d/e.jpg", "FI", "a b.jpg * /g, c.jpg * %C, e.jpg * /d|*3*1"},
      {"-FI| /a/b *|c*/d|-FI|/x/e**|*", "FI", "b * /a, c * %C, /d, e * /x|*4*1"},
      // Not a file's exact name: a list, trimmed, also glued to the command.
      {"-FI|a.txt |-FIb/c* d", "FI", "a.txt * %C, c * %C/b, d * %C|*3*1"},
      {"-FI", "FI", "|0"},
      {"-FI|*", "FI", "|*0*0"},
      {"-FE|/h/a*Y\"/h/b*N?*.txt\"doc", "FE", "/h/a" + sub + ", /h/b|*2*1|*.txt, *.doc|*2**.doc"},
      // Kept in case-insensitive order; an entry without its mark is left out.
      {"-FE|/Zeta*N\"/alpha*n\"/Beta*y\"/abc", "FE", "/alpha, /Beta" + sub + ", /Zeta|*3*1||*.*"},
      // A mark without a directory is skipped; only the whole item is trimmed.
      {"-FE|*Y\"ab\"  \"/x\xC3\xA4\xC3\xB6*n\"/y *Y\"/z *N", "FE",
       "/x\xC3\xA4\xC3\xB6, /y " + sub + ", /z|*3*1||*.*"},
      {"-FE|?txt\"\"*.doc\"*x|?ignored", "FE", "|*0*0|*.txt, *., *.doc, *.*x|*4**.*x"},
      {"-FE|/d*N?", "FE", "/d|*1*1||*0**.*"},
  });

  // A vertical bar is still parsed, but noted once, in suppressed mode too.
  RecordingPrompter prompter;
  const Parsed parsed = Parse({"-SU", "-FI", "/f", "-FE", "/a*Y||/b*N?x"}, prompter);
  const ListCaptions& c = parsed.captions;
  EXPECT_EQ(Join(parsed.job.lstDir), "/a*Y||/b");
  EXPECT_TRUE(c.files && c.directories && c.extensions);
  ASSERT_EQ(prompter.messages.size(), 1u);
  const auto& note = prompter.messages[0];
  EXPECT_EQ(note.text + "|" + note.caption + (note.question ? "?" : ""),
            std::string(kPipeSeparatorNote) + "|" + kAppTitle);
}

TEST(CommandLine, SegmentsAndProgramOptions) {
  // An empty argument still adds its blank.
  const std::pair<std::string, std::string> cases[] = {
      {"-AB*x y|-FI|/a.txt*/b c.txt| c |-SU", "AB*x y|FI[/a.txt*/b c.txt][ c ]|SU"},
      {"a|b|-X|/home/me/b|c.txt", "a b|X /home/me/b c.txt"},
      {"fi|b|-FIc|d", "fi[b]|FIc[d]"},
      {"-DF||7", "DF  7"},
      {"|-|-UC|", "UC "},
      {"", ""},
  };
  for (const auto& [args, want] : cases) {
    Args shown;
    for (const Segment& segment : BuildSegments(Split(args))) {
      shown.push_back(segment.text);
      for (const auto& file : segment.files) shown.back() += "[" + file + "]";
    }
    EXPECT_EQ(shown, Split(want)) << args;
  }
  // "--" ends the commands; a long option with one dash is none of them.
  const CliOptions options =
      SplitProgramOptions({"--preview", "-UC", "--help", "-FI", "--version", "--HELP", "-Help",
                           "--null", "-q", "-v", "-H", "--files0-from", "-", "--files0-from=a b",
                           "--", "--previw", "-SU"});
  EXPECT_TRUE(options.help && options.version && options.preview && options.null_separated &&
              options.quiet && options.verbose);
  EXPECT_EQ(options.rest, (Args{"-UC", "-FI", "-H"}));
  EXPECT_EQ(options.unknown, (Args{"--HELP", "-Help"}));
  EXPECT_EQ(options.files0_from, (Args{"-", "a b"}));
  EXPECT_EQ(options.files, (Args{"--previw", "-SU"}));
  EXPECT_EQ(SplitProgramOptions({"-UC", "--files0-from"}).errors.size(), 1u);
  for (const char* short_option : {"-h", "-q", "-v"}) {
    EXPECT_TRUE(SplitProgramOptions({short_option}).rest.empty()) << short_option;
  }
  EXPECT_EQ(SplitProgramOptions({"--quiet", "--verbose"}).rest, Args{});
  EXPECT_EQ(NearestLongOption("--previw"), "--preview");
  EXPECT_EQ(NearestLongOption("--Verbos"), "--verbose");
  EXPECT_EQ(NearestLongOption("--dry-run"), "");
}

// What the parser did not do is said, one note each, and the job is the same as without notes.
TEST(CommandLine, NotesSayWhatWasNotDoneAndChangeNothing) {
  const std::string asterisk_hint = "; give the value after an asterisk: ";
  const std::pair<std::string, std::string> cases[] = {
      {"-XX|-UC", "unknown command -XX ignored"},
      {"-ux", "unknown command -ux ignored; did you mean -UC?"},
      {"-previw", "unknown command -previw ignored; did you mean --preview?"},
      {"-dry", "unknown command -dry ignored"},
      {"foo|-UC", "unknown command foo ignored"},
      {"-AB*Holiday ", "-AB: the blank at the end of \"Holiday \" was dropped; to keep it, end "
                       "the value with an asterisk: '-AB*Holiday *'"},
      {"-RP*a*b  ", "-RP: the blank at the end of \"b  \" was dropped; to keep it, end the value "
                    "with an asterisk: '-RP*a*b  *'"},
      {"-AB*Holiday *|-RP*a*b*y |-SC*_|-CR*x", ""},
      {"-AB*x*y", "-AB ignores \"*y\""},
      {"-AE|x", "-AE ignores \"x\"" + asterisk_hint + "-AE*x"},
      {"-DL3", "-DL ignores \"3\"; put a blank between the command and its value: -DL 3"},
      {"-DL|3|4|5|-DL  6", "-DL ignores \"4 5\"\n-DL ignores \"6\""},
      {"-NE|E|BN|975|x|-CW|su|-EF|3", "-NE ignores \"x\""},
      {"-UC|foo.txt|-SU|now", "-UC ignores \"foo.txt\"\n-SU ignores \"now\""},
      {"-FE|/a*Y?txt?doc|-FI|/a|/b c", "-FE ignores \"?doc\""},
      {"-FE|/x/j9?txt", "-FE: no *Y or *N at the end of \"/x/j9\", left out (end a directory "
                        "with *Y to include its subdirectories, *N not to)"},
      // A start number is read only after BN, and BN only as the second value.
      {"-NE|5|-ne|BN|5|-NB|e|7|-NE|n|BN|5", "-NE ignores \"5\"; BN and the start number follow E "
       "or N: -NE N BN 5\n-NE ignores \"BN 5\"; BN and the start number follow E or N: -NE N BN 5"
       "\n-NB ignores \"7\"; BN and the start number follow E or N: -NB E BN 7"},
  };
  RecordingPrompter prompter;
  for (const auto& [args, want] : cases) {
    ParseNotes notes;
    notes.first_segment_dashed = args.starts_with('-');
    const Parsed with_notes = Parse(Split(args), prompter, &notes);
    std::string said;
    for (const auto& line : notes.lines) said += (said.empty() ? "" : "\n") + line;
    EXPECT_EQ(said, want) << args;
    EXPECT_EQ(Fields(with_notes), Fields(Parse(Split(args), prompter))) << args;
  }
}

}  // namespace
}  // namespace qtarvox
