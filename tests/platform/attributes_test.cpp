#include "platform/attributes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "platform/xattr_helpers.h"
#include "temp_dir.h"

namespace qtarvox {
namespace {

void AppendLe(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A value in the binary form: hex text, NUL, version, level, 32-bit fields.
std::string BinaryDosAttrib(const std::string& text, uint32_t version,
                            const std::vector<uint32_t>& fields) {
  std::string value = text;
  value.push_back('\0');
  AppendLe(value, version, 2);
  AppendLe(value, version, 2);
  for (uint32_t field : fields) AppendLe(value, field, 4);
  return value;
}

mode_t ModeOf(const std::string& path) {
  struct stat st;
  lstat(path.c_str(), &st);
  return st.st_mode & 07777;
}

TEST(ParseDosAttrib, ReadsTextAndBinaryForms) {
  struct Case {
    std::string value;
    uint32_t bits;
  };
  const Case cases[] = {
      {"0x22", kAttrHidden | kAttrArchive},
      {"0x2", kAttrHidden},
      {"0X20", kAttrArchive},
      {"0x37", kAttrHidden | kAttrSystem | kAttrArchive},  // read-only and directory not taken
      {"", 0},
      {"junk", 0},
      {"0x1ffffffff", 0},
      // The binary attribute word wins over the text in front of it.
      {BinaryDosAttrib("0x20", 1, {kAttrHidden, 0}), kAttrHidden},
      {BinaryDosAttrib("0x0", 3, {0xF, kAttrSystem}), kAttrSystem},
      {BinaryDosAttrib("0x0", 4, {0xF, kAttrArchive, 0}), kAttrArchive},
      {BinaryDosAttrib("0x0", 5, {0xF, kAttrHidden | kAttrArchive}), kAttrHidden | kAttrArchive},
      // Unknown versions and cut-off fields fall back to the text.
      {BinaryDosAttrib("0x4", 2, {0xF, kAttrHidden}), kAttrSystem},
      {BinaryDosAttrib("0x4", 9, {0xF, kAttrHidden}), kAttrSystem},
      {BinaryDosAttrib("0x20", 3, {0xF}), kAttrArchive},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseDosAttrib(c.value), c.bits) << testing::PrintToString(c.value);
  }
}

TEST(GetFileAttributes, DerivesBitsFromTypeModeAndName) {
  TempDir dir;
  dir.WriteFile("plain");
  chmod(dir.WriteFile("ro").c_str(), 0444);
  dir.WriteFile(".dot");
  dir.MakeDir("sub");
  dir.MakeDir(".hdir");
  chmod(dir.MakeDir("rodir").c_str(), 0555);
  symlink("plain", dir.PathOf("link").c_str());
  symlink("sub", dir.PathOf("dirlink").c_str());
  mkfifo(dir.PathOf("pipe").c_str(), 0644);

  struct Case {
    std::string name;
    uint32_t attributes;
  };
  const Case cases[] = {
      {"plain", kAttrNormal},
      {"ro", kAttrReadOnly},
      {".dot", kAttrHidden},
      {"sub", kAttrDirectory},
      {"sub/", kAttrDirectory},
      {".hdir", kAttrDirectory | kAttrHidden},
      {"rodir", kAttrDirectory | kAttrReadOnly},
      {"link", kAttrSystem},
      {"dirlink", kAttrSystem},  // never the directory it points to
      {"pipe", kAttrSystem},
      {"missing", kAttrInvalid},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetFileAttributes(dir.PathOf(c.name)), c.attributes) << c.name;
  }
}

TEST(SetFileAttributes, StoresExactlyTheRequestedBits) {
  TempDir dir;
  QTARVOX_SKIP_WITHOUT_USER_XATTRS(dir);
  const std::string file = dir.WriteFile("f.txt");
  chmod(file.c_str(), 0666);

  // Each step starts from the state the previous one left.
  struct Step {
    uint32_t set;
    uint32_t reads_back;
    std::string stored;
    mode_t mode;
  };
  const Step steps[] = {
      {kAttrReadOnly, kAttrReadOnly, "(none)", 0444},
      {kAttrHidden, kAttrHidden, "0x2", 0644},
      {kAttrArchive, kAttrArchive, "0x20", 0644},
      {kAttrHidden | kAttrArchive | kAttrReadOnly, kAttrHidden | kAttrArchive | kAttrReadOnly,
       "0x22", 0444},
      {kAttrNormal | kAttrSystem, kAttrSystem, "0x4", 0644},
      {kAttrNormal, kAttrNormal, "(none)", 0644},
  };
  for (const Step& s : steps) {
    ASSERT_TRUE(SetFileAttributes(file, s.set)) << s.set;
    EXPECT_EQ(GetFileAttributes(file), s.reads_back) << s.set;
    EXPECT_EQ(RawDosAttrib(file), s.stored) << s.set;
    EXPECT_EQ(ModeOf(file), s.mode) << s.set;
  }
}

TEST(SetFileAttributes, WorksOnDirectories) {
  TempDir dir;
  QTARVOX_SKIP_WITHOUT_USER_XATTRS(dir);
  const std::string sub = dir.MakeDir("sub");
  ASSERT_TRUE(SetFileAttributes(sub, kAttrReadOnly | kAttrHidden));
  EXPECT_EQ(GetFileAttributes(sub), kAttrDirectory | kAttrReadOnly | kAttrHidden);
  ASSERT_TRUE(SetFileAttributes(sub, kAttrNormal));
  EXPECT_EQ(GetFileAttributes(sub), kAttrDirectory);
}

TEST(SetFileAttributes, RefusesMissingPathsAndSystemEntries) {
  TempDir dir;
  const std::string target = dir.WriteFile("target");
  symlink("target", dir.PathOf("link").c_str());
  mkfifo(dir.PathOf("pipe").c_str(), 0644);
  const mode_t target_mode = ModeOf(target);

  for (const char* name : {"missing", "link", "pipe"}) {
    EXPECT_FALSE(SetFileAttributes(dir.PathOf(name), kAttrReadOnly | kAttrHidden)) << name;
  }
  // The file behind the link is left alone.
  EXPECT_EQ(ModeOf(target), target_mode);
  EXPECT_EQ(GetFileAttributes(target), kAttrNormal);
}

TEST(GetFileAttributes, ReadsTheBinaryFormFromDisk) {
  TempDir dir;
  QTARVOX_SKIP_WITHOUT_USER_XATTRS(dir);
  const std::string file = dir.WriteFile("f");
  StoreRawDosAttrib(file, BinaryDosAttrib("0x20", 3, {0xF, kAttrHidden | kAttrArchive, 0, 0}));
  EXPECT_EQ(GetFileAttributes(file), kAttrHidden | kAttrArchive);

  // Asking for what is already stored leaves the other program's value alone.
  const std::string before = RawDosAttrib(file);
  ASSERT_TRUE(SetFileAttributes(file, kAttrHidden | kAttrArchive));
  EXPECT_EQ(RawDosAttrib(file), before);
}

}  // namespace
}  // namespace qtarvox
