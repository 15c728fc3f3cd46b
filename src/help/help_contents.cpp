#include "help/help_contents.h"

#include <algorithm>

#include "help/help_topics.h"

namespace qtarvox::help {

const std::array<ContentsRow, 65> kContents{{
    {"Table of Contents : ", kContentsTopic},
    {"", kNoTopic},
    {"I) How to use help", kHelpTopic},
    {"II) Introduction : ", 1},
    {"   A) What is Q-Tarvox?", 2},
    {"   B) Minimum Requirements", 3},
    {"   C) Installation/Uninstallation", 4},
    {"   D) About", kAboutTopic},
    {"III) Actions (Step 1) : ", 5},
    {"   A) What are Actions? How to perform them? : ", 6},
    {"   B) Can I select and perform multiple actions on filenames? : ", 7},
    {"   C) List of Actions and their explanation : ", 8},
    {"      1) Make filename into fully UPPERCASE", 9},
    {"      2) Make filename into fully LOWERCASE", 10},
    {"      3) Clear Original Filename", 63},
    {"      4) Delete last 'n' characters from filename", 11},
    {"      5) Delete first 'n' characters from filename", 12},
    {"      6) Replace 'string1' with 'string2'", 13},
    {"      7) Add string to beginning of filename", 14},
    {"      8) Add string to end of filename", 15},
    {"      9) Add numbers in sequence to end of filename", 16},
    {"      10) Add numbers in sequence to start of filename", 17},
    {"      11) Add read only attribute(+r) to all files", 18},
    {"      12) Add hidden attribute(+h) to all files", 19},
    {"      13) Add archive attribute(+a) to all files", 62},
    {"      14) Remove all attributes and make file normal", 20},
    {"      15) Change file Extension", 21},
    {"      16) Capitalise Words", 54},
    {"      17) Completely rename filename", 61},
    {"IV) Files (Step 2) : ", 22},
    {"   A) How to choose files whose filenames are to be modified?", 23},
    {"      1) By Individual Selection", 24},
    {"      2) By File Extensions", 25},
    {"      3) By Both Methods", 26},
    {"V) Performing the changes (Step 3) : ", 27},
    {"   A) Confirming Actions and files choosen", 28},
    {"   B) File already existing with similar filename", 71},
    {"   C) Previewing changes", 29},
    {"   D) Performing the actions on the files", 30},
    {"   E) Process File", 31},
    {"   F) Error File", 32},
    {"VI) Command Line Arguments", 57},
    {"   A) What are command line arguments?", 58},
    {"   B) List of all command line arguments allowed with explanation", 60},
    {"VII) Errors and Troubleshooting", 33},
    {"   A) Program does not start : a Qt library file is missing", 34},
    {"   B) Filename did not become fully Uppercase", 35},
    {"   C) The actions are not performed in the order I want them to", 36},
    {"   D) Preview of all files are not shown", 37},
    {"   E) Error file errors", 38},
    {"      1) How to view the errors generated?", 39},
    {"      2) List of Errors and their explanations : ", 40},
    {"         a) Error 7(Out of Memory)", 41},
    {"         b) Error 52(Bad Filename or Number)", 42},
    {"         c) Error 53(File Not Found)", 43},
    {"         d) Error 57(Device I/O Error)", 44},
    {"         e) Error 58(File already Exists)", 45},
    {"         f) Error 61(Disk Full)", 46},
    {"         g) Error 71(Disk not ready)", 47},
    {"         h) Error 75(Path/File Access Error)", 48},
    {"         i) Error 76(Path not found)", 49},
    {"         j) Other Errors (Untrapped Errors)", 50},
    {"VIII) Contact Information", kContactTopic},
    {"IX) Acknowledgements", kThanksTopic},
    {"X) Disclaimer", 53},
}};

TopicKind KindOf(int topic) {
  if (topic == kContentsTopic) return TopicKind::kContents;
  if (topic == kHelpTopic) return TopicKind::kHelp;
  if (std::ranges::find(kHeadingTopics, topic) != kHeadingTopics.end()) {
    return TopicKind::kHeading;
  }
  return HasProse(topic) ? TopicKind::kText : TopicKind::kEmpty;
}

int IndentOf(std::string_view row_text) {
  const size_t first = row_text.find_first_not_of(' ');
  return static_cast<int>(first == std::string_view::npos ? row_text.size() : first);
}

}  // namespace qtarvox::help
