#include "engine/report_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace qtarvox {
namespace {

constexpr size_t kBufferSize = 64 * 1024;

RtError NotOpen() { return ErrorFromErrno(EBADF); }

// A line must stay one line: a carriage return or line feed inside it (a
// file name may hold one) is written as "?".
void AppendOneLine(std::string& buffer, std::string_view text) {
  const size_t start = buffer.size();
  buffer.append(text);
  for (size_t i = start; i < buffer.size(); ++i) {
    if (buffer[i] == '\r' || buffer[i] == '\n') buffer[i] = '?';
  }
}

}  // namespace

ReportFile::~ReportFile() { Close(); }

RtError ReportFile::OpenForOutput(const std::string& path) {
  Close();
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return ErrorFromErrno(errno);
  fd_ = fd;
  path_ = path;
  buffer_.reserve(kBufferSize + 4096);
  return {};
}

RtError ReportFile::Flush() {
  size_t done = 0;
  while (done < buffer_.size()) {
    const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      buffer_.clear();
      return ErrorFromErrno(err);
    }
    done += static_cast<size_t>(n);
  }
  buffer_.clear();
  return {};
}

RtError ReportFile::WriteLine(std::string_view line) {
  if (fd_ < 0) return NotOpen();
  AppendOneLine(buffer_, line);
  buffer_.append("\r\n");
  if (buffer_.size() >= kBufferSize) return Flush();
  return {};
}

RtError ReportFile::WriteLine(std::initializer_list<std::string_view> pieces) {
  if (fd_ < 0) return NotOpen();
  for (std::string_view piece : pieces) AppendOneLine(buffer_, piece);
  buffer_.append("\r\n");
  if (buffer_.size() >= kBufferSize) return Flush();
  return {};
}

RtError ReportFile::Close() {
  if (fd_ < 0) return {};
  RtError err = Flush();
  if (::close(fd_) != 0 && err.ok()) err = ErrorFromErrno(errno);
  fd_ = -1;
  return err;
}

LineReader::~LineReader() { Close(); }

RtError LineReader::Open(const std::string& path) {
  Close();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return ErrorFromErrno(errno);
  fd_ = fd;
  buffer_.clear();
  pos_ = 0;
  eof_ = false;
  error_ = {};
  return {};
}

bool LineReader::Fill() {
  if (eof_ || fd_ < 0) return false;
  if (pos_ > 0) {
    buffer_.erase(0, pos_);
    pos_ = 0;
  }
  const size_t old = buffer_.size();
  buffer_.resize(old + kBufferSize);
  ssize_t n;
  do {
    n = ::read(fd_, buffer_.data() + old, kBufferSize);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    error_ = ErrorFromErrno(errno);
    buffer_.resize(old);
    eof_ = true;
    return false;
  }
  buffer_.resize(old + static_cast<size_t>(n));
  if (n == 0) eof_ = true;
  return n > 0;
}

bool LineReader::ReadLine(std::string& line) {
  if (fd_ < 0) return false;
  for (;;) {
    const size_t lf = buffer_.find('\n', pos_);
    if (lf != std::string::npos) {
      size_t end = lf;
      if (end > pos_ && buffer_[end - 1] == '\r') --end;
      line.assign(buffer_, pos_, end - pos_);
      pos_ = lf + 1;
      return true;
    }
    if (!Fill()) {
      if (pos_ < buffer_.size()) {
        line.assign(buffer_, pos_, std::string::npos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        pos_ = buffer_.size();
        return true;
      }
      return false;
    }
  }
}

void LineReader::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace qtarvox
