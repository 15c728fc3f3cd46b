#include "engine/report_file.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <thread>

#include "platform/bounded_queue.h"
#include "platform/chars.h"
#include "platform/descriptors.h"

namespace qtarvox {
namespace {

constexpr size_t kBufferSize = 64 * 1024;
// Written behind, larger buffers mean fewer hand-overs between the threads.
constexpr size_t kBehindBufferSize = 256 * 1024;

RtError NotOpen() { return ErrorFromErrno(EBADF); }

std::string LossNote(const ReportLoss& loss) {
  const uint64_t lines = loss.lines - loss.noted_lines;
  std::string note = loss.cut_line ? "\r\n" : "";
  note += "*** Q-Tarvox Renamer: ";
  note += std::to_string(lines);
  note += lines == 1 ? " line" : " lines";
  note += " could not be written here (";
  note += std::strerror(loss.first_errno);
  note += ") ***\r\n";
  return note;
}

// Writes one buffer of whole lines, after the note about the lines lost
// before it when there is one; what cannot be written is counted in `loss`.
// 0 or the errno value of a failure.
int WriteCounted(int fd, const std::string& buffer, ReportLoss& loss) {
  const bool note_due = loss.lines > loss.noted_lines;
  const std::string note = note_due ? LossNote(loss) : std::string();
  std::string joined;
  const std::string& bytes = note_due ? joined.assign(note).append(buffer) : buffer;
  size_t written = 0;
  const int err = WriteAll(fd, bytes, written);
  if (err == 0) {
    if (note_due) {
      loss.noted_lines = loss.lines;
      loss.cut_line = false;
    }
    return 0;
  }
  if (loss.first_errno == 0) loss.first_errno = err;
  // Only the note itself went out, or part of it: the lines before it stay
  // untold, and the file may end in the middle of the note.
  const size_t from_buffer = written > note.size() ? written - note.size() : 0;
  if (written > 0 && written <= note.size()) {
    loss.cut_line = true;
  } else if (written > note.size()) {
    if (note_due) {
      loss.noted_lines = loss.lines;
    }
    loss.cut_line = buffer[from_buffer - 1] != '\n';
  }
  uint64_t lost = 0;
  for (size_t i = from_buffer; i < buffer.size(); ++i) lost += buffer[i] == '\n';
  loss.lines += lost;
  return err;
}

}  // namespace

// The second thread of a file written behind: it writes
// the full buffers handed to it in order, and starts the disk writes of each
// one at once. Copying into the page cache and the disk writes are then no
// longer waited for by the thread that makes the lines.
class ReportFile::Behind {
 public:
  explicit Behind(int fd) : fd_(fd), thread_([this] { Run(); }) {}
  Behind(const Behind&) = delete;
  Behind& operator=(const Behind&) = delete;
  // Only after Finish, or when the file is given up.
  ~Behind() {
    ReportLoss ignored;
    (void)Finish(ignored);
  }

  // Queues `buffer` (left empty, its room kept) and returns an error the
  // thread met since the last call, if any.
  RtError Hand(std::string& buffer) {
    // The thread never stops taking buffers before Finish: this cannot fail.
    (void)queue_.Push(std::move(buffer));
    buffer = queue_.Reuse();
    return TakeError();
  }

  // Waits until everything handed is written; the last error not yet
  // returned. `loss` gets everything the thread could not write.
  RtError Finish(ReportLoss& loss) {
    queue_.Close();
    if (thread_.joinable()) thread_.join();
    loss = loss_;
    return TakeError();
  }

 private:
  static constexpr size_t kMaxQueued = 2;

  RtError TakeError() {
    const int err = error_.exchange(0);
    return err == 0 ? RtError{} : ErrorFromErrno(err);
  }

  void Run() {
    int64_t offset = 0;
    std::string buffer;
    while (queue_.Pop(buffer)) {
      // loss_ is the thread's own until Finish has joined it.
      if (const int err = WriteCounted(fd_, buffer, loss_)) {
        error_.store(err);
      } else {
        StartWriteback(fd_, offset);
      }
      buffer.clear();
      queue_.Recycle(std::move(buffer));
    }
  }

