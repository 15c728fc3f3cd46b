// Starting the built q-tarvox executable the way a script would.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/xattr_helpers.h"
#include "temp_dir.h"

extern char** environ;

namespace qtarvox {

inline constexpr const char* kProcess = "Q-Tarvox_Process.txt";
inline constexpr const char* kError = "Q-Tarvox_Err.txt";

// Starts `exe` with `args` in `cwd`, no display, `set` overriding the environment; its pid.
inline pid_t StartProgram(const std::vector<std::string>& args, const std::vector<std::string>& set,
                          const std::string& cwd, const std::string& out_path,
                          const std::string& err_path, const std::string& in_path = "/dev/null",
                          const std::string& exe = QTARVOX_EXE) {
  std::vector<std::string> argv_text{exe}, env{set};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<std::string> dropped{"DISPLAY", "WAYLAND_DISPLAY"};
  for (const auto& entry : set) dropped.push_back(entry.substr(0, entry.find('=')));
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    if (std::ranges::count(dropped, entry.substr(0, entry.find('='))) == 0) env.push_back(entry);
  }
  std::vector<char*> argv, envp;
  for (auto& a : argv_text) argv.push_back(a.data());
  for (auto& e : env) envp.push_back(e.data());
  argv.push_back(nullptr);
  envp.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(open(in_path.c_str(), O_RDONLY), STDIN_FILENO);
    dup2(open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
    dup2(open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
    if (chdir(cwd.c_str()) == 0) execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  return pid;
}

// Waits for the child; kills it after `timeout_ms`.
inline int WaitProgram(pid_t pid, int timeout_ms = 120000) {
  if (pid <= 0) return -1;
  int status = 0;
  for (int ms = 0; waitpid(pid, &status, WNOHANG) == 0; ++ms) {
    if (ms == timeout_ms) kill(pid, SIGKILL);
    usleep(1000);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
}

// Relative path -> bytes; kReadOnly or "<x:" + stored DOS value + ">" after them, "@" + a
// link's target; with `modes`, folders too and "<mode n>" in front instead of kReadOnly.
using Tree = std::map<std::string, std::string>;

inline constexpr const char* kReadOnly = "<ro>";

inline Tree Snapshot(const std::string& root, bool modes = false) {
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
    std::string value;
    if (modes) value = "<mode " + std::to_string(static_cast<int>(own.permissions())) + ">";
    if (fs::is_regular_file(own)) {
      std::ifstream in(entry.path(), std::ios::binary);
      value += std::string(std::istreambuf_iterator<char>(in), {});
      if (!modes && (own.permissions() & fs::perms::owner_write) == fs::perms{}) value += kReadOnly;
    } else if (!modes || !fs::is_directory(own)) {
      continue;
    }
    const std::string stored = RawDosAttrib(entry.path().string());
    if (stored != "(none)") value += "<x:" + stored + ">";
    tree[name] = value;
  }
  return tree;
}

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

struct Outcome {
  int code = -1;  // the exit status, or 1000 + the signal that ended the child
  std::string out, err;
};

// Runs with their own work, settings and home folders (home is the working directory).
class ProgramTest : public ::testing::Test {
 protected:
  std::vector<std::string> Env() const {
    std::vector<std::string> env = {"QTARVOX_WORK_DIR=" + work_dir_, "HOME=" + home_.path(),
                                    "XDG_CONFIG_HOME=" + config_.path(),
                                    "XDG_STATE_HOME=" + config_.PathOf("state")};
    env.insert(env.end(), env_.begin(), env_.end());
    return env;
  }

  // Starts a run whose stdout and stderr go to io_'s "out" (or `out_path`) and "err".
  pid_t Start(const std::vector<std::string>& args, const std::string& cwd = "",
              const std::string& in_path = "/dev/null", const std::string& out_path = "",
              const std::string& exe = QTARVOX_EXE) const {
    return StartProgram(args, Env(), cwd.empty() ? home_.path() : cwd,
                        out_path.empty() ? io_.PathOf("out") : out_path, io_.PathOf("err"), in_path,
                        exe);
  }

  Outcome Finish(pid_t pid) const {
    const int code = WaitProgram(pid);
    if (code < 0) return {};
    return {code, io_.Exists("out") ? io_.ReadFile("out") : "", io_.ReadFile("err")};
  }

  Outcome RunArgs(const std::vector<std::string>& args, const std::string& cwd = "",
                  const std::string& in_path = "/dev/null") const {
    return Finish(Start(args, cwd, in_path));
  }

  // A run (give -v) whose output fills a one-page pipe nobody reads: it waits there until Release.
  struct Held {
    pid_t pid = -1;
    int pipe = -1;
  };
  Held StartHeld(const std::vector<std::string>& args) const {
    const std::string fifo = io_.PathOf("held");
    unlink(fifo.c_str());
    mkfifo(fifo.c_str(), 0600);
    Held held;
    held.pipe = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    fcntl(held.pipe, F_SETPIPE_SZ, 4096);
    held.pid = Start(args, "", "/dev/null", fifo);
    // Until one of its threads waits to write into the full pipe.
    const std::string tasks = "/proc/" + std::to_string(held.pid) + "/task";
    for (int i = 0; i < 600000; ++i) {
      bool waiting = false;
      std::error_code ec;
      for (const auto& task : std::filesystem::directory_iterator(tasks, ec)) {
        std::ifstream in(task.path() / "wchan");
        std::string wchan;
        in >> wchan;
        waiting = waiting || wchan.find("pipe_write") != std::string::npos;
      }
      if (waiting) break;
      usleep(100);
    }
    return held;
  }
  // Lets a held run go on to its end; its exit status.
  int Release(Held& held) const {
    fcntl(held.pipe, F_SETFL, 0);
    char buffer[65536];
    while (read(held.pipe, buffer, sizeof buffer) > 0) {
    }
    close(held.pipe);
    return WaitProgram(held.pid);
  }

  // `count` files n00000.txt ... holding their numbers in folder `name` of files_.
  std::string MakeFiles(const std::string& name, int count) const {
    const std::string folder = files_.MakeDir(name);
    for (int i = 0; i < count; ++i) {
      std::ofstream(folder + "/n" + std::to_string(100000 + i).substr(1) + ".txt") << i;
    }
    return folder;
  }
  static size_t CountWith(const std::string& folder, const std::string& prefix) {
    size_t n = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
      n += e.path().filename().string().starts_with(prefix);
    }
    return n;
  }
  static size_t CountLines(const std::string& text, const std::string& with) {
    size_t n = 0;
    for (size_t at = 0; (at = text.find(with, at)) != std::string::npos; at += with.size()) ++n;
    return n;
  }

  TempDir files_, work_, config_, io_, home_;
  std::string work_dir_ = work_.path();
  std::vector<std::string> env_;  // more of the program's environment
};

}  // namespace qtarvox
