// Windows file services. Paths arrive as UTF-8 and go to the wide-character
// calls, so names outside the ANSI code page work too.
#ifdef _WIN32
#include <windows.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <random>
#include <utility>

#include "file_services.hpp"
#include "lock_wait.hpp"
#include "system_facts.hpp"
#include "unicode_text.hpp"

namespace velmor {

namespace {

class Handle {
 public:
  explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  ~Handle() { close(); }
  Handle(Handle&& other) noexcept : h_(other.h_) { other.h_ = INVALID_HANDLE_VALUE; }
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

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::wstring folderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return L".";
  if (slash == 0 || (slash == 2 && path[1] == L':')) return path.substr(0, slash + 1);  // "\" or "C:\"
  return path.substr(0, slash);
}

std::int64_t nsFromFileTime(FILETIME t) {
  // 100 ns steps since 1601-01-01; the epoch is 11644473600 s later.
  const auto ticks = (static_cast<std::int64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  return (ticks - 116444736000000000LL) * 100;
}

std::int64_t nowNs() {
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  return nsFromFileTime(now);
}

FileIdentity identityOf(HANDLE h, std::int64_t takenNs) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(h, &info)) return FileIdentity{};
  FileIdentity id;
  id.exists = true;
  id.device = info.dwVolumeSerialNumber;
  id.inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  id.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  id.modifiedNs = nsFromFileTime(info.ftLastWriteTime);
  id.takenNs = takenNs;
  return id;
}

// Only a file on a disk is a file: a console, a pipe or a device is not.
bool isDiskFile(HANDLE h) { return ::GetFileType(h) == FILE_TYPE_DISK; }

std::string notRegularText(bool folder) {
  return folder ? "Is a folder, not a regular file" : "Is a device or a pipe, not a regular file";
}

// The file a name finally stands for, links and junctions followed; the
// name itself when nothing is there yet.
std::wstring finalPath(const std::wstring& path) {
  Handle h(::CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!h.valid()) return path;
  wchar_t buffer[32768];
  const DWORD n = ::GetFinalPathNameByHandleW(h.get(), buffer, 32768, FILE_NAME_NORMALIZED);
  if (n == 0 || n >= 32768) return path;
  return std::wstring(buffer, n);
}

// Our lock records, so heldOpen does not take our own lock for another program's.
std::mutex heldMutex;
std::map<std::pair<std::uint64_t, std::uint64_t>, int> heldLocks;

bool holdsLock(const FileIdentity& id) {
  std::lock_guard<std::mutex> guard(heldMutex);
  return heldLocks.count({id.device, id.inode}) > 0;
}

// The edit lock: one byte far past any end of file, so that it stands for
// the whole file among cooperating programs without blocking anyone's
// reads (a Windows byte-range lock is mandatory for the bytes it covers).
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;

class WindowsLock : public FileLock {
 public:
  WindowsLock(Handle h, FileIdentity id) : h_(std::move(h)), id_(id) {
    std::lock_guard<std::mutex> guard(heldMutex);
    ++heldLocks[{id_.device, id_.inode}];
  }
  ~WindowsLock() override {
    OVERLAPPED at{};
    at.OffsetHigh = kLockOffsetHigh;
    ::UnlockFileEx(h_.get(), 0, 1, 0, &at);
    std::lock_guard<std::mutex> guard(heldMutex);
    auto it = heldLocks.find({id_.device, id_.inode});
    if (it != heldLocks.end() && --it->second <= 0) heldLocks.erase(it);
  }

 private:
  Handle h_;
  FileIdentity id_;
};

// A temporary file of our pattern, opened without sharing: while we write
// it no cleaner can delete it.
struct TempFile {
  std::wstring path;
  Handle h;
};

std::optional<TempFile> createTemp(const std::wstring& folder, DWORD& error) {
  static const wchar_t kChars[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device seed;
  std::mt19937 random(seed());
  std::uniform_int_distribution<int> pick(0, 61);
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::wstring name = L".velmor-";
    for (int i = 0; i < 6; ++i) name += kChars[pick(random)];
    name += L".tmp";
    std::wstring path = folder + L"\\" + name;
    Handle h(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY, nullptr));
    if (h.valid()) return TempFile{path, std::move(h)};
    error = ::GetLastError();
    if (error != ERROR_FILE_EXISTS) return std::nullopt;
  }
  return std::nullopt;
}

