// "wine regedit FILE" in a Wine prefix. No shell is involved: the file's
// path is one argument of the argument list.
#ifndef _WIN32
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "registry_importer.hpp"
#include "wine_prefix.hpp"

extern char** environ;

namespace velmor {

namespace {

std::string byHand(const std::string& file) {
  return "Import it with:\r\n\r\nwine regedit \"" + file + "\"";
}

class WineImporter : public RegistryImporter {
 public:
  WineImporter(const WinePrefix& prefix, bool waitForEnd) : prefix_(prefix), wait_(waitForEnd) {}

  ImportResult import(const std::string& file) override {
    // Without a prefix, wine would make a new one in its place: a Windows
    // the map programs are not installed in.
    if (::access(prefix_.systemRegistryPath().c_str(), F_OK) != 0) {
      return {ImportStatus::NoImporter,
              "There is no Wine prefix at " + prefix_.folder() + " (set WINEPREFIX to the prefix MapSource runs in). " +
                  byHand(file)};
    }
    // Wine resolves a Unix path against its current drive, so the file is
    // named as Windows sees it.
    std::string target = prefix_.windowsPath(file).value_or(file);
    std::string program = "wine";
    std::string verb = "regedit";
    std::vector<char*> argv{program.data(), verb.data(), target.data(), nullptr};

    std::vector<std::string> env;
    for (char** e = environ; e && *e; ++e) {
      if (std::strncmp(*e, "WINEPREFIX=", 11) != 0) env.emplace_back(*e);
    }
    env.push_back("WINEPREFIX=" + prefix_.folder());
    std::vector<char*> envp;
    for (std::string& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);

    pid_t pid = 0;
    const int err = ::posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), envp.data());
    if (err == ENOENT) return {ImportStatus::NoImporter, "Wine is not installed. " + byHand(file)};
    if (err != 0) return {ImportStatus::Failed, std::string(std::strerror(err)) + ". " + byHand(file)};
    if (!wait_) {
      // regedit may take a while to start the wineserver; the window goes on.
      std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
      }).detach();
      return {ImportStatus::Started, ""};
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
      if (errno != EINTR) return {ImportStatus::Failed, std::string(std::strerror(errno)) + ". " + byHand(file)};
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      return {ImportStatus::Failed, "wine regedit ended with code " + std::to_string(code) + ". " + byHand(file)};
    }
    return {ImportStatus::Started, ""};
  }

 private:
  WinePrefix prefix_;
  bool wait_;
};

}  // namespace

std::unique_ptr<RegistryImporter> wineRegistryImporter(const WinePrefix& prefix, bool waitForEnd) {
  return std::make_unique<WineImporter>(prefix, waitForEnd);
}

}  // namespace velmor
#endif
