#include "help/usage_outline.h"

#include <algorithm>
#include <cctype>

namespace qtarvox::help {
namespace {

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

size_t IndentOf(std::string_view line) {
  const size_t first = line.find_first_not_of(' ');
  return first == std::string_view::npos ? line.size() : first;
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

void AppendJoined(std::string& to, std::string_view more) {
  if (more.empty()) return;
  if (!to.empty()) to.push_back(' ');
  to.append(more);
}

bool IsSectionTitle(std::string_view line) {
  if (line.empty() || line[0] == ' ' || line.back() != ':') return false;
  return std::ranges::count(line, ' ') <= 2;
}

// Where the last run of two or more blanks of a trimmed line begins, or npos.
size_t LastWideGap(std::string_view text) {
  for (size_t at = text.size(); at-- > 1;) {
    if (text[at] == ' ' && text[at - 1] == ' ') {
      while (at > 0 && text[at - 1] == ' ') --at;
      return at;
    }
  }
  return std::string_view::npos;
}

bool IsEntry(std::string_view trimmed) {
  return trimmed.starts_with('-') || std::isdigit(static_cast<unsigned char>(trimmed[0])) != 0 ||
         LastWideGap(trimmed) != std::string_view::npos;
}

// Builds the outline line by line; `Close` ends the block being built.
class OutlineBuilder {
 public:
  explicit OutlineBuilder(UsageOutline& outline) : outline_(outline) {
    outline_.sections.emplace_back();
  }

  void Blank() { Close(); }

  void Title(std::string_view line) {
    Close();
    line.remove_suffix(1);
    outline_.sections.push_back({std::string(line), {}});
  }

  void Margin(std::string_view line) {
    if (open_ != UsageBlock::Kind::kParagraph) Open(UsageBlock::Kind::kParagraph);
    AppendJoined(Block().text, Trim(line));
  }

  void Indented(std::string_view line) {
    const size_t indent = IndentOf(line);
    const std::string_view trimmed = Trim(line);
    if (open_ == UsageBlock::Kind::kEntries && indent > entry_indent_ &&
        !trimmed.starts_with('-')) {
      AppendJoined(Block().entries.back().description, trimmed);
      return;
    }
    if (IsEntry(trimmed)) {
      if (open_ != UsageBlock::Kind::kEntries) Open(UsageBlock::Kind::kEntries);
      entry_indent_ = indent;
      const size_t gap = LastWideGap(trimmed);
      UsageEntry entry{std::string(Trim(trimmed.substr(0, gap))), {}};
      if (gap != std::string_view::npos) entry.description = Trim(trimmed.substr(gap));
      Block().entries.push_back(std::move(entry));
      return;
    }
    if (open_ != UsageBlock::Kind::kLiteral) Open(UsageBlock::Kind::kLiteral);
    Block().lines.emplace_back(trimmed);
  }

 private:
  static constexpr auto kNone = static_cast<UsageBlock::Kind>(-1);

  UsageBlock& Block() { return outline_.sections.back().blocks.back(); }
  void Open(UsageBlock::Kind kind) {
    outline_.sections.back().blocks.push_back({kind, {}, {}, {}});
    open_ = kind;
  }
  void Close() { open_ = kNone; }

  UsageOutline& outline_;
  UsageBlock::Kind open_ = kNone;
  size_t entry_indent_ = 0;
};

// The description up to its first semicolon, cut at a word to `width`.
std::string OneLine(std::string_view description, size_t width) {
  std::string_view line = description.substr(0, description.find(';'));
  if (line.size() <= width) return std::string(line);
  const size_t cut = line.rfind(' ', width - 3);
  return std::string(line.substr(0, cut == std::string_view::npos ? width - 3 : cut)) + "...";
}

}  // namespace

UsageOutline ParseUsage(std::string_view usage) {
  UsageOutline outline;
  const std::vector<std::string_view> lines = Lines(usage);
  size_t i = 0;
  constexpr std::string_view kUsage = "Usage: ";
  if (!lines.empty() && lines[0].starts_with(kUsage)) {
    outline.synopsis = Trim(lines[0].substr(kUsage.size()));
    for (i = 1; i < lines.size() && IndentOf(lines[i]) > 0 && !Trim(lines[i]).empty(); ++i) {
      AppendJoined(outline.synopsis, Trim(lines[i]));
    }
  }
  OutlineBuilder builder(outline);
  for (; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (Trim(line).empty()) {
      builder.Blank();
    } else if (IsSectionTitle(line)) {
      builder.Title(line);
    } else if (line[0] != ' ') {
      builder.Margin(line);
    } else {
      builder.Indented(line);
    }
  }
  // A first section without text of its own is left out.
  if (outline.sections.front().blocks.empty()) outline.sections.erase(outline.sections.begin());
  return outline;
}

std::vector<std::string> CommandNames(std::string_view tag) {
  std::vector<std::string> names;
  // Alternatives are separated by a comma or by a run of blanks. Each is a
  // name (dashes, then letters, digits, "+" and inner dashes), perhaps
  // followed by its value forms: right after it ("-AB*text") or after one
  // blank ("-DL n"), which ends the alternatives.
  const auto in_name = [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-';
  };
  size_t at = 0;
  while (at < tag.size()) {
    at = tag.find_first_not_of(", ", at);
    if (at == std::string_view::npos || tag[at] != '-') break;
    size_t end = tag.find_first_not_of('-', at);
    while (end < tag.size() && in_name(tag[end])) ++end;
    names.emplace_back(tag.substr(at, end - at));
    if (end >= tag.size()) break;
    const bool next_alternative =
        tag[end] == ',' || (tag[end] == ' ' && end + 1 < tag.size() && tag[end + 1] == ' ');
    if (!next_alternative) break;
    at = end;
  }
  return names;
}

std::vector<CommandSummary> CommandSummaries(const UsageOutline& outline, size_t width) {
  std::vector<CommandSummary> summaries;
  for (const auto& section : outline.sections) {
    for (const auto& block : section.blocks) {
      for (const auto& entry : block.entries) {
        for (auto& name : CommandNames(entry.tag)) {
          summaries.push_back({std::move(name), OneLine(entry.description, width)});
        }
      }
    }
  }
  return summaries;
}

std::string UsageAsHelpText(const UsageOutline& outline) {
  std::string text = "Usage: " + (outline.synopsis.empty() ? "q-tarvox" : outline.synopsis);
  for (const auto& section : outline.sections) {
    // A block right after its section's title goes on with it.
    const char* next = "\n\n";
    if (!section.title.empty()) {
      text += "\n\n" + section.title + ":";
      next = "\n";
    }
    for (const auto& block : section.blocks) {
      switch (block.kind) {
        case UsageBlock::Kind::kParagraph:
          text += "\n\n" + block.text;
          break;
        case UsageBlock::Kind::kEntries:
          for (const auto& entry : block.entries) {
            std::string tag = entry.tag;
            const auto names = CommandNames(tag);
            // Alternatives side by side read better with commas.
            if (names.size() > 1 && tag.find(' ') != std::string::npos &&
                tag.find(',') == std::string::npos) {
              tag.clear();
              for (const auto& name : names) tag += (tag.empty() ? "" : ", ") + name;
            }
            text += next + tag + (entry.description.empty() ? "" : " : " + entry.description);
            next = "\n";
          }
          break;
        case UsageBlock::Kind::kLiteral:
          for (const auto& line : block.lines) {
            text += next + line;
            next = "\n";
          }
          break;
      }
      next = "\n\n";
    }
  }
  return text;
}

}  // namespace qtarvox::help
