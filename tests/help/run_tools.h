// Running the system's tools from a test.
#pragma once

#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <string>

namespace qtarvox {

inline const std::string kBuild = QTARVOX_BUILD_DIR;
inline const std::string kSource = QTARVOX_SOURCE_DIR;

// A word in single quotes for the shell.
inline std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

struct Ran {
  int status = -1;
  std::string output;  // stdout and stderr
};

inline Ran Shell(const std::string& command) {
  Ran ran;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return ran;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) ran.output.append(buffer, n);
  const int status = pclose(pipe);
  ran.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return ran;
}

// Fails the test when a tool that script/setup installs is missing.
inline void Need(const char* tool, const char* package) {
  ASSERT_EQ(Shell(std::string("command -v ") + tool).status, 0)
      << tool << " is missing: install " << package << " (script/setup does)";
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace qtarvox
