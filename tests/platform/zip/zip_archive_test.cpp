// Archives written here are read by Python's zipfile; archives Python writes, hostile ones
// included, are read here.

#include "platform/zip/zip_archive.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "support/resource_limit.h"
#include "support/temp_dir.h"
#include "zip_peer.h"

namespace platform::zip {
namespace {

using testing_support::FileSizeLimit;
using testing_support::PeerEntry;
using testing_support::ReadByPython;
using testing_support::TempDir;
using testing_support::WriteByPython;

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<std::string> FolderNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

std::string AllBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  return bytes;
}

TEST(ZipWriterTest, PythonReadsEveryFileDeflatedUnderItsBareName) {
  TempDir dir;
  std::map<std::string, std::string> files = {
      {"1C.DAT", AllBytes() + std::string(5000, 'C')},
      {"1C.IX", ""},
      {"ovcomp.Dat", std::string(300000, '\0') + "end"},
      {"Logo.BMP", AllBytes()},
  };
  std::filesystem::create_directory(dir.path() / "data");
  for (const auto& [name, bytes] : files) WriteFile(dir.File("data/" + name), bytes);

  ZipWriter writer;
  ASSERT_TRUE(writer.Create(dir.File("OVBackup.zip"))) << writer.Error();
  for (const auto& [name, bytes] : files)
    ASSERT_TRUE(writer.AddFile(name, dir.File("data/" + name))) << writer.Error();
  std::vector<double> progress;
  ASSERT_TRUE(writer.Commit([&](double done) { progress.push_back(done); })) << writer.Error();
  ASSERT_FALSE(progress.empty());
  EXPECT_DOUBLE_EQ(progress.back(), 1.0);
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));

  QJsonObject read = ReadByPython(dir.File("OVBackup.zip"));
  EXPECT_TRUE(read["testzip"].isNull());
  QJsonArray entries = read["entries"].toArray();
  ASSERT_EQ(entries.size(), static_cast<qsizetype>(files.size()));
  for (const QJsonValue& value : entries) {
    QJsonObject entry = value.toObject();
    std::string name = entry["name"].toString().toStdString();
    ASSERT_TRUE(files.count(name)) << name;
    EXPECT_EQ(entry["compress_type"].toInt(), 8) << name;  // deflate
    EXPECT_EQ(entry["data"].toString().toLatin1().toStdString(), files[name]) << name;
  }
  // Nothing beside the archive: its temporary file was renamed into place.
  EXPECT_EQ(FolderNames(dir.path()), (std::vector<std::string>{"OVBackup.zip", "data"}));
}

TEST(ZipWriterTest, TheOldArchiveStaysUntilTheNewOneIsComplete) {
  TempDir dir;
  WriteFile(dir.File("A.DAT"), "first");
  ZipWriter first;
  ASSERT_TRUE(first.Create(dir.File("OVBackup.zip")) && first.AddFile("A.DAT", dir.File("A.DAT")) &&
              first.Commit());
  const std::string oldArchive = ReadFile(dir.File("OVBackup.zip"));

  // A source that is gone by the time the archive is written.
  {
    WriteFile(dir.File("B.DAT"), "second");
    ZipWriter writer;
    ASSERT_TRUE(writer.Create(dir.File("OVBackup.zip")));
    bool added = writer.AddFile("A.DAT", dir.File("A.DAT")) && writer.AddFile("B.DAT", dir.File("B.DAT"));
    std::filesystem::remove(dir.File("B.DAT"));
    EXPECT_FALSE(added && writer.Commit());
    EXPECT_FALSE(writer.Error().empty());
  }
  EXPECT_EQ(ReadFile(dir.File("OVBackup.zip")), oldArchive);

  // An archive with nothing in it would remove the target: refused.
  {
    ZipWriter writer;
    ASSERT_TRUE(writer.Create(dir.File("OVBackup.zip")));
    EXPECT_FALSE(writer.Commit());
  }
  // Given up before Commit.
  {
    ZipWriter writer;
    ASSERT_TRUE(writer.Create(dir.File("OVBackup.zip")));
    ASSERT_TRUE(writer.AddFile("A.DAT", dir.File("A.DAT")));
  }
  EXPECT_EQ(ReadFile(dir.File("OVBackup.zip")), oldArchive);
  EXPECT_EQ(FolderNames(dir.path()), (std::vector<std::string>{"A.DAT", "OVBackup.zip"}));

  // A folder that does not exist.
  ZipWriter nowhere;
  EXPECT_FALSE(nowhere.Create(dir.File("missing/OVBackup.zip")) &&
               nowhere.AddFile("A.DAT", dir.File("A.DAT")) && nowhere.Commit());
  EXPECT_FALSE(nowhere.Error().empty());

  // A second complete backup replaces the first rather than adding to it.
  WriteFile(dir.File("C.DAT"), "third");
  ZipWriter second;
  ASSERT_TRUE(second.Create(dir.File("OVBackup.zip")) && second.AddFile("C.DAT", dir.File("C.DAT")) &&
              second.Commit());
  QJsonArray entries = ReadByPython(dir.File("OVBackup.zip"))["entries"].toArray();
  ASSERT_EQ(entries.size(), 1);
  EXPECT_EQ(entries[0].toObject()["name"].toString(), "C.DAT");
}

