#include "engine/report_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace qtarvox {
namespace {

constexpr size_t kBufferSize = 64 * 1024;

RtError NotOpen() { return ErrorFromErrno(EBADF); }

}  // namespace

void EndReportLine(std::string& buffer, size_t start) {
  // Most lines hold no line break at all; memchr finds that out fastest.
  const char* begin = buffer.data() + start;
  const size_t size = buffer.size() - start;
  if (std::memchr(begin, '\r', size) != nullptr || std::memchr(begin, '\n', size) != nullptr) {
    for (size_t i = start; i < buffer.size(); ++i) {
      if (buffer[i] == '\r' || buffer[i] == '\n') buffer[i] = '?';
    }
  }
  buffer.append("\r\n");
}

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
  const size_t start = buffer_.size();
  buffer_.append(line);
  EndReportLine(buffer_, start);
  if (buffer_.size() >= kBufferSize) return Flush();
  return {};
}

RtError ReportFile::WriteLine(std::initializer_list<std::string_view> pieces) {
  if (fd_ < 0) return NotOpen();
  const size_t start = buffer_.size();
  for (std::string_view piece : pieces) buffer_.append(piece);
  EndReportLine(buffer_, start);
  if (buffer_.size() >= kBufferSize) return Flush();
  return {};
}

RtError ReportFile::WriteLines(std::string_view lines) {
  if (fd_ < 0) return NotOpen();
  if (lines.empty()) return {};
  buffer_.append(lines);
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
