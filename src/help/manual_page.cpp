#include "help/manual_page.h"

#include <string_view>
#include <utility>
#include <vector>

#include "engine/journal.h"
#include "engine/report_file.h"
#include "run/settings.h"
#include "run/undo_history.h"

namespace qtarvox::help {
namespace {

struct Definition {
  const char* term;
  const char* text;
};

// What the manual says beyond the usage text: how the program looks without
// arguments, and where it keeps its files.
constexpr const char* kName = "rename many files in one batch";
constexpr const char* kWindow =
    "Without arguments q-tarvox opens its window, a wizard in three steps: Step 1 chooses the "
    "actions to perform on each filename (changing case, deleting, replacing or adding text, "
    "numbers in sequence, a new extension, attributes), Step 2 the files (one by one, or "
    "directories with extensions, optionally with all their subdirectories), and Step 3 "
    "previews and performs the job. Its Help button opens the full manual.";
constexpr Definition kEnvironment[] = {
    {"QTARVOX_WORK_DIR", "The work folder, where the Process file and the Error file are written."},
    {"XDG_STATE_HOME",
     "Without QTARVOX_WORK_DIR, unless the program's own folder is the user's own build or "
     "portable folder (for an installed program, root's too), the work folder is "
     "$XDG_STATE_HOME/q-tarvox (by default ~/.local/state/q-tarvox); it is made when first "
     "needed."},
    {"XDG_CONFIG_HOME",
     "The last directory of Step 2 is remembered in $XDG_CONFIG_HOME/veltrane/q-tarvox.conf (by "
     "default ~/.config/veltrane/q-tarvox.conf)."},
    {"DISPLAY, WAYLAND_DISPLAY",
     "The desktop the window opens on. A silent run (-SU, --preview) needs neither."},
};
// Every file the program keeps, each named by the constant the program uses.
std::vector<std::pair<std::string, std::string>> Files() {
  const std::string history = kHistoryFolderName;
  const std::string config =
      std::string("~/.config/") + kSettingsOrganization + "/" + kSettingsApplication + ".conf";
  return {
      {"~/.local/state/q-tarvox/",
       "The work folder of an installed program ($XDG_STATE_HOME/q-tarvox), root's too, made "
       "when first needed (mode 0700). QTARVOX_WORK_DIR names another; a copy of the program in "
       "a build or portable folder of the user's own keeps its work files in that folder. The "
       "files below are in the work folder. One run or window holds it at a time (a lock on the "
       "folder itself, no lock file)."},
      {kProcessFileName,
       "The Process file: what each action made of each name and what became of each file. "
       "Every run, preview and undo writes it anew, unless it is turned off (-NP)."},
      {kErrorFileName,
       "The Error file: the file, a cause and the error number of every error. A run without "
       "errors removes it."},
      {history + "/",
       "The undo history, private to the user (the folder 0700, its files 0600). The last " +
           std::to_string(kDefaultUndoLevels) +
           " performs that changed something are kept (QTARVOX_UNDO_LEVELS sets how many); a "
           "perform that changed nothing leaves the history as it was."},
      {history + "/" + kHistoryListFileName,
       "One line per perform kept, oldest first: when it ran, the job, and what tells its "
       "journal from any other file."},
      {history + "/N/" + kJournalFileName,
       "The journal of perform N: what the perform was about to change and what became of each "
       "file; an undo marks it as undone."},
      {".NAME.XXXXXX, .q-tarvox-list.XXXXXX",
       "In the work folder and the history, for a moment: a report file or the history list "
       "being written before it takes its name, and the list of files a run walks where the "
       "file system has no files without a name. One left behind by a run that was killed may "
       "be deleted."},
      {".qtarvox-PID-N.tmp",
       "For a moment, in the folder of a file whose new name differs only in case on a file "
       "system that ignores case: the name the file passes through. A run killed at that moment "
       "leaves the file under it."},
      {config, std::string("The last directory of Step 2 (key ") + kSettingsDirKey +
                   "); under $XDG_CONFIG_HOME when that is set."},
  };
}

constexpr const char* kSeeAlso = "xdg-open(1), chmod(1), setfattr(1)";

// Section titles of the usage text that have a customary name in a manual.
constexpr std::pair<std::string_view, std::string_view> kTitles[] = {
    {"Exit codes", "EXIT STATUS"},
    {"Exit status", "EXIT STATUS"},
};

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

std::string SectionName(std::string_view title) {
  for (const auto& [from, to] : kTitles) {
    if (title == from) return std::string(to);
  }
  return Upper(title);
}

void Entry(std::string& page, std::string_view term, std::string_view text) {
  page += ".TP\n\\fB" + RoffText(term) + "\\fR\n";
  if (!text.empty()) page += RoffText(text) + "\n";
}

void Block(std::string& page, const UsageBlock& block) {
  switch (block.kind) {
    case UsageBlock::Kind::kParagraph:
      page += ".PP\n" + RoffText(block.text) + "\n";
      break;
    case UsageBlock::Kind::kEntries:
      for (const auto& entry : block.entries) Entry(page, entry.tag, entry.description);
      break;
    case UsageBlock::Kind::kLiteral:
      page += ".PP\n.RS 4\n.nf\n";
      for (const auto& line : block.lines) page += RoffText(line) + "\n";
      page += ".fi\n.RE\n";
      break;
  }
}

// A bash word in single quotes.
std::string Quoted(std::string_view text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted.push_back(c);
    }
  }
  return quoted + "'";
}

