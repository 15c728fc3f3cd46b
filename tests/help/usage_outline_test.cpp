// Reading the --help text back as an outline, and the help's list of commands made from it.
#include "help/usage_outline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "help/usage_text.h"
#include "help/help_topics.h"

namespace qtarvox::help {
namespace {

constexpr const char* kSample =
    "Usage: prog [--help]\n"
    "            [-XY]...\n"
    "\n"
    "Does things\n"
    "well.\n"
    "\n"
    "Options:\n"
    "  -h, --help   show this\n"
    "  -+R  -+H     add marks\n"
    "  -FE dir*Y[\"dir*N...]\n"
    "               rename in these directories;\n"
    "               *Y includes subdirectories\n"
    "Commands come after these:\n"
    "  -AB*text     add text\n"
    "\n"
    "Examples:\n"
    "  prog -AB*x\n"
    "  prog -h\n"
    "\n"
    "Exit codes:\n"
    "  0  fine\n"
    "  130, 143  stopped\n";

TEST(UsageOutline, ReadsSynopsisSectionsEntriesAndExamples) {
  const UsageOutline outline = ParseUsage(kSample);
  EXPECT_EQ(outline.synopsis, "prog [--help] [-XY]...");
  ASSERT_EQ(outline.sections.size(), 4u);

  EXPECT_EQ(outline.sections[0].title, "");
  ASSERT_EQ(outline.sections[0].blocks.size(), 1u);
  EXPECT_EQ(outline.sections[0].blocks[0].text, "Does things well.");

  const UsageSection& options = outline.sections[1];
  EXPECT_EQ(options.title, "Options");
  ASSERT_EQ(options.blocks.size(), 3u);
  ASSERT_EQ(options.blocks[0].kind, UsageBlock::Kind::kEntries);
  const auto& entries = options.blocks[0].entries;
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].tag, "-h, --help");
  EXPECT_EQ(entries[0].description, "show this");
  EXPECT_EQ(entries[1].tag, "-+R  -+H");
  EXPECT_EQ(entries[1].description, "add marks");
  EXPECT_EQ(entries[2].tag, "-FE dir*Y[\"dir*N...]");
  EXPECT_EQ(entries[2].description, "rename in these directories; *Y includes subdirectories");
  // A paragraph right before a list: the list is a block of its own.
  EXPECT_EQ(options.blocks[1].text, "Commands come after these:");
  EXPECT_EQ(options.blocks[2].entries[0].tag, "-AB*text");

  ASSERT_EQ(outline.sections[2].blocks.size(), 1u);
  EXPECT_EQ(outline.sections[2].blocks[0].kind, UsageBlock::Kind::kLiteral);
  EXPECT_EQ(outline.sections[2].blocks[0].lines,
            (std::vector<std::string>{"prog -AB*x", "prog -h"}));

  EXPECT_EQ(outline.sections[3].title, "Exit codes");
  const auto& codes = outline.sections[3].blocks[0].entries;
  ASSERT_EQ(codes.size(), 2u);
  EXPECT_EQ(codes[1].tag, "130, 143");
  EXPECT_EQ(codes[1].description, "stopped");
}

TEST(UsageOutline, HelpTextNamesEveryCommand) {
  const std::vector<CommandSummary> summaries = CommandSummaries(ParseUsage(UsageText()));
  const char* commands[] = {"--help", "--version", "--preview", "-UC", "-LC", "-CO", "-DL",
                            "-DF",    "-RP",       "-AB",       "-AE", "-NE", "-NB", "-+R",
                            "-+H",    "-+A",       "-+N",       "-EN", "-CW", "-CR", "-FI",
                            "-FE",    "-EF",       "-SC",       "-NP", "-SU"};
  for (const char* command : commands) {
    const auto found = std::ranges::find(summaries, command, &CommandSummary::name);
    ASSERT_NE(found, summaries.end()) << command;
    EXPECT_FALSE(found->description.empty()) << command;
    EXPECT_LE(found->description.size(), 60u) << command;
  }
  EXPECT_TRUE(CommandNames("130, 143").empty());  // an exit code is no command

  EXPECT_NE(TopicProse(60)->find("\n-UC : make the name fully UPPERCASE"), std::string::npos);
}

}  // namespace
}  // namespace qtarvox::help
