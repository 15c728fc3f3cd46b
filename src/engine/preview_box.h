// The text of the preview box: grows during a preview and refuses more text
// once its capacity would be exceeded (the engine reports that as error 7).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qtarvox {

class PreviewBox {
 public:
  // Large enough for well over 100,000 preview lines of long paths.
  static constexpr size_t kDefaultCapacity = 64u * 1024u * 1024u;

  explicit PreviewBox(size_t capacity = kDefaultCapacity) : capacity_(capacity) {}

  // Appends `more`; returns false (and appends nothing) when it does not fit.
  bool Append(std::string_view more) {
    if (more.size() > capacity_ - std::min(capacity_, text_.size())) return false;
    text_.append(more);
    return true;
  }
  void Clear() { text_.clear(); }
  void SetText(std::string text) { text_ = std::move(text); }
  const std::string& text() const { return text_; }
  size_t capacity() const { return capacity_; }

 private:
  size_t capacity_;
  std::string text_;
};

}  // namespace qtarvox
