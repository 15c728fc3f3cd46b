// The help's examples are what the program does: each example's files are
// made in a fresh folder, previewed by the built program with the example's
// commands, and the help must show the new names the preview prints.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "help/help_topics.h"
#include "program.h"
#include "temp_dir.h"

namespace qtarvox::help {
namespace {

constexpr const char* kTestFile = "This is a TEST File.txt";

// Ten names in the order they are given, the running example first.
std::vector<std::string> TenFiles() {
  std::vector<std::string> files{kTestFile};
  for (int i = 2; i <= 9; ++i) files.push_back("File " + std::to_string(i) + ".txt");
  files.push_back("Zebra.txt");
  return files;
}

struct Example {
  int topic;
  std::vector<std::string> commands;
  std::vector<std::string> files;  // chosen one by one, in this order
  std::vector<size_t> shown;       // the files whose names the help shows
};

// The new name of every file the preview lists, by its old name.
std::map<std::string, std::string> Preview(const TempDir& dir, const Example& example) {
  std::string chosen;
  for (const auto& name : example.files) {
    dir.WriteFile("files/" + name);
    chosen += (chosen.empty() ? "" : "*") + dir.PathOf("files/" + name);
  }
  std::vector<std::string> args{"--preview"};
  args.insert(args.end(), example.commands.begin(), example.commands.end());
  args.insert(args.end(), {"-FI", chosen});
  const int status = WaitProgram(StartProgram(
      args, {"QTARVOX_WORK_DIR=" + dir.PathOf("work"), "XDG_CONFIG_HOME=" + dir.PathOf("config")},
      dir.path(), dir.PathOf("out"), dir.PathOf("err")));
  EXPECT_EQ(status, 0);
  std::ifstream out(dir.PathOf("out"));
  std::map<std::string, std::string> renamed;
  const std::string prefix = dir.PathOf("files/");
  for (std::string line; std::getline(out, line);) {
    const size_t sep = line.find(" == ");
    if (!line.starts_with(prefix) || sep == std::string::npos) continue;
    // A mark after the new name says what kind of change it is: "(case only)".
    std::string changed = line.substr(sep + 4);
    if (changed.ends_with(")")) changed.erase(changed.rfind(" ("));
    renamed[line.substr(prefix.size(), sep - prefix.size())] = changed;
  }
  return renamed;
}

TEST(HelpExamples, ShowWhatTheProgramDoes) {
  const std::vector<std::string> one{kTestFile};
  const std::vector<std::string> three{kTestFile, "Holiday.jpg", "Notes.doc"};
  const std::vector<std::string> words{"this is a test_file.txt"};
  const Example examples[] = {
      {7, {"-AE*abc", "-NE"}, one, {0}},
      {9, {"-UC"}, one, {0}},
      {10, {"-LC"}, one, {0}},
      {63, {"-CO", "-NE"}, {"a.txt", "b.txt", kTestFile}, {2}},
      {11, {"-DL", "6"}, one, {0}},
      {12, {"-DF", "6"}, one, {0}},
      {13, {"-RP*TEST*crazy*Y"}, one, {0}},
      {13, {"-RP*test*crazy*Y"}, one, {0}},
      {13, {"-RP*test*crazy"}, one, {0}},
      {13, {"-RP*TeSt*crazy"}, one, {0}},
      {14, {"-AB*abc"}, one, {0}},
      {15, {"-AE*abc"}, one, {0}},
      {16, {"-NE"}, three, {0, 1, 2}},
      {16, {"-NE", "E"}, TenFiles(), {0, 9}},
      {16, {"-NE", "E", "BN", "95"}, TenFiles(), {0}},
      {17, {"-NB"}, three, {0, 1, 2}},
      {17, {"-NB", "E"}, TenFiles(), {0, 9}},
      {21, {"-EN*dog"}, one, {0}},
      // The preview lists a change of case only where Overwrite File is chosen.
      {54, {"-CW", "S", "-EF", "2"}, words, {0}},
      {54, {"-CW", "SU", "-EF", "2"}, words, {0}},
      {61, {"-CR*This is the new file.doc"}, one, {0}},
  };
  for (const Example& example : examples) {
    TempDir dir;
    const std::map<std::string, std::string> renamed = Preview(dir, example);
    const std::string prose = *TopicProse(example.topic);
    for (const size_t i : example.shown) {
      const std::string& initial = example.files[i];
      // A file the preview does not list keeps its name.
      const auto found = renamed.find(initial);
      const std::string changed = found == renamed.end() ? initial : found->second;
      EXPECT_NE(prose.find("Initial Filename = " + initial + "\nChanged Filename = " + changed),
                std::string::npos)
          << "topic " << example.topic << ": " << example.commands[0] << " makes " << initial
          << " into " << changed;
    }
  }
}

}  // namespace
}  // namespace qtarvox::help
