// Windows file services. Paths arrive as UTF-8 and go to the wide-character
// calls, so names outside the ANSI code page work too.
#ifdef _WIN32
#include <windows.h>

#include <algorithm>

#include "file_services.hpp"

namespace velmor {

namespace {

std::wstring wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string narrow(const std::wstring& text) {
  if (text.empty()) return {};
  int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// The system's own text for an error code, without its trailing line break.
std::string errorText(DWORD code) {
  wchar_t* buffer = nullptr;
  DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = n > 0 && buffer != nullptr ? std::wstring(buffer, n) : L"Error " + std::to_wstring(code);
  if (buffer != nullptr) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  return narrow(text);
}

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() { close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  bool close() {
    bool ok = true;
    if (valid()) ok = ::CloseHandle(h_) != 0;
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

std::wstring folderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return L".";
  if (slash == 0 || (slash == 2 && path[1] == L':')) return path.substr(0, slash + 1);  // "\" or "C:\"
  return path.substr(0, slash);
}

class WindowsFiles : public FileServices {
 public:
  bool exists(const std::string& path) const override {
    return ::GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  bool isReadOnly(const std::string& path) const override {
    const DWORD attributes = ::GetFileAttributesW(wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  }

  bool heldOpen(const std::string& path) const override {
    const std::wstring name = wide(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return true;
    // An exclusive open fails while any other program has the file open.
    Handle h(::CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !h.valid();
  }

  std::optional<std::string> setReadOnly(const std::string& path) override {
    const std::wstring name = wide(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return errorText(::GetLastError());
    if (!::SetFileAttributesW(name.c_str(), attributes | FILE_ATTRIBUTE_READONLY)) return errorText(::GetLastError());
    return std::nullopt;
  }

  std::optional<std::string> atomicReplace(const std::string& path, std::span<const std::uint8_t> bytes) override {
    const std::wstring target = wide(path);
    wchar_t temp[MAX_PATH + 1] = {};
    if (::GetTempFileNameW(folderOf(target).c_str(), L"vel", 0, temp) == 0) return errorText(::GetLastError());
    auto fail = [&](DWORD code) -> std::optional<std::string> {
      ::DeleteFileW(temp);
      return errorText(code);
    };
    {
      Handle h(::CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!h.valid()) return fail(::GetLastError());
      std::size_t done = 0;
      while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(h.get(), bytes.data() + done, chunk, &written, nullptr)) return fail(::GetLastError());
        if (written == 0) return fail(ERROR_WRITE_FAULT);
        done += written;
      }
      if (!::FlushFileBuffers(h.get())) return fail(::GetLastError());
      if (!h.close()) return fail(::GetLastError());
    }
    if (!::MoveFileExW(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return fail(::GetLastError());
    }
    return std::nullopt;
  }

  std::optional<std::vector<std::uint8_t>> readAll(const std::string& path, std::string& error) const override {
    Handle h(::CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid()) {
      error = errorText(::GetLastError());
      return std::nullopt;
    }
    std::vector<std::uint8_t> out;
    LARGE_INTEGER size{};
    if (::GetFileSizeEx(h.get(), &size) && size.QuadPart > 0) out.reserve(static_cast<std::size_t>(size.QuadPart));
    std::uint8_t buffer[65536];
    for (;;) {
      DWORD n = 0;
      if (!::ReadFile(h.get(), buffer, sizeof buffer, &n, nullptr)) {
        error = errorText(::GetLastError());
        return std::nullopt;
      }
      if (n == 0) break;
      out.insert(out.end(), buffer, buffer + n);
    }
    return out;
  }
};

}  // namespace

FileServices& systemFiles() {
  static WindowsFiles files;
  return files;
}

}  // namespace velmor
#endif
