// A report file (the Process file, the Error file, the operation list): whole
// lines of bytes, each ending in CR LF, no header. Writes are buffered; the
// driver opens and closes the file, the engine and the passes only write.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "platform/descriptors.h"
#include "platform/own_files.h"
#include "platform/rt_error.h"

namespace qtarvox {

// The names of the two report files in the work folder.
inline constexpr const char* kErrorFileName = "Q-Tarvox_Err.txt";
inline constexpr const char* kProcessFileName = "Q-Tarvox_Process.txt";

// Makes buffer[start..] one finished report line: a carriage return or line
// feed inside it (a file name may hold one) becomes "?", and CR LF is added.
void EndReportLine(std::string& buffer, size_t start);

// What could not be written to a report file. Writing goes on after a
// failure (a full disk may have room again a moment later); the first line
// that can be written afterwards is a note that says how many lines are
// missing there.
struct ReportLoss {
  uint64_t lines = 0;        // lines lost, a line cut in the middle included
  int first_errno = 0;       // the first failure; 0 when nothing failed
  bool cut_line = false;     // the file ends in the middle of a line
  uint64_t noted_lines = 0;  // lost lines already told by a note in the file

  bool failed() const { return first_errno != 0; }
};

class LineReader;

class ReportFile {
 public:
  ReportFile();
  ReportFile(const ReportFile&) = delete;
  ReportFile& operator=(const ReportFile&) = delete;
  ~ReportFile();

  // Makes a new file at `path` (CreateFileReplacing: whatever had the name
  // is unlinked, never followed, emptied or written). Written behind, a
  // second thread writes the full buffers, so the lines never wait on the
  // file system; an error it meets is returned by a later WriteLine or by Close.
  RtError OpenForOutput(const std::string& path, bool write_behind = false);
  // Writes to an open descriptor instead, which the file then owns; `path`
  // only names it.
  RtError Adopt(int fd, const std::string& path, bool write_behind = false);
  // Writes `line` followed by CR LF; a CR or LF inside the line is written
  // as "?", so every line stays one line. Fails when the file is not open or when
  // flushing a full buffer fails.
  RtError WriteLine(std::string_view line);
  // Writes the pieces as one line.
  RtError WriteLine(std::initializer_list<std::string_view> pieces);
  // Writes lines made with EndReportLine as they are.
  RtError WriteLines(std::string_view lines);
  // Flushes and closes; closing a file that is not open does nothing.
  RtError Close();
  // Flushes and hands the open file to `reader`, which reads it from its
  // start, instead of closing it: a list is read back through the handle
  // that wrote it, never opened again by name. Fails (and closes) when the
  // file is not complete.
  RtError CloseInto(LineReader& reader);
  bool is_open() const { return fd_.valid(); }
  const std::string& path() const { return path_; }
  // The file made by OpenForOutput, to tell it from any other.
  const FileId& id() const { return id_; }
  // Everything lost so far; complete once the file is closed.
  const ReportLoss& loss() const { return loss_; }

 private:
  class Behind;
  RtError Flush();

  UniqueFd fd_;
  FileId id_;
  ReportLoss loss_;
  std::unique_ptr<Behind> behind_;
  size_t flush_at_ = 0;
  std::string path_;
  std::string buffer_;
};

// Reads a text file of CR LF (or LF) lines one line at a time.
// Lines taken one after another, from a file or from a list still being made.
class LineSource {
 public:
  virtual ~LineSource() = default;
  // Next line without its line end; false at the end or on error (error()
  // tells which).
  virtual bool ReadLine(std::string& line) = 0;
  virtual const RtError& error() const = 0;
};

class LineReader final : public LineSource {
 public:
  LineReader() = default;
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;
  ~LineReader();

  // Reads an open descriptor from its start; the reader then owns it.
  RtError Adopt(int fd);
  // Next line without its line end; false at the end of the file or on error
  // (error() tells which).
  bool ReadLine(std::string& line) override;
  const RtError& error() const override { return error_; }
  void Close();

 private:
  bool Fill();

  UniqueFd fd_;
  std::string buffer_;
  size_t pos_ = 0;
  bool eof_ = false;
  RtError error_;
};

}  // namespace qtarvox
