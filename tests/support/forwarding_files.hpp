#pragma once
// File services that pass every call to the system's; a test overrides the
// one call it wants to fail.
#include "core/platform/file_services.hpp"

namespace velmor::test {

class ForwardingFiles : public FileServices {
 public:
  bool exists(const std::string& p) const override { return systemFiles().exists(p); }
  bool heldOpen(const std::string& p) const override { return systemFiles().heldOpen(p); }
  bool isReadOnly(const std::string& p) const override { return systemFiles().isReadOnly(p); }
  std::optional<std::string> setReadOnly(const std::string& p) override { return systemFiles().setReadOnly(p); }
  std::optional<WriteRefusal> checkWritable(const std::string& p) const override {
    return systemFiles().checkWritable(p);
  }
  std::optional<std::string> atomicReplace(const std::string& p, std::span<const std::uint8_t> bytes,
                                           FileIdentity* written) override {
    return systemFiles().atomicReplace(p, bytes, written);
  }
  BackupResult createBackup(const std::string& original, const std::string& backup, std::string& error) override {
    return systemFiles().createBackup(original, backup, error);
  }
  FileRead readFile(const std::string& p, std::uint64_t limit, OverLimit over) const override {
    return systemFiles().readFile(p, limit, over);
  }
  FileIdentity identity(const std::string& p) const override { return systemFiles().identity(p); }
  std::unique_ptr<FileLock> lockFile(const std::string& p, std::chrono::milliseconds wait,
                                     const std::function<void()>& waiting, std::string& error) override {
    return systemFiles().lockFile(p, wait, waiting, error);
  }
  std::optional<std::string> appendToFile(const std::string& p, std::span<const std::uint8_t> bytes) override {
    return systemFiles().appendToFile(p, bytes);
  }
};

}  // namespace velmor::test
