// The journal as bytes on the disk.
#include "engine/journal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "temp_dir.h"

namespace qtarvox {
namespace {

// Reads the journal file at `path` (an empty result on failure).
JournalContents Read(const std::string& path, RtError* error = nullptr) {
  JournalContents contents;
  const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
  const RtError err = fd < 0 ? ErrorFromErrno(errno) : ReadJournal(fd, contents);
  if (fd >= 0) close(fd);
  if (error != nullptr) *error = err;
  return contents;
}

// Where each record of a journal ends.
std::vector<size_t> RecordEnds(const std::string& bytes) {
  std::vector<size_t> ends;
  for (size_t at = 0; at + 4 <= bytes.size();) {
    uint32_t size = 0;
    for (int i = 0; i < 4; ++i)
      size |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    at += 13 + size;
    ends.push_back(at);
  }
  return ends;
}

TEST(Journal, EveryByteOfANameComesBackWithItsFileAndOutcome) {
  TempDir dir;
  std::string odd;  // every byte a name may hold, line breaks and invalid UTF-8 included
  for (int c = 1; c < 256; ++c) {
    if (c != '/') odd.push_back(static_cast<char>(c));
  }
  const std::string path = dir.WriteFile(odd, "x");
  chmod(path.c_str(), 0640);
  struct stat st {};
  ASSERT_EQ(lstat(path.c_str(), &st), 0);

  RunJournal journal;
  ASSERT_TRUE(journal.Open(dir.PathOf("journal"), true).ok());
  RunJournal::Batch batch(journal);
  const int64_t renamed = batch.Add(dir.slash(), odd, "NEW\r\n\xff");
  const int64_t missing = batch.Add(dir.slash(), "missing.txt", "M.txt");
  ASSERT_TRUE(journal.Write(batch));
  journal.Completed(renamed, true, "NEW\r\n\xff_1", false, 0);
  journal.Completed(missing, false, "", false, kErrFileNotFound);
  ASSERT_TRUE(journal.Close().ok());

  const JournalContents contents = Read(dir.PathOf("journal"));
  EXPECT_EQ(contents.end, JournalEnd::kWhole);
  EXPECT_FALSE(contents.used);
  ASSERT_EQ(contents.entries.size(), 2u);
  const JournalEntry& a = contents.entries[0];
  EXPECT_EQ(a.directory, dir.slash());
  EXPECT_EQ(a.old_filename, odd);
  EXPECT_EQ(a.new_filename, "NEW\r\n\xff");
  EXPECT_TRUE(a.id_known);
  EXPECT_EQ(a.id.id, (FileId{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)}));
  ASSERT_TRUE(a.has_attributes);
  EXPECT_EQ(a.attributes.mode, 0640u);
  EXPECT_TRUE(a.completed && a.renamed);
  EXPECT_EQ(a.final_filename, "NEW\r\n\xff_1");
  const JournalEntry& b = contents.entries[1];
  EXPECT_FALSE(b.id_known);
  EXPECT_TRUE(b.completed);
  EXPECT_FALSE(b.renamed);
  EXPECT_EQ(b.error_number, kErrFileNotFound);
}

TEST(Journal, AFileLookedAtLaterIsTrustedOnlyWhenBornBeforeItsRename) {
  TempDir dir;
  DirectoryHandle handle;
  if (!handle.KeepsBirthTimes(dir.slash())) GTEST_SKIP() << "no birth times here";
  const struct {
    const char* name;
    bool replaced_after_rename;
  } rows[] = {{"kept", false}, {"replaced", true}};
  RunJournal journal;
  ASSERT_TRUE(journal.Open(dir.PathOf("journal"), false).ok());
  RunJournal::Batch batch(journal);
  std::vector<int64_t> intents;
  uint64_t born = 0;
  for (const auto& row : rows) {
    dir.WriteFile(row.name, "old");
    FileIdentity made;
    ASSERT_EQ(ReadChangedIdentity(nullptr, dir.slash(), row.name, made), 0);
    born = std::max(born, made.birth);
    intents.push_back(batch.Add(dir.slash(), row.name, std::string(row.name) + ".new"));
  }
  ASSERT_TRUE(journal.Write(batch));
  // The files were born before the clock their renames go by.
  while (BirthClockNow() <= born) std::this_thread::yield();
  std::vector<FileIdentity> renamed(std::size(rows));
  for (size_t i = 0; i < std::size(rows); ++i) {
    const uint64_t renamed_from = BirthClockNow();
    const std::string name = std::string(rows[i].name) + ".new";
    ASSERT_EQ(rename(dir.PathOf(rows[i].name).c_str(), dir.PathOf(name).c_str()), 0);
    ASSERT_EQ(ReadChangedIdentity(nullptr, dir.slash(), name, renamed[i]), 0);
    journal.RenamedLookLater(intents[i], "", false, 0, dir.slash(), name, renamed_from);
    if (rows[i].replaced_after_rename) {
      ASSERT_EQ(unlink(dir.PathOf(name).c_str()), 0);
      dir.WriteFile(name, "another file");
    }
  }
  ASSERT_TRUE(journal.Close().ok());

  const JournalContents contents = Read(dir.PathOf("journal"));
  ASSERT_EQ(contents.entries.size(), std::size(rows));
  for (size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].name);
    const JournalEntry& entry = contents.entries[i];
    EXPECT_TRUE(entry.completed && entry.renamed);
    EXPECT_EQ(entry.final_filename, std::string(rows[i].name) + ".new");
    EXPECT_EQ(entry.after_known, !rows[i].replaced_after_rename);
    if (entry.after_known) {
      EXPECT_TRUE(entry.identity().Same(renamed[i]));
    }
  }
}

