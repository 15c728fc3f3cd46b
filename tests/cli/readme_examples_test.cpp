// The README's examples, run in a shell on fresh files, still work and print what they show.
#include "help/run_tools.h"
#include "program.h"

namespace qtarvox {
namespace {

namespace fs = std::filesystem;

// The code blocks of the README: their language and their lines.
struct Block {
  std::string language;
  std::vector<std::string> lines;
};

std::vector<Block> CodeBlocks(const std::string& readme) {
  std::vector<Block> blocks;
  std::istringstream in(readme);
  bool inside = false;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("```")) {
      inside = !inside;
      if (inside) blocks.push_back({line.substr(3), {}});
      continue;
    }
    if (inside) blocks.back().lines.push_back(line);
  }
  return blocks;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

class ReadmeExamples : public ::testing::Test {
 protected:
  void SetUp() override {
    // The program under the name the examples use.
    const std::string bin = root_.MakeDir("bin");
    fs::create_symlink(QTARVOX_EXE, bin + "/q-tarvox");
    path_ = bin + ":" + (getenv("PATH") != nullptr ? getenv("PATH") : "/usr/bin:/bin");
  }

  // Files for every example: /home/me and /tmp become folders of the test.
  void FreshFiles() {
    fs::remove_all(root_.PathOf("files"));
    for (const char* name :
         {"files/me/a.txt", "files/me/b c.txt", "files/me/b.txt", "files/me/report.txt",
          "files/me/docs/x.txt", "files/me/docs/sub/y.doc", "files/me/music/Song.MP3",
          "files/tmp/z.txt", "files/cwd/p.jpg", "files/cwd/q.jpg"}) {
      root_.WriteFile(name, name);
    }
  }

  std::string Localized(const std::string& command) const {
    // "/tmp" first: the test's own folders live under /tmp as well.
    return ReplaceAll(ReplaceAll(command, "/tmp", root_.PathOf("files/tmp")), "/home/me",
                      root_.PathOf("files/me"));
  }

  // Runs a shell command in files/cwd; its exit status and stdout.
  std::pair<int, std::string> Shell(const std::string& command) const {
    const pid_t pid = StartProgram(
        {"-c", command},
        {"PATH=" + path_, "QTARVOX_WORK_DIR=" + root_.MakeDir("work"),
         "XDG_CONFIG_HOME=" + root_.MakeDir("config"), "HOME=" + root_.PathOf("files/me")},
        root_.PathOf("files/cwd"), root_.PathOf("out"), "/dev/null", "/dev/null", "/bin/sh");
    return {WaitProgram(pid), root_.ReadFile("out")};
  }

  TempDir root_;
  std::string path_;
};

TEST_F(ReadmeExamples, EveryExampleStillRuns) {
  size_t commands = 0;
  for (const Block& block : CodeBlocks(ReadFile(kSource + "/README.md"))) {
    if (block.language != "sh") continue;
    // A command is a line that starts with "q-tarvox".
    for (const auto& command : block.lines) {
      if (!command.starts_with("q-tarvox ")) continue;
      SCOPED_TRACE(command);
      FreshFiles();
      EXPECT_EQ(Shell(Localized(command)).first, 0);
      ++commands;
    }
  }
  EXPECT_GE(commands, 7u);
}

// A block that starts with "$ q-tarvox" shows the command and its output.
TEST_F(ReadmeExamples, ShownOutputIsWhatTheProgramPrints) {
  size_t shown = 0;
  for (const Block& block : CodeBlocks(ReadFile(kSource + "/README.md"))) {
    if (block.lines.empty() || !block.lines[0].starts_with("$ q-tarvox ")) continue;
    SCOPED_TRACE(block.lines[0]);
    std::string expected;
    for (size_t i = 1; i < block.lines.size(); ++i) expected += block.lines[i] + "\n";
    FreshFiles();
    EXPECT_EQ(Shell(Localized(block.lines[0].substr(2))).second, Localized(expected));
    ++shown;
  }
  EXPECT_GE(shown, 1u);
}

}  // namespace
}  // namespace qtarvox
