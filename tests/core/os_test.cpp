// The os layer, the same cases against the POSIX and the Win32 layer.
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "common/text.h"
#include "data/os.h"
#include "tests/core/tempdir.h"

namespace korvane {
namespace {

using testing::TempDir;

bool HasTemporary(const std::string& folder) {
  const auto names = testing::SortedNames(folder);
  return std::any_of(names.begin(), names.end(),
                     [](const std::string& n) { return os::ParseTemporaryName(n).has_value(); });
}

TEST(OsLayer, FileExistsByAttributesOnly) {
  TempDir dir;
  ASSERT_TRUE(testing::WriteBytes(dir.File("日常業務.PTH"), "x"));
  ASSERT_TRUE(testing::WriteBytes(dir.File("ab.txt"), ""));
  ASSERT_TRUE(testing::MakeFolder(dir.File("sub")));
  EXPECT_TRUE(os::FileExists(dir.File("日常業務.PTH")));
  EXPECT_TRUE(os::FileExists(dir.File("ab.txt")));       // empty files exist too
  EXPECT_FALSE(os::FileExists(dir.File("sub")));         // a folder is no file
  EXPECT_TRUE(os::PathExists(dir.File("sub")));
  EXPECT_FALSE(os::FileExists(dir.File("missing.txt")));
  EXPECT_FALSE(os::PathExists(dir.File("missing.txt")));
  EXPECT_FALSE(os::FileExists(""));
  // A pattern is never taken for a file, even where it would match one.
  EXPECT_FALSE(os::FileExists(dir.File("a*.txt")));
  EXPECT_FALSE(os::FileExists(dir.File("a?.txt")));
  EXPECT_FALSE(os::FileExists(dir.File("*")));
  // A test's stand-in answers instead of the system until it is taken away.
  os::SetExistenceTest([](const std::string& path) { return path == "Q:\\遅い共有"; });
  EXPECT_TRUE(os::FileExists("Q:\\遅い共有"));
  EXPECT_FALSE(os::FileExists(dir.File("ab.txt")));
  os::SetExistenceTest(nullptr);
  EXPECT_TRUE(os::FileExists(dir.File("ab.txt")));
  // The "\\?\" prefix is no wildcard; one after it still is.
#ifdef _WIN32
  EXPECT_TRUE(os::FileExists("\\\\?\\" + dir.File("日常業務.PTH")));
  EXPECT_FALSE(os::FileExists("\\\\?\\" + dir.File("ab.tx?")));
#endif
  EXPECT_FALSE(os::HasWildcard("\\\\?\\C:\\a.txt"));
  EXPECT_TRUE(os::HasWildcard("\\\\?\\C:\\a?.txt"));
  EXPECT_TRUE(os::HasWildcard("C:\\?\\a.txt"));
}

// Names are UTF-8: any character Windows allows in a file name reaches its
// file, through every call of the layer.
TEST(OsLayer, NamesOfAnyCharacterReachTheirFiles) {
  TempDir dir;
  const std::vector<std::string> names = {"Café メニュー.txt", "𠮷野家の請求書.txt", "한국어 자料.txt",
                                          "波ダッシュ〜テスト.txt", "café.PTH"};
  for (const std::string& name : names) {
    ASSERT_TRUE(os::ReplaceFile(dir.File(name), name)) << name;
    EXPECT_TRUE(os::FileExists(dir.File(name))) << name;
    EXPECT_TRUE(os::StampOf(dir.File(name)).has_value()) << name;
    EXPECT_EQ(os::ReadFile(dir.File(name)), name);
  }
  // A look-alike spelling names no file.
  EXPECT_FALSE(os::FileExists(dir.File("波ダッシュ～テスト.txt")));
  EXPECT_FALSE(os::FileExists(dir.File("cafe.PTH")));
  const std::vector<os::DirEntry> listed = os::ListFolder(dir.path()).value_or(std::vector<os::DirEntry>{});
  ASSERT_EQ(listed.size(), names.size());
  for (const os::DirEntry& entry : listed) {
    EXPECT_TRUE(entry.exact) << entry.name;
    EXPECT_NE(std::find(names.begin(), names.end(), entry.name), names.end()) << entry.name;
  }
  ASSERT_TRUE(os::RenameFile(dir.File("café.PTH"), dir.File("𠮷.PTH")));
  EXPECT_EQ(dir.Read("𠮷.PTH"), "café.PTH");
#ifdef _WIN32
  EXPECT_TRUE(os::SameFileName("𠮷.PTH", "𠮷.pth"));
  EXPECT_TRUE(os::SameFileName("Café.PTH", "CAFÉ.pth"));
#endif
  EXPECT_FALSE(os::SameFileName("café.PTH", "cafe.PTH"));
  ASSERT_TRUE(os::DeleteFile(dir.File("𠮷.PTH")));
  ASSERT_TRUE(os::RecycleFile(dir.File("한국어 자料.txt")));
  EXPECT_FALSE(dir.Exists("𠮷.PTH"));
  EXPECT_FALSE(dir.Exists("한국어 자料.txt"));
  // The folder itself may be named so too, and watched.
  const std::string folder = dir.MakeFolder("Café 𠮷");
  os::FolderWatch watch(folder);
  EXPECT_TRUE(watch.Opened());
  ASSERT_TRUE(os::ReplaceFile(os::JoinPath(folder, "x.txt"), "x"));
  EXPECT_EQ(watch.Wait(5000), os::FolderWatch::Event::Changed);
}

TEST(OsLayer, PathFitsCountsCharactersAgainstTheLimit) {
  EXPECT_TRUE(os::PathFits("C:\\" + std::string(256, 'x')));      // 259 characters
  EXPECT_FALSE(os::PathFits("C:\\" + std::string(257, 'x')));
  std::string japanese = "C:\\";
  for (int i = 0; i < 256; ++i) japanese += "表";                    // 512 bytes, 259 characters
  EXPECT_TRUE(os::PathFits(japanese));
  EXPECT_FALSE(os::PathFits(japanese + "x"));
  // A character beyond the BMP takes two of the limit's UTF-16 units.
  std::string astral = "C:\\";
  for (int i = 0; i < 128; ++i) astral += "𠮷";                      // 259 UTF-16 units
  EXPECT_TRUE(os::PathFits(astral));
  EXPECT_FALSE(os::PathFits(astral + "a"));
  EXPECT_TRUE(os::PathFits("C:\\Café メニュー.txt"));
  // Drive letters only: no removable drive behind a share, a relative path
  // or (here) the test's folder.
  EXPECT_FALSE(os::IsRemovableDrive("\\\\server\\share\\a.txt"));
  EXPECT_FALSE(os::IsRemovableDrive(".\\a.txt"));
  EXPECT_FALSE(os::IsRemovableDrive(""));
  EXPECT_FALSE(os::IsRemovableDrive(testing::TempDir().path()));
  // A share's name is remote; the test's own folder is not.
  EXPECT_TRUE(os::IsRemoteFolder("\\\\server\\share\\"));
  EXPECT_FALSE(os::IsRemoteFolder(testing::TempDir().path()));
}

TEST(OsLayer, ListFolderGivesEveryEntry) {
  TempDir dir;
  ASSERT_TRUE(testing::WriteBytes(dir.File("b.PTH"), "1"));
  ASSERT_TRUE(testing::WriteBytes(dir.File("日常業務.PTH"), "2"));
  ASSERT_TRUE(testing::WriteBytes(dir.File("a.txt"), "3"));
  ASSERT_TRUE(testing::MakeFolder(dir.File("y.PTH")));
  for (const std::string& folder : {dir.path(), dir.path().substr(0, dir.path().size() - 1)}) {
    std::uint32_t error = 0;
    auto entries = os::ListFolder(folder, &error);
    ASSERT_TRUE(entries.has_value()) << "error " << error;
    ASSERT_EQ(entries->size(), 4u);
    for (const os::DirEntry& e : *entries) EXPECT_EQ(e.is_folder, e.name == "y.PTH") << e.name;
#ifndef _WIN32
    EXPECT_TRUE(std::is_sorted(entries->begin(), entries->end(),
                               [](const os::DirEntry& a, const os::DirEntry& b) { return a.name < b.name; }));
#endif
  }
  EXPECT_EQ(testing::SortedNames(dir.path()), (std::vector<std::string>{"a.txt", "b.PTH", "y.PTH", "日常業務.PTH"}));

  // Stamps: the listing's, the file's own and the open file's agree, and
  // another size or write time gives another stamp.
  const auto stamped = os::ListFolder(dir.path(), nullptr, true);
  ASSERT_TRUE(stamped.has_value());
  for (const os::DirEntry& e : *stamped) {
    if (e.is_folder) continue;
    EXPECT_EQ(e.stamp.size, 1u) << e.name;
    EXPECT_NE(e.stamp.write_time, 0u) << e.name;
    EXPECT_EQ(os::StampOf(dir.File(e.name)), e.stamp) << e.name;
    os::FileStamp read{};
    EXPECT_EQ(os::ReadFile(dir.File(e.name), nullptr, &read), std::string(e.name == "a.txt" ? "3" : e.name == "b.PTH" ? "1" : "2"));
    EXPECT_EQ(read, e.stamp) << e.name;
  }
  const os::FileStamp before = *os::StampOf(dir.File("b.PTH"));
  ASSERT_TRUE(os::ReplaceFile(dir.File("b.PTH"), "12"));
  EXPECT_EQ(os::StampOf(dir.File("b.PTH"))->size, 2u);
  EXPECT_NE(os::StampOf(dir.File("b.PTH")), before);
  EXPECT_FALSE(os::StampOf(dir.File("gone")).has_value());

  std::uint32_t error = 0;
  EXPECT_FALSE(os::ListFolder(dir.File("nowhere"), &error).has_value());
  EXPECT_TRUE(os::IsNotFound(error));
  TempDir empty;
  auto none = os::ListFolder(empty.path());
  ASSERT_TRUE(none.has_value());
  EXPECT_TRUE(none->empty());
}

TEST(OsLayer, ReadFileGivesEveryByteOrAnError) {
  TempDir dir;
  const std::string bytes("a\0b\r\n\xFF\x81\x5C\x1A", 9);
  ASSERT_TRUE(testing::WriteBytes(dir.File("bin.PTH"), bytes));
  ASSERT_TRUE(testing::WriteBytes(dir.File("empty.PTH"), ""));
  EXPECT_EQ(os::ReadFile(dir.File("bin.PTH")), bytes);
  EXPECT_EQ(os::ReadFile(dir.File("empty.PTH")), std::string());

  std::uint32_t error = 0;
  EXPECT_FALSE(os::ReadFile(dir.File("gone.PTH"), &error).has_value());
  EXPECT_TRUE(os::IsNotFound(error));
  error = 0;
  EXPECT_FALSE(os::ReadFile(os::JoinPath(dir.File("nowhere"), "x.PTH"), &error).has_value());
  EXPECT_TRUE(os::IsNotFound(error));
  // A folder exists: it is an error other than "not found".
  ASSERT_TRUE(testing::MakeFolder(dir.File("y.PTH")));
  error = 0;
  EXPECT_FALSE(os::ReadFile(dir.File("y.PTH"), &error).has_value());
  EXPECT_NE(error, 0u);
  EXPECT_FALSE(os::IsNotFound(error));
}

TEST(OsLayer, ReplaceFileWritesTheWholeFileAndLeavesNoTemporary) {
  TempDir dir;
  const std::string path = dir.File("日常業務.PTH");
  ASSERT_TRUE(os::ReplaceFile(path, "first, longer content\r\n"));   // a new file
  EXPECT_EQ(testing::ReadBytes(path), "first, longer content\r\n");
  ASSERT_TRUE(os::ReplaceFile(path, "short"));
  EXPECT_EQ(testing::ReadBytes(path), "short");                      // nothing of the old tail
  ASSERT_TRUE(os::ReplaceFile(path, ""));
  EXPECT_EQ(testing::ReadBytes(path), "");
  EXPECT_EQ(testing::SortedNames(dir.path()), std::vector<std::string>{"日常業務.PTH"});

  // A missing folder is an error, and nothing appears.
  EXPECT_FALSE(os::ReplaceFile(os::JoinPath(dir.File("nowhere"), "x.PTH"), "x"));
  EXPECT_FALSE(os::PathExists(dir.File("nowhere")));
}

TEST(OsLayer, ReplaceFileKeepsAttributes) {
  TempDir dir;
  const std::string path = dir.File("隠し.PTH");
  ASSERT_TRUE(testing::WriteBytes(path, "old"));
#ifdef _WIN32
  ASSERT_TRUE(testing::SetHidden(path));
  ASSERT_TRUE(os::ReplaceFile(path, "new"));
  EXPECT_TRUE(testing::IsHidden(path));
#else
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(os::ReplaceFile(path, "new"));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
#endif
  EXPECT_EQ(testing::ReadBytes(path), "new");
}

TEST(OsLayer, ReplaceFileRefusesAReadOnlyFile) {
  TempDir dir;
  const std::string path = dir.File("ro.PTH");
  ASSERT_TRUE(testing::WriteBytes(path, "old"));
  testing::SetReadOnly(path, true);
  const os::Status status = os::ReplaceFile(path, "new");
  EXPECT_FALSE(status.ok);
  EXPECT_NE(status.error, 0u);
  EXPECT_EQ(testing::ReadBytes(path), "old");
  EXPECT_FALSE(HasTemporary(dir.path()));
  testing::SetReadOnly(path, false);
  EXPECT_TRUE(os::ReplaceFile(path, "new"));
  EXPECT_EQ(testing::ReadBytes(path), "new");
}

TEST(OsLayer, ReplaceFileWritesInPlaceWhenTheFolderTakesNoNewFile) {
  TempDir dir;
  const std::string path = dir.File("a.PTH");
  ASSERT_TRUE(testing::WriteBytes(path, "old content"));
  testing::UnwritableFolder unwritable(dir.path());
  if (!unwritable.Effective()) GTEST_SKIP() << "this user may write into any folder (privileged)";
  EXPECT_TRUE(os::ReplaceFile(path, "new"));
  EXPECT_EQ(testing::ReadBytes(path), "new");
  EXPECT_FALSE(os::ReplaceFile(dir.File("b.PTH"), "x"));   // a new file cannot be made
  EXPECT_FALSE(os::FileExists(dir.File("b.PTH")));
}

#ifdef _WIN32
TEST(OsLayer, ReplaceFileWritesInPlaceWhenTheOriginalCannotBeSwapped) {
  TempDir dir;
  const std::string path = dir.File("開いている.PTH");
  ASSERT_TRUE(testing::WriteBytes(path, "old content"));
  {
    // Shared for reading and writing but not for deleting: no swap, but the
    // bytes can still be written where they lie.
    testing::HeldOpen held(path, testing::Sharing::ReadWrite);
    ASSERT_TRUE(held.Effective());
    EXPECT_TRUE(os::ReplaceFile(path, "new"));
  }
  EXPECT_EQ(testing::ReadBytes(path), "new");
  EXPECT_FALSE(HasTemporary(dir.path()));
}

TEST(OsLayer, ReplaceFileFailsWhileAnotherProgramHoldsTheFileWithoutWriteSharing) {
  TempDir dir;
  const std::string path = dir.File("占有.PTH");
  ASSERT_TRUE(testing::WriteBytes(path, "old content"));
  for (const auto sharing : {testing::Sharing::None, testing::Sharing::ReadOnly}) {
    testing::HeldOpen held(path, sharing);
    ASSERT_TRUE(held.Effective());
    const os::Status status = os::ReplaceFile(path, "new");
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(status.error, static_cast<std::uint32_t>(ERROR_SHARING_VIOLATION));
    held.Release();
    EXPECT_EQ(testing::ReadBytes(path), "old content");
    EXPECT_FALSE(HasTemporary(dir.path()));
  }
}

TEST(OsLayer, SameFileNameIgnoresCaseLikeTheFileSystem) {
  EXPECT_TRUE(os::SameFileName("abc.PTH", "ABC.pth"));
  EXPECT_TRUE(os::SameFileName("日常業務.PTH", "日常業務.pth"));
  EXPECT_FALSE(os::SameFileName("ア.PTH", "ヂ.PTH"));   // 83 41 / 83 61: no byte-wise folding
  EXPECT_FALSE(os::SameFileName("ソ.PTH", "ゾ.PTH"));
  EXPECT_FALSE(os::SameFileName("a.PTH", "a.PTH "));
}

TEST(OsLayer, MatchNameSpellingRespellsOnlyTheSameFile) {
  TempDir dir;
  ASSERT_TRUE(testing::WriteBytes(dir.File("abc.PTH"), "x"));
  EXPECT_TRUE(os::MatchNameSpelling(dir.path(), "ABC.PTH"));
  EXPECT_EQ(testing::SortedNames(dir.path()), std::vector<std::string>{"ABC.PTH"});
  EXPECT_EQ(testing::ReadBytes(dir.File("ABC.PTH")), "x");
  EXPECT_FALSE(os::MatchNameSpelling(dir.path(), "other.PTH"));
}
#else
TEST(OsLayer, SameFileNameIsExactOnPosix) {
  EXPECT_TRUE(os::SameFileName("abc.PTH", "abc.PTH"));
  EXPECT_FALSE(os::SameFileName("abc.PTH", "ABC.PTH"));
  EXPECT_FALSE(os::SameFileName("x.pth", "x.PTH"));
}
#endif

TEST(OsLayer, DeleteAndRecycleCountAGoneFileAsDoneAndRefuseReadOnly) {
  for (auto remove : {&os::DeleteFile, &os::RecycleFile}) {
    TempDir dir;
    const std::string path = dir.File("日常業務.PTH");
    ASSERT_TRUE(testing::WriteBytes(path, "x"));
    EXPECT_TRUE(remove(path));
    EXPECT_FALSE(os::PathExists(path));
    EXPECT_TRUE(remove(path));   // already gone
    EXPECT_TRUE(remove(os::JoinPath(dir.File("nowhere"), "x.PTH")));

    ASSERT_TRUE(testing::WriteBytes(path, "x"));
    testing::SetReadOnly(path, true);
    EXPECT_FALSE(remove(path));
    EXPECT_TRUE(os::FileExists(path));
    testing::SetReadOnly(path, false);
  }
}

#ifdef _WIN32
// Under Wine the Recycle Bin is the trash folder under XDG_DATA_HOME (the
// test command points it into the build tree and makes that folder first).
// Wine makes its trash folder there only where XDG_DATA_HOME is a folder
// when the process first asks the shell: where it names a file, or nothing,
// there is no Recycle Bin and the file is deleted.
TEST(OsLayer, RecycleFileUsesTheRecycleBinWhereThereIsOne) {
  const char* data_home = std::getenv("XDG_DATA_HOME");
  if (!data_home) GTEST_SKIP() << "XDG_DATA_HOME is not set: no known trash folder to look into";
  std::string root = "Z:" + std::string(data_home);
  std::replace(root.begin(), root.end(), '/', '\\');
  const bool has_bin = os::PathExists(root) && !os::FileExists(root);
  const std::string in_bin = root + "\\Trash\\files\\";
  const std::string name = "削除" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount()) + ".PTH";
  TempDir dir;
  ASSERT_TRUE(testing::WriteBytes(dir.File(name), "[01]\r\nTITLE=a\r\n"));
  EXPECT_TRUE(os::RecycleFile(dir.File(name)));
  EXPECT_FALSE(os::PathExists(dir.File(name)));
  EXPECT_EQ(testing::ReadBytes(in_bin + name), has_bin ? "[01]\r\nTITLE=a\r\n" : "<missing>");
  os::DeleteFile(in_bin + name);
  os::DeleteFile(root + "\\Trash\\info\\" + name + ".trashinfo");
  // MoveToRecycleBin succeeds only into a Recycle Bin (the shell deletes
  // for good where it finds none: that is a failure).
  ASSERT_TRUE(testing::WriteBytes(dir.File(name), "kept"));
  EXPECT_EQ(static_cast<bool>(os::MoveToRecycleBin(dir.File(name))), has_bin);
  EXPECT_EQ(testing::ReadBytes(in_bin + name), has_bin ? "kept" : "<missing>");
  os::DeleteFile(in_bin + name);
  os::DeleteFile(root + "\\Trash\\info\\" + name + ".trashinfo");
}
#else
TEST(OsLayer, MoveToRecycleBinNeverDeletes) {
  TempDir dir;
  ASSERT_TRUE(testing::WriteBytes(dir.File("a.PTH"), "kept"));
  EXPECT_FALSE(os::MoveToRecycleBin(dir.File("a.PTH")));
  EXPECT_EQ(testing::ReadBytes(dir.File("a.PTH")), "kept");
}
#endif

TEST(OsLayer, AFolderWatchTellsEachKindOfChangeAndCanBeWoken) {
  TempDir dir;
  ASSERT_TRUE(testing::WriteBytes(dir.File("a.PTH"), "1"));
  os::FolderWatch watch(dir.path());
  ASSERT_TRUE(watch.Opened());
  EXPECT_EQ(watch.Wait(0), os::FolderWatch::Event::Timeout);
  // Waits until the change and its echoes are told, then nothing more.
  const auto told = [&watch] {
    if (watch.Wait(5000) != os::FolderWatch::Event::Changed) return false;
    while (watch.Wait(200) == os::FolderWatch::Event::Changed) {
    }
    return watch.Wait(0) == os::FolderWatch::Event::Timeout;
  };
  ASSERT_TRUE(testing::WriteBytes(dir.File("b.PTH"), "new"));
  EXPECT_TRUE(told()) << "made";
  ASSERT_TRUE(os::ReplaceFile(dir.File("a.PTH"), "changed"));
  EXPECT_TRUE(told()) << "replaced";
  ASSERT_TRUE(os::DeleteFile(dir.File("b.PTH")));
  EXPECT_TRUE(told()) << "deleted";
  // Woken from another thread while it waits for ever.
  std::thread waker([&watch] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    watch.Wake();
  });
  EXPECT_EQ(watch.Wait(os::FolderWatch::kForever), os::FolderWatch::Event::Woken);
  waker.join();
  // A wake before the wait ends it at once.
  watch.Wake();
  EXPECT_EQ(watch.Wait(5000), os::FolderWatch::Event::Woken);

