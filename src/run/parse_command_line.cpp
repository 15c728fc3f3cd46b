#include "run/parse_command_line.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "engine/numeric.h"
#include "platform/chars.h"
#include "platform/descriptors.h"
#include "platform/file_ops.h"
#include "platform/paths.h"

namespace qtarvox {

namespace {

// Turns the paths of FI into lstFile entries, "name * directory", with the
// directory always absolute: then the first " * /" of an entry ends its name,
// whatever the name holds. The current directory is asked for once.
class FileEntries {
 public:
  explicit FileEntries(Job& job) : job_(job) {}

  // One path, byte for byte. An empty path names no file.
  void Add(std::string_view path) {
    if (path.empty()) return;
    std::string full;
    if (!path.starts_with('/')) {
      // "./-name", the way to give a name that begins with a dash, is shown
      // without its "./".
      while (path.starts_with("./") && path.size() > 2) path.remove_prefix(2);
      if (!cwd_asked_) {
        cwd_ = CurrentDirectory();
        cwd_asked_ = true;
      }
      if (!cwd_.empty()) full = WithTrailingSlash(cwd_);
    }
    full.append(path);
    if (const PathSplit split = SplitAtLastSlash(full); !split.folder.empty()) {
      job_.lstFile.push_back(std::string(split.name) + kFileEntrySeparator +
                             std::string(split.folder));
    } else {
      // A file of the root folder, or of a current directory that is gone.
      job_.lstFile.push_back(std::move(full));
    }
    job_.FilesGivenIndividually = true;
  }

  // Paths separated by asterisks. The blanks around a piece usually only
  // separate it from an asterisk, but a name may begin or end with one.
  void AddList(std::string_view text) {
    size_t start = 0;
    while (start <= text.size()) {
      const size_t at = std::min(text.find('*', start), text.size());
      // An empty piece (two asterisks in a row, or one at the end) names no file.
      Add(PathAsTyped(text.substr(start, at - start)));
      start = at + 1;
    }
  }

  // One argument of FI: the entry it names exactly as written, else a list.
  void AddArgument(std::string_view arg) {
    const bool plain = arg.find('*') == std::string_view::npos && TrimBlanks(arg) == arg;
    // A plain argument reads the same either way, and needs no look at the disk.
    if (!plain && EntryExists(std::string(arg))) {
      Add(arg);
    } else {
      AddList(arg);
    }
  }

