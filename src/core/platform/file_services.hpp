#pragma once
// The few file operations whose behaviour differs between operating systems.
// The core calls only this interface; tests can put a fake in its place.
//
// Rules every caller gets for free, because they live here and nowhere else:
// only regular files are read or replaced (a link is followed to the file it
// names, a chain of links too; a device, pipe, socket or folder is refused);
// reads never block and never exceed the caller's limit; a replaced file
// keeps its owner, group and mode; temporary files have short names of our
// own pattern, are removed on failure, and stale ones are cleared away.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "read_buffer.hpp"

namespace velmor {

// One state of a file on disk: which file (device and inode; a replace by
// rename makes a new one), how long, when last written, and when we looked.
struct FileIdentity {
  bool exists = false;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t modifiedNs = 0;  // nanoseconds since the epoch
  std::int64_t takenNs = 0;     // when this identity was taken, same clock
};
// The same file (device and inode), whatever happened to its content.
bool sameFile(const FileIdentity& a, const FileIdentity& b);
// The same file, the same size and the same modification time.
bool sameState(const FileIdentity& a, const FileIdentity& b);

enum class ReadStatus { Read, NotRegular, TooLarge, Failed };
// What a file holds past the limit: a refusal, or nothing (the first `limit`
// bytes are read).
enum class OverLimit { Refuse, Truncate };

struct FileRead {
  ReadStatus status = ReadStatus::Failed;
  std::vector<std::uint8_t> bytes;
  std::string error;      // why not: the system's text, or ours for a file that is not a regular one
  FileIdentity identity;  // the file as it was opened, before its bytes were read
  explicit operator bool() const { return status == ReadStatus::Read; }
};

// The same, into a buffer that is only looked at afterwards.
struct BufferedRead {
  ReadStatus status = ReadStatus::Failed;
  ReadBuffer bytes;
  std::string error;
  FileIdentity identity;
  explicit operator bool() const { return status == ReadStatus::Read; }
};
BufferedRead asBufferedRead(FileRead read);

// Why a file may not be replaced, known before a byte is written.
struct WriteRefusal {
  // The file carries the read-only attribute; `text` is then the system's
  // text for a denied write. Otherwise the file (or what its links lead
  // to) is not a regular file, and `text` says what it is.
  bool readOnly = false;
  std::string text;
};

enum class BackupResult { Created, Existed, Failed };

// An advisory lock on a file, held until the object goes.
class FileLock {
 public:
  virtual ~FileLock() = default;
};

class FileServices {
 public:
  virtual ~FileServices() = default;

  virtual bool exists(const std::string& path) const = 0;
  // True when another program holds the file open so that it must not be
  // replaced, or when the file carries the read-only attribute. A missing
  // file is not held, nor is one this process holds a FileLock on.
  virtual bool heldOpen(const std::string& path) const = 0;
  virtual bool isReadOnly(const std::string& path) const = 0;
  // Sets the read-only attribute; returns the system's error text on failure.
  virtual std::optional<std::string> setReadOnly(const std::string& path) = 0;

  // Whether atomicReplace would refuse `path` outright; nullopt when it may
  // be written (a file that does not exist yet may).
  virtual std::optional<WriteRefusal> checkWritable(const std::string& path) const = 0;

  // Writes `bytes` to a temporary file in the folder of the file `path`
  // names (links followed), flushes it to the disk and renames it over that
  // file in one step; the file keeps its owner, group and mode where the
  // system allows. On failure the temporary file is removed, the target is
  // as it was, and the error text is returned. `written`, when given,
  // receives the identity of the file written.
  virtual std::optional<std::string> atomicReplace(const std::string& path, std::span<const std::uint8_t> bytes,
                                                   FileIdentity* written = nullptr) = 0;

  // Copies `original` to `backup` unless `backup` exists already (the first
  // backup ever made stays, even against a second program doing the same).
  // The copy gets the original's owner and group and its mode without the
  // write bits. On failure `error` holds the text and nothing is left behind.
  virtual BackupResult createBackup(const std::string& original, const std::string& backup, std::string& error) = 0;

  // Reads a regular file of at most `limit` bytes without ever blocking on
  // it (a pipe or a device is refused before it is opened).
  virtual FileRead readFile(const std::string& path, std::uint64_t limit, OverLimit over) const = 0;
  // The same read (a file over the limit is refused) for bytes that are
  // only looked at: the system may place them where a large file costs
  // less to take in. By default it is readFile's vector.
  virtual BufferedRead readToBuffer(const std::string& path, std::uint64_t limit) const;
  // The bytes alone; nullopt with the text in `error` when they cannot be had.
  std::optional<std::vector<std::uint8_t>> readAll(const std::string& path, std::uint64_t limit,
                                                   std::string& error) const;

  // The file's present state; `exists` is false when there is none.
  virtual FileIdentity identity(const std::string& path) const = 0;

  // An exclusive advisory lock on the file `path` names, waiting up to
  // `wait` while another process holds one; `waiting` runs once when that
  // happens. Null with the reason in `error` when it cannot be had.
  virtual std::unique_ptr<FileLock> lockFile(const std::string& path, std::chrono::milliseconds wait,
                                             const std::function<void()>& waiting, std::string& error) = 0;

  // Appends to a text file such as a log, creating it when missing; only a
  // regular file is appended to, and never with a blocking open.
  virtual std::optional<std::string> appendToFile(const std::string& path, std::span<const std::uint8_t> bytes) = 0;
};

// The implementation for the system the program runs on.
FileServices& systemFiles();

// The file-name pattern of our temporary files: ".velmor-" followed by six
// letters or digits and ".tmp". Short, so it never grows with the name of
// the file it stands in for.
bool isOurTemporaryName(const std::string& name);

}  // namespace velmor