  const int fd_;
  // Full buffers on their way to the thread; written ones come back as spares.
  BoundedQueue<std::string> queue_{kMaxQueued};
  std::atomic<int> error_{0};  // errno value not yet returned
  ReportLoss loss_;
  std::thread thread_;  // last: starts once everything above is ready
};

void EndReportLine(std::string& buffer, size_t start) {
  // Most lines hold no line break at all; memchr finds that out fastest.
  const char* begin = buffer.data() + start;
  const size_t size = buffer.size() - start;
  if (std::memchr(begin, '\r', size) != nullptr || std::memchr(begin, '\n', size) != nullptr) {
    KeepOnOneLine(buffer, start);
  }
  buffer.append("\r\n");
}

ReportFile::ReportFile() = default;

// A caller that wants to know what was lost closes the file first.
ReportFile::~ReportFile() { (void)Close(); }

RtError ReportFile::OpenForOutput(const std::string& path, bool write_behind) {
  (void)Close();  // a file written before: its loss() told what was lost
  UniqueFd fd;
  if (RtError err = CreateFileReplacing(path, fd)) return err;
  return Adopt(fd.release(), path, write_behind);
}

RtError ReportFile::Adopt(int fd, const std::string& path, bool write_behind) {
  (void)Close();  // a file written before: its loss() told what was lost
  loss_ = {};
  id_ = {};
  // Unknown, the file is never taken for one to remove.
  (void)IdOfDescriptor(fd, id_);
  if (write_behind) {
    try {
      behind_ = std::make_unique<Behind>(fd);
    } catch (const std::system_error&) {
      // No second thread: write here.
    }
  }
  fd_.reset(fd);
  path_ = path;
  flush_at_ = behind_ ? kBehindBufferSize : kBufferSize;
  buffer_.reserve(flush_at_ + 4096);
  return {};
}

RtError ReportFile::Flush() {
  if (behind_) return behind_->Hand(buffer_);
  const int err = WriteCounted(fd_.get(), buffer_, loss_);
  buffer_.clear();
  return err == 0 ? RtError{} : ErrorFromErrno(err);
}

RtError ReportFile::WriteLine(std::string_view line) {
  if (!fd_.valid()) return NotOpen();
  const size_t start = buffer_.size();
  buffer_.append(line);
  EndReportLine(buffer_, start);
  if (buffer_.size() >= flush_at_) return Flush();
  return {};
}

RtError ReportFile::WriteLine(std::initializer_list<std::string_view> pieces) {
  if (!fd_.valid()) return NotOpen();
  const size_t start = buffer_.size();
  for (std::string_view piece : pieces) buffer_.append(piece);
  EndReportLine(buffer_, start);
  if (buffer_.size() >= flush_at_) return Flush();
  return {};
}

RtError ReportFile::WriteLines(std::string_view lines) {
  if (!fd_.valid()) return NotOpen();
  if (lines.empty()) return {};
  buffer_.append(lines);
  if (buffer_.size() >= flush_at_) return Flush();
  return {};
}

RtError ReportFile::Close() {
  if (!fd_.valid()) return {};
  // Also with nothing left to write: a note about lost lines may be due.
  RtError err = Flush();
  if (behind_) {
    const RtError last = behind_->Finish(loss_);
    if (err.ok()) err = last;
    behind_.reset();
  }
  if (const int closed = fd_.Close()) {
    // The file system may only now say that earlier writes did not reach it.
    if (loss_.first_errno == 0) loss_.first_errno = closed;
    if (err.ok()) err = ErrorFromErrno(closed);
  }
  return err;
}

RtError ReportFile::CloseInto(LineReader& reader) {
  if (!fd_.valid()) return NotOpen();
  RtError err = Flush();
  if (behind_) {
    const RtError last = behind_->Finish(loss_);
    if (err.ok()) err = last;
    behind_.reset();
  }
  UniqueFd fd = std::move(fd_);
  if (err.ok() && loss_.failed()) err = ErrorFromErrno(loss_.first_errno);
  if (err) return err;
  return reader.Adopt(fd.release());
}

LineReader::~LineReader() { Close(); }

RtError LineReader::Adopt(int fd) {
  Close();
  UniqueFd owned(fd);
  if (const int err = Rewind(fd)) return ErrorFromErrno(err);
  fd_ = std::move(owned);
  buffer_.clear();
  pos_ = 0;
  eof_ = false;
  error_ = {};
  return {};
}

bool LineReader::Fill() {
  if (eof_ || !fd_.valid()) return false;
  if (pos_ > 0) {
    buffer_.erase(0, pos_);
    pos_ = 0;
  }
  const size_t old = buffer_.size();
  buffer_.resize(old + kBufferSize);
  size_t got = 0;
  if (const int err = ReadSome(fd_.get(), buffer_.data() + old, kBufferSize, got)) {
    error_ = ErrorFromErrno(err);
    buffer_.resize(old);
    eof_ = true;
    return false;
  }
  buffer_.resize(old + got);
  if (got == 0) eof_ = true;
  return got > 0;
}

bool LineReader::ReadLine(std::string& line) {
  if (!fd_.valid()) return false;
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

void LineReader::Close() { fd_.reset(); }

}  // namespace qtarvox
