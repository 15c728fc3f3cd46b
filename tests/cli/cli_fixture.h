// Table rows of runs of the program, each on a fresh folder of files laid out from a Tree.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "program.h"

namespace qtarvox {

class CliEndToEnd : public ProgramTest {
 protected:
  // A fresh files folder holding `tree` for each table row, and an empty work folder.
  void StartRow(size_t row, const Tree& tree) {
    dir_ = files_.MakeDir("row" + std::to_string(row));
    for (const auto& name : work_.List()) std::filesystem::remove_all(work_.PathOf(name));
    for (const auto& [name, value] : tree) {
      const std::string relative = "row" + std::to_string(row) + "/" + name;
      if (value.starts_with('@')) {
        std::filesystem::create_directories(
            std::filesystem::path(files_.PathOf(relative)).parent_path());
        symlink(value.substr(1).c_str(), files_.PathOf(relative).c_str());
        continue;
      }
      const std::string path = files_.WriteFile(relative, value.substr(0, value.find(kReadOnly)));
      if (value.ends_with(kReadOnly)) chmod(path.c_str(), 0444);
    }
  }

  // Replaces every %D with the row's files folder.
  std::string Expand(std::string text) const {
    for (size_t at = text.find("%D"); at != std::string::npos; at = text.find("%D", at + 1)) {
      text.replace(at, 2, dir_);
    }
    return text;
  }

  // Runs the program with the '|'-separated arguments (after Expand).
  Outcome Run(const std::string& arg_list) const { return RunArgs(Split(Expand(arg_list))); }

  std::string dir_ = files_.path();
};

}  // namespace qtarvox
