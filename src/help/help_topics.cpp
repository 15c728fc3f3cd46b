#include "help/help_topics.h"

#include "help/usage_text.h"
#include "help/help_contents.h"
#include "help/usage_outline.h"

namespace qtarvox::help {
namespace {

struct TopicProseRow {
  int topic;
  const char* prose;
};

// Every text topic, in the order of the table of contents. The examples use
// the file "This is a TEST File.txt" wherever they can, so that the actions
// can be compared with each other.
constexpr TopicProseRow kProse[] = {
    {kHelpTopic,
     "The list on the left holds the Table of Contents of this help, and the box on the right "
     "shows the help of the topic you choose in it.\n\n"
     "Click on any topic to read it. Scroll the list, or move through it with the arrow keys, to "
     "see all the topics.\n\n"
     "***note*** Some topics contain sub-topics and clicking on these topics will display nothing "
     "but the list of sub-topics under it. Choose a subtopic from under the topic in the Table of "
     "Contents to view its help content."},

    // --- II) Introduction ---------------------------------------------------
    {2,
     "     Q-Tarvox is a utility that changes the filenames of many files quickly, in one batch. "
     "It can make a name fully upper case or lower case, capitalise its words, clear it, delete "
     "characters from its beginning or its end, replace one string with another, add a string or "
     "numbers in sequence to its beginning or its end, change the extension or rename the file "
     "completely. It can also make files read only, hidden or archive, or make them normal "
     "again.\n\n"
     "     You choose the files in one of two ways, or in both at once: one by one, or by naming "
     "directories and the file extensions to look for in them, where Q-Tarvox can also look in "
     "all their subdirectories, however deep.\n\n"
     "     It is quick, and it shows you a preview of the new names before it changes anything. "
     "It never replaces another file unless you ask it to. Everything it can do in its window it "
     "can also do from the command line, without any window at all."},
    {3,
     "Q-Tarvox needs little; it runs wherever a Linux desktop runs.\n\n"
     "Hardware:\n"
     "Processor : any 64-bit PC processor (amd64) for the Debian package; other processors when "
     "you build it yourself\n"
     "Memory : about 50 MB while the window is open\n"
     "Disk space : about 1 MB, plus the Qt libraries\n"
     "Screen : 800 x 600 pixels or more\n\n"
     "Software:\n"
     "Linux with the GNU C library 2.28 or later, such as Debian 12\n"
     "Qt 6.4 or later: the libraries Qt Core, Qt Gui and Qt Widgets (Debian packages libqt6core6, "
     "libqt6gui6 and libqt6widgets6)\n"
     "A desktop on X11, or on Wayland with XWayland, for the window; a silent run from the "
     "command line needs none\n"
     "xdg-utils, which opens the Process file and the Error file in your text viewer\n"
     "To build it: a C++20 compiler (GCC 12 or later), CMake 3.25 or later, Ninja and "
     "qt6-base-dev"},
    {4,
     "Q-Tarvox comes as a Debian package or as its source, which you build.\n\n"
     "From the package: open a terminal in the folder that holds it and type\n"
     "sudo apt install ./q-tarvox_1.7.6_amd64.deb\n"
     "apt also installs the Qt libraries and xdg-utils when they are missing. Q-Tarvox Renamer "
     "then appears in your desktop's menu under Utilities (Accessories), and the command "
     "q-tarvox starts it from a terminal. To uninstall it, type\n"
     "sudo apt remove q-tarvox\n\n"
     "From the source: build it as its README says, then install it with\n"
     "sudo cmake --install build\n"
     "which puts the program, its manual page, its menu entry, its icon and its shell completion "
     "under /usr/local. To uninstall it, remove the files that the build folder's "
     "install_manifest.txt lists, for example with\n"
     "sudo xargs rm < build/install_manifest.txt\n\n"
     "You do not have to install it at all: the built program, build/q-tarvox, runs from any "
     "directory. It then keeps its Process file and Error file in its own folder (see V) E)).\n\n"
     "To find out where the program is, type command -v q-tarvox; dpkg -L q-tarvox lists every "
     "file the package installed. Uninstalling leaves the directory Q-Tarvox remembers for "
     "Step 2 in ~/.config/veltrane/q-tarvox.conf; delete that file too if you wish."},
    {kAboutTopic,
     "Program : Q-Tarvox Renamer\n"
     "Author : the Q-Tarvox Renamer developers\n"
     "Version : 1.7.6\n"
     "Date Started : December 2026\n"
     "Date Finished : December 2026\n"
     "Last Changed : December 2026\n"
     "Home Page : none published yet\n"
     "E-Mail : none published yet; see VIII) Contact Information"},

    // --- III) Actions (Step 1) ----------------------------------------------
    {6,
     "Actions are the changes Q-Tarvox makes to the name of every file you choose, or to its "
     "attributes. Step 1 lists all seventeen of them.\n\n"
     "To choose an action, click on the box in front of it so that it is ticked (or highlight "
     "it and press the space bar); click again to untick it. You may type the number of an "
     "action to jump to it.\n\n"
     "When you click on an action, its description and an example appear under Description on "
     "the right. If the action needs more information, such as a number of characters or a "
     "string, the boxes to enter it appear on the right under Required Additional Info; "
     "otherwise it says NONE. What you enter is kept for that action while you look at the "
     "others.\n\n"
     "When you have ticked the actions you want, click on Proceed. Q-Tarvox checks every ticked "
     "action; when something is missing or wrong, it tells you what and highlights the action, "
     "so that you can correct it and click on Proceed again.\n\n"
     "Filenames are read as UTF-8 text, as Linux desktops write them. A name may hold bytes "
     "that are not UTF-8, from an old system or a memory card: each such byte counts as one "
     "character, no action changes it, and it is written back as it was."},
    {7,
     "Yes. Tick as many actions as you like: every file gets all of them.\n\n"
     "They are always performed in the order of the list, from 1) to 17), whatever order you "
     "ticked them in. For example, 8) Add string to end of filename comes before 9) Add numbers "
     "in sequence to end of filename, so the string goes in front of the number.\n\n"
     "Example :\n\n"
     "If 'abc' is added to the end and numbers in sequence too, then the first file becomes\n\n"
     "Initial Filename = This is a TEST File.txt\n"
     "Changed Filename = This is a TEST Fileabc1.txt\n\n"
     "Some combinations need a thought. Making a filename fully Uppercase and fully Lowercase "
     "at once makes no sense, and Q-Tarvox refuses it. 3) Clear Original Filename empties the "
     "name before the actions that add strings or numbers, so that they build a new name. "
     "17) Completely rename filename comes last and replaces whatever the actions before it "
     "made of the name."},
    {9,
     "This action makes every letter of the filename a capital (upper case) letter. Only the "
     "name changes; the extension keeps its case. Letters of every alphabet are changed, not "
     "only A to Z; a letter that has no capital of its own, such as the German sharp s, stays "
     "as it is.\n\n"
     "Example :\n\n"
     "Initial Filename = This is a TEST File.txt\n"
     "Changed Filename = THIS IS A TEST FILE.txt"},
    {10,
     "This action makes every letter of the filename a small (lower case) letter. Only the name "
     "changes; the extension keeps its case. Letters of every alphabet are changed, not only A "
     "to Z.\n\n"
     "Example :\n\n"
     "Initial Filename = This is a TEST File.txt\n"
     "Changed Filename = this is a test file.txt"},
    {63,
     "This action clears the filename and keeps only its extension, so that the actions below "
     "it in the list can build a completely new name: a string added to the beginning or the "
     "end, or numbers in sequence.\n\n"
     "On its own it changes nothing: a file cannot be left with an extension alone, so a name "
     "that is still empty after the last action gets its old name back.\n\n"
     "Example 1 :\n\n"
     "The name as this action leaves it, before the actions below it add to it :\n\n"
     "Initial Filename = This is a TEST File.txt\n"
     "Changed Filename = .txt\n\n"
     "Example 2 :\n\n"
     "If 9) Add numbers in sequence to end of filename is ticked as well, then the third file "
     "becomes\n\n"
     "Initial Filename = This is a TEST File.txt\n"
     "Changed Filename = 3.txt"},
    {11,
     "This action deletes characters from the end of the filename. It asks for an integer, the "
     "number of characters to delete, which must be greater than zero. The extension is not "
     "counted and stays as it is.\n\n"
     "A name shorter than that number is left as it is; the Process file then says that the "
     "action was terminated. Deleting every character of the name needs another action that "
     "adds a string or numbers; without one the file keeps its old name, since a file cannot be "
     "left with an extension alone.\n\n"
     "Example :\n\n"
     "If the integer value was entered as 6, then\n\n"
     "Initial Filename = This is a TEST File.txt\n"
     "Changed Filename = This is a TES.txt"},
    {12,
     "This action deletes characters from the beginning of the filename. It asks for an "
     "integer, the number of characters to delete, which must be greater than zero.\n\n"
     "A name shorter than that number is left as it is; the Process file then says that the "
     "action was terminated. Deleting every character of the name needs another action that "
     "adds a string or numbers; without one the file keeps its old name, since a file cannot be "
     "left with an extension alone.\n\n"
     "Example :\n\n"
     "If the integer value was entered as 6, then\n\n"
     "Initial Filename = This is a TEST File.txt\n"
     "Changed Filename = s a TEST File.txt"},
    {13,
     "This action looks for 'string1' in the filename and replaces every place where it is "
     "found with 'string2'. The extension is not searched. 'string2' may be empty, which "
     "deletes 'string1' from the name; it cannot contain any of the characters / \\ ? * : | < "
     ">.\n\n"
     "There are two kinds of replacement. Case Sensitive replacement finds 'string1' only "
     "written exactly as you typed it. No case sensitive replacement, chosen at first, finds it "
     "in capitals and small letters alike; the rest of the name keeps its case.\n\n"
     "Example 1 :\n\n"
     "Case Sensitive replacement of 'TEST' with 'crazy' :\n\n"
     "Initial Filename = This is a TEST File.txt\n"
     "Changed Filename = This is a crazy File.txt\n\n"
     "Example 2 :\n\n"
     "Case Sensitive replacement of 'test' with 'crazy' finds nothing :\n\n"
     "Initial Filename = This is a TEST File.txt\n"
     "Changed Filename = This is a TEST File.txt\n\n"
     "Example 3 :\n\n"
     "No case sensitive replacement of 'test' with 'crazy' :\n\n"
     "Initial Filename = This is a TEST File.txt\n"
     "Changed Filename = This is a crazy File.txt\n\n"
     "Example 4 :\n\n"
     "No case sensitive replacement of 'TeSt' with 'crazy' :\n\n"
     "Initial Filename = This is a TEST File.txt\n"
     "Changed Filename = This is a crazy File.txt"},
    {14,
     "This action adds the string you enter to the beginning of the filename. The string cannot "
     "contain any of the characters / \\ ? * : | < >.\n\n"
     "Example :\n\n"
     "If the string was entered as 'abc', then\n\n"
     "Initial Filename = This is a TEST File.txt\n"
     "Changed Filename = abcThis is a TEST File.txt"},
    {15,
     "This action adds the string you enter to the end of the filename, in front of the "
     "extension. The string cannot contain any of the characters / \\ ? * : | < >.\n\n"
     "Example :\n\n"
     "If the string was entered as 'abc', then\n\n"
     "Initial Filename = This is a TEST File.txt\n"
     "Changed Filename = This is a TEST Fileabc.txt"},
    {16,
     "This action adds a number to the end of every filename, in front of the extension. The "
     "files are counted in the order in which they are renamed: the files found in the chosen "
     "directories first, then the files chosen one by one. A preview shows that order.\n\n"
     "Normal Numbering writes the plain number: 1, 2 ... 10, 11.\n\n"
     "Even Numbering puts zeros in front of the numbers, so that all of them have as many "
     "digits as the largest: with ten files 01, 02 ... 10, with a hundred 001 ... 100. The "
     "names then stay in order in any file list.\n\n"
     "Numbering starts from 1. To start from another number (broken numbering), tick "
     "Specify number to start from and enter a whole number greater than zero.\n\n"
     "Example 1 :\n\n"
     "If three files are chosen with Normal Numbering, then\n\n"
     "Initial Filename = This is a TEST File.txt\n"
     "Changed Filename = This is a TEST File1.txt\n"
     "Initial Filename = Holiday.jpg\n"
     "Changed Filename = Holiday2.jpg\n"
     "Initial Filename = Notes.doc\n"
     "Changed Filename = Notes3.doc\n\n"
     "Example 2 :\n\n"
     "If ten files are chosen with Even Numbering, then the first and the tenth file become\n\n"
     "Initial Filename = This is a TEST File.txt\n"
     "Changed Filename = This is a TEST File01.txt\n"
     "Initial Filename = Zebra.txt\n"
     "Changed Filename = Zebra10.txt\n\n"
     "Example 3 :\n\n"
     "If ten files are chosen with Even Numbering and the number to start from was entered as "
     "95, then the numbers run from 095 to 104 and the first file becomes\n\n"
     "Initial Filename = This is a TEST File.txt\n"
     "Changed Filename = This is a TEST File095.txt"},
    {17,
     "This action adds a number to the beginning of every filename. It counts the files, and "
     "offers Normal Numbering, Even Numbering and a number to start from, exactly as 9) Add "
     "numbers in sequence to end of filename does.\n\n"
     "Example 1 :\n\n"
     "If three files are chosen with Normal Numbering, then\n\n"
     "Initial Filename = This is a TEST File.txt\n"
     "Changed Filename = 1This is a TEST File.txt\n"
     "Initial Filename = Holiday.jpg\n"
     "Changed Filename = 2Holiday.jpg\n"
     "Initial Filename = Notes.doc\n"
     "Changed Filename = 3Notes.doc\n\n"
     "Example 2 :\n\n"
     "If ten files are chosen with Even Numbering, then the first and the tenth file become\n\n"
     "Initial Filename = This is a TEST File.txt\n"
     "Changed Filename = 01This is a TEST File.txt\n"
     "Initial Filename = Zebra.txt\n"
     "Changed Filename = 10Zebra.txt"},
    {18,
     "This action makes every chosen file read only: Q-Tarvox takes away the permission to "
     "write the file from everyone, as chmod a-w does, so that programs can no longer change "
     "it. The filename does not change. Renaming a read only file is still possible, but "
     "Overwrite File never deletes one (see V) B)).\n\n"
     "Attribute actions are carried out in a preview too, so a preview already makes the files "
     "read only.\n\n"
     "Example :\n\n"
     "The file will be made Read Only (+r)"},
    {19,
     "This action marks every chosen file as hidden. The filename does not change.\n\n"
     "Linux itself has no hidden attribute: its file managers hide the files whose names begin "
     "with a dot. Q-Tarvox keeps the hidden mark in the file's extended attribute "
     "user.DOSATTRIB, where Samba shows it to Windows computers on the network and Wine to "
     "Windows programs. Linux file managers go on showing the file; to hide it from them, add a "
     "dot to the beginning of its name with 7) Add string to beginning of filename.\n\n"
     "The file system must keep user extended attributes, as ext4, XFS and Btrfs do; on one "
     "that does not (some network and FUSE file systems) the action fails and the Error file "
     "says so. Attribute actions are carried out in a preview too.\n\n"
     "Example :\n\n"
     "The file will be made Hidden (+h)"},
    {62,
     "This action gives every chosen file the archive mark, which tells backup programs that "
     "the file has changed since its last backup. The filename does not change.\n\n"
     "As with the hidden mark, Q-Tarvox keeps it in the file's extended attribute "
     "user.DOSATTRIB, where Samba and Wine read it; the file system must keep user extended "
     "attributes. Attribute actions are carried out in a preview too.\n\n"
     "Example :\n\n"
     "The file will be given the Archive attribute (+a)"},
    {20,
     "This action makes every chosen file normal again: it gives the file's owner the "
     "permission to write it back and removes the hidden and archive marks that Q-Tarvox, "
     "Samba or Wine keep in its extended attribute user.DOSATTRIB. The filename does not "
     "change, so a file whose name begins with a dot stays hidden in Linux file managers. "
     "Attribute actions are carried out in a preview too.\n\n"
     "Example :\n\n"
     "The file will be stripped of its Read Only attribute (-r) and its Hidden attribute (-h)\n"
     "Its Archive attribute (-a) is removed as well."},
    {21,
     "This action replaces the extension of every filename, the part from its last dot on, "
     "with the one you enter. No preceeding *. is required: dog and .dog give the same. The "
     "extension cannot contain any of the characters / \\ ? * : | < >. A file without an "
     "extension gets the new one added to its name, and an empty box removes the extension and "
     "its dot.\n\n"
     "Example :\n\n"
     "If the new extension was entered as 'dog', then\n\n"
     "Initial Filename = This is a TEST File.txt\n"
     "Changed Filename = This is a TEST File.dog"},
    {54,
     "This action makes the first letter of the filename and the first letter after every "
     "space, or every underscore, or both, a capital letter. Tick Words seperated by Spaces, "
     "Words seperated by Underscores, or both. All other letters keep their case, and the "
     "spaces and underscores stay where they are; a space or underscore of a ticked kind at the "
     "very end of the name is dropped.\n\n"
     "Example 1 :\n\n"
     "Words seperated by Spaces :\n\n"
     "Initial Filename = this is a test_file.txt\n"
     "Changed Filename = This Is A Test_file.txt\n\n"
     "Example 2 :\n\n"
     "Words seperated by Spaces and by Underscores :\n\n"
     "Initial Filename = this is a test_file.txt\n"
     "Changed Filename = This Is A Test_File.txt"},
    {61,
     "This action replaces the whole filename, extension included, with the new filename you "
     "enter. It cannot contain any of the characters / \\ ? * : | < >.\n\n"
     "Since every chosen file gets the same name, use it for a single file, or for files that "
     "lie in different directories. In one directory the second file finds the name taken, and "
     "your choice in Step 3 decides what happens (see V) B)); with Add a unique number and the "
     "separator _ the files become This is the new file.doc, This is the new file_1.doc and so "
     "on.\n\n"
     "Example :\n\n"
     "If the new filename was entered as 'This is the new file.doc', then\n\n"
     "Initial Filename = This is a TEST File.txt\n"
     "Changed Filename = This is the new file.doc"},

    // --- IV) Files (Step 2) -------------------------------------------------
    {24,
     "Choose By choosing files individually and click on OK. On the left you find the list of "
     "drives (the volumes mounted on your computer), the directory tree and the files of the "
     "open directory; on the right, the list of files you have chosen.\n\n"
     "Open the directory that holds the files, select them in the file list and click on "
     "Add >>. To select several files, hold Shift and click on the first and the last of a "
     "range, or hold Ctrl and click on each file. The box above the file list shows only the "
     "files that match its pattern, *.* for all of them; files whose names begin with a dot are "
     "shown too. Repeat this for the files of other directories.\n\n"
     "To take files off the list, select them there and click on << Remove. Select All selects "
     "every file of the list you clicked on last; its arrows show which.\n\n"
     "When the list holds every file you want, click on Proceed.\n\n"
     "The directory tree opens at the directory of your last run, preview or perform, which "
     "Q-Tarvox remembers in ~/.config/veltrane/q-tarvox.conf."},
    {25,
     "Choose By File Extension and click on OK. This renames every file with the extensions "
     "you name in the directories you name.\n\n"
     "In the directory tree, open a directory that holds files to rename and click on Add >>. "
     "A directory counts as chosen only when it is open in the tree, not when it is merely "
     "highlighted. Q-Tarvox asks whether to include all its subdirectories: Yes searches them "
     "too, however deep. Subdirectories whose names begin with a dot, read only subdirectories "
     "and symbolic links are not entered.\n\n"
     "Then type an extension such as txt (or *.txt) into the box beside the list of extensions "
     "and click on << Add. *.* stands for every file and *. for the files without an "
     "extension. Capitals and small letters count alike, so *.txt also finds REPORT.TXT.\n\n"
     "Every matching file of the chosen directories is renamed; you cannot leave single files "
     "out in this method. To choose files one by one, use the individual method or both "
     "methods. Use << Remove and Select All to correct the lists, then click on Proceed."},
    {26,
     "Choose Both and click on OK to combine the two methods. First comes the screen of the "
     "individual method: choose files one by one and click on Proceed. Then comes the screen of "
     "the extension method: choose directories and extensions and click on Proceed again to "
     "move on to Step 3. Back on the second screen returns to the first.\n\n"
     "Either of the two selections may stay empty, but not both. When the job runs, the files "
     "found in the directories are renamed first and the files chosen one by one after them; "
     "numbers in sequence go on from the first group to the second."},

    // --- V) Performing the changes (Step 3) ---------------------------------
    {28,
     "Step 3 shows what is about to happen. At the top left is the list of actions you chose, "
     "with what you entered for them; at the top right the files (FILE - ), directories (DIR - ) "
     "and extensions (EXT - ) you chose.\n\n"
     "Check both lists before you preview or perform. To change something, go back with Back "
     "to Step 2, and with Back again to Step 1; make the change and click on Proceed. The lists "
     "of Step 3 are made anew every time it is shown."},
    {71,
     "Sometimes the new name of a file is already taken by another file in the same directory. "
     "What happens then is your choice in Step 3, under \"If filename is not unique, what should "
     "be done? :\". A file whose new name differs from its old name only in capitals and small "
     "letters does not count as taken by itself: it is renamed.\n\n"
     "    a) Do not rename\n"
     "The file keeps its old name, and the Process file says that it was not renamed because a "
     "file with that name exists. Nothing is lost.\n\n"
     "    b) Overwrite File\n"
     "The other file is deleted and the file takes its name. A deleted file is gone for good, "
     "so choose this with care. A read only file is never deleted: then neither file changes, "
     "and the Error file says why.\n\n"
     "    c) Append a number to filename\n"
     "The file gets its new name with the smallest number that no similar file in the "
     "directory carries yet, put in front of the first dot of the name, after the separating "
     "character you enter (it may be empty, and cannot contain / \\ ? * : | < >). With the "
     "separator _ the new name report.txt becomes report_1.txt, or report_2.txt when "
     "report_1.txt exists too. A new name without a dot gets the number at its end, without the "
     "separator.\n\n"
     "\"a) Do not rename\" is the default: it is chosen whenever the program starts."},
    {29,
     "Click on the button \"Click here to preview the changes that will take place : \" to see "
     "what the job would do, without renaming anything. The box on the right then lists every "
     "file whose name would change, one per line: its full path, == and its new name.\n\n"
     "Files whose names would not change are not listed. Nor, under Do Not Rename, is a file "
     "whose new name is already taken (see VII) D)). A job that only sets attributes lists "
     "every file with its old name and the marks of its attributes: +r read only, +h hidden, "
     "+a archive (shown only together with one of the others), -r -h -a normal.\n\n"
     "***note*** Attribute actions are carried out in a preview too: previewing a job that "
     "makes files read only or hidden really changes those files.\n\n"
     "The box holds a very long preview, more than a hundred thousand lines; beyond that the "
     "lines are left out and the Error file says so (see Error 7). When the preview met errors, "
     "Q-Tarvox asks whether you want to see them."},
    {30,
     "Click on Perform Changes to rename the files. The status line says "
     "\"Performing changes...please wait...\" while the files are renamed, and \"Filename "
     "changes were performed succesfully\" when all of them are done; then \"The files were "
     "succesfully renamed.\" is shown. It is shown after every perform, also one that met "
     "errors; Q-Tarvox then asks whether you want to see them.\n\n"
     "Now the buttons View Process File and, when errors occurred, View Error File are enabled: "
     "they open the two files in your desktop's text viewer. The steps cannot be changed any "
     "more, and the Perform button reads Finished.\n\n"
     "Changed your mind? Undo Last Perform, below the screen on the right, gives the files "
     "their old names back, as q-tarvox --undo does. It first shows what it will do and asks; "
     "Cancel changes nothing. The undo writes its own Process file, and an Error file for a "
     "file it has to leave as it is. The button is on the Intro screen too while a perform "
     "waits to be undone, and each further undo steps one perform back.\n\n"
     "Click on Finished to end the job. Q-Tarvox asks whether to save your settings: Yes keeps "
     "the actions, directories and extensions for your next job, No clears them; the files "
     "chosen one by one are cleared either way. Then the Process file and the Error file are "
     "removed and you are back on the Intro screen."},
    {31,
     "The process file contains data in the following format :\n\n"
     "Current File : <full path and filename of the current file>\n"
     "     After performing action <current action number> : <modified filename after "
     "performing current action>\n"
     "     Final Operation: <Original Filename> == <Modified Filename>\n\n"
     "In the file itself a blank stands before each of these colons, as in \"Final Operation "
     ": \". There is one block for every file, with one line for every action performed. A "
     "file whose new name is the same as its old name shows 'No changes made' instead of the "
     "Final Operation line. When the new name was taken, an \"Intermediate Operation\" line "
     "says what was done about it (see V) B)), and the attribute actions say \"is set as "
     "readonly(+r)\" and the like.\n\n"
     "Q-Tarvox writes the Process file when \"Automatically generate Process File?\" is ticked "
     "in Step 3 (the command -NP turns it off). Its name is Q-Tarvox_Process.txt and it lies "
     "in the work folder: the folder that the environment variable QTARVOX_WORK_DIR names; "
     "without it, the program's own folder when that is your own build or portable folder; "
     "and for an installed program, ~/.local/state/q-tarvox (or $XDG_STATE_HOME/q-tarvox).\n\n"
     "Every run, a preview too, writes it anew, so it always tells about the last run. Finished "
     "and Quit delete it; closing the window in another way, and a run from the command line, "
     "leave it in the work folder."},
    {32,
     "The Error file contains one block for every error, in the following format :\n\n"
     "Error in file : <full path and filename of file>\n"
     "Error Cause/Reason : <possible cause or reason for the error to have occurred>\n"
     "Error Number, Description : <internal error number and description>\n\n"
     "For example \"Error Number, Description : 53-No such file or directory\". The numbers "
     "and their meanings are listed under VII) E) 2).\n\n"
     "Its name is Q-Tarvox_Err.txt and it lies in the work folder, beside the Process file "
     "(see V) E)). Every run writes it anew; a run without errors removes it. Finished and Quit "
     "delete it; closing the window in another way, and a run from the command line, leave it "
     "there. A run from the command line that leaves an Error file prints its path and ends "
     "with exit status 1."},

    // --- VI) Command Line Arguments -----------------------------------------
    {58,
     "Command line arguments are the words you type after the program's name when you start it "
     "from a terminal, a script or a launcher. With them you give Q-Tarvox a whole job without "
     "a click. They can:\n"
     "- tick actions and give their values, as Step 1 does;\n"
     "- choose files one by one, or directories and extensions, as Step 2 does;\n"
     "- choose what happens when a new name is taken, the separator for unique numbers, and "
     "whether a Process file is written, as Step 3 does;\n"
     "- perform the job at once without showing the window (-SU), or preview it and print the "
     "new names (--preview).\n\n"
     "Without -SU or --preview the arguments only fill in the job: Q-Tarvox shows you its "
     "Step 3 summary and renames nothing until you perform the job yourself.\n\n"
     "q-tarvox --undo puts the last perform back, from the window or from the command line: "
     "every file it renamed gets its old name again and the attributes it changed are set as "
     "they were. A file whose old name is taken now, or that is gone, is left as it is and "
     "named in the Error file; nothing is ever overwritten. q-tarvox --undo --preview prints "
     "what an undo would do and changes nothing. Each perform keeps its journal until the next "
     "one, so even a perform cut off by a crash can be put back.\n\n"
     "q-tarvox --help lists all of them, and man q-tarvox explains them; the next topic holds "
     "the same list."},
    {60,
     "A command is a dash and two letters, in capitals or small letters; every following "
     "argument up to the next one that starts with a dash is its value. Put an argument that "
     "holds asterisks, double quotes, question marks or blanks in single quotes, so that the "
     "shell passes it on unchanged.\n\n"
     "The start number of -NE and -NB must be the third value, after the style: -NE E BN 975 "
     "numbers evenly from 975, and -NE N BN 5 numbers normally from 5 (any style but E means "
     "normal numbering).\n\n"
     "This is the list that q-tarvox --help prints:"},

    // --- VII) Errors and Troubleshooting -------------------------------------
    {34,
     "When q-tarvox does not start and the terminal shows a message such as\n\n"
     "q-tarvox: error while loading shared libraries: libQt6Widgets.so.6: cannot open shared "
     "object file: No such file or directory\n\n"
     "then a Qt library file that the program needs is missing. The Debian package installs "
     "them for you; when you built the program yourself or copied it from another computer, "
     "install them with\n\n"
     "sudo apt install libqt6core6 libqt6gui6 libqt6widgets6\n\n"
     "The message names the missing file: libQt6Core.so.6 comes with libqt6core6, "
     "libQt6Gui.so.6 with libqt6gui6 and libQt6Widgets.so.6 with libqt6widgets6. The program "
     "needs all three, also for a run from the command line.\n\n"
     "When nothing seems to happen as you start it from the menu, start q-tarvox from a "
     "terminal to see its message. When it says that it has no display to open the window on, "
     "it was started outside your desktop session (the variable DISPLAY is not set); start it "
     "from a terminal of your desktop, or run the job with -SU or --preview, which need no "
     "window."},
    {35,
     "First look at the name with ls in a terminal: it shows the name exactly as it is "
     "stored.\n\n"
     "Uppercase changes only the name; the extension keeps its case, so photo.jpg becomes "
     "PHOTO.jpg. A letter without a capital of its own, such as the German sharp s, stays "
     "small.\n\n"
     "On a memory card or a USB stick with a FAT file system, the way the card is mounted can "
     "hide the capitals: mounted with the option shortname=lower, a name such as PHOTO.JPG "
     "that fits the old 8.3 form is shown as photo.jpg, although it is stored in capitals. "
     "Mount the card with shortname=mixed, the usual setting, to see the names as they are.\n\n"
     "If the name did not change at all, look into the Error file and the Process file (see "
     "V) E) and V) F))."},
    {36,
     "The actions are always performed in the order of the list in Step 1, from 1) to 17), not "
     "in the order in which you ticked them. This keeps the result the same whatever way the "
     "job was put together, on the screen or on the command line.\n\n"
     "To have them performed in another order, run two jobs one after the other: the first with "
     "the actions that must come first, then, on the renamed files, the second with the "
     "others."},
    {37,
     "The preview lists only the files whose names would change. Some files are missing from "
     "it for good reasons:\n"
     "- the actions leave the name as it was, for example Uppercase on a name that is already "
     "in capitals, or a delete action on a name shorter than its number;\n"
     "- under Do Not Rename, a file whose new name another file already has is left out, "
     "because it would not be renamed. Capitals and small letters count alike in this test, so "
     "a new name that differs from the old one only in them, as Capitalise Words often gives, "
     "is left out as well, unless Uppercase or Lowercase is ticked; such files are renamed all "
     "the same when you perform;\n"
     "- a preview of more than a hundred thousand lines fills the box, and the lines beyond are "
     "left out (see Error 7).\n\n"
     "When you perform the changes, every chosen file is still processed."},
    {39,
     "When a preview or a perform met errors, Q-Tarvox asks whether you want to see them. Yes "
     "opens the Error file in your desktop's text viewer, the one that xdg-open starts for text "
     "files. No leaves it where it is; after a perform the button View Error File opens it "
     "later, until you click on Finished.\n\n"
     "When no viewer can be started, Q-Tarvox says \"Windows notepad was not found to display "
     "the text file\" and names the file; open it with any text editor. A run from the command "
     "line prints the path of the Error file instead and ends with exit status 1.\n\n"
     "The Error file lies in the work folder (see V) F))."},
    {41,
     "Error 7 occurs only during a preview: the preview box is full. It holds a very long "
     "preview, more than a hundred thousand lines of long paths; the lines of the files beyond "
     "are left out, one error for each. A perform is not affected and processes every file."},
    {42,
     "Error 52 occurs only during a perform: the file system refused the new name. The new "
     "name may be too long (most Linux file systems allow 255 bytes), or hold characters that "
     "the file system does not accept, as a FAT memory card refuses \" among others."},
    {43,
     "Error 53 occurs during a perform: the file was no longer where it was chosen. It was "
     "moved, renamed or deleted after you chose it, or its directory was. A preview does not "
     "open the files, so it does not notice; choose the files again."},
    {44,
     "Error 57 is a device input/output error: the disk, memory card or USB stick could not be "
     "read or written, or the network share went away. Check the device and its connection, "
     "and look at the file system before you try again. The Error file gives it the reason "
     "\"Unknown...Untrapped error\"; its number tells it apart."},
    {45,
     "Error 58 means that a file with the new name already exists; it can occur only during a "
     "perform. You do not see it in the Error file: Q-Tarvox deals with it as you chose in "
     "Step 3 (see V) B))."},
    {46,
     "Error 61 means that the disk is full, or your disk quota is used up. The Process file and "
     "the Error file cannot be written then, but the renames still happen. The next line that can "
     "be written notes how many lines are missing; a run "
     "from the command line also says so and ends with exit status 1. Free some space, then "
     "check the files."},
    {47,
     "Error 71 means that the drive was not ready: the memory card or medium was taken out, or "
     "the device is gone. Put it back, or mount it again, and run the job once more. The Error "
     "file gives it the reason \"Unknown...Untrapped error\"; its number tells it apart."},
    {48,
     "Error 75 means that access was refused. The file or its directory is protected: renaming "
     "a file needs the permission to write to the directory that holds it; the file system may "
     "be read only (a CD, or a memory card with its lock switch on); or the file is "
     "in use, such as a program that is running. Overwrite File also meets it when the file to "
     "be overwritten is read only, as Q-Tarvox never deletes a read only file."},
    {49,
     "Error 76 means that the path was not found: a part of the file's path is no longer a "
     "directory, because a directory was replaced by a file of the same name after you chose "
     "the file. A directory that was removed or renamed gives error 53 instead. The Error file "
     "gives it the reason \"Unknown...Untrapped error\"; its number tells it apart."},
    {50,
     "Errors without a reason of their own appear in the Error file with the reason "
     "\"Unknown...Untrapped error\". Their number is 1000 plus the system's error number, and "
     "the description after the hyphen says what went wrong, for example "
     "\"1040-Too many levels of symbolic links\". The errors 57, 61, 71 and 76 are shown with "
     "this reason too.\n\n"
     "Error 200 has a reason of its own: \"There was a problem setting the file attribute. "
     "Possible reason is the file cannot be found.\" An attribute action failed, because the "
     "file is gone, because you do not own it, or because its file system keeps no user "
     "extended attributes. During a preview it does not count as an error of the run."},

    // --- VIII) to X) ----------------------------------------------------------
    {kContactTopic,
     "I would love to hear from you: what you like about Q-Tarvox, what you miss, and above "
     "all anything that went wrong.\n\n"
     "When you write about a problem, send the command you ran or the steps you took, and the "
     "Process file and the Error file of that run.\n\n"
     "This version has no public address of its own yet. If you installed the Debian package, "
     "apt show q-tarvox names its maintainer on the line Maintainer; otherwise, write to "
     "whoever gave you the program or its source."},
    {kThanksTopic,
     "Thank you for using Q-Tarvox.\n\n"
     "Thanks also to the people behind the tools it is made with: the Qt toolkit, which draws "
     "its window; the GNU C++ compiler, CMake and Ninja, which build it; GoogleTest, which "
     "tests it; Debian, on which it runs and is packaged; and xdg-utils, which opens its "
     "files.\n\n"
     "And thanks to the Samba and Wine projects, whose way of keeping DOS attributes on Linux "
     "Q-Tarvox follows, so that the attributes it sets mean the same to them."},
    {53,
     "This program is provided \"as is\", without warranty of any kind, express or implied, "
     "including but not limited to the warranties of merchantability, fitness for a particular "
     "purpose and non-infringement.\n\n"
     "In no event shall the authors be liable for any claim, damages or other liability, "
     "whether in an action of contract, tort or otherwise, arising from, out of or in "
     "connection with the program or its use.\n\n"
     "You use the program at your own risk. You alone choose the actions, the files and the "
     "options of every job; check them, and the preview, before you perform it.\n\n"
     "A job changes many files at once, and a file overwritten with Overwrite File is gone for "
     "good. Keep a backup of the files that matter to you.\n\n"
     "The program collects nothing about you and sends nothing anywhere. It keeps only the "
     "Process file and the Error file in its work folder and the last directory of Step 2 in "
     "~/.config/veltrane/q-tarvox.conf.\n\n"
     "The names of other products in this help belong to their owners; they are named only to "
     "tell how this program works with them."},
};

}  // namespace

bool HasProse(int topic) {
  for (const auto& row : kProse) {
    if (row.topic == topic) return true;
  }
  return false;
}

std::optional<std::string> TopicProse(int topic) {
  for (const auto& row : kProse) {
    if (row.topic != topic) continue;
    std::string prose = row.prose;
    if (topic == 60) prose += "\n\n" + UsageAsHelpText(ParseUsage(UsageText()));
    return prose;
  }
  return std::nullopt;
}

}  // namespace qtarvox::help
