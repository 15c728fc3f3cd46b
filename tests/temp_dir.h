// A fresh folder for one test, removed with everything in it when the test ends.
#pragma once

#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace qtarvox {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qtarvox-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempDir() {
    // A folder a test made read-only could not be emptied otherwise.
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
      if (it->is_directory(ec) && !it->is_symlink(ec)) chmod(it->path().c_str(), 0700);
    }
    chmod(path_.c_str(), 0700);
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder, without a trailing "/".
  const std::string& path() const { return path_; }
  // The folder with a trailing "/", as directory arguments are often given.
  std::string slash() const { return path_ + "/"; }
  // The full path of `name` (which may hold "/") inside the folder.
  std::string PathOf(const std::string& name) const { return path_ + "/" + name; }

  // Creates (or overwrites) a file and its missing folders; its full path.
  std::string WriteFile(const std::string& name, const std::string& contents = {}) const {
    const std::string full = PathOf(name);
    std::filesystem::create_directories(std::filesystem::path(full).parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out << contents;
    if (!out) throw std::runtime_error("cannot write " + full);
    return full;
  }

  // Creates a folder (and its parents) and returns its full path.
  std::string MakeDir(const std::string& name) const {
    const std::string full = PathOf(name);
    std::filesystem::create_directories(full);
    return full;
  }

  // The bytes of a file; throws when it cannot be read.
  std::string ReadFile(const std::string& name) const {
    std::ifstream in(PathOf(name), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + PathOf(name));
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // True when an entry of that name exists (a dangling symbolic link counts).
  bool Exists(const std::string& name) const {
    struct stat st;
    return lstat(PathOf(name).c_str(), &st) == 0;
  }

  // The names in the folder (or in its subfolder `name`), sorted by bytes.
  std::vector<std::string> List(const std::string& name = {}) const {
    std::vector<std::string> names;
    for (const auto& entry :
         std::filesystem::directory_iterator(name.empty() ? path_ : PathOf(name))) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string path_;
};

}  // namespace qtarvox
