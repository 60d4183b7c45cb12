#include "text_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "../editor/prompter.hpp"

namespace velmor {

std::string loadtext(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string replaceFileContent(const std::string& path, const std::string& text) {
  namespace fs = std::filesystem;
  fs::path target(path);
  fs::path folder = target.parent_path();
  std::string pattern = (folder.empty() ? fs::path(".") : folder).string() + "/." +
                        target.filename().string() + ".XXXXXX";
  std::string tempName = pattern;
  int fd = ::mkstemp(tempName.data());
  if (fd < 0) return std::strerror(errno);

  auto fail = [&](int err) {
    ::close(fd);
    ::unlink(tempName.c_str());
    return std::string(std::strerror(err));
  };
  const char* p = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) return fail(errno);
  // mkstemp makes the file private; the replacement keeps the permissions
  // of the file it replaces, or those of a new file.
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0) {
    ::fchmod(fd, old.st_mode & 07777);
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
  }
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(tempName.c_str());
    return std::strerror(err);
  }
  if (::rename(tempName.c_str(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(tempName.c_str());
    return std::strerror(err);
  }
  return {};
}

bool Savetext(const std::string& path, const std::string& text, Prompter& prompter) {
  std::string error = replaceFileContent(path, text);
  if (error.empty()) return true;
  prompter.message(path + " " + error);
  return false;
}

}  // namespace velmor
