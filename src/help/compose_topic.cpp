#include "help/compose_topic.h"

#include <algorithm>

#include "help/help_contents.h"
#include "help/help_topics.h"

namespace qtarvox::help {
namespace {

constexpr const char* kLineBreak = "\r\n";

// The prose with CR LF line breaks.
std::string WithLineBreaks(const std::string& prose) {
  std::string text;
  text.reserve(prose.size() + prose.size() / 16);
  for (const char c : prose) {
    if (c == '\n') {
      text += kLineBreak;
    } else {
      text.push_back(c);
    }
  }
  return text;
}

bool InRange(int row) { return row >= 0 && row < static_cast<int>(kContents.size()); }

}  // namespace

int BranchSize(int row) {
  if (!InRange(row)) return 0;
  const int indent = IndentOf(kContents[static_cast<size_t>(row)].text);
  int next = row + 1;
  while (InRange(next) && IndentOf(kContents[static_cast<size_t>(next)].text) > indent) ++next;
  return next - row - 1;
}

std::string ComposeTopic(int row) {
  if (!InRange(row)) return {};
  const ContentsRow& clicked = kContents[static_cast<size_t>(row)];
  std::string text;
  switch (KindOf(clicked.topic)) {
    case TopicKind::kHelp:
      text = std::string(clicked.text) + kLineBreak + kLineBreak + kLineBreak +
             WithLineBreaks(*TopicProse(clicked.topic));
      break;
    case TopicKind::kContents:
      for (const ContentsRow& each : kContents) text += std::string(each.text) + kLineBreak;
      break;
    case TopicKind::kHeading:
      for (int i = row; i <= row + BranchSize(row); ++i) {
        text += std::string(kContents[static_cast<size_t>(i)].text) + kLineBreak;
      }
      break;
    case TopicKind::kText: {
      const std::string_view heading = clicked.text;
      text = std::string(heading.substr(static_cast<size_t>(IndentOf(heading)))) + kLineBreak +
             kLineBreak + WithLineBreaks(*TopicProse(clicked.topic));
      break;
    }
    case TopicKind::kEmpty:
      break;
  }
  return text;
}

int FindTopicRow(int topic, int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, static_cast<int>(kContents.size()) - 1);
  for (int row = first; row <= last; ++row) {
    if (kContents[static_cast<size_t>(row)].topic == topic) return row;
  }
  return -1;
}

}  // namespace qtarvox::help
