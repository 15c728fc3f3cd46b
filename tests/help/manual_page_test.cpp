// The manual page and the bash completion as the build makes them from the
// --help text, judged by the system's own tools: groff and lexgrog read the
// page, bash runs the completion.
#include "help/manual_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "help/usage_text.h"
#include "help/usage_outline.h"
#include "run_tools.h"
#include "temp_dir.h"

namespace qtarvox::help {
namespace {

TEST(ManualPage, EscapesWhatRoffWouldRead) {
  const struct {
    const char* text;
    const char* roff;
  } cases[] = {
      {"-UC", "\\-UC"},
      {"a\\b", "a\\eb"},
      {".hidden", "\\&.hidden"},
      {"'-AB*x y'", "\\&'\\-AB*x y'"},
      {"dir*Y[\"dir*N]", "dir*Y[\"dir*N]"},
  };
  for (const auto& c : cases) EXPECT_EQ(RoffText(c.text), c.roff) << c.text;
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

TEST(BashCompletion, OffersCommandsAndFileNames) {
  Need("bash", "bash");
  TempDir dir;
  dir.WriteFile("notes one.txt");
  dir.WriteFile("notes two.txt");
  dir.MakeDir("photos");
  const struct {
    const char* words;
    const char* replies;
  } cases[] = {
      // One match is completed; several are shown with their descriptions.
      {"q-tarvox -u", "-UC\n"},
      {"q-tarvox --pre", "--preview\n"},
      {"q-tarvox -N",
       "-NE        add numbers at the end\n-NB        add numbers at the beginning, as -NE\n"
       "-NP        write no Process file\n"},
      {"q-tarvox -+",
       "-+R        add the read-only, hidden, archive attribute\n"
       "-+H        add the read-only, hidden, archive attribute\n"
       "-+A        add the read-only, hidden, archive attribute\n"
       "-+N        remove all attributes and make the file normal\n"},
      // Files after -FI, also after the asterisk between two of them.
      {"q-tarvox -UC -FI notes", "notes one.txt\nnotes two.txt\n"},
      {"q-tarvox -FI 'notes one.txt*no'",
       "notes one.txt*notes one.txt\nnotes one.txt*notes two.txt\n"},
      {"q-tarvox -FE ph", "photos\n"},
      {"q-tarvox -UC no", "\n"},
  };
  // Bash shows the replies sorted; the order they come in does not matter.
  const auto sorted = [](const std::string& lines) {
    std::vector<std::string> each;
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);) each.push_back(line);
    std::ranges::sort(each);
    return each;
  };
  for (const auto& c : cases) {
    EXPECT_EQ(sorted(Complete(c.words, dir.path())), sorted(c.replies)) << c.words;
  }
  // Every command of --help is offered.
  const std::string all = Complete("q-tarvox -", dir.path());
  for (const auto& summary : CommandSummaries(ParseUsage(UsageText()))) {
    EXPECT_NE(all.find(summary.name + " "), std::string::npos) << summary.name;
  }
}

}  // namespace
}  // namespace qtarvox::help
