// System facts on Windows, through the wide-character calls.
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <random>

#include "system_facts.hpp"
#include "unicode_text.hpp"

namespace velmor {

std::optional<std::string> environmentValue(const std::string& name) {
  const std::wstring key = wideFromUtf8(name);
  std::wstring value(256, L'\0');
  for (;;) {
    ::SetLastError(ERROR_SUCCESS);
    const DWORD n = ::GetEnvironmentVariableW(key.c_str(), value.data(), static_cast<DWORD>(value.size()));
    if (n == 0) {
      if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::string();  // set, but empty
    }
    if (n < value.size()) return utf8FromWide({value.data(), n});
    value.resize(n);  // n counts the terminating 0 when the buffer was short
  }
}

std::string executablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 6; ++attempt) {
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return "";
    if (n < path.size()) return utf8FromWide({path.data(), n});
    path.resize(path.size() * 2);
  }
  return "";
}

bool folderWritable(const std::string& folder) {
  // A file of our temporary pattern, gone when closed: the stale-file
  // cleaner of a save would take it too, should the program die right here.
  static const wchar_t kChars[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device seed;
  std::mt19937 random(seed());
  std::uniform_int_distribution<int> pick(0, 61);
  std::wstring base = wideFromUtf8(folder);
  if (!base.empty() && base.back() != L'\\' && base.back() != L'/') base += L'\\';
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::wstring name = base + L".velmor-";
    for (int i = 0; i < 6; ++i) name += kChars[pick(random)];
    name += L".tmp";
    HANDLE h = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      ::CloseHandle(h);
      return true;
    }
    if (::GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  return false;
}

void prepareTextOutput() {
  ::SetConsoleOutputCP(CP_UTF8);
  ::_setmode(::_fileno(stdout), _O_BINARY);
  ::_setmode(::_fileno(stderr), _O_BINARY);
}

std::vector<std::string> commandLineArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> out;
  if (args == nullptr) {
    for (int k = 1; k < argc; ++k) out.emplace_back(argv[k]);
    return out;
  }
  for (int k = 1; k < count; ++k) out.push_back(utf8FromWide({args[k], std::wcslen(args[k])}));
  ::LocalFree(args);
  return out;
}

std::string windowsErrorText(unsigned long code) {
  wchar_t* buffer = nullptr;
  const DWORD n =
      ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text = n > 0 && buffer != nullptr ? utf8FromWide({buffer, n}) : "Error " + std::to_string(code);
  if (buffer != nullptr) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

std::optional<bool> isWow64Process(void* process) {
  // Looked up by name: Windows versions without it are 32-bit only.
  using IsWow64 = BOOL(WINAPI*)(HANDLE, PBOOL);
  HMODULE kernel = ::GetModuleHandleW(L"kernel32");
  if (kernel == nullptr) return std::nullopt;
  auto query = reinterpret_cast<IsWow64>(reinterpret_cast<void*>(::GetProcAddress(kernel, "IsWow64Process")));
  if (query == nullptr) return std::nullopt;
  BOOL wow64 = FALSE;
  if (!query(static_cast<HANDLE>(process), &wow64)) return std::nullopt;
  return wow64 != FALSE;
}

bool windowsIs64Bit() {
  // A 64-bit program runs only on 64-bit Windows; a 32-bit one there is a
  // WOW64 guest.
  if (sizeof(void*) == 8) return true;
  return isWow64Process(::GetCurrentProcess()).value_or(false);
}

}  // namespace velmor
