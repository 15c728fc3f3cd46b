#include "cli/usage_text.h"

namespace qtarvox {

namespace {

constexpr const char* kUsage =
    R"(Usage: q-tarvox [--help] [--version] [--preview] [COMMAND [VALUE...]]...
       q-tarvox --undo [--preview]

The commands fill in the job as Steps 1 to 3 of the window would and leave the
window on Step 3 (or on the step whose check fails); with -SU the job is
performed at once and the program ends without showing the window.

Options:
  --help       show this text and end
  --version    show the program's name and version and end
  --preview    silent preview: print the new names and change nothing
               (attribute actions are still carried out)
  --undo       put the last perform back: every file it renamed gets its old
               name again, last renamed first, and the attributes it changed
               are set as they were; nothing is ever overwritten, and a file
               that cannot be put back is left as it is and named in the
               Error file. With --preview: print what the undo would do
               ("path == old name") and change nothing.

Every perform (here or in the window) keeps a journal, Q-Tarvox_Journal.tvj
in the work folder, until the next perform: each change is noted on the disk
before it is made, so a perform cut off by a crash or a kill can be undone
too. After an undo that left nothing, a second --undo has nothing to undo.

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
  -FI path[*path...]  rename these files
  -FE dir*Y["dir*N...][?ext["ext...]]
                      rename the files with these extensions in these
                      directories; *Y includes subdirectories, *N does not
  -EF 1|2|3           when the new name exists: 1 do not rename (default),
                      2 overwrite the file, 3 add a unique number
  -SC*text            separator before an added unique number
  -NP                 write no Process file
  -SU                 perform at once without the window, then end

AB, AE, RP, EN, CR and SC take their value after an asterisk (-AB x sets
nothing); DL, DF, NE, NB, CW and EF take it after a blank. In a shell, put an
argument holding asterisks, double quotes, question marks or blanks in single
quotes. An argument starting with a dash always starts a new command.

Examples:
  q-tarvox -UC -FI /home/me/a.txt -SU
  q-tarvox '-AB*x y' -FI '/home/me/a.txt*/home/me/b c.txt' -SU
  q-tarvox -FE '/home/me/docs*Y"/tmp*N?txt"doc' -NE E BN 975 -SU
  q-tarvox --preview -LC -FE '/home/me/music*N?mp3'
  q-tarvox --undo --preview

Exit codes:
  0  the run left no Error file (--undo: nothing was left undone)
  1  the run left the Error file in the work folder (--undo: a file was left
     as it was)
  2  the run did not start
)";

}  // namespace

std::string UsageText() { return kUsage; }

}  // namespace qtarvox
