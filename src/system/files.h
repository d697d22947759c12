// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "system/sinks.h"
#include "system/source.h"

namespace tarvik {

// Which file an open descriptor is (device and inode), to tell when two names are one file.
struct FileId {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  friend bool operator==(const FileId&, const FileId&) = default;
};

// An input opened for reading, with the file it is and its size (none for a pipe or a device).
struct OpenedInput {
  std::unique_ptr<Source> source;
  std::optional<FileId> id;
  std::optional<std::uint64_t> size;
};

// A report file opened for writing but not yet truncated: the run first checks that it is none of
// the files it must not overwrite and locks it, and only then empties it.
class OutputFile : public Sink {
 public:
  enum class Lock { kTaken, kBusy, kUnsupported };
  virtual std::optional<FileId> Id() const = 0;
  // Tries to take an exclusive advisory lock without waiting.
  virtual Lock TryLock(std::error_code& error) = 0;
  // Waits for the lock.
  virtual std::error_code WaitLock() = 0;
  virtual std::error_code Truncate() = 0;
};

// A file written whole under a new temporary name in the folder of its name, then renamed over
// that name: no reader ever sees it in part, and a link at the name is replaced, never followed.
class ReplacementFile : public Sink {
 public:
  // Closes the file and renames it over its name. Without it, or when it fails, the temporary
  // file is removed.
  virtual std::error_code Commit() = 0;
};

// What stands at a name itself, a link not followed, for an output that may be written in place.
struct Entry {
  enum class Kind { kMissing, kRegular, kLink, kDevice, kFifo, kOther };
  Kind kind = Kind::kMissing;
  bool trusted = false;          // owned by root or by the user running the program
  Kind target = Kind::kMissing;  // what a link leads to, followed to its end
  bool targetTrusted = false;
  bool system = false;  // in /dev or /proc, its folder's links followed: no file there is replaced
};

// The files of a run: Sudin.txt and Sudout.txt in the working directory for the classic run,
// named inputs, standard input and files in a report folder for the others. Disk files for the
// program; memory for tests and fuzzing.
class Files {
 public:
  virtual ~Files() = default;
  // Opens `name` for reading; on failure no source and `error`.
  virtual OpenedInput OpenInput(const std::string& name, std::error_code& error) = 0;
  virtual OpenedInput StandardInput() = 0;
  // Opens `name` for writing, creating it if missing and leaving its contents as they are.
  virtual std::unique_ptr<OutputFile> OpenOutput(const std::string& name,
                                                 std::error_code& error) = 0;
  // Creates a new temporary file in the folder of `name`, to replace `name` when committed.
  virtual std::unique_ptr<ReplacementFile> CreateReplacement(const std::string& name,
                                                             std::error_code& error) = 0;
  // The regular file that `name` is, following links; none for anything else.
  virtual std::optional<FileId> IdOf(const std::string& name) const = 0;
  // What stands at `name` itself.
  virtual Entry EntryAt(const std::string& name) const = 0;
  // Opens `name` to write it as it is, through a link at the name only if `follow`; creates
  // nothing, and never waits for a FIFO's reader (ENXIO when it has none).
  virtual std::unique_ptr<OutputFile> OpenInPlace(const std::string& name, bool follow,
                                                  std::error_code& error) = 0;
  // The folder that `name` is, following links; none for anything else.
  virtual std::optional<FileId> FolderIdOf(const std::string& name) const = 0;
  // The size of the regular file that `name` is, following links; none for anything else.
  virtual std::optional<std::uint64_t> SizeOf(const std::string& name) const = 0;
  // The regular file that stands at `name` itself; none for a link or anything else.
  virtual std::optional<FileId> EntryIdOf(const std::string& name) const = 0;
  // Creates the folder `name` (not its parents); an existing folder is no error, and an existing
  // file that is no folder is ENOTDIR.
  virtual std::error_code MakeDirectory(const std::string& name) = 0;
  // Makes `name` the working directory.
  virtual std::error_code ChangeDirectory(const std::string& name) = 0;
  // The file that standard output is, when it is one.
  virtual std::optional<FileId> ConsoleId() = 0;
  // Makes every read that waits for input, now or later, end at once with ECANCELED.
  virtual void CancelReads() {}
  // From now on SIGHUP, SIGINT and SIGTERM (those not ignored) remove the temporary files of
  // replacements not committed, then end the process by the same signal. Called before any
  // other thread starts.
  virtual void RemoveReplacementsOnSignals() {}
};

// The working directory and the process's own standard streams.
class DiskFiles final : public Files {
 public:
  OpenedInput OpenInput(const std::string& name, std::error_code& error) override;
  OpenedInput StandardInput() override;
  std::unique_ptr<OutputFile> OpenOutput(const std::string& name, std::error_code& error) override;
  std::unique_ptr<ReplacementFile> CreateReplacement(const std::string& name,
                                                     std::error_code& error) override;
  std::optional<FileId> IdOf(const std::string& name) const override;
  std::optional<std::uint64_t> SizeOf(const std::string& name) const override;
  Entry EntryAt(const std::string& name) const override;
  std::unique_ptr<OutputFile> OpenInPlace(const std::string& name, bool follow,
                                          std::error_code& error) override;
  std::optional<FileId> FolderIdOf(const std::string& name) const override;
  std::optional<FileId> EntryIdOf(const std::string& name) const override;
  std::error_code MakeDirectory(const std::string& name) override;
  std::error_code ChangeDirectory(const std::string& name) override;
  std::optional<FileId> ConsoleId() override;
  void CancelReads() override;
  void RemoveReplacementsOnSignals() override;

  // Removes the temporary files of replacements not committed yet, for a run about to end at
  // once (out of memory). Allocates nothing.
  static void RemovePendingReplacements();
};

}  // namespace tarvik
