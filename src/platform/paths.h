// Putting paths together, the one way the program does it.
#pragma once

#include <string>
#include <string_view>

namespace qtarvox {

// The directory with a "/" at its end (an empty one stays empty).
std::string WithTrailingSlash(std::string directory);

// The folder, a "/" unless the folder already ends in one, and the name.
std::string JoinPath(const std::string& folder, const std::string& name);

// A path cut at its last "/": the folder before it and the name after it
// ("a/b/c.txt" is "a/b" and "c.txt"; "/c.txt" is "" and "c.txt"). Without a
// "/", `has_slash` is false, the folder empty and the name the whole path.
struct PathSplit {
  std::string_view folder;
  std::string_view name;
  bool has_slash = false;
};
PathSplit SplitAtLastSlash(std::string_view path);

// The name after the last "/" of `path`; the whole path when it holds none.
std::string_view NameOfPath(std::string_view path);

// The folder that holds what `path` names: the part before its last "/",
// "/" for a name in the root folder, empty when `path` holds no "/".
std::string ParentFolder(std::string_view path);

// The part of `path` up to and with its last "/" ("docs/" of "docs/a.txt");
// empty when `path` holds no "/".
std::string_view FolderWithSlash(std::string_view path);

// The process's current directory; empty when it cannot be told.
std::string CurrentDirectory();

// Whether `path` is a directory (a link to one counts).
bool IsDirectory(const std::string& path);

}  // namespace qtarvox