// Calls `visit` with each file of our temporary pattern in `folder` until
// it returns true; says whether it did.
template <typename Visit>
bool anyTemporary(const std::wstring& folder, Visit visit) {
  WIN32_FIND_DATAW found{};
  HANDLE search = ::FindFirstFileW((folder + L"\\.velmor-??????.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool done = false;
  do {
    if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) continue;
    if (!isOurTemporaryName(utf8FromWide(found.cFileName))) continue;
    done = visit(found);
  } while (!done && ::FindNextFileW(search, &found));
  ::FindClose(search);
  return done;
}

// Leftovers of a killed save: ours by name, open by nobody (an open one
// cannot be deleted) and untouched for ten minutes, which covers the moment
// between our close and our move.
void removeStaleTemporaries(const std::wstring& folder) {
  const std::int64_t cutoff = nowNs() - 600LL * 1000000000;
  anyTemporary(folder, [&](const WIN32_FIND_DATAW& found) {
    if (nsFromFileTime(found.ftLastWriteTime) <= cutoff) ::DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    return false;
  });
}

// Whether one of our saves is writing into this folder right now: its
// temporary file is there, and fresh.
bool saveUnderWay(const std::wstring& folder) {
  const std::int64_t recent = nowNs() - 60LL * 1000000000;
  return anyTemporary(folder,
                      [&](const WIN32_FIND_DATAW& found) { return nsFromFileTime(found.ftLastWriteTime) > recent; });
}

bool writeAll(HANDLE h, std::span<const std::uint8_t> bytes, DWORD& error) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!::WriteFile(h, bytes.data() + done, chunk, &written, nullptr)) {
      error = ::GetLastError();
      return false;
    }
    if (written == 0) {
      error = ERROR_WRITE_FAULT;
      return false;
    }
    done += written;
  }
  return true;
}

