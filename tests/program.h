// Starting the built q-tarvox executable the way a script would: exact
// arguments (no shell), a chosen environment, no display, stdout and stderr
// into files.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

extern char** environ;

namespace qtarvox {

// Starts the program (`exe`, the built one unless given) with `args` in
// `cwd`, its standard input read from `in_path`. The environment is this
// process's without a display and without the variables named in `set`
// ("NAME=value"), which are then given their new values. Returns the child's pid.
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

// Waits for the child; kills it after `timeout_ms`. The exit status, or 1000
// + the signal that ended it; -1 when it could not be started.
inline int WaitProgram(pid_t pid, int timeout_ms = 30000) {
  if (pid <= 0) return -1;
  int status = 0;
  for (int ms = 0; waitpid(pid, &status, WNOHANG) == 0; ++ms) {
    if (ms == timeout_ms) kill(pid, SIGKILL);
    usleep(1000);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
}

}  // namespace qtarvox