TEST(Journal, ACutJournalIsReadToItsLastWholeRecordAndDamageCostsOnlyItsRecord) {
  TempDir dir;
  RunJournal journal;
  ASSERT_TRUE(journal.Open(dir.PathOf("journal"), false).ok());
  RunJournal::Batch batch(journal);
  std::vector<int64_t> intents;
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
    dir.WriteFile(name);
    intents.push_back(batch.Add(dir.slash(), name, std::string("new-") + name));
  }
  ASSERT_TRUE(journal.Write(batch));
  for (int64_t intent : intents) journal.Completed(intent, true, "final", false, 0);
  ASSERT_TRUE(journal.Close().ok());
  const std::string bytes = dir.ReadFile("journal");
  const std::vector<size_t> ends = RecordEnds(bytes);  // header, 3 intents, 3 completions
  ASSERT_EQ(ends.size(), 7u);
  ASSERT_EQ(ends.back(), bytes.size());

  for (size_t length = 0; length <= bytes.size(); ++length) {
    SCOPED_TRACE(length);
    dir.WriteFile("cut", bytes.substr(0, length));
    RtError err;
    const JournalContents contents = Read(dir.PathOf("cut"), &err);
    ASSERT_TRUE(err.ok()) << err.description;
    size_t whole = 0;
    while (whole < ends.size() && ends[whole] <= length) ++whole;
    const bool at_end = length == 0 || (whole > 0 && ends[whole - 1] == length);
    EXPECT_EQ(contents.end, at_end ? JournalEnd::kWhole : JournalEnd::kCut);
    EXPECT_EQ(contents.whole_size, whole == 0 ? 0 : static_cast<int64_t>(ends[whole - 1]));
    const size_t intent_count = whole <= 1 ? 0 : std::min<size_t>(whole - 1, 3);
    ASSERT_EQ(contents.entries.size(), intent_count);
    for (size_t i = 0; i < intent_count; ++i) {
      EXPECT_EQ(contents.entries[i].completed, whole > 4 + i) << i;
    }
  }

  // A byte flipped in any record, in its length or in its contents.
  for (size_t record = 0; record < ends.size(); ++record) {
    for (const size_t offset : {size_t{1}, size_t{20}}) {
      SCOPED_TRACE(testing::Message() << "record " << record << " byte " << offset);
      std::string damaged = bytes;
      damaged[(record == 0 ? 0 : ends[record - 1]) + offset] ^= 0x40;
      dir.WriteFile("damaged", damaged);
      RtError err;
      const JournalContents contents = Read(dir.PathOf("damaged"), &err);
      ASSERT_TRUE(err.ok()) << err.description;
      EXPECT_EQ(contents.end, JournalEnd::kDamaged);
      EXPECT_EQ(contents.damaged, 1);
      // Nothing that checks follows a last record whose length is damaged.
      const bool tail = record == ends.size() - 1 && offset == 1;
      EXPECT_EQ(contents.unread_from, tail ? static_cast<int64_t>(ends[record - 1]) : -1);
      EXPECT_EQ(contents.started != 0, record != 0);
      const bool intent = record >= 1 && record <= 3;
      EXPECT_EQ(contents.entries.size(), intent ? 2u : 3u);
      EXPECT_EQ(contents.lost_intents, intent ? 1 : 0);
      size_t completed = 0;
      for (const auto& entry : contents.entries) completed += entry.completed;
      EXPECT_EQ(completed, record >= 4 ? 2u : contents.entries.size());
    }
  }

  // Marking a cut journal used drops the cut record first, so the mark is read.
  dir.WriteFile("cut", bytes.substr(0, ends[5] + 3));
  const int fd = open(dir.PathOf("cut").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  JournalContents before;
  ASSERT_TRUE(ReadJournal(fd, before).ok());
  ASSERT_TRUE(MarkJournalUsed(fd, before).ok());
  close(fd);
  const JournalContents after = Read(dir.PathOf("cut"));
  EXPECT_TRUE(after.used);
  EXPECT_EQ(after.end, JournalEnd::kWhole);
  EXPECT_EQ(after.entries.size(), 3u);
}

TEST(Journal, AFileThatIsNoJournalIsRefused) {
  TempDir dir;
  dir.WriteFile("text", "Current File : /a/b.txt\r\n     Final Operation : b.txt == B.txt\r\n");
  RtError err;
  Read(dir.PathOf("text"), &err);
  EXPECT_FALSE(err.ok());
}

}  // namespace
}  // namespace qtarvox
