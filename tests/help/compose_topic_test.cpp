// The help's table of contents and what its rows show.
#include "help/compose_topic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "help/help_contents.h"
#include "help/help_topics.h"

namespace qtarvox::help {
namespace {

// The text split at CR LF; a text that ends in CR LF ends in an empty piece.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (true) {
    const size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return lines;
    start = end + 2;
  }
}

int RowOf(int topic) { return FindTopicRow(topic, 0, static_cast<int>(kContents.size()) - 1); }

TEST(HelpContents, HeadingsShowTheirRowAndTheRowsOfTheirBranch) {
  const std::pair<int, int> headings[] = {{1, 4},  {5, 20},  {8, 17},  {22, 4},  {23, 3},
                                          {27, 6}, {33, 17}, {38, 12}, {40, 10}, {57, 2}};
  for (const auto& [topic, rows_below] : headings) {
    const int row = RowOf(topic);
    ASSERT_GE(row, 0) << topic;
    EXPECT_EQ(KindOf(topic), TopicKind::kHeading) << topic;
    EXPECT_EQ(BranchSize(row), rows_below) << topic;
    const std::vector<std::string> lines = SplitLines(ComposeTopic(row));
    // Every row is followed by a line break, the last one too.
    ASSERT_EQ(lines.size(), static_cast<size_t>(rows_below) + 2) << topic;
    EXPECT_EQ(lines.back(), "") << topic;
    for (int i = 0; i <= rows_below; ++i) {
      EXPECT_EQ(lines[static_cast<size_t>(i)], kContents[static_cast<size_t>(row + i)].text)
          << topic << " line " << i;
    }
  }
}

TEST(HelpContents, ContentsHelpFixedLinesAndEmptyRows) {
  // The contents: all 65 rows, each with its line break.
  const std::vector<std::string> lines = SplitLines(ComposeTopic(0));
  ASSERT_EQ(lines.size(), 66u);
  EXPECT_EQ(lines[0], "Table of Contents : ");

  // The help topic: its row and a line break, then three paragraphs.
  EXPECT_TRUE(ComposeTopic(2).starts_with("I) How to use help\r\n\r\n\r\nThe list on the left"));
  EXPECT_EQ(SplitLines(ComposeTopic(2)).size(), 8u);

  // The empty row, rows out of range and numbers without prose show nothing.
  EXPECT_EQ(kContents[1].topic, kNoTopic);
  EXPECT_EQ(ComposeTopic(1), "");
  EXPECT_EQ(ComposeTopic(-1), "");
  EXPECT_EQ(ComposeTopic(65), "");
  EXPECT_EQ(KindOf(kNoTopic), TopicKind::kEmpty);
  EXPECT_EQ(KindOf(64), TopicKind::kEmpty);

  // A line shown letter for letter, a whole line of its topic.
  const std::string text = "\r\n" + ComposeTopic(RowOf(71)) + "\r\n";
  EXPECT_NE(text.find("\r\n    b) Overwrite File\r\n"), std::string::npos) << text;
}

TEST(HelpContents, EveryRowHasATopicAndEveryTextIsReached) {
  ASSERT_EQ(kContents.size(), 65u);
  for (size_t row = 0; row < kContents.size(); ++row) {
    const ContentsRow& r = kContents[row];
    const int indent = IndentOf(r.text);
    EXPECT_TRUE(indent == 0 || indent == 3 || indent == 6 || indent == 9) << row;
    const TopicKind kind = KindOf(r.topic);
    if (r.topic == kNoTopic) continue;
    EXPECT_NE(kind, TopicKind::kEmpty) << "row " << row << " topic " << r.topic;
    if (kind != TopicKind::kText) continue;
    // A text topic: its trimmed row, a blank line, its prose; CR LF line breaks, none at the end.
    const std::string text = ComposeTopic(static_cast<int>(row));
    EXPECT_TRUE(
        text.starts_with(std::string(r.text).substr(static_cast<size_t>(indent)) + "\r\n\r\n"))
        << row;
    EXPECT_FALSE(text.ends_with("\n")) << row;
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
      ASSERT_TRUE(at > 0 && text[at - 1] == '\r') << "row " << row << " at " << at;
    }
  }
  // No prose is written for a topic that no row shows.
  for (int topic = -1; topic < 100; ++topic) {
    EXPECT_TRUE(!HasProse(topic) || RowOf(topic) >= 0) << topic;
  }
}

}  // namespace
}  // namespace qtarvox::help
