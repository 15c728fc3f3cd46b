#include "cli/parse_command_line.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "engine/numeric.h"
#include "platform/chars.h"
#include "platform/file_ops.h"

namespace qtarvox {

namespace {

// What a command handler writes to.
struct CommandContext {
  Job& job;
  Prompter& prompter;
  ListCaptions& captions;
};

// Splits at every occurrence of `separator`. An empty text has no pieces at
// all, so a list command written without values adds nothing. The separators
// are ASCII and never occur inside a multi-byte character, so splitting the
// bytes splits the characters.
std::vector<std::string> SplitAt(std::string_view text, char separator) {
  std::vector<std::string> pieces;
  if (text.empty()) return pieces;
  size_t start = 0;
  while (true) {
    const size_t at = text.find(separator, start);
    if (at == std::string_view::npos) {
      pieces.emplace_back(text.substr(start));
      return pieces;
    }
    pieces.emplace_back(text.substr(start, at - start));
    start = at + 1;
  }
}

// The segment, trimmed, split at every single blank; word 0 is the command.
std::vector<std::string> Words(const std::string& segment) {
  return SplitAt(TrimBlanks(segment), ' ');
}

// The segment, trimmed, split at every asterisk; piece 0 is the command.
std::vector<std::string> Pieces(const std::string& segment) {
  return SplitAt(TrimBlanks(segment), '*');
}

// Value `index` of a word or piece list, or empty when it is missing.
std::string ValueOr(const std::vector<std::string>& values, size_t index) {
  return index < values.size() ? values[index] : std::string();
}

// The numeric value of word `index`; 0 when the word is missing.
double NumericWord(const std::vector<std::string>& words, size_t index) {
  return index < words.size() ? NumericValue(words[index]) : 0;
}

// Everything after the first `count` characters.
std::string DropFirstChars(std::string_view text, size_t count) {
  const CharText chars = Decode(text);
  return count < chars.size() ? Encode(std::u32string_view(chars).substr(count)) : std::string();
}

// The first two characters of the trimmed segment, upper-cased.
std::string CommandName(const std::string& segment) {
  CharText chars = Decode(TrimBlanks(segment));
  if (chars.size() > 2) chars.resize(2);
  ToUpperInPlace(chars);
  return Encode(chars);
}

void ApplyDeleteLast(CommandContext& context, const std::string& segment) {
  Job& job = context.job;
  job.DeleteLastCount = NumericWord(Words(segment), 1);
}

void ApplyDeleteFirst(CommandContext& context, const std::string& segment) {
  Job& job = context.job;
  // A count far beyond the 32-bit range is clamped; the Step 1 check judges it.
  job.DeleteFirstCount = RoundHalfEvenClamped(NumericWord(Words(segment), 1));
}

void ApplyReplace(CommandContext& context, const std::string& segment) {
  Job& job = context.job;
  job.ReplaceSearch.clear();
  job.ReplaceWith.clear();
  job.CaseSensitiveReplace = false;
  const auto pieces = Pieces(segment);
  if (pieces.size() < 2) return;
  job.ReplaceSearch = pieces[1];
  if (pieces.size() < 3) return;
  job.ReplaceWith = pieces[2];
  if (pieces.size() < 4) return;
  job.CaseSensitiveReplace = Trim(ToUpperBytes(pieces[3])) == "Y";
}

void ApplyAddBeginning(CommandContext& context, const std::string& segment) {
  Job& job = context.job;
  job.AddBeginningText = ValueOr(Pieces(segment), 1);
}

void ApplyAddEnd(CommandContext& context, const std::string& segment) {
  Job& job = context.job;
  job.AddEndText = ValueOr(Pieces(segment), 1);
}

// Shared by NE and NB, which differ only in their fields and in whether the
// style word is upper-cased before it is compared with "E".
void ApplyNumbering(const std::vector<std::string>& words, bool upper_case_style,
                    NumberStyle& style, bool& start_given, std::string& start) {
  style = NumberStyle::kNormal;
  if (words.size() > 1) {
    const std::string style_word = upper_case_style ? ToUpperBytes(words[1]) : words[1];
    if (Trim(style_word) == "E") style = NumberStyle::kEven;
  }
  if (words.size() > 2 && Trim(ToUpperBytes(words[2])) == "BN") {
    start_given = true;
    start = "0";
  }
  if (words.size() > 3) start = Trim(words[3]);
}

void ApplyNumberEnd(CommandContext& context, const std::string& segment) {
  Job& job = context.job;
  ApplyNumbering(Words(segment), true, job.NumberEndStyle, job.NumberEndStartGiven,
                 job.NumberEndStart);
}

void ApplyNumberBeginning(CommandContext& context, const std::string& segment) {
  Job& job = context.job;
  ApplyNumbering(Words(segment), false, job.NumberBeginningStyle, job.NumberBeginningStartGiven,
                 job.NumberBeginningStart);
}

void ApplyNewExtension(CommandContext& context, const std::string& segment) {
  Job& job = context.job;
  job.NewExtension = ValueOr(Pieces(segment), 1);
}

void ApplyCapitalize(CommandContext& context, const std::string& segment) {
  Job& job = context.job;
  const auto words = Words(segment);
  if (words.size() < 2) {
    job.CapitalizeSpaces = true;
    job.CapitalizeUnderscores = false;
    return;
  }
  const std::string value = Trim(ToUpperBytes(words[1]));
  if (value == "S" || value == "SU" || value == "US") job.CapitalizeSpaces = true;
  if (value == "U" || value == "SU" || value == "US") job.CapitalizeUnderscores = true;
}

void ApplyCompleteRename(CommandContext& context, const std::string& segment) {
  Job& job = context.job;
  const auto pieces = Pieces(segment);
  if (pieces.size() > 1) job.NewFilename = pieces[1];
}

// FI: files separated by asterisks, each a full path. A path is entered the
// way the Step 2 Add button enters it, "name * directory"; a piece without a
// directory part (no slash, or only a leading one) is entered as it is.
void ApplyFiles(CommandContext& context, const std::string& segment) {
  Job& job = context.job;
  // Not trimmed as a whole: a blank at the end may belong to the last name.
  const std::string value = DropFirstChars(segment, 2);
  if (TrimBlanks(value).empty()) return;
  const auto pieces = SplitAt(value, '*');
  for (const auto& raw : pieces) {
    // The blanks around a piece usually only separate it from an asterisk,
    // but a name may begin or end with one.
    const std::string piece = PathAsTyped(raw);
    // An empty piece (two asterisks in a row, or one at the end) names no file.
    if (piece.empty()) continue;
    const size_t slash = piece.rfind('/');
    if (slash != std::string::npos && slash > 0) {
      job.lstFile.push_back(piece.substr(slash + 1) + kFileEntrySeparator + piece.substr(0, slash));
    } else {
      job.lstFile.push_back(piece);
    }
    job.FilesGivenIndividually = true;
  }
  context.captions.files = true;
}

// FE: directories, each followed by its two-character subdirectory mark and
// separated by double quotes; then, after a question mark, the extensions,
// also separated by double quotes.
void ApplyDirectoriesAndExtensions(CommandContext& context, const std::string& segment) {
  Job& job = context.job;
  Prompter& prompter = context.prompter;
  if (segment.find('|') != std::string::npos) prompter.Tell(kPipeSeparatorNote, kAppTitle);
  const auto parts = SplitAt(TrimBlanks(DropFirstChars(segment, 2)), '?');

  for (const auto& raw : SplitAt(parts.empty() ? std::string() : parts[0], '"')) {
    const CharText piece = Decode(TrimBlanks(raw));
    if (piece.size() <= 2) continue;
    const std::u32string_view chars(piece);
    // The last two characters are always the mark, whatever they are, so a
    // directory written without one loses its last two characters.
    const std::string directory = Encode(chars.substr(0, chars.size() - 2));
    const bool subdirectories = ToUpperBytes(Encode(chars.substr(chars.size() - 2))) == "*Y";
    // The item is trimmed as a whole: blanks before the mark stay in it, and
    // the walk tells whether they belong to the folder's name. Without the
    // mark, that is told here.
    AddDirectory(job, subdirectories ? Trim(directory + kIncludeSubdirsMark)
                                     : PathAsTyped(directory));
    job.FilesGivenByExtension = true;
  }
  context.captions.directories = true;

  if (parts.size() < 2) return;
  for (const auto& raw : SplitAt(parts[1], '"')) {
    std::string extension = Trim(raw);
    if (!extension.starts_with("*.")) extension.insert(0, "*.");
    // The extension goes through the text box, which then shows the last one.
    job.txtExtList = extension;
    job.lstExt.push_back(job.txtExtList);
  }
  context.captions.extensions = true;
}

void ApplySuppress(CommandContext& context, const std::string&) {
  context.job.SuppressedMode = true;
}

void ApplyCollision(CommandContext& context, const std::string& segment) {
  Job& job = context.job;
  const double value = NumericWord(Words(segment), 1);
  if (value == 2) {
    job.collision = CollisionOption::kOverwrite;
  } else if (value == 3) {
    job.collision = CollisionOption::kAppendNumber;
  } else {
    job.collision = CollisionOption::kDoNotRename;
  }
}

void ApplySeparator(CommandContext& context, const std::string& segment) {
  Job& job = context.job;
  job.txtSep = ValueOr(Pieces(segment), 1);
}

void ApplyNoProcessFile(CommandContext& context, const std::string&) {
  Job& job = context.job;
  job.GenerateProcessFile = false;
  job.chkProcess = false;
}

using CommandHandler = void (*)(CommandContext&, const std::string& segment);

// How a command takes its values.
enum class Form { kNone, kWord, kAsterisk, kFiles, kDirectories };

struct Command {
  const char* name;
  int position;          // list position it ticks, 0 for none
  CommandHandler apply;  // nullptr when ticking is all it does
  Form form;
  int values;  // how many words or pieces after the command it reads
};

// Positions follow the on-screen list, not the action identifiers.
constexpr std::array<Command, 23> kCommands{{
    {"UC", 1, nullptr, Form::kNone, 0},
    {"LC", 2, nullptr, Form::kNone, 0},
    {"CO", 3, nullptr, Form::kNone, 0},
    {"DL", 4, ApplyDeleteLast, Form::kWord, 1},
    {"DF", 5, ApplyDeleteFirst, Form::kWord, 1},
    {"RP", 6, ApplyReplace, Form::kAsterisk, 3},
    {"AB", 7, ApplyAddBeginning, Form::kAsterisk, 1},
    {"AE", 8, ApplyAddEnd, Form::kAsterisk, 1},
    {"NE", 9, ApplyNumberEnd, Form::kWord, 3},
    {"NB", 10, ApplyNumberBeginning, Form::kWord, 3},
    {"+R", 11, nullptr, Form::kNone, 0},
    {"+H", 12, nullptr, Form::kNone, 0},
    {"+A", 13, nullptr, Form::kNone, 0},
    {"+N", 14, nullptr, Form::kNone, 0},
    {"EN", 15, ApplyNewExtension, Form::kAsterisk, 1},
    {"CW", 16, ApplyCapitalize, Form::kWord, 1},
    {"CR", 17, ApplyCompleteRename, Form::kAsterisk, 1},
    {"FI", 0, ApplyFiles, Form::kFiles, 0},
    {"FE", 0, ApplyDirectoriesAndExtensions, Form::kDirectories, 0},
    {"SU", 0, ApplySuppress, Form::kNone, 0},
    {"EF", 0, ApplyCollision, Form::kWord, 1},
    {"SC", 0, ApplySeparator, Form::kAsterisk, 1},
    {"NP", 0, ApplyNoProcessFile, Form::kNone, 0},
}};

constexpr std::array<const char*, 8> kLongOptions{{kOptionHelp, kOptionVersion, kOptionPreview,
                                                    kOptionUndo, kOptionList, kOptionNull,
                                                    kOptionQuiet, kOptionVerbose}};

// Pieces joined again with their separator.
std::string JoinFrom(const std::vector<std::string>& pieces, size_t first, char separator) {
  std::string text;
  for (size_t i = first; i < pieces.size(); ++i) {
    if (i > first) text += separator;
    text += pieces[i];
  }
  return text;
}

bool AllEmpty(const std::vector<std::string>& pieces, size_t first) {
  for (size_t i = first; i < pieces.size(); ++i) {
    if (!pieces[i].empty()) return false;
  }
  return true;
}

// Edit distance of two short texts, ignoring ASCII case; a swap of two
// neighbours counts as one edit.
size_t Distance(std::string_view a, std::string_view b) {
  const std::string x = ToUpperBytes(a), y = ToUpperBytes(b);
  std::vector<std::vector<size_t>> d(x.size() + 1, std::vector<size_t>(y.size() + 1));
  for (size_t i = 0; i <= x.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= y.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= x.size(); ++i) {
    for (size_t j = 1; j <= y.size(); ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                          d[i - 1][j - 1] + (x[i - 1] == y[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && x[i - 1] == y[j - 2] && x[i - 2] == y[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[x.size()][y.size()];
}

// The first of `candidates` nearest to `typed`, when it is near enough to be
// what was meant; else empty.
std::string Nearest(std::string_view typed, const std::vector<std::string>& candidates) {
  const size_t allowed = typed.size() <= 4 ? 1 : 2;
  std::string best;
  size_t best_distance = allowed + 1;
  for (const auto& candidate : candidates) {
    const size_t distance = Distance(typed, candidate);
    if (distance < best_distance) {
      best = candidate;
      best_distance = distance;
    }
  }
  return best;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// What a known command leaves unread of its segment, said in `notes`.
void NoteUnread(const Command& command, const std::string& segment,
                std::vector<std::string>& notes) {
  const std::string shown = std::string("-") + command.name;
  switch (command.form) {
    case Form::kNone: {
      const std::string rest = Trim(DropFirstChars(TrimBlanks(segment), 2));
      if (!rest.empty()) notes.push_back(shown + kNoteIgnores + Quoted(rest));
      break;
    }
    case Form::kWord: {
      const auto words = Words(segment);
      const std::string glued = DropFirstChars(words[0], 2);
      if (!glued.empty()) {
        notes.push_back(shown + kNoteIgnores + Quoted(glued) + kHintBlank + shown + " " + glued);
      }
      const size_t first = static_cast<size_t>(command.values) + 1;
      if (!AllEmpty(words, first)) {
        notes.push_back(shown + kNoteIgnores + Quoted(Trim(JoinFrom(words, first, ' '))));
      }
      break;
    }
    case Form::kAsterisk: {
      const auto pieces = Pieces(segment);
      const std::string glued = Trim(DropFirstChars(pieces[0], 2));
      if (!glued.empty()) {
        notes.push_back(shown + kNoteIgnores + Quoted(glued) + kHintAsterisk + shown + "*" + glued);
      }
      const size_t first = static_cast<size_t>(command.values) + 1;
      if (!AllEmpty(pieces, first)) {
        notes.push_back(shown + kNoteIgnores + Quoted("*" + JoinFrom(pieces, first, '*')));
      }
      // Blanks that ended the segment were trimmed off its last value, which
      // matters where that value is read as it stands (RP compares its
      // third one trimmed anyway).
      const size_t last = pieces.size() - 1;
      const bool as_it_stands = last >= 1 && last < first && !(command.values == 3 && last == 3);
      if (as_it_stands && segment.back() == ' ') {
        const std::string typed = segment.substr(segment.rfind('*') + 1);
        const std::string blanks = typed.substr(pieces[last].size());
        notes.push_back(shown + kNoteTrailingBlank + Quoted(typed) + kHintEndAsterisk + "'" +
                        shown + "*" + JoinFrom(pieces, 1, '*') + blanks + "*'");
      }
      break;
    }
    case Form::kDirectories: {
      const auto parts = SplitAt(TrimBlanks(DropFirstChars(segment, 2)), '?');
      if (parts.size() > 2) notes.push_back(shown + kNoteIgnores + Quoted("?" + JoinFrom(parts, 2, '?')));
      break;
    }
    case Form::kFiles:
      break;
  }
}

// The command as it was typed: its first word, with the dash it had.
std::string TypedCommand(const std::string& segment, bool dashed) {
  const std::string_view trimmed = TrimBlanks(segment);
  const std::string_view word = trimmed.substr(0, trimmed.find_first_of(" *"));
  return (dashed ? "-" : "") + std::string(word);
}

std::vector<std::string> Suggestions() {
  std::vector<std::string> names;
  for (const auto& command : kCommands) names.push_back(std::string("-") + command.name);
  for (const char* option : kLongOptions) names.emplace_back(option);
  return names;
}

}  // namespace

CliOptions SplitProgramOptions(const std::vector<std::string>& args) {
  CliOptions options;
  for (const auto& arg : args) {
    if (arg == kOptionHelp || arg == kOptionHelpShort) {
      options.help = true;
    } else if (arg == kOptionVersion) {
      options.version = true;
    } else if (arg == kOptionPreview) {
      options.preview = true;
    } else if (arg == kOptionUndo) {
      options.undo = true;
    } else if (arg == kOptionList) {
      options.list = true;
    } else if (arg == kOptionNull) {
      options.null_separated = true;
    } else if (arg == kOptionQuiet || arg == kOptionQuietShort) {
      options.quiet = true;
    } else if (arg == kOptionVerbose || arg == kOptionVerboseShort) {
      options.verbose = true;
    } else if (arg.starts_with("--")) {
      options.unknown.push_back(arg);
    } else {
      options.rest.push_back(arg);
    }
  }
  return options;
}

std::string NearestLongOption(const std::string& typed) {
  return Nearest(typed, std::vector<std::string>(kLongOptions.begin(), kLongOptions.end()));
}

std::vector<std::string> BuildSegments(const std::vector<std::string>& args) {
  std::vector<std::string> segments;
  bool open = false;  // whether a segment is being continued
  for (const auto& arg : args) {
    if (arg.starts_with('-')) {
      segments.push_back(arg.substr(1));
    } else if (open) {
      std::string& segment = segments.back();
      // Each further argument of FI is a file of its own (a shell's glob).
      const bool next_file = CommandName(segment) == "FI" && CharCount(TrimBlanks(segment)) > 2;
      segment.append(next_file ? "*" : " ").append(arg);
    } else {
      segments.push_back(arg);
    }
    open = true;
  }
  std::erase_if(segments, [](const std::string& s) { return s.empty(); });
  return segments;
}

ListCaptions ParseCommandLine(Job& job, const std::vector<std::string>& segments,
                              Prompter& prompter, ParseNotes* notes) {
  ListCaptions captions;
  CommandContext context{job, prompter, captions};
  job.FilesGivenIndividually = false;
  job.FilesGivenByExtension = false;
  job.SuppressedMode = false;
  for (size_t i = 0; i < segments.size(); ++i) {
    const std::string& segment = segments[i];
    if (segment.empty()) continue;
    const std::string name = CommandName(segment);
    const auto command = std::find_if(kCommands.begin(), kCommands.end(),
                                      [&](const Command& c) { return name == c.name; });
    if (command == kCommands.end()) {
      if (notes != nullptr) {
        const std::string typed = TypedCommand(segment, i > 0 || notes->first_segment_dashed);
        std::string note = kNoteUnknownStart + typed + kNoteUnknownEnd;
        const std::string nearest = Nearest(typed, Suggestions());
        if (!nearest.empty()) note += kNoteDidYouMean + nearest + "?";
        notes->lines.push_back(note);
      }
      continue;
    }
    if (notes != nullptr) NoteUnread(*command, segment, notes->lines);
    if (command->position > 0) TickPosition(job, command->position);
    if (command->apply != nullptr) command->apply(context, segment);
  }
  return captions;
}

}  // namespace qtarvox
