#include "help/usage_text.h"

namespace qtarvox {

namespace {

constexpr const char* kUsageRest =
    R"(
The commands fill in the job as Steps 1 to 3 of the window would and leave the
window on Step 3 (or on the step whose check fails); with -SU the job is
performed at once and the program ends without showing the window.

Options (anywhere on the line):
  -h, --help     show this text and end
  --version      show the program's name and version and end
  --preview      dry run: print what -SU would do to each file and change
                 nothing (no rename, no attribute)
  --null         with --preview or -v: NUL-separated fields for scripts
  -q, --quiet    no summary line after a run
  -v, --verbose  print each file's line as the run goes
  --files0-from FILE
                 add the files FILE names, separated by NUL bytes, to the
                 files of -FI, each path byte for byte (- for standard
                 input): any number of files in one run, one numbering
  --             end of the commands: every later argument is one more file
                 for -FI, byte for byte, whatever it begins with
  --undo         put the most recent perform not yet undone back: every file
                 it renamed gets its old name again, last renamed first, and
                 the attributes it changed are set as they were; nothing is
                 ever overwritten, and a file that cannot be put back is
                 left as it is and named in the Error file. Each further
                 --undo steps one perform back. With --preview: print what
                 the undo would do ("path == old name") and change nothing;
                 with -q, -v and --null as for a run.
  --list         with --undo: show the undo history, newest first, one line
                 per perform: when, how many files, undone or not, the job
                 (with --null: these four fields, each ended by a NUL)

Every perform (here or in the window) that changes something keeps its
journal in the undo history, Q-Tarvox_Undo/ in the work folder: each change
is noted on the disk before it is made, so a perform cut off by a crash or a
kill can be undone too. The last 10 performs are kept (QTARVOX_UNDO_LEVELS
sets how many); a perform that changes nothing leaves the history as it was.
A damaged journal is undone as far as it can be read, the damage is named and
the exit status is 1; a journal that is not the one the history names, or
not the user's own, is refused (exit status 2).

Commands start with a dash and two letters, in upper or lower case; every
following argument up to the next dash is the command's value.
  -UC                 make the name fully UPPERCASE
  -LC                 make the name fully lowercase
  -CO                 clear the original name
  -DL n               delete the last n characters
  -DF n               delete the first n characters
  -RP*old*new[*Y]     replace old with new; Y: match case
  -AB*text            add text to the beginning
  -AE*text            add text to the end
  -NE [E] [BN n]      add numbers at the end; E: even width (001, 002...);
                      BN n: start from n
  -NB [E] [BN n]      add numbers at the beginning, as -NE
  -+R  -+H  -+A       add the read-only, hidden, archive attribute
  -+N                 remove all attributes and make the file normal
  -EN*ext             change the extension to ext
  -CW [S|U|SU]        capitalize words after spaces (default), underscores
                      or both
  -CR*name            rename completely to name
  -FI path[*path...]  rename these files; each further argument is one more
                      file, so a shell's glob works (-FI *.jpg); an argument
                      that is the exact name of a file is that file, blanks
                      and asterisks included
  -FE dir*Y["dir*N...][?ext["ext...]]
                      rename the files with these extensions in these
                      directories; *Y includes subdirectories, *N does not;
                      a directory without either is left out
  -EF 1|2|3           when the new name exists: 1 do not rename (default),
                      2 overwrite the file, 3 add a unique number
  -SC*text            separator before an added unique number
  -NP                 write no Process file
  -SU                 perform at once without the window, then end

AB, AE, RP, EN, CR and SC take their value after an asterisk (-AB x sets
nothing); DL, DF, NE, NB, CW and EF take it after a blank. A value's blanks
at the end of its argument are dropped: end it with an asterisk to keep them
('-AB*Holiday *'). In a shell, put an argument holding asterisks, double
quotes, question marks or blanks in single quotes. An argument starting with
a dash always starts a new command, except after --; among the files of -FI,
one that starts with a dash and names an existing file stops the program
(write ./-NAME, or put the files after --). A long option written with one
dash (-preview) is an error. Unknown commands, values a command does not
read (-NE 5: write -NE N BN 5) and actions the Step 1 check drops are named
on stderr; the run goes on without them and ends with status 1.

What --preview and -v print, one line per file in the order of the run:
  old path == new name (mark)...
The marks: unchanged; case only; skipped: name taken: NAME; unique number:
NAME is taken; replaces an existing file; error N: TEXT (the error the run
logs); +r, +h, +a, -r -h -a (attributes set). With --null each file is four
fields, each ended by a NUL byte: old path, new name, status (renamed,
unchanged, skipped or failed), marks separated by "; ".
After a run, stderr gets one summary line: how many files were renamed,
unchanged, skipped and failed, how many folders were not entered (read-only
or hidden), and where the Process and Error files are. Each file is taken
once per run: a folder reached twice is listed once, and a file the run has
renamed already is not renamed again (error 53). A folder that cannot be
read is an error of the run.

Work folder:
The Process file (Q-Tarvox_Process.txt) and the Error file (Q-Tarvox_Err.txt)
are written to the folder that QTARVOX_WORK_DIR names, else to the program's
own folder when it is the user's own build or portable folder, else (an
installed program, root's too) to $XDG_STATE_HOME/q-tarvox (by default
~/.local/state/q-tarvox). A silent run leaves both there. A work folder that
other users can write without the sticky bit is refused. A reader of the
output that goes away (| head) does not stop the run; a hang-up stops it
between two files, as Ctrl-C does.

Examples:
  q-tarvox -UC -FI /home/me/a.txt -SU
  q-tarvox '-AB*x y' -FI '/home/me/a.txt*/home/me/b c.txt' -SU
  q-tarvox -FE '/home/me/docs*Y"/tmp*N?txt"doc' -NE E BN 975 -SU
  q-tarvox --preview -LC -FE '/home/me/music*N?mp3'
  q-tarvox -UC -FI *.jpg -SU
  q-tarvox -UC -SU -- *.jpg
  find ~/photos -name '*.jpg' -print0 | q-tarvox -NE E -SU --files0-from -
  q-tarvox --undo --preview
  q-tarvox --undo --list

Exit status:
  0  the run did all that was asked (--undo: nothing was left undone)
  1  an Error file was left in the work folder (--undo: a file was left as it
     was, or the journal is damaged), a report file is incomplete, a file or
     directory named on the command line does not exist, or a part of the
     command line was not carried out (an unknown command, a value not read,
     an action dropped by the Step 1 check, a directory without *Y or *N);
     stderr names each
  2  nothing was started: bad usage (an unknown --option, a long option with
     one dash, a file of -FI that starts with a dash, a --files0-from file
     that cannot be read), a separator with a forbidden character, an
     unusable, shared or busy work folder, a journal that does not belong
  128+n  stopped by signal n (130 for Ctrl-C) between two files
)";

}  // namespace

std::string UsageText() { return std::string(kUsageLine) + kUsageRest; }

}  // namespace qtarvox
