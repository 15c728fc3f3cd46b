#include "engine/report_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace qtarvox {
namespace {

constexpr size_t kBufferSize = 64 * 1024;
// Written behind, larger buffers mean fewer hand-overs between the threads.
constexpr size_t kBehindBufferSize = 256 * 1024;

RtError NotOpen() { return ErrorFromErrno(EBADF); }

// Writes all of `bytes`; 0 or an errno value.
int WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += static_cast<size_t>(n);
  }
  return 0;
}

}  // namespace

// The second thread of a file written behind: it empties the file, writes
// the full buffers handed to it in order, and starts the disk writes of each
// one at once. Emptying a large old file, copying into the page cache and
// (on ext4, for a file that was emptied) the writeback forced when it is
// closed are then no longer waited for by the thread that makes the lines.
class ReportFile::Behind {
 public:
  explicit Behind(int fd) : fd_(fd), thread_([this] { Run(); }) {}
  Behind(const Behind&) = delete;
  Behind& operator=(const Behind&) = delete;
  ~Behind() { Finish(); }

  // Queues `buffer` (left empty, its room kept) and returns an error the
  // thread met since the last call, if any.
  RtError Hand(std::string& buffer) {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [&] { return queue_.size() < kMaxQueued; });
    queue_.push_back(std::move(buffer));
    buffer = TakeSpare();
    ready_.notify_one();
    return TakeError();
  }

  // Waits until everything handed is written; the last error not yet returned.
  RtError Finish() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
      ready_.notify_one();
    }
    if (thread_.joinable()) thread_.join();
    std::lock_guard lock(mutex_);
    return TakeError();
  }

 private:
  static constexpr size_t kMaxQueued = 2;

  std::string TakeSpare() {
    if (spare_.empty()) return {};
    std::string buffer = std::move(spare_.back());
    spare_.pop_back();
    return buffer;
  }

  RtError TakeError() {
    const int err = error_;
    error_ = 0;
    return err == 0 ? RtError{} : ErrorFromErrno(err);
  }

  void Run() {
    // A file that cannot be emptied is not written into at all.
    bool usable = ::ftruncate(fd_, 0) == 0;
    if (!usable) Fail(errno);
    off_t offset = 0;
    for (;;) {
      std::string buffer;
      {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [&] { return !queue_.empty() || stopping_; });
        if (queue_.empty()) return;
        buffer = std::move(queue_.front());
        queue_.pop_front();
        room_.notify_one();
      }
      if (usable) {
        if (const int err = WriteAll(fd_, buffer)) {
          Fail(err);
        } else {
          // Only a hint: where it is refused, the kernel writes later.
          ::sync_file_range(fd_, offset, static_cast<off_t>(buffer.size()), SYNC_FILE_RANGE_WRITE);
          offset += static_cast<off_t>(buffer.size());
        }
      }
      buffer.clear();
      std::lock_guard lock(mutex_);
      spare_.push_back(std::move(buffer));
    }
  }

  void Fail(int err) {
    std::lock_guard lock(mutex_);
    error_ = err;
  }

  const int fd_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::condition_variable room_;
  std::deque<std::string> queue_;
  std::vector<std::string> spare_;
  int error_ = 0;  // errno value not yet returned
  bool stopping_ = false;
  std::thread thread_;  // last: starts once everything above is ready
};

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

ReportFile::ReportFile() = default;

ReportFile::~ReportFile() { Close(); }

RtError ReportFile::OpenForOutput(const std::string& path, bool write_behind) {
  Close();
  // Written behind, the file is emptied by the second thread; opening it for
  // writing already fails wherever emptying it would.
  const int fd =
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (write_behind ? 0 : O_TRUNC), 0644);
  if (fd < 0) return ErrorFromErrno(errno);
  if (write_behind) {
    try {
      behind_ = std::make_unique<Behind>(fd);
    } catch (const std::system_error&) {
      // No second thread: write here.
      if (::ftruncate(fd, 0) != 0) {
        const int err = errno;
        ::close(fd);
        return ErrorFromErrno(err);
      }
    }
  }
  fd_ = fd;
  path_ = path;
  flush_at_ = behind_ ? kBehindBufferSize : kBufferSize;
  buffer_.reserve(flush_at_ + 4096);
  return {};
}

RtError ReportFile::Flush() {
  if (behind_) return behind_->Hand(buffer_);
  const int err = WriteAll(fd_, buffer_);
  buffer_.clear();
  return err == 0 ? RtError{} : ErrorFromErrno(err);
}

RtError ReportFile::WriteLine(std::string_view line) {
  if (fd_ < 0) return NotOpen();
  const size_t start = buffer_.size();
  buffer_.append(line);
  EndReportLine(buffer_, start);
  if (buffer_.size() >= flush_at_) return Flush();
  return {};
}

RtError ReportFile::WriteLine(std::initializer_list<std::string_view> pieces) {
  if (fd_ < 0) return NotOpen();
  const size_t start = buffer_.size();
  for (std::string_view piece : pieces) buffer_.append(piece);
  EndReportLine(buffer_, start);
  if (buffer_.size() >= flush_at_) return Flush();
  return {};
}

RtError ReportFile::WriteLines(std::string_view lines) {
  if (fd_ < 0) return NotOpen();
  if (lines.empty()) return {};
  buffer_.append(lines);
  if (buffer_.size() >= flush_at_) return Flush();
  return {};
}

RtError ReportFile::Close() {
  if (fd_ < 0) return {};
  RtError err = buffer_.empty() && behind_ ? RtError{} : Flush();
  if (behind_) {
    const RtError last = behind_->Finish();
    if (err.ok()) err = last;
    behind_.reset();
  }
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
