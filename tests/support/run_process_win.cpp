// Running a program on Windows: CreateProcessW with a command line quoted
// as the C runtime reads it back, output into files.
#ifdef _WIN32
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/platform/system_facts.hpp"
#include "core/platform/unicode_text.hpp"
#include "core/platform/utf8_path.hpp"
#include "product_builder.hpp"
#include "run_process.hpp"

namespace velmor::test {

namespace {

// One argument as CommandLineToArgvW and the C runtime split it again.
std::wstring quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

HANDLE inheritableFile(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return ::CreateFileW(wideFromUtf8(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string outputOf(const std::string& path) {
  std::ifstream in(pathFromUtf8(path), std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// The environment block of this process with `extra` ("NAME=value") set on top.
std::wstring environmentBlock(const std::vector<std::string>& extra) {
  std::vector<std::wstring> entries;
  wchar_t* block = ::GetEnvironmentStringsW();
  for (const wchar_t* p = block; *p != L'\0'; p += std::wcslen(p) + 1) entries.emplace_back(p);
  ::FreeEnvironmentStringsW(block);
  for (const std::string& kv : extra) {
    const std::wstring entry = wideFromUtf8(kv);
    const std::wstring name = entry.substr(0, entry.find(L'=') + 1);
    std::erase_if(entries, [&name](const std::wstring& e) {
      return e.size() >= name.size() && ::_wcsnicmp(e.c_str(), name.c_str(), name.size()) == 0;
    });
    entries.push_back(entry);
  }
  std::wstring out;
  for (const std::wstring& e : entries) out += e + L'\0';
  return out + L'\0';
}

}  // namespace

ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& workingDir,
                         const std::vector<std::string>& extraEnv) {
  ProcessResult result;
  const std::string dir = tempDir();
  const std::string outPath = dir + "\\stdout";
  const std::string errPath = dir + "\\stderr";
  HANDLE out = inheritableFile(outPath, GENERIC_WRITE, CREATE_ALWAYS);
  HANDLE err = inheritableFile(errPath, GENERIC_WRITE, CREATE_ALWAYS);
  HANDLE in = inheritableFile("NUL", GENERIC_READ, OPEN_EXISTING);
  std::wstring commandLine;
  for (const std::string& a : argv) commandLine += (commandLine.empty() ? L"" : L" ") + quoted(wideFromUtf8(a));
  std::wstring environment = environmentBlock(extraEnv);
  const std::wstring folder = wideFromUtf8(workingDir);
  STARTUPINFOW start{};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdInput = in;
  start.hStdOutput = out;
  start.hStdError = err;
  PROCESS_INFORMATION process{};
  const std::wstring program = wideFromUtf8(argv.empty() ? std::string() : argv[0]);
  // Wine on a busy machine now and then fails a start that works a moment
  // later; a missing program fails at once.
  BOOL started = FALSE;
  DWORD startError = 0;
  for (int attempt = 0; attempt < 5 && !started; ++attempt) {
    if (attempt > 0) ::Sleep(200);
    started = ::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                               CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, environment.data(),
                               folder.empty() ? nullptr : folder.c_str(), &start, &process);
    startError = started ? 0 : ::GetLastError();
    if (startError == ERROR_FILE_NOT_FOUND || startError == ERROR_PATH_NOT_FOUND) break;
  }
  ::CloseHandle(in);
  ::CloseHandle(out);
  ::CloseHandle(err);
  if (!started) {
    result.exitCode = 127;
    result.err = "could not start " + (argv.empty() ? std::string() : argv[0]) + ": " + windowsErrorText(startError);
    return result;
  }
  ::WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  result.exitCode = static_cast<int>(code);
  result.out = outputOf(outPath);
  result.err = outputOf(errPath);
  return result;
}

std::string findOnPath(const std::string& name) {
  const std::string path = environmentValue("PATH").value_or("");
  std::stringstream ss(path);
  std::string dir;
  while (std::getline(ss, dir, ';')) {
    for (const std::string& suffix : {std::string(), std::string(".exe")}) {
      const std::filesystem::path candidate = pathFromUtf8(dir) / pathFromUtf8(name + suffix);
      std::error_code ec;
      if (std::filesystem::is_regular_file(candidate, ec)) return utf8FromPath(candidate);
    }
  }
  return "";
}

}  // namespace velmor::test
#endif
