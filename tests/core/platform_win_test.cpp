// The Windows code paths of the platform layer, run on Windows (or Wine):
// file services through the wide calls, the registry in the 32-bit view,
// environment values, the program folder and the shell.
#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>

#include "core/install/install_environment.hpp"
#include "core/platform/file_services.hpp"
#include "core/platform/process_launcher.hpp"
#include "core/platform/registry_reader.hpp"
#include "core/platform/shell.hpp"
#include "core/platform/system_facts.hpp"
#include "core/platform/unicode_text.hpp"
#include "core/settings/program_folder.hpp"
#include "support/product_builder.hpp"
#include "support/system_texts.hpp"

using namespace velmor;
using namespace velmor::test;
namespace fs = std::filesystem;

namespace {

DWORD attributesOf(const std::string& path) { return ::GetFileAttributesW(wideFromUtf8(path).c_str()); }

std::size_t entries(const std::string& folder) {
  return static_cast<std::size_t>(
      std::distance(fs::directory_iterator(pathFromUtf8(folder)), fs::directory_iterator()));
}

// A folder with blanks and a file name no ANSI code page holds whole.
std::string unicodeFolder() {
  const std::string folder = tempDir() + "\\Caf\u00E9 maps";
  fs::create_directory(pathFromUtf8(folder));
  return folder;
}

class Handle {
 public:
  Handle(const std::string& path, DWORD share)
      : h_(::CreateFileW(wideFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING, 0,
                         nullptr)) {}
  ~Handle() { close(); }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  void close() {
    if (valid()) ::CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE h_;
};

}  // namespace

TEST(WindowsFiles, ReplaceKeepsAttributesWritesExactBytesAndLeavesNoTemporary) {
  FileServices& files = systemFiles();
  const std::string path = writeTemp(Bytes(5000, 0xEE), "old.tdb");
  ASSERT_TRUE(::SetFileAttributesW(wideFromUtf8(path).c_str(), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN));
  const Bytes shorter = {1, 2, 3};
  FileIdentity written;
  ASSERT_EQ(files.atomicReplace(path, shorter, &written), std::nullopt);
  EXPECT_EQ(readFile(path), shorter);  // nothing of the longer old file is left
  EXPECT_NE(attributesOf(path) & FILE_ATTRIBUTE_HIDDEN, 0u) << "ReplaceFileW keeps the replaced file's attributes";
  EXPECT_TRUE(sameState(written, files.identity(path)));
  EXPECT_EQ(entries(utf8FromPath(pathFromUtf8(path).parent_path())), 1u);

  // A new file is moved into place; an empty one is a file too.
  const std::string folder = tempDir();
  ASSERT_EQ(files.atomicReplace(folder + "\\new.tdb", Bytes{9, 8}), std::nullopt);
  ASSERT_EQ(files.atomicReplace(folder + "\\empty.tdb", Bytes{}), std::nullopt);
  EXPECT_EQ(readFile(folder + "\\new.tdb"), (Bytes{9, 8}));
  EXPECT_EQ(fs::file_size(pathFromUtf8(folder + "\\empty.tdb")), 0u);
  EXPECT_EQ(entries(folder), 2u);
  EXPECT_EQ(files.atomicReplace(folder + "\\no\\such\\x.tdb", Bytes{1}), missingFolderText());
}

TEST(WindowsFiles, ReadOnlyAttributeAndFilesHeldOpenByAnotherHandle) {
  FileServices& files = systemFiles();
  const std::string path = writeTemp(Bytes{1, 2, 3}, "held.tdb");
  EXPECT_FALSE(files.heldOpen(path));
  EXPECT_FALSE(files.heldOpen(path + ".missing"));

  for (DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
    Handle other(path, share);
    ASSERT_TRUE(other.valid());
    EXPECT_TRUE(files.heldOpen(path)) << "share " << share;
    // A replace while it is held fails whole: target as it was, no temporary file.
    EXPECT_TRUE(files.atomicReplace(path, Bytes{7}));
    other.close();
    EXPECT_EQ(readFile(path), (Bytes{1, 2, 3}));
    EXPECT_EQ(entries(utf8FromPath(pathFromUtf8(path).parent_path())), 1u);
    EXPECT_FALSE(files.heldOpen(path));
  }

  // Our own edit lock is not another program's hold.
  std::string error;
  auto lock = files.lockFile(path, std::chrono::milliseconds(0), {}, error);
  ASSERT_TRUE(lock) << error;
  EXPECT_FALSE(files.heldOpen(path));
  lock.reset();

  ASSERT_EQ(files.setReadOnly(path), std::nullopt);
  EXPECT_NE(attributesOf(path) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_TRUE(files.isReadOnly(path));
  EXPECT_TRUE(files.heldOpen(path));
  auto refusal = files.checkWritable(path);
  ASSERT_TRUE(refusal);
  EXPECT_TRUE(refusal->readOnly);
  EXPECT_EQ(files.atomicReplace(path, Bytes{9}), accessDeniedText());
  EXPECT_EQ(readFile(path), (Bytes{1, 2, 3}));
  EXPECT_TRUE(files.setReadOnly(path + ".missing"));
}

// Under Wine a replace moves the old file aside before it moves the new one
// in: an edit that tries the lock in between finds no file, and must wait
// for the save rather than report the file missing.
TEST(WindowsFiles, TheLockWaitsThroughAnotherSaveButNotForAFileThatIsNotThere) {
  FileServices& files = systemFiles();
  const std::string folder = tempDir();
  const std::string path = folder + "\\mid-save.tdb";
  const std::string temp = folder + "\\.velmor-Ab3dE9.tmp";
  std::ofstream(pathFromUtf8(temp), std::ios::binary) << "new";
  std::thread save([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    ::MoveFileExW(wideFromUtf8(temp).c_str(), wideFromUtf8(path).c_str(), 0);
  });
  std::string error;
  int told = 0;
  auto lock = files.lockFile(
      path, std::chrono::seconds(10), [&] { ++told; }, error);
  save.join();
  ASSERT_TRUE(lock) << error;
  EXPECT_EQ(told, 1);
  lock.reset();

  // No save under way: told at once, without waiting.
  EXPECT_FALSE(files.lockFile(
      folder + "\\missing.tdb", std::chrono::seconds(10), [&] { ++told; }, error));
  EXPECT_EQ(error, missingFileText());
  EXPECT_EQ(told, 1);
}

TEST(WindowsFiles, NamesBeyondTheAnsiCodePageInAFolderWithBlanks) {
  FileServices& files = systemFiles();
  const std::string folder = unicodeFolder();
  const std::string path = folder + "\\N\u00F6rth \u03A9.tdb";
  ASSERT_EQ(files.atomicReplace(path, Bytes{1, 2}), std::nullopt);
  EXPECT_TRUE(fs::exists(fs::path(wideFromUtf8(path))));  // the very name, not an ANSI look-alike
  EXPECT_TRUE(files.exists(path));
  std::string error;
  EXPECT_EQ(files.readAll(path, 100, error), (Bytes{1, 2})) << error;
  EXPECT_TRUE(files.identity(path).exists);

  const std::string backup = folder + "\\N\u00F6rth \u03A9_bak.tdb";
  EXPECT_EQ(files.createBackup(path, backup, error), BackupResult::Created) << error;
  EXPECT_EQ(files.createBackup(path, backup, error), BackupResult::Existed);
  EXPECT_TRUE(files.isReadOnly(backup));

  auto lock = files.lockFile(path, std::chrono::milliseconds(0), {}, error);
  EXPECT_TRUE(lock) << error;
  const std::string log = folder + "\\t\u00E4glich.txt";
  const std::string line = "Saved:" + path + "\r\n";
  const Bytes lineBytes(line.begin(), line.end());
  ASSERT_EQ(files.appendToFile(log, lineBytes), std::nullopt);
  ASSERT_EQ(files.appendToFile(log, lineBytes), std::nullopt);
  EXPECT_EQ(readFile(log).size(), 2 * line.size());
  EXPECT_EQ(entries(folder), 3u);
}

TEST(WindowsRegistry, ReadsTheThirtyTwoBitViewOnly) {
  std::random_device seed;
  const std::string name = "VelmorTest" + std::to_string(seed() % 100000000u);
  const std::wstring key = L"SOFTWARE\\" + wideFromUtf8(name);
  // The test writes its keys; the program itself never does.
  auto create = [](const std::wstring& path, REGSAM view) {
    HKEY h = nullptr;
    EXPECT_EQ(
        ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &h, nullptr),
        ERROR_SUCCESS);
    return h;
  };
  HKEY family = create(key + L"\\Families\\Alps \u00C9t\u00E9", KEY_WOW64_32KEY);
  const std::wstring tdb = L"c:\\maps\\alps\\\u00E9t\u00E9.tdb";
  ::RegSetValueExW(family, L"TDB", 0, REG_SZ, reinterpret_cast<const BYTE*>(tdb.c_str()),
                   static_cast<DWORD>((tdb.size() + 1) * sizeof(wchar_t)));
  const BYTE id[2] = {0x34, 0x12};
  ::RegSetValueExW(family, L"ID", 0, REG_BINARY, id, sizeof id);
  const std::wstring byDefault = L"Alps";
  ::RegSetValueExW(family, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(byDefault.c_str()),
                   static_cast<DWORD>((byDefault.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(create(key + L"\\Families\\Alps \u00C9t\u00E9\\1", KEY_WOW64_32KEY));
  ::RegCloseKey(family);
  // Where a 64-bit MapSource would look, which a 32-bit one never sees.
  ::RegCloseKey(create(key + L"\\SixtyFourOnly", KEY_WOW64_64KEY));

  auto registry = windowsRegistry();
  const std::string familyPath = "\\software\\" + lowerUtf8(name) + "\\\\FAMILIES\\alps \u00E9t\u00E9";
  auto listing = registry->readKey(familyPath);
  ASSERT_TRUE(listing);
  ASSERT_EQ(listing->values.size(), 3u);
  bool sawTdb = false;
  bool sawId = false;
  for (const RegistryValue& value : listing->values) {
    if (value.name == "TDB") {
      sawTdb = value.type == kRegSz && registryText(value) == "c:\\maps\\alps\\\u00E9t\u00E9.tdb";
    } else if (value.name == "ID") {
      sawId = value.type == kRegBinary && value.data == std::vector<std::uint8_t>{0x34, 0x12};
    }
  }
  EXPECT_TRUE(sawTdb);
  EXPECT_TRUE(sawId);
  EXPECT_EQ(listing->subkeys, std::vector<std::string>{"1"});
  EXPECT_FALSE(listing->closeFailed);
  EXPECT_EQ(registry->defaultValue(familyPath), "Alps");
  EXPECT_EQ(registry->defaultValue(familyPath + "\\1"), "");
  EXPECT_EQ(registry->readKey("SOFTWARE\\" + name + "\\SixtyFourOnly"), std::nullopt);
  EXPECT_EQ(registry->readKey("SOFTWARE\\" + name + "\\Missing"), std::nullopt);

  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    HKEY software = nullptr;
    ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE", 0, KEY_ALL_ACCESS | view, &software);
    ::RegDeleteTreeW(software, wideFromUtf8(name).c_str());
    ::RegCloseKey(software);
  }
}

TEST(WindowsSystem, EnvironmentProgramFolderAndSixtyFourBits) {
  // Names without regard to case; values beyond ASCII arrive as UTF-8.
  ASSERT_TRUE(environmentValue("APPDATA"));
  EXPECT_EQ(environmentValue("AppData"), environmentValue("APPDATA"));
  EXPECT_FALSE(environmentValue("APPDATA")->empty());
  ASSERT_TRUE(::SetEnvironmentVariableW(L"VELMOR_TEST_\u03A9", L"Z\u00FCrich \u03A9"));
  EXPECT_EQ(environmentValue("velmor_test_\u03A9"), "Z\u00FCrich \u03A9");
  ASSERT_TRUE(::SetEnvironmentVariableW(L"VELMOR_TEST_\u03A9", L""));
  EXPECT_EQ(environmentValue("VELMOR_TEST_\u03A9"), "");
  ::SetEnvironmentVariableW(L"VELMOR_TEST_\u03A9", nullptr);
  EXPECT_EQ(environmentValue("VELMOR_TEST_\u03A9"), std::nullopt);

  // Windows 64-bit, and we are no 32-bit guest on it.
  EXPECT_TRUE(windowsIs64Bit());
  EXPECT_EQ(isWow64Process(::GetCurrentProcess()), false);
  EXPECT_TRUE(systemInstallEnvironment()->is64BitWindows());

  // The program folder: the executable's when it takes files, else APPDATA's.
  const std::string exe = executablePath();
  EXPECT_EQ(pathFromUtf8(exe).filename(), "velmor_core_tests.exe");
  const ProgramFolderFacts facts = currentProgramFolderFacts();
  EXPECT_EQ(pathFromUtf8(facts.executableFolder), pathFromUtf8(exe).parent_path());
  EXPECT_TRUE(facts.executableFolderWritable);
  EXPECT_EQ(facts.appData, environmentValue("APPDATA"));
  ProgramFolderFacts installed = facts;
  installed.velmorHome.reset();
  installed.executableFolderWritable = false;
  EXPECT_EQ(chooseProgramFolder(installed), *facts.appData + "/Velmor");

  const std::string folder = unicodeFolder();
  EXPECT_TRUE(folderWritable(folder));
  EXPECT_EQ(entries(folder), 0u) << "the try leaves nothing behind";
  EXPECT_FALSE(folderWritable(folder + "\\missing"));
}

TEST(WindowsShell, OpenSaysWhenNoProgramTakesTheFile) {
  auto shell = desktopShell();
  const std::string file = writeTemp(Bytes{1}, "notes.velmor-unknown-kind");
  EXPECT_EQ(shell->open(file), ShellResult::NoAssociation);
  EXPECT_EQ(shell->open(tempDir() + "\\missing.velmor-unknown-kind"), ShellResult::Failed);
}

// The test program starts itself with awkward arguments; the child writes
// back what Windows parsed from its command line, so every argument must
// arrive whole and unchanged.
TEST(WindowsProcess, ArgumentsArriveWholeAndTheExitCodeComesBack) {
  if (const std::optional<std::string> echoTo = environmentValue("VELMOR_ECHO_ARGUMENTS_TO")) {
    int count = 0;
    wchar_t** parsed = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::ofstream out(pathFromUtf8(*echoTo), std::ios::binary);
    for (int k = 2; k < count; ++k) {
      const std::wstring arg = parsed[k];
      out << utf16ToUtf8(std::u16string(arg.begin(), arg.end())) << '\0';
    }
    out.close();
    std::_Exit(7);
  }
  const std::vector<std::string> arguments{"two words", "say \"hi\"", "trailing\\",        "C:\\Maps\\Alps Topo\\",
                                           "",          "a&b|c>d",    "Z\u00FCrich \u03A9"};
  const std::string echo = tempDir() + "\\echo.bin";
  ProcessRequest request{executablePath(),
                         {"--gtest_filter=WindowsProcess.ArgumentsArriveWhole*"},
                         {{"VELMOR_ECHO_ARGUMENTS_TO", echo}},
                         "",
                         false,
                         ""};
  request.arguments.insert(request.arguments.end(), arguments.begin(), arguments.end());
  const ProcessEnd end = runAndWait(systemProcesses(), request, [] {});
  ASSERT_TRUE(end.started()) << end.error;
  EXPECT_TRUE(end.exited);
  EXPECT_EQ(end.exitCode, 7);
  std::ifstream in(pathFromUtf8(echo), std::ios::binary);
  const std::string written{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::string expected;
  for (const std::string& arg : arguments) expected += arg + '\0';
  EXPECT_EQ(written, expected);

  ProcessEnd failure;
  ProcessRequest missing;
  missing.program = tempDir() + "\\missing.exe";
  EXPECT_EQ(systemProcesses().start(missing, failure), nullptr);
  EXPECT_EQ(failure.start, StartStatus::NotFound) << failure.error;
}
