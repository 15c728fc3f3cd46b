#include "engine/unique_number.h"

#include <limits>

#include "platform/dir_search.h"

namespace qtarvox {
namespace {

constexpr int64_t kMaxNumber = std::numeric_limits<int64_t>::max();

}  // namespace

std::string UniqueNumberPattern(const std::string& new_filename, const std::string& old_extension) {
  const size_t dot = new_filename.rfind('.');
  const std::string base = dot == std::string::npos ? new_filename : new_filename.substr(0, dot);
  return base + "*" + old_extension;
}

int64_t TrailingNumber(std::string_view filename) {
  const std::string_view text = filename.substr(0, filename.find('.'));
  size_t begin = text.size();
  while (begin > 0 &&
         ((text[begin - 1] >= '0' && text[begin - 1] <= '9') || text[begin - 1] == ' ')) {
    --begin;
  }
  bool any_digit = false;
  int64_t value = 0;
  for (const char c : text.substr(begin)) {
    if (c == ' ') continue;
    const int digit = c - '0';
    if (value > (kMaxNumber - digit) / 10) return -1;
    value = value * 10 + digit;
    any_digit = true;
  }
  return any_digit ? value : -1;
}

std::string InsertNumber(const std::string& new_filename, const std::string& separator,
                         int64_t number) {
  const size_t dot = new_filename.find('.');
  if (dot == std::string::npos) return new_filename + std::to_string(number);
  return new_filename.substr(0, dot) + separator + std::to_string(number) +
         new_filename.substr(dot);
}

int64_t UniqueNumber(const std::string& directory, const std::string& new_filename,
                     const std::string& old_extension) {
  std::vector<std::string> names;
  // A folder that cannot be searched gives 1; the rename itself never takes
  // a taken name and tries the next numbers.
  (void)SearchDirectory(directory, UniqueNumberPattern(new_filename, old_extension),
                        SearchFilter::kFiles, names);
  // n names leave one of 1 .. n + 1 free: only those need marking.
  std::vector<bool> used(names.size() + 2, false);
  for (const auto& name : names) {
    const int64_t n = TrailingNumber(name);
    if (n >= 1 && static_cast<uint64_t>(n) < used.size()) used[static_cast<size_t>(n)] = true;
  }
  size_t smallest = 1;
  while (used[smallest]) ++smallest;
  return static_cast<int64_t>(smallest);
}

}  // namespace qtarvox