 private:
  Job& job_;
  bool cwd_asked_ = false;
  std::string cwd_;
};

// What a command handler writes to.
struct CommandContext {
  Job& job;
  Prompter& prompter;
  ListCaptions& captions;
  FileEntries& files;
  const std::vector<std::string>* file_args = nullptr;  // FI: the arguments after it
  std::vector<std::string>* notes = nullptr;
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

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

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
    if (Trim(style_word) == kNumberStyleEven) style = NumberStyle::kEven;
  }
  if (words.size() > 2 && Trim(ToUpperBytes(words[2])) == kNumberStartWord) {
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
  // Any other word sets neither, and the Step 1 check drops the action.
  const std::string value = Trim(ToUpperBytes(words[1]));
  if (std::ranges::find(kCapitalizeWords, value) == kCapitalizeWords.end()) return;
  if (value.find('S') != std::string::npos) job.CapitalizeSpaces = true;
  if (value.find('U') != std::string::npos) job.CapitalizeUnderscores = true;
}

void ApplyCompleteRename(CommandContext& context, const std::string& segment) {
  Job& job = context.job;
  const auto pieces = Pieces(segment);
  if (pieces.size() > 1) job.NewFilename = pieces[1];
}

// FI: what is glued to the command is a list of paths; each later argument
// is one file, or a list when no entry has its exact name.
void ApplyFiles(CommandContext& context, const std::string& segment) {
  // Not trimmed as a whole: a blank at the end may belong to the last name.
  const std::string glued = DropFirstChars(segment, 2);
  bool any = !TrimBlanks(glued).empty();
  if (any) context.files.AddList(glued);
  for (const auto& arg : *context.file_args) {
    if (TrimBlanks(arg).empty()) continue;
    context.files.AddArgument(arg);
    any = true;
  }
  if (any) context.captions.files = true;
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
    const std::string_view piece = TrimBlanks(raw);
    if (piece.empty()) continue;
    // The mark is ASCII, so the last two bytes are the last two characters
    // whenever they are a mark. An entry without one is no directory: taking
    // its last two characters as the mark would walk another folder.
    const std::string mark =
        ToUpperBytes(piece.substr(piece.size() - std::min<size_t>(2, piece.size())));
    if (mark != "*Y" && mark != "*N") {
      if (context.notes != nullptr) {
        context.notes->push_back(kNoteNoMarkStart + Quoted(piece) + kNoteNoMarkEnd);
      }
      continue;
    }
    if (piece.size() <= 2) continue;
    const std::string directory(piece.substr(0, piece.size() - 2));
    // The item is trimmed as a whole: blanks before the mark stay in it, and
    // the walk tells whether they belong to the folder's name. Without
    // subdirectories, that is told here.
    AddDirectory(job,
                 mark == "*Y" ? Trim(directory + kIncludeSubdirsMark) : PathAsTyped(directory));
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
  // The options in the order of their numbers; any other value is the first.
  constexpr std::array<CollisionOption, kCollisionWords.size()> kOptions{
      {CollisionOption::kDoNotRename, CollisionOption::kOverwrite, CollisionOption::kAppendNumber}};
  const double value = NumericWord(Words(segment), 1);
  job.collision = kOptions[0];
  for (size_t i = 0; i < kOptions.size(); ++i) {
    if (value == NumericValue(kCollisionWords[i])) job.collision = kOptions[i];
  }
}

void ApplySeparator(CommandContext& context, const std::string& segment) {
  Job& job = context.job;
  job.txtSep = ValueOr(Pieces(segment), 1);
}

void ApplyNoProcessFile(CommandContext& context, const std::string&) {
  Job& job = context.job;
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

// NE and NB read their first value only as E or N and their second only as
// BN; a start number anywhere else is not read, which is easily missed.
void NoteNumbering(const std::string& shown, const std::vector<std::string>& words,
                   std::vector<std::string>& notes) {
  std::vector<std::string> unread;
  const std::string style = words.size() > 1 ? Trim(ToUpperBytes(words[1])) : std::string();
  if (!style.empty() && style != kNumberStyleEven && style != kNumberStyleNormal) {
    unread.push_back(words[1]);
  }
  if (words.size() > 2 && !Trim(words[2]).empty() &&
      Trim(ToUpperBytes(words[2])) != kNumberStartWord) {
    unread.push_back(words[2]);
  }
  if (unread.empty()) return;
  // The form that was most likely meant, with the start number given.
  std::string start = "n";
  for (size_t i = 1; i < words.size() && i <= 3; ++i) {
    const std::string word = Trim(words[i]);
    if (!word.empty() && word[0] >= '0' && word[0] <= '9') start = word;
  }
  notes.push_back(shown + kNoteIgnores + Quoted(Trim(JoinFrom(unread, 0, ' '))) + kHintNumbering +
                  shown + " " +
                  (style == kNumberStyleEven ? kNumberStyleEven : kNumberStyleNormal) + " " +
                  kNumberStartWord + " " + start);
}

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
      if (command.values == 3) NoteNumbering(shown, words, notes);
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

// Sets the switch `arg` names (an option that takes no value); false when
// `arg` is no such option.
bool TakeSwitch(const std::string& arg, CliOptions& options) {
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
  } else {
    return false;
  }
  return true;
}

}  // namespace

CliOptions SplitProgramOptions(const std::vector<std::string>& args) {
  CliOptions options;
  // Whether the arguments now are the files of an FI command, where a shell's
  // glob may have put a file whose name begins with a dash.
  bool in_files = false;
  bool command_seen = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == kEndOfCommands) {
      options.files.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
      break;
    }
    if (in_files && arg.starts_with('-') && EntryExists(arg)) {
      options.errors.push_back(kErrorDashedFileStart + Quoted(arg) + kErrorDashedFileMiddle + arg +
                               kErrorDashedFileEnd);
      continue;
    }
    if (TakeSwitch(arg, options)) continue;
    if (arg == kOptionFiles0From) {
      if (i + 1 < args.size()) {
        options.files0_from.push_back(args[++i]);
      } else {
        options.errors.emplace_back(kErrorFiles0Operand);
      }
    } else if (arg.starts_with(kOptionFiles0From) && arg[std::strlen(kOptionFiles0From)] == '=') {
      options.files0_from.push_back(arg.substr(std::strlen(kOptionFiles0From) + 1));
    } else if (arg.starts_with("--")) {
      options.unknown.push_back(arg);
    } else if (arg.starts_with('-') &&
               std::any_of(kLongOptions.begin(), kLongOptions.end(), [&](const char* option) {
                 return ToUpperBytes(arg) == ToUpperBytes(option + 1);
               })) {
      // A long option with one dash would be an unknown command, and the rest
      // of the job would run without what it asks.
      options.unknown.push_back(arg);
    } else {
      if (arg.starts_with('-') || !command_seen) {
        in_files = CommandName(arg.starts_with('-') ? arg.substr(1) : arg) == "FI";
      }
      command_seen = true;
      options.rest.push_back(arg);
    }
  }
  return options;
}

