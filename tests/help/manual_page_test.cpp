// The manual page and bash completion the build makes, judged by groff, lexgrog and bash.
#include "help/manual_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fakes.h"
#include "help/usage_text.h"
#include "run/parse_command_line.h"
#include "help/usage_outline.h"
#include "run_tools.h"
#include "temp_dir.h"

namespace qtarvox::help {
namespace {

TEST(ManualPage, EscapesWhatRoffWouldRead) {
  const std::pair<const char*, const char*> cases[] = {
      {"-UC", "\\-UC"},
      {"a\\b", "a\\eb"},
      {".hidden", "\\&.hidden"},
      {"'-AB*x y'", "\\&'\\-AB*x y'"},
      {"dir*Y[\"dir*N]", "dir*Y[\"dir*N]"},
  };
  for (const auto& [text, roff] : cases) EXPECT_EQ(RoffText(text), roff) << text;
}

TEST(ManualPage, NamesEveryCommandTheExitCodesAndTheWorkFolder) {
  const std::string page = ManualPage(ParseUsage(UsageText()), kVersionText);
  for (const char* command : {"\\-UC", "\\-h, \\-\\-help", "\\-\\-preview", "\\-FE dir*Y", "\\-SU",
                              "\\-+R  \\-+H  \\-+A", "\\-EF 1|2|3"}) {
    EXPECT_NE(page.find(std::string(".TP\n\\fB") + command), std::string::npos) << command;
  }
  for (const char* part :
       {".SH NAME\nq\\-tarvox \\- ", ".SH SYNOPSIS\n\\fBq\\-tarvox\\fR [",
        ".SH EXIT STATUS\n.TP\n\\fB0\\fR", ".SH WORK FOLDER", "QTARVOX_WORK_DIR", "single quotes",
        ".SH EXAMPLES\n.PP\n.RS 4\n.nf\nq\\-tarvox", ".SH ENVIRONMENT", ".SH FILES"}) {
    EXPECT_NE(page.find(part), std::string::npos) << part;
  }
  // The page the build made is this one.
  EXPECT_EQ(ReadFile(kBuild + "/q-tarvox.1"), page);
}

TEST(ManualPage, ManReadsItWithoutWarnings) {
  Need("groff", "groff-base");
  Need("lexgrog", "man-db");
  const std::string page = Quote(kBuild + "/q-tarvox.1");
  const Ran groff = Shell("groff -man -ww -z " + page);
  EXPECT_EQ(groff.status, 0);
  EXPECT_EQ(groff.output, "");
  // What apropos and whatis find.
  const Ran lexgrog = Shell("lexgrog " + page);
  EXPECT_NE(lexgrog.output.find("\"q-tarvox - rename many files in one batch\""), std::string::npos)
      << lexgrog.output;
  EXPECT_EQ(ReadFile(kBuild + "/q-tarvox.1"), Shell("gzip -dc " + page + ".gz").output);
}

// Completes the last word of `words` as bash would, in `cwd`; one reply a line.
std::string Complete(const std::string& words, const std::string& cwd) {
  const std::string script = "source " + Quote(kBuild + "/q-tarvox.bash-completion") +
                             "; compopt() { :; }; COMP_WORDS=(" + words +
                             "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _q_tarvox; "
                             "printf '%s\\n' \"${COMPREPLY[@]}\"";
  return Shell("cd " + Quote(cwd) + " && bash -c " + Quote(script)).output;
}

// The non-empty lines of `text`, sorted (bash shows the replies sorted).
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) lines.push_back(line);
  }
  std::ranges::sort(lines);
  return lines;
}

TEST(BashCompletion, OffersCommandsAndFileNames) {
  Need("bash", "bash");
  TempDir dir;
  dir.WriteFile("notes one.txt");
  dir.WriteFile("notes two.txt");
  dir.MakeDir("photos");
  const std::pair<const char*, const char*> cases[] = {
      // One match is completed; several are shown with their descriptions.
      {"q-tarvox -u", "-UC\n"},
      {"q-tarvox --pre", "--preview\n"},
      {"q-tarvox -N",
       "-NE        add numbers at the end\n-NB        add numbers at the beginning, as -NE\n"
       "-NP        write no Process file\n"},
      // Files after -FI, also after the asterisk between two of them.
      {"q-tarvox -UC -FI notes", "notes one.txt\nnotes two.txt\n"},
      {"q-tarvox -FI 'notes one.txt*no'",
       "notes one.txt*notes one.txt\nnotes one.txt*notes two.txt\n"},
      {"q-tarvox -FE ph", "photos\n"},
      {"q-tarvox -UC no", "\n"},
      {"q-tarvox -UC -cw s", "S\nSU\n"},  // as typed in either case
  };
  for (const auto& [words, replies] : cases) {
    EXPECT_EQ(Lines(Complete(words, dir.path())), Lines(replies)) << words;
  }
  // Every command of --help is offered.
  const std::string all = Complete("q-tarvox -", dir.path());
  for (const auto& summary : CommandSummaries(ParseUsage(UsageText()))) {
    EXPECT_NE(all.find(summary.name + " "), std::string::npos) << summary.name;
  }
}

// What the parser makes of `command`, the words before and `word`.
struct Reading {
  bool read = false;
  CollisionOption collision = CollisionOption::kDoNotRename;
};

Reading Read(const std::string& command, const std::vector<std::string>& before,
             const std::string& word) {
  std::vector<std::string> args{command};
  args.insert(args.end(), before.begin(), before.end());
  args.push_back(word);
  Job job;
  RecordingPrompter prompter;
  ParseNotes notes;
  ParseCommandLine(job, BuildSegments(args), prompter, &notes);
  const bool read =
      command == "-CW" ? job.CapitalizeSpaces || job.CapitalizeUnderscores : notes.lines.empty();
  return {read, job.collision};
}

TEST(BashCompletion, OffersExactlyTheWordsTheParserReads) {
  Need("bash", "bash");
  TempDir dir;
  // Every word of one or two letters or digits.
  std::vector<std::string> candidates;
  const std::string chars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  for (const char a : chars) {
    candidates.emplace_back(1, a);
    for (const char b : chars) candidates.push_back(std::string{a, b});
  }
  // A command and the words of the places before.
  const std::pair<const char*, std::vector<std::string>> places[] = {
      {"-CW", {}}, {"-EF", {}}, {"-NE", {}}, {"-NE", {"E"}}, {"-NB", {}}, {"-NB", {"N"}},
  };
  for (const auto& [command, before] : places) {
    std::string words = std::string("q-tarvox ") + command;
    for (const auto& word : before) words += " " + word;
    const std::vector<std::string> offered = Lines(Complete(words + " ''", dir.path()));
    if (std::string(command) == "-EF") {
      // EF reads any number ("02" too): one word for each option there is.
      std::set<CollisionOption> by_offered, by_any;
      for (const auto& word : offered) by_offered.insert(Read(command, {}, word).collision);
      for (const auto& word : candidates) by_any.insert(Read(command, {}, word).collision);
      EXPECT_EQ(by_offered, by_any);
      EXPECT_EQ(offered.size(), by_any.size());
      continue;
    }
    std::vector<std::string> read;
    for (const auto& word : candidates) {
      if (Read(command, before, word).read) read.push_back(word);
    }
    std::ranges::sort(read);
    EXPECT_EQ(offered, read) << words;
  }
}

}  // namespace
}  // namespace qtarvox::help