  os::FolderWatch nowhere(dir.File("nowhere"));
  EXPECT_FALSE(nowhere.Opened());
  EXPECT_EQ(nowhere.Wait(0), os::FolderWatch::Event::Failed);
}

TEST(OsLayer, TemporaryNamesTellTheirFileAndAreNeverGroupOrSettingsFiles) {
  for (const bool replaces : {true, false}) {
    const std::string name = os::TemporaryNameFor("表.PTH", replaces, 4294967295ul, 4294967295ul);
    const auto parsed = os::ParseTemporaryName(name);
    ASSERT_TRUE(parsed.has_value()) << name;
    EXPECT_EQ(parsed->file_name, "表.PTH");
    EXPECT_EQ(parsed->replaces, replaces);
    EXPECT_FALSE(os::SameFileName(name, "Korvane.INI"));
    EXPECT_FALSE(os::SameFileName(name.substr(name.size() - 4), ".PTH"));
  }
  for (const char* other : {"~Korvane-1-1.tmp", ".~Korvane-1-1.tmp", "a.PTH.~Korvane-1.tmp", "a.PTH.~Korvane--1.tmp",
                            "a.PTH.~Korvane-1-1.PTH", "Korvane.INI", "a.PTH.~Korvane-1-1a.new"})
    EXPECT_FALSE(os::ParseTemporaryName(other).has_value()) << other;
}