std::string NearestLongOption(const std::string& typed) {
  return Nearest(typed, std::vector<std::string>(kLongOptions.begin(), kLongOptions.end()));
}

std::vector<CommandWords> FixedValueWords() {
  const std::vector<std::string> capitalize(kCapitalizeWords.begin(), kCapitalizeWords.end());
  const std::vector<std::string> collision(kCollisionWords.begin(), kCollisionWords.end());
  std::vector<CommandWords> words{{"-CW", 1, capitalize}, {"-EF", 1, collision}};
  for (const char* numbering : {"-NE", "-NB"}) {
    words.push_back({numbering, 1, {kNumberStyleEven, kNumberStyleNormal}});
    words.push_back({numbering, 2, {kNumberStartWord}});
  }
  return words;
}

std::vector<Segment> BuildSegments(const std::vector<std::string>& args) {
  std::vector<Segment> segments;
  bool files = false;  // whether the current segment is an FI command
  for (const auto& arg : args) {
    if (arg.starts_with('-') || segments.empty()) {
      Segment& segment = segments.emplace_back();
      segment.text = arg.starts_with('-') ? arg.substr(1) : arg;
      files = CommandName(segment.text) == "FI";
    } else if (files) {
      segments.back().files.push_back(arg);
    } else {
      segments.back().text.append(" ").append(arg);
    }
  }
  std::erase_if(segments, [](const Segment& s) { return s.text.empty(); });
  return segments;
}

ListCaptions ParseCommandLine(Job& job, const std::vector<Segment>& segments, Prompter& prompter,
                              ParseNotes* notes) {
  ListCaptions captions;
  FileEntries files(job);
  CommandContext context{job, prompter, captions, files};
  if (notes != nullptr) context.notes = &notes->lines;
  job.FilesGivenIndividually = false;
  job.FilesGivenByExtension = false;
  job.SuppressedMode = false;
  for (size_t i = 0; i < segments.size(); ++i) {
    const std::string& segment = segments[i].text;
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
    context.file_args = &segments[i].files;
    if (command->apply != nullptr) command->apply(context, segment);
  }
  return captions;
}

bool AddFilesGivenApart(Job& job, const CliOptions& options, ListCaptions& captions,
                        std::string& failure) {
  FileEntries files(job);
  const size_t before = job.lstFile.size();
  for (const auto& path : options.files) files.Add(path);
  for (const auto& source : options.files0_from) {
    const bool standard_input = source == "-";
    // Standard input stays open; a named file is closed once read.
    UniqueFd opened(standard_input ? -1 : open(source.c_str(), O_RDONLY | O_CLOEXEC));
    const int fd = standard_input ? STDIN_FILENO : opened.get();
    std::string bytes;
    int error = fd < 0 ? errno : 0;
    for (char buffer[65536]; error == 0;) {
      const ssize_t got = read(fd, buffer, sizeof buffer);
      if (got > 0) {
        bytes.append(buffer, static_cast<size_t>(got));
      } else if (got == 0) {
        break;
      } else if (errno != EINTR) {
        error = errno;
      }
    }
    opened.reset();
    if (error != 0) {
      failure = kErrorFiles0Read + source + ": " + std::strerror(error);
      return false;
    }
    for (size_t start = 0; start < bytes.size();) {
      const size_t end = std::min(bytes.find('\0', start), bytes.size());
      files.Add(std::string_view(bytes).substr(start, end - start));
      start = end + 1;
    }
  }
  if (job.lstFile.size() > before) captions.files = true;
  return true;
}

}  // namespace qtarvox