constexpr const char* kCompletionHead =
    R"bash(# bash completion for q-tarvox                             -*- shell-script -*-
# Made from the text of q-tarvox --help when the program was built.

# Each command, a bar, and its description.
_q_tarvox_commands=(
)bash";

constexpr const char* kCompletionWordsHead = R"bash()

# Each command that reads fixed words, a bar, the place after the command, a
# bar, and the words it reads there.
_q_tarvox_words=(
)bash";

constexpr const char* kCompletionBody = R"bash()

_q_tarvox()
{
    local cur=${COMP_WORDS[COMP_CWORD]} command= i
    # The value being typed belongs to the last word before it that starts
    # with a dash.
    for ((i = COMP_CWORD - 1; i > 0; i--)); do
        if [[ ${COMP_WORDS[i]} == -* ]]; then
            command=${COMP_WORDS[i]^^}
            break
        fi
    done

    COMPREPLY=()
    if [[ $cur == -* ]]; then
        local entry matches=()
        for entry in "${_q_tarvox_commands[@]}"; do
            [[ ${entry%%|*} == "${cur^^}"* || ${entry%%|*} == "$cur"* ]] && matches+=("$entry")
        done
        if ((${#matches[@]} == 1)); then
            COMPREPLY=("${matches[0]%%|*}")
        else
            # Several: show each with its description; what they share is
            # still inserted, as the descriptions start after the command.
            for entry in "${matches[@]}"; do
                COMPREPLY+=("$(printf '%-10s %s' "${entry%%|*}" "${entry#*|}")")
            done
        fi
        return
    fi

    # A fixed word: at its place after the command, and after one of the
    # words of the place before.
    local entry place=$((COMP_CWORD - i)) prev=${COMP_WORDS[COMP_CWORD - 1]^^} offer= before_ok=1
    for entry in "${_q_tarvox_words[@]}"; do
        [[ ${entry%%|*} == "$command" ]] || continue
        case ${entry#*|} in
            "$place|"*) offer=${entry##*|} ;;
            "$((place - 1))|"*) [[ " ${entry##*|} " == *" $prev "* ]] || before_ok= ;;
        esac
    done
    if [[ -n $command && -n $offer ]]; then
        [[ -n $before_ok ]] && COMPREPLY=($(compgen -W "$offer" -- "${cur^^}"))
        return
    fi

    local IFS=$'\n' before= part=$cur
    case $command in
        -FI)
            # Files are separated by asterisks within one argument.
            if [[ $cur == *\** ]]; then
                before=${cur%\**}*
                part=${cur##*\*}
            fi
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -f -- "$part"))
            ;;
        -FE)
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -d -- "$part"))
            ;;
        --FILES0-FROM|--)
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -f -- "$part"))
            ;;
    esac
    if [[ -n $before ]]; then
        for i in "${!COMPREPLY[@]}"; do COMPREPLY[i]=$before${COMPREPLY[i]}; done
    fi
}
complete -F _q_tarvox q-tarvox
)bash";

}  // namespace

std::string RoffText(std::string_view text) {
  std::string out;
  if (text.starts_with('.') || text.starts_with('\'')) out = "\\&";
  for (const char c : text) {
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string ManualPage(const UsageOutline& usage, const std::string& version) {
  std::string page;
  page += ".\\\" The manual page of q-tarvox, made from its --help text.\n";
  page += ".TH Q\\-TARVOX 1 \"\" \"" + RoffText(version) + "\" \"User Commands\"\n";
  // Paths and commands are not to be broken at their hyphens.
  page += ".nh\n";
  page += ".SH NAME\nq\\-tarvox \\- " + RoffText(kName) + "\n";
  page += ".SH SYNOPSIS\n";
  std::string_view synopsis = usage.synopsis;
  constexpr std::string_view kProgram = "q-tarvox";
  if (synopsis.starts_with(kProgram)) synopsis.remove_prefix(kProgram.size());
  page += "\\fBq\\-tarvox\\fR" + RoffText(synopsis) + "\n";
  page += ".SH DESCRIPTION\n" + RoffText(kWindow) + "\n";
  for (const auto& section : usage.sections) {
    if (!section.title.empty()) page += ".SH " + RoffText(SectionName(section.title)) + "\n";
    for (const auto& block : section.blocks) Block(page, block);
  }
  page += ".SH ENVIRONMENT\n";
  for (const auto& d : kEnvironment) Entry(page, d.term, d.text);
  page += ".SH FILES\n";
  for (const auto& [term, text] : Files()) Entry(page, term, text);
  page += ".SH SEE ALSO\n" + RoffText(kSeeAlso) + "\n";
  return page;
}

std::string BashCompletion(const UsageOutline& usage, const std::vector<CommandWords>& values) {
  std::string script = kCompletionHead;
  for (const auto& command : CommandSummaries(usage)) {
    script += "    " + Quoted(command.name + "|" + command.description) + "\n";
  }
  script += kCompletionWordsHead;
  for (const auto& value : values) {
    std::string words;
    for (const auto& word : value.words) words += (words.empty() ? "" : " ") + word;
    script +=
        "    " + Quoted(value.command + "|" + std::to_string(value.place) + "|" + words) + "\n";
  }
  return script + kCompletionBody;
}

}  // namespace qtarvox::help