TEST(OsLayer, FolderOfAndJoinPathNeverSplitACharacter) {
#ifdef _WIN32
  // In code page 932 "表" is 95 5C and "ソ" 83 5C; no byte of their UTF-8 is a backslash.
  EXPECT_EQ(os::FolderOf("C:\\ソフト表\\Korvane.exe"), "C:\\ソフト表\\");
  EXPECT_EQ(os::FolderOf("C:\\ソ"), "C:\\");
  EXPECT_EQ(os::FolderOf("C:ソ"), "C:");
  EXPECT_EQ(os::JoinPath("C:\\ソフト表", "a.PTH"), "C:\\ソフト表\\a.PTH");
  EXPECT_EQ(os::JoinPath("C:\\ソフト表\\", "a.PTH"), "C:\\ソフト表\\a.PTH");
#else
  EXPECT_EQ(os::FolderOf("/opt/ソフト表/korvane"), "/opt/ソフト表/");
  EXPECT_EQ(os::JoinPath("/opt/ソフト表", "a.PTH"), "/opt/ソフト表/a.PTH");
  EXPECT_EQ(os::JoinPath("/opt/ソフト表/", "a.PTH"), "/opt/ソフト表/a.PTH");
#endif
  EXPECT_EQ(os::FolderOf("Korvane.exe"), "");
  EXPECT_EQ(os::JoinPath("", "a.PTH"), "a.PTH");
}

