// Running a program on Linux and other POSIX systems; run_process_win.cpp
// does it on Windows.
#ifndef _WIN32
#include "run_process.hpp"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "product_builder.hpp"

extern char** environ;

namespace velmor::test {

namespace {
std::string outputOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}
}  // namespace

ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& workingDir,
                         const std::vector<std::string>& extraEnv) {
  ProcessResult result;
  const std::string dir = tempDir();
  const std::string outPath = dir + "/stdout";
  const std::string errPath = dir + "/stderr";
  pid_t pid = fork();
  if (pid == 0) {
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int in = open("/dev/null", O_RDONLY);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (!workingDir.empty() && chdir(workingDir.c_str()) != 0) _exit(126);
    for (const std::string& kv : extraEnv) putenv(const_cast<char*>(kv.c_str()));
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = outputOf(outPath);
  result.err = outputOf(errPath);
  return result;
}

std::string findOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return "";
  std::stringstream ss(path);
  std::string dir;
  while (std::getline(ss, dir, ':')) {
    std::filesystem::path candidate = std::filesystem::path(dir) / name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
  }
  return "";
}

}  // namespace velmor::test
#endif
