// Programs started with CreateProcessW. Windows hands a program one command
// line, so the argument list is quoted the way the C runtime splits it
// again; no command interpreter ever reads it.
#ifdef _WIN32
#include <windows.h>

#include <cwchar>
#include <map>

#include "process_launcher.hpp"
#include "system_facts.hpp"
#include "unicode_text.hpp"

namespace velmor {

namespace {

// One argument as CommandLineToArgvW and the C runtime read it back:
// quotes around it when it holds blanks or quotes, backslashes doubled
// before a quote.
void appendQuoted(std::wstring& line, const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += arg;
    return;
  }
  line += L'"';
  for (std::size_t i = 0;; ++i) {
    std::size_t slashes = 0;
    while (i < arg.size() && arg[i] == L'\\') {
      ++i;
      ++slashes;
    }
    if (i == arg.size()) {
      line.append(slashes * 2, L'\\');
      break;
    }
    if (arg[i] == L'"') {
      line.append(slashes * 2 + 1, L'\\');
    } else {
      line.append(slashes, L'\\');
    }
    line += arg[i];
  }
  line += L'"';
}

// The environment block: ours with the request's variables put in place
// (names compare without regard to case), sorted as Windows wants it.
std::wstring environmentBlock(const ProcessRequest& request) {
  struct NoCase {
    bool operator()(const std::wstring& a, const std::wstring& b) const {
      return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
             CSTR_LESS_THAN;
    }
  };
  std::map<std::wstring, std::wstring, NoCase> variables;
  if (wchar_t* block = GetEnvironmentStringsW()) {
    for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) {
      const std::wstring text = entry;
      const std::size_t eq = text.find(L'=', 1);  // "=C:" entries start with "="
      if (eq == std::wstring::npos) continue;
      variables[text.substr(0, eq)] = text.substr(eq + 1);
    }
    FreeEnvironmentStringsW(block);
  }
  for (const auto& [name, value] : request.environment) variables[wideFromUtf8(name)] = wideFromUtf8(value);
  std::wstring out;
  for (const auto& [name, value] : variables) {
    out += name + L"=" + value;
    out += L'\0';
  }
  out += L'\0';
  return out;
}

StartStatus statusOf(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return StartStatus::NotFound;
    case ERROR_BAD_EXE_FORMAT:
    case ERROR_ACCESS_DENIED:
    case ERROR_NO_ASSOCIATION: return StartStatus::NotExecutable;
    default: return StartStatus::Failed;
  }
}

class WindowsProcess : public RunningProcess {
 public:
  WindowsProcess(HANDLE process, HANDLE job) : process_(process), job_(job) {}
  ~WindowsProcess() override {
    CloseHandle(process_);
    if (job_) CloseHandle(job_);
  }

  std::optional<ProcessEnd> poll() override {
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) return std::nullopt;
    return endNow();
  }

  ProcessEnd stop() override {
    // The job holds every program it started; without one, only itself.
    if (!job_ || !TerminateJobObject(job_, 1)) TerminateProcess(process_, 1);
    WaitForSingleObject(process_, INFINITE);
    return endNow();
  }

 private:
  ProcessEnd endNow() {
    ProcessEnd end;
    end.start = StartStatus::Started;
    DWORD code = 0;
    if (GetExitCodeProcess(process_, &code)) {
      end.exited = true;
      end.exitCode = static_cast<int>(code);
    }
    return end;
  }

  HANDLE process_;
  HANDLE job_;
};

void failWith(DWORD code, ProcessEnd& failure) {
  failure.start = statusOf(code);
  failure.error = windowsErrorText(code);
}

bool create(const ProcessRequest& request, PROCESS_INFORMATION& info, ProcessEnd& failure) {
  std::wstring program = wideFromUtf8(request.program);
  std::wstring line;
  appendQuoted(line, program);
  for (const std::string& arg : request.arguments) {
    line += L' ';
    appendQuoted(line, wideFromUtf8(arg));
  }
  std::wstring environment = environmentBlock(request);
  const std::wstring folder = wideFromUtf8(request.workingFolder);
  // A bare name is looked up as the command line's first word: the
  // program's folder, ours, the system folders and PATH.
  const bool bareName = program.find_first_of(L"\\/:") == std::wstring::npos;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  HANDLE errorOut = INVALID_HANDLE_VALUE;
  if (!request.errorFile.empty()) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    errorOut = CreateFileW(wideFromUtf8(request.errorFile).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (errorOut == INVALID_HANDLE_VALUE) {
      failWith(GetLastError(), failure);
      return false;
    }
    startup.dwFlags |= STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = errorOut;
  }
  // A program in a job of its own starts suspended, so that nothing it
  // starts escapes the job before it is in it.
  const DWORD flags = CREATE_UNICODE_ENVIRONMENT | (request.ownGroup ? CREATE_NEW_PROCESS_GROUP | CREATE_SUSPENDED : 0);
  const BOOL made = CreateProcessW(bareName ? nullptr : program.c_str(), line.data(), nullptr, nullptr,
                                   errorOut != INVALID_HANDLE_VALUE, flags, environment.data(),
                                   folder.empty() ? nullptr : folder.c_str(), &startup, &info);
  const DWORD code = made ? 0 : GetLastError();
  if (errorOut != INVALID_HANDLE_VALUE) CloseHandle(errorOut);
  if (!made) {
    failWith(code, failure);
    return false;
  }
  return true;
}

// The job that holds a program started in a group of its own; null when
// the system would not make one (it then runs alone).
HANDLE jobFor(const PROCESS_INFORMATION& info) {
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  if (job && !AssignProcessToJobObject(job, info.hProcess)) {
    CloseHandle(job);
    job = nullptr;
  }
  ResumeThread(info.hThread);
  return job;
}

class WindowsLauncher : public ProcessLauncher {
 public:
  std::unique_ptr<RunningProcess> start(const ProcessRequest& request, ProcessEnd& failure) override {
    PROCESS_INFORMATION info{};
    if (!create(request, info, failure)) return nullptr;
    HANDLE job = request.ownGroup ? jobFor(info) : nullptr;
    CloseHandle(info.hThread);
    return std::make_unique<WindowsProcess>(info.hProcess, job);
  }

  ProcessEnd startDetached(const ProcessRequest& request) override {
    ProcessEnd end;
    PROCESS_INFORMATION info{};
    if (!create(request, info, end)) return end;
    if (request.ownGroup) ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    end.start = StartStatus::Started;
    return end;
  }
};

}  // namespace

ProcessLauncher& systemProcesses() {
  static WindowsLauncher launcher;
  return launcher;
}

std::string findOnPath(const std::string& name) {
  if (name.empty() || name.find_first_of("\\/:") != std::string::npos) return "";
  const std::wstring file = wideFromUtf8(name);
  for (const wchar_t* extension : {L".exe", L".bat", L".cmd", L""}) {
    wchar_t found[MAX_PATH * 4];
    const DWORD n = SearchPathW(nullptr, file.c_str(), *extension ? extension : nullptr, MAX_PATH * 4, found, nullptr);
    if (n > 0 && n < MAX_PATH * 4) return utf8FromWide(std::wstring(found, n));
  }
  return "";
}

}  // namespace velmor
#endif