#ifdef _WIN32
// Run only as the child of the next test, in a copy of this program.
TEST(OsLayer, DISABLED_ExeFolderProbe) {
  char out[MAX_PATH];
  ASSERT_GT(GetEnvironmentVariableA("KORVANE_EXE_FOLDER_OUT", out, sizeof out), 0u);
  ASSERT_TRUE(testing::WriteBytes(out, os::ExeFolder()));
}

TEST(OsLayer, ExeFolderOfAProgramInAFolderOfAnyName) {
  TempDir dir;   // ...\ソフト表\ (ends in 95 5C in code page 932), and a name beyond the code page
  const std::string folder = dir.MakeFolder("𠮷 café");
  wchar_t self[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
  const std::string exe = folder + "表.exe";
  const std::u16string exe16 = Utf16FromUtf8(exe);
  const std::wstring exe_wide(exe16.begin(), exe16.end());
  ASSERT_TRUE(CopyFileW(self, exe_wide.c_str(), FALSE));
  // Wine shortens environment values holding double-byte characters, so
  // the answer goes to a plain ASCII path.
  char temp[MAX_PATH];
  ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
  const std::string out = std::string(temp) + "korvane-exe-folder-" + std::to_string(GetCurrentProcessId()) + ".txt";
  ASSERT_TRUE(SetEnvironmentVariableA("KORVANE_EXE_FOLDER_OUT", out.c_str()));
  std::wstring command = L"\"" + exe_wide + L"\" --gtest_also_run_disabled_tests --gtest_filter=OsLayer.DISABLED_ExeFolderProbe";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(exe_wide.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                      &startup, &process);
  SetEnvironmentVariableA("KORVANE_EXE_FOLDER_OUT", nullptr);
  ASSERT_TRUE(started);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(testing::ReadBytes(out), folder);
  os::DeleteFile(out);
}
#endif

TEST(OsLayer, ExeFolderHoldsTheRunningProgram) {
  const std::string folder = os::ExeFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), os::Separator());
#ifdef _WIN32
  EXPECT_TRUE(os::FileExists(folder + "core_tests.exe"));
#else
  EXPECT_TRUE(os::FileExists(folder + "core_tests"));
#endif
}

}  // namespace
}  // namespace korvane
