// Running the built q-tarvox executable the way a script would, on trees of
// files written as text: exact arguments (no shell), private work, settings
// and home folders, no display.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/xattr_helpers.h"
#include "program.h"
#include "temp_dir.h"

namespace qtarvox {

// Relative path -> bytes of every regular file; a file without its owner
// write bit carries kReadOnly after its bytes, one with a stored DOS
// attribute "<x:" + its value + ">"; a symbolic link is "@" + its target.
using Tree = std::map<std::string, std::string>;

inline constexpr const char* kReadOnly = "<ro>";
inline constexpr const char* kProcess = "Q-Tarvox_Process.txt";
inline constexpr const char* kError = "Q-Tarvox_Err.txt";

// Tables write lists in one string, the items separated by '|'.
inline std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> items;
  std::istringstream in(text);
  for (std::string item; std::getline(in, item, '|');) items.push_back(item);
  return items;
}

// "name=bytes|name=bytes" as a Tree.
inline Tree T(const std::string& text) {
  Tree tree;
  for (const auto& item : Split(text)) {
    tree[item.substr(0, item.find('='))] = item.substr(item.find('=') + 1);
  }
  return tree;
}

inline Tree Snapshot(const std::string& root) {
  namespace fs = std::filesystem;
  Tree tree;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string name = entry.path().lexically_relative(root).string();
    // The entry's own type: a link is never followed.
    const fs::file_status own = entry.symlink_status();
    if (fs::is_symlink(own)) {
      tree[name] = "@" + fs::read_symlink(entry.path()).string();
      continue;
    }
    if (!fs::is_regular_file(own)) continue;
    const bool read_only = (own.permissions() & fs::perms::owner_write) == fs::perms{};
    std::ifstream in(entry.path(), std::ios::binary);
    std::string& value = tree[name];
    value = std::string(std::istreambuf_iterator<char>(in), {}) + (read_only ? kReadOnly : "");
    const std::string stored = RawDosAttrib(entry.path().string());
    if (stored != "(none)") value += "<x:" + stored + ">";
  }
  return tree;
}

struct Outcome {
  int code = -1;  // the exit status, or 1000 + the signal that ended the child
  std::string out, err;
};

class CliEndToEnd : public ::testing::Test {
 protected:
  // A fresh files folder holding `tree` for each table row, and an empty work
  // folder.
  void StartRow(size_t row, const Tree& tree) {
    dir_ = files_.MakeDir("row" + std::to_string(row));
    for (const auto& name : work_.List()) std::filesystem::remove_all(work_.PathOf(name));
    for (const auto& [name, value] : tree) {
      const std::string relative = "row" + std::to_string(row) + "/" + name;
      if (value.starts_with('@')) {
        std::filesystem::create_directories(std::filesystem::path(files_.PathOf(relative)).parent_path());
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

  // Runs the program with the '|'-separated arguments (after Expand), in
  // home_ (or `cwd`), without a display and with its own work, settings and
  // home folders; stdin is read from `in_path`, stdout and stderr go to
  // files. It is killed after 30 s.
  Outcome Run(const std::string& arg_list) const { return RunArgs(Split(Expand(arg_list))); }

  Outcome RunArgs(const std::vector<std::string>& args, const std::string& cwd = "",
                  const std::string& in_path = "/dev/null") const {
    const std::string out = io_.PathOf("out"), err = io_.PathOf("err");
    const pid_t pid = StartProgram(
        args,
        {"QTARVOX_WORK_DIR=" + work_.path(), "HOME=" + home_.path(),
         "XDG_CONFIG_HOME=" + config_.path(), "XDG_STATE_HOME=" + config_.PathOf("state")},
        cwd.empty() ? home_.path() : cwd, out, err, in_path);
    const int code = WaitProgram(pid);
    if (code < 0) return {};
    return {code, io_.ReadFile("out"), io_.ReadFile("err")};
  }

  TempDir files_, work_, config_, io_, home_;  // home_ is also the working directory
  std::string dir_ = files_.path();
};

}  // namespace qtarvox
