#include "run/undo_history.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <random>

#include "engine/actions.h"
#include "engine/journal.h"
#include "platform/descriptors.h"
#include "platform/durable_file.h"
#include "platform/paths.h"
#include "platform/work_folder.h"
#include "selection/individual_files.h"

namespace qtarvox {
namespace {

constexpr const char* kLevelsVariable = "QTARVOX_UNDO_LEVELS";
constexpr int kMaxUndoLevels = 1000;

std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (const unsigned char c : bytes) {
    out.push_back(kDigits[c >> 4]);
    out.push_back(kDigits[c & 0xF]);
  }
  return out;
}

bool FromHex(std::string_view text, std::string& bytes) {
  if (text.size() % 2 != 0) return false;
  bytes.clear();
  for (size_t i = 0; i < text.size(); i += 2) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data() + i, text.data() + i + 2, value, 16);
    if (ec != std::errc() || end != text.data() + i + 2) return false;
    bytes.push_back(static_cast<char>(value));
  }
  return true;
}

template <typename Number>
bool ToNumber(std::string_view text, Number& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

// One line of the list: number, mark, device, inode, start, job, by tabs.
bool ParseLine(std::string_view line, HistoryEntry& entry) {
  std::string_view fields[6];
  for (int i = 0; i < 5; ++i) {
    const size_t tab = line.find('\t');
    if (tab == std::string_view::npos) return false;
    fields[i] = line.substr(0, tab);
    line.remove_prefix(tab + 1);
  }
  fields[5] = line;
  entry.job = std::string(fields[5]);
  return ToNumber(fields[0], entry.number) && FromHex(fields[1], entry.run_id) &&
         ToNumber(fields[2], entry.journal.device) && ToNumber(fields[3], entry.journal.inode) &&
         ToNumber(fields[4], entry.started);
}

std::string OneLine(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return text;
}

// The text an action works with, where it has one worth telling.
std::string ActionValue(const JobSettings& job, ActionId id) {
  switch (id) {
    case ActionId::kReplace:
      return " \"" + job.ReplaceSearch + "\" -> \"" + job.ReplaceWith + "\"";
    case ActionId::kAddBeginning:
      return " \"" + job.AddBeginningText + "\"";
    case ActionId::kAddEnd:
      return " \"" + job.AddEndText + "\"";
    case ActionId::kChangeExtension:
      return " \"" + job.NewExtension + "\"";
    case ActionId::kCompleteRename:
      return " \"" + job.NewFilename + "\"";
    default:
      return {};
  }
}

}  // namespace

int UndoLevels() {
  const char* value = std::getenv(kLevelsVariable);
  int levels = 0;
  if (value == nullptr || !ToNumber(std::string_view(value), levels) || levels < 1) {
    return kDefaultUndoLevels;
  }
  return levels > kMaxUndoLevels ? kMaxUndoLevels : levels;
}

std::string HistoryFolder() { return WorkFilePath(kHistoryFolderName); }

std::string HistoryJournalPath(int64_t number) {
  return JoinPath(JoinPath(HistoryFolder(), std::to_string(number)), kJournalFileName);
}

RtError EnsureHistoryFolder() {
  const std::string folder = HistoryFolder();
  if (RtError err = EnsurePrivateFolder(folder)) return err;
  return CheckOwnFolder(folder);
}

RtError ReadHistory(std::vector<HistoryEntry>& entries) {
  entries.clear();
  UniqueFd fd;
  if (const int err = OpenOwnFile(JoinPath(HistoryFolder(), kHistoryListName), fd)) {
    return err == ENOENT ? RtError{} : ErrorFromErrno(err);
  }
  std::string text;
  char buffer[1 << 14];
  int err = 0;
  for (size_t got = 1; err == 0 && got > 0;) {
    err = ReadSome(fd.get(), buffer, sizeof buffer, got);
    text.append(buffer, got);
  }
  fd.reset();
  if (err != 0) return ErrorFromErrno(err);
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    HistoryEntry entry;
    // A line cut off or garbled names no journal.
    if (ParseLine(std::string_view(text).substr(at, end - at), entry)) entries.push_back(entry);
    at = end + 1;
  }
  return {};
}

RtError WriteHistory(const std::vector<HistoryEntry>& entries) {
  std::string text;
  for (const auto& e : entries) {
    text += std::to_string(e.number) + '\t' + Hex(e.run_id) + '\t' +
            std::to_string(e.journal.device) + '\t' + std::to_string(e.journal.inode) + '\t' +
            std::to_string(e.started) + '\t' + OneLine(e.job) + '\n';
  }
  return ReplaceFileWith(JoinPath(HistoryFolder(), kHistoryListName), text);
}

void RemoveHistoryJournal(const HistoryEntry& entry) {
  const std::string path = HistoryJournalPath(entry.number);
  RemoveIfSameFile(path, entry.journal);
  RemoveEmptyFolder(ParentFolder(path));
}

std::string NewRunId() {
  std::random_device random;
  std::string id;
  for (int i = 0; i < 4; ++i) {
    const uint32_t word = random();
    for (int b = 0; b < 4; ++b) id.push_back(static_cast<char>(word >> (8 * b)));
  }
  return id;
}

std::string JobLine(const JobSettings& job) {
  std::string line;
  for (const auto& action : job.lstActions) {
    if (!action.ticked) continue;
    if (!line.empty()) line += "; ";
    // Without the list's "7) " in front.
    const size_t mark = action.text.find(") ");
    line += mark != std::string::npos && mark <= 2 ? action.text.substr(mark + 2) : action.text;
    line += ActionValue(job, action.id);
  }
  std::vector<std::string> what;
  for (const auto& entry : job.lstFile) {
    std::string directory, filename;
    SplitFileEntry(entry, directory, filename);
    what.push_back(directory + filename);
  }
  what.insert(what.end(), job.lstDir.begin(), job.lstDir.end());
  if (!what.empty()) {
    line += " - " + what.front();
    if (what.size() > 1) line += " and " + std::to_string(what.size() - 1) + " more";
  }
  return OneLine(line);
}

}  // namespace qtarvox