TEST(ZipReaderTest, TellsFilesFromFoldersAndLinksAndRefusesDamagedData) {
  TempDir dir;
  ASSERT_TRUE(WriteByPython(dir.File("in.zip"), {
                                                    {"1C.DAT", AllBytes()},
                                                    {"sub/", "", "dir"},
                                                    {"LINK.DAT", "/etc/passwd", "link"},
                                                    {"../x", "outside"},
                                                    {"BAD.DAT", std::string(4000, 'b'), "file", true},
                                                    {"EMPTY.IX", ""},
                                                }));
  ZipReader reader;
  ASSERT_TRUE(reader.Open(dir.File("in.zip"))) << reader.Error();
  ASSERT_EQ(reader.Count(), 6);
  struct Expected {
    const char* name;
    bool directory;
    bool link;
    bool extracts;
  };
  const Expected expected[] = {{"1C.DAT", false, false, true},   {"sub/", true, false, false},
                               {"LINK.DAT", false, true, false}, {"../x", false, false, true},
                               {"BAD.DAT", false, false, false}, {"EMPTY.IX", false, false, true}};
  for (int64_t i = 0; i < reader.Count(); ++i) {
    SCOPED_TRACE(expected[i].name);
    ZipEntry entry;
    ASSERT_TRUE(reader.Entry(i, &entry)) << reader.Error();
    EXPECT_EQ(entry.name, expected[i].name);
    EXPECT_EQ(entry.isDirectory, expected[i].directory);
    EXPECT_EQ(entry.isLink, expected[i].link);
    if (entry.isDirectory || entry.isLink) continue;
    std::string target = dir.File("out" + std::to_string(i));
    EXPECT_EQ(reader.ExtractTo(i, target), expected[i].extracts) << reader.Error();
    EXPECT_EQ(std::filesystem::exists(target), expected[i].extracts);
  }
  EXPECT_EQ(ReadFile(dir.File("out0")), AllBytes());
  EXPECT_EQ(ReadFile(dir.File("out3")), "outside");
  EXPECT_NE(reader.Error().find("BAD.DAT"), std::string::npos) << reader.Error();

  // Never over a file that is there already.
  WriteFile(dir.File("kept"), "kept");
  EXPECT_FALSE(reader.ExtractTo(0, dir.File("kept")));
  EXPECT_EQ(ReadFile(dir.File("kept")), "kept");
}

// The sizes the directory declares bound what is written: data that runs past it (a bomb) is
// refused before more than the declared size reaches the disk, as is data that ends short of it.
TEST(ZipReaderTest, AnEntryIsWrittenNoFurtherThanItsDeclaredSize) {
  TempDir dir;
  const struct {
    PeerEntry entry;
    bool extracts;
  } cases[] = {
      {{"BOMB.DAT", std::string(8 << 20, '\0'), "file", false, 1000}, false},
      {{"EMPTY.DAT", std::string(4096, 'a'), "file", false, 0}, false},
      {{"SHORT.DAT", std::string(100, 's'), "file", false, 1000}, false},
      {{"EXACT.DAT", std::string(1000, 'e'), "file", false, 1000}, true},
  };
  std::vector<PeerEntry> entries;
  for (const auto& c : cases) entries.push_back(c.entry);
  ASSERT_TRUE(WriteByPython(dir.File("in.zip"), entries));
  ZipReader reader;
  ASSERT_TRUE(reader.Open(dir.File("in.zip"))) << reader.Error();
  const FileSizeLimit limit(1 << 20);
  for (int64_t i = 0; i < reader.Count(); ++i) {
    const PeerEntry& entry = cases[i].entry;
    const std::string target = dir.File("out" + std::to_string(i));
    EXPECT_EQ(reader.ExtractTo(i, target), cases[i].extracts) << entry.name;
    EXPECT_EQ(std::filesystem::exists(target), cases[i].extracts) << entry.name;
    if (!cases[i].extracts) {
      EXPECT_EQ(reader.Error().rfind(entry.name + ": ", 0), 0u) << reader.Error();
    }
  }
  EXPECT_EQ(ReadFile(dir.File("out3")), cases[3].entry.data);
}

TEST(ZipReaderTest, WhatIsNoArchiveIsRefused) {
  TempDir dir;
  WriteFile(dir.File("text.zip"), "This is not an archive.");
  WriteFile(dir.File("cut.zip"), "");
  ASSERT_TRUE(WriteByPython(dir.File("whole.zip"), {{"A.DAT", std::string(10000, 'a')}}));
  std::string whole = ReadFile(dir.File("whole.zip"));
  WriteFile(dir.File("cut.zip"), whole.substr(0, whole.size() - 30));
  for (const char* name : {"text.zip", "cut.zip", "missing.zip"}) {
    ZipReader reader;
    EXPECT_FALSE(reader.Open(dir.File(name))) << name;
    EXPECT_FALSE(reader.Error().empty()) << name;
    EXPECT_EQ(reader.Count(), 0);
  }
}

}  // namespace
}  // namespace platform::zip
