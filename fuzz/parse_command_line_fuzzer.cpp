// The command line from its arguments to a checked job and a first new name,
// the way a silent run goes. The input is the argument list, the arguments
// separated by NUL bytes (which no argument can hold).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/numbering.h"
#include "engine/transform.h"
#include "engine/validation.h"
#include "fuzz_checks.h"
#include "platform/chars.h"
#include "run/parse_command_line.h"
#include "wizard/summary.h"

namespace qtarvox {
namespace {

using fuzz::IsValidUtf8;
using fuzz::Require;

class CountingPrompter final : public Prompter {
 public:
  void Tell(const std::string&, const std::string&) override { ++told; }
  bool Ask(const std::string&, const std::string&) override { return false; }
  int told = 0;
};

std::vector<std::string> SplitArguments(std::string_view input) {
  std::vector<std::string> args;
  if (input.empty()) return args;
  size_t start = 0;
  for (size_t at; (at = input.find('\0', start)) != std::string_view::npos; start = at + 1) {
    args.emplace_back(input.substr(start, at - start));
  }
  args.emplace_back(input.substr(start));
  return args;
}

bool AllValid(const std::vector<std::string>& texts) {
  return std::all_of(texts.begin(), texts.end(), [](const std::string& t) { return IsValidUtf8(t); });
}

// Every text the command line can write into the job.
bool JobTextsValid(const Job& job) {
  return AllValid({job.ReplaceSearch, job.ReplaceWith, job.AddBeginningText, job.AddEndText,
                   job.NumberEndStart, job.NumberBeginningStart, job.NewExtension,
                   job.NewFilename, job.txtSep, job.txtExtList}) &&
         AllValid(job.lstFile) && AllValid(job.lstDir) && AllValid(job.lstExt);
}

void CheckParsedJob(const Job& job, const CountingPrompter& prompter, std::string_view input) {
  Require(!job.FilesGivenIndividually || !job.lstFile.empty(), "FI set without a file");
  Require(!job.FilesGivenByExtension || !job.lstDir.empty(), "FE set without a directory");
  Require(std::is_sorted(job.lstDir.begin(), job.lstDir.end(),
                         [](const std::string& a, const std::string& b) {
                           return CompareNames(a, b) < 0;
                         }),
          "directory list out of order");
  for (const auto& extension : job.lstExt) {
    Require(extension.starts_with("*."), "extension pattern without its \"*.\"");
  }
  for (const auto& file : job.lstFile) Require(!file.empty(), "empty file entry");
  Require(prompter.told == 0 || input.find('|') != std::string_view::npos,
          "a message other than the vertical-bar note");
}

// A first file through the job as the operation-list pass would take it.
void TransformFirstFile(const Job& job, bool texts_valid) {
  RunState run;
  PassCounters counters(job, run, NumberingPass::kOperationList);
  counters.Next();
  const TransformPlan plan(job);
  static const std::string_view kNames[] = {"Report 1_final.TXT", "\xC3\xA9t\xC3\xA9.mp3",
                                            "x\xFF\xC3.", ".profile", ""};
  for (const std::string_view filename : kNames) {
    std::string name, extension;
    SplitFilename(filename, name, extension);
    WorkingName state;
    TransformName(job, run, plan, name, extension, state, nullptr);
    if (texts_valid && IsValidUtf8(filename)) {
      Require(IsValidUtf8(Encode(state.wn) + state.we), "valid UTF-8 in, invalid out");
    }
  }
}

}  // namespace
}  // namespace qtarvox

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace qtarvox;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> args = SplitArguments(input);

  const CliOptions options = SplitProgramOptions(args);
  // Every word starting with "--" before a "--" of its own is taken out,
  // known or not, and so are the short options; the arguments after that
  // "--" are files, as they are.
  for (const auto& arg : options.rest) {
    fuzz::Require(!arg.starts_with("--") && arg != kOptionHelpShort && arg != kOptionQuietShort &&
                      arg != kOptionVerboseShort,
                  "a program option left among the commands");
  }
  fuzz::Require(options.rest.size() + options.files.size() <= args.size(),
                "more commands and files than arguments");
  fuzz::Require(std::equal(options.files.rbegin(), options.files.rend(), args.rbegin()),
                "the files after \"--\" not taken as they are");

  const std::vector<Segment> segments = BuildSegments(options.rest);
  fuzz::Require(segments.size() <= options.rest.size(), "more segments than arguments");
  for (const auto& segment : segments) fuzz::Require(!segment.text.empty(), "empty segment");

  Job job;
  CountingPrompter prompter;
  ParseCommandLine(job, segments, prompter);
  CheckParsedJob(job, prompter, input);
  const bool texts_valid = fuzz::IsValidUtf8(input) && JobTextsValid(job);
  fuzz::Require(!fuzz::IsValidUtf8(input) || texts_valid, "valid UTF-8 arguments, invalid job text");

  // A silent run drops the actions that fail their check instead of stopping.
  job.SuppressedMode = true;
  if (ValidateStep1(job).passed) {
    SnapshotChosenActions(job);
    job.method = SelectionMethod::kDone;
    ScreenState screen;
    ShowSummary(job, screen);
    TransformFirstFile(job, texts_valid);
  }
  return 0;
}