// Opens a regular file for reading; a folder, device or pipe is refused
// before a byte is read from it.
Handle openRegular(const std::wstring& name, std::string& error, bool& notRegular, DWORD* code = nullptr) {
  const DWORD attributes = ::GetFileAttributesW(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    error = notRegularText(true);
    notRegular = true;
    return Handle();
  }
  Handle h(
      ::CreateFileW(name.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.valid()) {
    const DWORD failed = ::GetLastError();
    if (code != nullptr) *code = failed;
    error = windowsErrorText(failed);
    return h;
  }
  if (!isDiskFile(h.get())) {
    error = notRegularText(false);
    notRegular = true;
    return Handle();
  }
  return h;
}

class WindowsFiles : public FileServices {
 public:
  bool exists(const std::string& path) const override {
    return ::GetFileAttributesW(wideFromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  bool isReadOnly(const std::string& path) const override {
    const DWORD attributes = ::GetFileAttributesW(wideFromUtf8(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  }

  bool heldOpen(const std::string& path) const override {
    const std::wstring name = wideFromUtf8(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return true;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
    if (holdsLock(identity(path))) return false;
    // An exclusive open fails while any other program has the file open.
    Handle h(::CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !h.valid();
  }

  std::optional<std::string> setReadOnly(const std::string& path) override {
    const std::wstring name = wideFromUtf8(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return windowsErrorText(::GetLastError());
    if (!::SetFileAttributesW(name.c_str(), attributes | FILE_ATTRIBUTE_READONLY))
      return windowsErrorText(::GetLastError());
    return std::nullopt;
  }

  std::optional<WriteRefusal> checkWritable(const std::string& path) const override {
    const std::wstring name = finalPath(wideFromUtf8(path));
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;  // a new file
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return WriteRefusal{false, notRegularText(true)};
    Handle h(::CreateFileW(name.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
    if (h.valid() && !isDiskFile(h.get())) return WriteRefusal{false, notRegularText(false)};
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return WriteRefusal{true, windowsErrorText(ERROR_ACCESS_DENIED)};
    return std::nullopt;
  }

  std::optional<std::string> atomicReplace(const std::string& path, std::span<const std::uint8_t> bytes,
                                           FileIdentity* written) override {
    if (auto refusal = checkWritable(path)) return refusal->text;
    const std::wstring target = finalPath(wideFromUtf8(path));
    const std::wstring folder = folderOf(target);
    removeStaleTemporaries(folder);
    DWORD error = 0;
    auto temp = createTemp(folder, error);
    if (!temp) return windowsErrorText(error);
    auto fail = [&](DWORD code) -> std::optional<std::string> {
      temp->h.close();
      ::DeleteFileW(temp->path.c_str());
      return windowsErrorText(code);
    };
    if (!writeAll(temp->h.get(), bytes, error)) return fail(error);
    if (!::FlushFileBuffers(temp->h.get())) return fail(::GetLastError());
    if (!temp->h.close()) return fail(::GetLastError());
    // ReplaceFile keeps the replaced file's attributes, owner and access
    // list; a file that does not exist yet is simply moved into place.
    const bool existed = ::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (existed) {
      // A target another program holds without letting others write or
      // delete it fails here with the sharing text, rather than inside
      // ReplaceFileW, whose failures name its own steps (and under Wine
      // leave a file of its own behind). Our own edit lock shares all.
      Handle probe(
          ::CreateFileW(target.c_str(), GENERIC_WRITE | DELETE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
      if (!probe.valid()) return fail(::GetLastError());
    }
    const bool moved = existed ? ::ReplaceFileW(target.c_str(), temp->path.c_str(), nullptr,
                                                REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
                               : ::MoveFileExW(temp->path.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    if (!moved) return fail(::GetLastError());
    if (written != nullptr) *written = identity(utf8FromWide(target));
    return std::nullopt;
  }

  BackupResult createBackup(const std::string& original, const std::string& backup, std::string& error) override {
    const std::wstring target = finalPath(wideFromUtf8(backup));
    const DWORD present = ::GetFileAttributesW(target.c_str());
    if (present != INVALID_FILE_ATTRIBUTES) {
      if ((present & FILE_ATTRIBUTE_DIRECTORY) == 0) return BackupResult::Existed;
      error = notRegularText(true);
      return BackupResult::Failed;
    }
    bool notRegular = false;
    Handle in = openRegular(wideFromUtf8(original), error, notRegular);
    if (!in.valid()) return BackupResult::Failed;
    in.close();
    const std::wstring folder = folderOf(target);
    removeStaleTemporaries(folder);
    DWORD code = 0;
    auto temp = createTemp(folder, code);
    if (!temp) {
      error = windowsErrorText(code);
      return BackupResult::Failed;
    }
    temp->h.close();
    // CopyFile brings the attributes along; read-only is added on top.
    if (!::CopyFileW(wideFromUtf8(original).c_str(), temp->path.c_str(), FALSE)) {
      error = windowsErrorText(::GetLastError());
      ::DeleteFileW(temp->path.c_str());
      return BackupResult::Failed;
    }
    const DWORD attributes = ::GetFileAttributesW(temp->path.c_str());
    ::SetFileAttributesW(temp->path.c_str(),
                         (attributes & ~(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY)) | FILE_ATTRIBUTE_READONLY);
    // Without MOVEFILE_REPLACE_EXISTING the move fails when a backup
    // appeared meanwhile: the first one stays.
    if (!::MoveFileExW(temp->path.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
      const DWORD failed = ::GetLastError();
      ::SetFileAttributesW(temp->path.c_str(), FILE_ATTRIBUTE_NORMAL);
      ::DeleteFileW(temp->path.c_str());
      if (failed == ERROR_ALREADY_EXISTS || failed == ERROR_FILE_EXISTS) return BackupResult::Existed;
      error = windowsErrorText(failed);
      return BackupResult::Failed;
    }
    return BackupResult::Created;
  }

  FileRead readFile(const std::string& path, std::uint64_t limit, OverLimit over) const override {
    FileRead out;
    bool notRegular = false;
    Handle h = openRegular(wideFromUtf8(path), out.error, notRegular);
    if (!h.valid()) {
      out.status = notRegular ? ReadStatus::NotRegular : ReadStatus::Failed;
      return out;
    }
    out.identity = identityOf(h.get(), nowNs());
    if (out.identity.size > limit && over == OverLimit::Refuse) {
      out.status = ReadStatus::TooLarge;
      return out;
    }
    out.bytes.reserve(static_cast<std::size_t>(std::min(out.identity.size, limit)));
    std::uint8_t buffer[65536];
    for (;;) {
      const std::uint64_t room = limit - out.bytes.size();
      const DWORD want =
          static_cast<DWORD>(std::min<std::uint64_t>(sizeof buffer, over == OverLimit::Truncate ? room : room + 1));
      if (want == 0) break;
      DWORD n = 0;
      if (!::ReadFile(h.get(), buffer, want, &n, nullptr)) {
        out.error = windowsErrorText(::GetLastError());
        out.bytes.clear();
        return out;
      }
      if (n == 0) break;
      if (n > room) {
        out.status = ReadStatus::TooLarge;
        out.bytes.clear();
        return out;
      }
      out.bytes.insert(out.bytes.end(), buffer, buffer + n);
    }
    out.status = ReadStatus::Read;
    return out;
  }

  FileIdentity identity(const std::string& path) const override {
    const std::int64_t takenNs = nowNs();
    Handle h(::CreateFileW(wideFromUtf8(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                           nullptr));
    if (!h.valid()) return FileIdentity{};
    return identityOf(h.get(), takenNs);
  }

  std::unique_ptr<FileLock> lockFile(const std::string& path, std::chrono::milliseconds wait,
                                     const std::function<void()>& waiting, std::string& error) override {
    LockWait patience(wait);
    const std::wstring name = wideFromUtf8(path);
    for (;;) {
      bool notRegular = false;
      DWORD code = 0;
      Handle h = openRegular(name, error, notRegular, &code);
      if (!h.valid()) {
        // ReplaceFileW is two moves under Wine (the old file aside, then the
        // new one in), so another edit's save can leave the name empty for
        // a moment; its temporary file is there until the second move, so
        // it is looked for before the name.
        const bool midSave = code == ERROR_FILE_NOT_FOUND && (saveUnderWay(folderOf(name)) || exists(path));
        if (!midSave || !patience.pauseBeforeNextTry(waiting, error)) return nullptr;
        continue;
      }
      OVERLAPPED at{};
      at.OffsetHigh = kLockOffsetHigh;
      if (::LockFileEx(h.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        // The holder we waited for may have replaced the file meanwhile.
        const FileIdentity locked = identityOf(h.get(), nowNs());
        if (sameFile(locked, identity(path))) return std::make_unique<WindowsLock>(std::move(h), locked);
        continue;
      }
      code = ::GetLastError();
      if (code != ERROR_LOCK_VIOLATION && code != ERROR_IO_PENDING) {
        error = windowsErrorText(code);
        return nullptr;
      }
      if (!patience.pauseBeforeNextTry(waiting, error)) return nullptr;
    }
  }

  std::optional<std::string> appendToFile(const std::string& path, std::span<const std::uint8_t> bytes) override {
    const std::wstring name = finalPath(wideFromUtf8(path));
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
      return notRegularText(true);
    Handle h(::CreateFileW(name.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid()) return windowsErrorText(::GetLastError());
    if (!isDiskFile(h.get())) return notRegularText(false);
    DWORD error = 0;
    if (!writeAll(h.get(), bytes, error)) return windowsErrorText(error);
    return std::nullopt;
  }
};

}  // namespace

FileServices& systemFiles() {
  static WindowsFiles files;
  return files;
}

}  // namespace velmor
#endif
