#pragma once
// The few file operations whose behaviour differs between operating systems.
// The core calls only this interface; tests can put a fake in its place.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace velmor {

class FileServices {
 public:
  virtual ~FileServices() = default;

  virtual bool exists(const std::string& path) const = 0;
  // True when another program holds the file open so that it must not be
  // replaced, or when the file carries the read-only attribute. A missing
  // file is not held.
  virtual bool heldOpen(const std::string& path) const = 0;
  virtual bool isReadOnly(const std::string& path) const = 0;
  // Sets the read-only attribute; returns the system's error text on failure.
  virtual std::optional<std::string> setReadOnly(const std::string& path) = 0;

  // Writes `bytes` to a temporary file in the target's folder, flushes it to
  // the disk and renames it over the target in one step. On failure the
  // temporary file is removed, the target is as it was, and the system's
  // error text is returned.
  virtual std::optional<std::string> atomicReplace(const std::string& path, std::span<const std::uint8_t> bytes) = 0;

  // Reads a whole file; on failure returns nullopt and puts the error text in `error`.
  virtual std::optional<std::vector<std::uint8_t>> readAll(const std::string& path, std::string& error) const = 0;
};

// The implementation for the system the program runs on.
FileServices& systemFiles();

}  // namespace velmor
