// A report file (the Process file, the Error file, the operation list): whole
// lines of bytes, each ending in CR LF, no header. Writes are buffered; the
// driver opens and closes the file, the engine and the passes only write.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "platform/rt_error.h"

namespace qtarvox {

// Makes buffer[start..] one finished report line: a carriage return or line
// feed inside it (a file name may hold one) becomes "?", and CR LF is added.
void EndReportLine(std::string& buffer, size_t start);

class ReportFile {
 public:
  ReportFile();
  ReportFile(const ReportFile&) = delete;
  ReportFile& operator=(const ReportFile&) = delete;
  ~ReportFile();

  // Creates the file, or empties it when present. Written behind, a second
  // thread empties the file and writes the full buffers, so the lines never
  // wait on the file system; an error it meets is returned by a later
  // WriteLine or by Close.
  RtError OpenForOutput(const std::string& path, bool write_behind = false);
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
  bool is_open() const { return fd_ >= 0; }
  const std::string& path() const { return path_; }

 private:
  class Behind;
  RtError Flush();

  int fd_ = -1;
  std::unique_ptr<Behind> behind_;
  size_t flush_at_ = 0;
  std::string path_;
  std::string buffer_;
};

// Reads a text file of CR LF (or LF) lines one line at a time.
class LineReader {
 public:
  LineReader() = default;
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;
  ~LineReader();

  RtError Open(const std::string& path);
  // Next line without its line end; false at the end of the file or on error
  // (error() tells which).
  bool ReadLine(std::string& line);
  const RtError& error() const { return error_; }
  void Close();

 private:
  bool Fill();

  int fd_ = -1;
  std::string buffer_;
  size_t pos_ = 0;
  bool eof_ = false;
  RtError error_;
};

}  // namespace qtarvox
